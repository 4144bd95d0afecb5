// The resource dialog: what each way of closing leaves in ResourceId, the name field, an id
// no resource carries; and its commands.
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "controls/DropDownToolButton.h"
#include "controls/KeyedToolBar.h"
#include "controls/ScheduleGrid.h"
#include "dialogs/DlgResource.h"
#include "tests/dialogs/DialogFixture.h"

namespace {

using Command = DlgResource::Command;

class DlgResourceTest : public DialogFixture {
public:
    void SetUp() override {
        DialogFixture::SetUp();
        dialog = std::make_unique<DlgResource>(*window);
    }
    void TearDown() override {
        dialog.reset();
        DialogFixture::TearDown();
    }

    std::unique_ptr<DlgResource> dialog;
};

struct CancelCase {
    const char* name;
    std::function<void(DlgResource&)> close;
    bool keepsId;
};
class Cancelling : public DlgResourceTest, public ::testing::WithParamInterface<CancelCase> {};

// Cancel clears the id, also for an existing resource; only the close box keeps it.
TEST_P(Cancelling, LeavesZeroUnlessClosedByTheCloseBox) {
    int32_t id = AddResource("Meeting #1");
    dialog->SetResourceId(id);
    int result = Show<DlgResource>(*dialog, [&](DlgResource& d) {
        EXPECT_EQ(d.TxtResName()->text(), "Meeting #1") << "without the record's padding";
        QTest::keyClicks(d.TxtResName(), "x");
        GetParam().close(d);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(dialog->ResourceId(), GetParam().keepsId ? id : 0);
    EXPECT_EQ(store().ResourceLoad(id)->Name().substr(0, 10), "Meeting #1");
}

INSTANTIATE_TEST_SUITE_P(
    Table, Cancelling,
    ::testing::Values(
        CancelCase{"Menu", [](DlgResource& d) { d.Action(Command::FileCancel)->trigger(); }, false},
        CancelCase{"Toolbar", [](DlgResource& d) { d.ToolBar_ButtonClick("Cancel", false); },
                   false},
        CancelCase{"Escape",
                   [](DlgResource& d) { QTest::keyClick(d.TxtResName(), Qt::Key_Escape); }, false},
        CancelCase{"CloseBox", [](DlgResource& d) { d.close(); }, true}),
    [](const auto& row) { return std::string(row.param.name); });

// An id no resource carries shows an empty name, as a new one does; the field takes 24
// characters and the save trims.
TEST_F(DlgResourceTest, AMissingIdOpensEmptyAndTheNameIsCutAtTwentyFourAndTrimmed) {
    dialog->SetResourceId(4711);
    Show<DlgResource>(*dialog, [](DlgResource& d) {
        EXPECT_EQ(d.TxtResName()->text(), "");
        EXPECT_TRUE(d.TxtResName()->hasFocus());
        QTest::keyClicks(d.TxtResName(), "  Conference room on level 3");
        EXPECT_EQ(d.TxtResName()->text().size(), 24);
        d.mnuFileSave_Click();
    });
    EXPECT_EQ(dialog->ResourceId(), 4711);
    EXPECT_EQ(store().ResourceLoad(4711)->Name(), "Conference room on lev  ");
}

// The main window's Edit resource opens the kept dialog on the selected row's resource, and
// the renamed row takes its sorted place.
TEST_F(DlgResourceTest, EditFromTheMainWindowRenamesTheSelectedRow) {
    AddResource("Alpha");
    int32_t beta = AddResource("Beta");
    window->ShowResources();
    window->Sched()->SetCurrentRow(2);
    const auto rename = [](QDialog* shown) {
        auto* d = static_cast<DlgResource*>(shown);
        d->TxtResName()->setText("Aardvark");
        d->mnuFileSave_Click();
        return d->result();
    };
    ui.modalActions = {rename};
    window->mnuResourceEdit_Click();
    ASSERT_EQ(ui.modals.size(), 1);
    EXPECT_EQ(window->Sched()->RowText(1).trimmed(), "Aardvark");
    EXPECT_EQ(window->Sched()->RowData(1), beta);
    window->mnuResourceAdd_Click();
    ASSERT_EQ(ui.modals.size(), 2);
    EXPECT_EQ(ui.modals[1].dialog, ui.modals[0].dialog) << "one dialog, kept";
    EXPECT_EQ(qobject_cast<DlgResource*>(ui.modals[1].dialog)->ResourceId(), 0);
}

struct CommandCase {
    const char* name;
    Command command;
    const char* menu;
    const char* caption;
    int shortcut;
    const char* key;
    std::function<bool(DlgResourceTest&, DlgResource&)> effect;
};
const CommandCase kCommands[] = {
    {"Save", Command::FileSave, "File", "Save", (Qt::CTRL | Qt::Key_S).toCombined(), "Save",
     [](auto& t, auto& d) {
         return !d.isVisible() && d.result() == QDialog::Accepted &&
                t.store().Resources().Count() == 1 && d.ResourceId() != 0;
     }},
    {"Cancel", Command::FileCancel, "File", "Cancel", 0, "Cancel",
     [](auto& t, auto& d) {
         return !d.isVisible() && d.result() == QDialog::Rejected &&
                t.store().Resources().Count() == 0;
     }},
    {"Help", Command::Help, "", "Help", Qt::Key_F1, "Help",
     [](auto& t, auto&) {
         return t.ui.helps.size() == 1 && t.ui.helps[0].request.context == 2 &&
                t.ui.helps[0].owner == t.window.get();
     }},
};

class Commands : public DlgResourceTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(Commands, CaptionShortcutEffectAndItsButton) {
    const CommandCase& c = GetParam();
    for (bool byButton : {false, true}) {
        SCOPED_TRACE(byButton ? "button" : "menu");
        Show<DlgResource>(*dialog, [&](DlgResource& d) {
            QAction* action = d.Action(c.command);
            EXPECT_EQ(action->text().remove('&'), c.caption);
            EXPECT_EQ(action->shortcut(), QKeySequence(c.shortcut));
            EXPECT_EQ(MenuOf(d.MenuBar(), action), c.menu);
            DropDownToolButton* button = d.ToolBar()->Button(c.key);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->toolTip(), c.key);
            if (byButton) {
                QTest::mouseClick(button, Qt::LeftButton);
            } else {
                action->trigger();
            }
            EXPECT_TRUE(c.effect(*this, d));
        });
        // A fresh window and store for the button; the scripted answers are kept.
        TearDown();
        SetUp();
        ui.helps.clear();
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Commands, ::testing::ValuesIn(kCommands),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(DlgResourceTest, CaptionMenusAndButtons) {
    EXPECT_EQ(dialog->windowTitle(), "Resource Definition");
    EXPECT_EQ(MenuLayout(dialog->MenuBar()), (QStringList{"File: Save, Cancel", "Help"}));
    EXPECT_EQ(dialog->ToolBar()->Layout(), (QStringList{"Save", "Cancel", "Help"}));
}

} // namespace
