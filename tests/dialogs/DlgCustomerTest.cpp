// The customer dialog: adding, editing, cancelling; and its commands.
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "controls/DropDownToolButton.h"
#include "controls/KeyedToolBar.h"
#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgCustomer.h"
#include "tests/dialogs/DialogFixture.h"

namespace {

using Command = DlgCustomer::Command;

class DlgCustomerTest : public DialogFixture {
public:
    void SetUp() override {
        DialogFixture::SetUp();
        owner = std::make_unique<DlgAppointment>(*window);
        dialog = std::make_unique<DlgCustomer>(*window, owner.get());
    }
    void TearDown() override {
        dialog.reset();
        owner.reset();
        DialogFixture::TearDown();
    }

    std::unique_ptr<DlgAppointment> owner;
    std::unique_ptr<DlgCustomer> dialog;
};

TEST_F(DlgCustomerTest, AddingStartsEmptyAndStoresTheTrimmedNameUnderANewId) {
    Show<DlgCustomer>(*dialog, [](DlgCustomer& d) {
        EXPECT_TRUE(d.TxtCustomerName()->hasFocus());
        EXPECT_EQ(d.TxtCustomerName()->text(), "");
        QTest::keyClicks(d.TxtCustomerName(), "  Ann Lee, Harbour Road Surgery  ");
        d.mnuFileSave_Click();
    });
    ASSERT_NE(dialog->CustomerId(), 0);
    EXPECT_EQ(store().CustomerLoad(dialog->CustomerId())->Name(), "Ann Lee, Harbour Road Su");
}

TEST_F(DlgCustomerTest, EditingShowsTheNameSelectedAndCancelKeepsEverything) {
    int32_t id = AddCustomer("Ray Tolliver");
    dialog->SetCustomerId(id);
    Show<DlgCustomer>(*dialog, [](DlgCustomer& d) {
        EXPECT_EQ(d.TxtCustomerName()->selectedText(), "Ray Tolliver");
        QTest::keyClicks(d.TxtCustomerName(), "Someone else");
        d.mnuFileCancel_Click();
    });
    EXPECT_EQ(dialog->CustomerId(), id);
    EXPECT_EQ(store().CustomerLoad(id)->Name(), "Ray Tolliver");
}

struct CommandCase {
    const char* name;
    Command command;
    const char* menu;
    const char* caption;
    int shortcut;
    const char* key;
    std::function<bool(DlgCustomerTest&, DlgCustomer&)> effect;
};
const CommandCase kCommands[] = {
    {"Save", Command::FileSave, "File", "Save", (Qt::CTRL | Qt::Key_S).toCombined(), "Save",
     [](auto& t, auto& d) {
         return !d.isVisible() && d.result() == QDialog::Accepted &&
                t.store().Customers().Count() == 1;
     }},
    {"Cancel", Command::FileCancel, "File", "Cancel", 0, "Cancel",
     [](auto& t, auto& d) {
         return !d.isVisible() && d.result() == QDialog::Rejected &&
                t.store().Customers().Count() == 0;
     }},
    {"Help", Command::Help, "", "Help", Qt::Key_F1, "Help",
     [](auto& t, auto&) {
         return t.ui.helps.size() == 1 && t.ui.helps[0].request.context == 4 &&
                t.ui.helps[0].owner == t.window.get();
     }},
};

class Commands : public DlgCustomerTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(Commands, CaptionShortcutEffectAndItsButton) {
    const CommandCase& c = GetParam();
    for (bool byButton : {false, true}) {
        SCOPED_TRACE(byButton ? "button" : "menu");
        Show<DlgCustomer>(*dialog, [&](DlgCustomer& d) {
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

TEST_F(DlgCustomerTest, CaptionMenusAndButtons) {
    EXPECT_EQ(dialog->windowTitle(), "Customer");
    EXPECT_EQ(MenuLayout(dialog->MenuBar()), (QStringList{"File: Save, -, Cancel", "Help"}));
    EXPECT_EQ(dialog->ToolBar()->Layout(), (QStringList{"Save", "Cancel", "Help"}));
}

} // namespace
