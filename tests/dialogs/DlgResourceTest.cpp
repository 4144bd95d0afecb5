// The resource dialog: what each way of closing leaves in ResourceId, the name field, an id
// no resource carries.
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

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

} // namespace
