// The resource dialog: what each way of closing leaves in ResourceId.
#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include "dialogs/DlgResource.h"
#include "tests/dialogs/DialogFixture.h"

namespace {

using Command = DlgResource::Command;

struct CancelCase {
    const char* name;
    std::function<void(DlgResource&)> close;
    bool keepsId;
};
class Cancelling : public DialogFixture, public ::testing::WithParamInterface<CancelCase> {};

// Cancel clears the id, also for an existing resource; only the close box keeps it.
TEST_P(Cancelling, LeavesZeroUnlessClosedByTheCloseBox) {
    int32_t id = AddResource("Meeting #1");
    DlgResource dialog(services());
    dialog.SetResourceId(id);
    int result = Show<DlgResource>(dialog, [&](DlgResource& d) {
        EXPECT_EQ(d.TxtResName()->text(), "Meeting #1") << "without the record's padding";
        QTest::keyClicks(d.TxtResName(), "x");
        GetParam().close(d);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(dialog.ResourceId(), GetParam().keepsId ? id : 0);
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

// Coming back to the dialog from another window puts the focus into the name again when the
// showing makes a new resource; editing a stored one leaves the focus where the user put it.
TEST_F(DialogFixture, ResourceNameTakesTheFocusAtEachActivationOnlyForANewResource) {
    const int32_t stored = AddResource("Meeting #1");
    for (const int32_t id : {0, stored}) {
        SCOPED_TRACE(id);
        DlgResource dialog(services());
        dialog.SetResourceId(id);
        Show<DlgResource>(dialog, [&](DlgResource& d) {
            d.MenuBar()->setFocus();
            QEvent activate(QEvent::WindowActivate);
            QApplication::sendEvent(&d, &activate);
            EXPECT_EQ(d.focusWidget() == d.TxtResName(), id == 0);
            d.reject();
        });
    }
}

} // namespace
