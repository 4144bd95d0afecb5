// Bookings made and changed on the grid: a drawn bar opens the appointment dialog preset
// with its row and times, clicks select, a double-click or the popup menu edits, and the
// grid always shows what the store holds afterwards.
#include <QTest>
#include <gtest/gtest.h>

#include "dialogs/DlgAppointment.h"
#include "grid/ScheduleGrid.h"
#include "support/MainWindowFixture.h"
#include "widgets/LookupComboBox.h"
#include "widgets/MaskedTimeField.h"

namespace {

// The main window with a resource word stored (so no first run), the schedule on the clock's
// week.
class BarInteractionTest : public MainWindowFixture {
public:
    static int32_t At(int32_t day, int minute) { return ClsDate().JoinDateTime(day, minute); }

    void SetUp() override {
        {
            ClsGlobal seen(ProgramFolders{dir.path()});
            seen.SetResourceType("Rooms");
            ASSERT_TRUE(seen.Save().Ok());
        }
        MainWindowFixture::SetUp();
        int32_t start = Day(2021, 6, 2);
        window->SetScheduleDates(start);
        window->resize(1000, 500);
        window->show();
        window->Form_Activate(); // not later, in the middle of a test
        room = AddResource("Room");
        other = AddResource("Studio");
        AddCustomer("Ann");
        type = AddType("Half hours", 30, 0, 30);
        window->ShowResources();
    }
    ScheduleGrid& grid() { return *window->Sched(); }
    int32_t AddType(const char* name, int32_t minTime, int32_t maxTime, int32_t incTime) {
        int32_t id = 0;
        return changes().TypeSave(id, name, 0x0000FF, 0x00FFFF, minTime, maxTime, incTime);
    }
    int32_t AddAppointment(int32_t customer, int32_t resource, int32_t typeId, int32_t start,
                           int32_t end) {
        int32_t id = 0;
        return changes().AppointmentSave(id, customer, resource, typeId, start, end, "REF");
    }
    // Drags across the row with the mouse, as a user draws a bar.
    void Draw(int row, int32_t fromDay, int fromMinute, int32_t toDay, int toMinute) {
        grid().ScrollToTime(fromDay, fromMinute);
        QWidget* viewport = grid().viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, grid().PointFor(fromDay, fromMinute, row));
        QTest::mouseMove(viewport, grid().PointFor(toDay, toMinute, row));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, grid().PointFor(toDay, toMinute, row));
    }
    // Runs the body in the next appointment dialog the window shows.
    void NextDialog(const std::function<void(DlgAppointment&)>& body) {
        ui.modalActions.push_back([body](QDialog* shown) {
            body(static_cast<DlgAppointment&>(*shown));
            return shown->result();
        });
    }

    const int32_t today = Day(2021, 6, 2);
    int32_t room = 0, other = 0, type = 0;
};

// Drawing across midnight presets both days; cancelling leaves the grid as it was. Saved,
// the booking is drawn as stored: the type's minimum made it longer.
TEST_F(BarInteractionTest, ADrawnBarOpensTheDialogPresetAndIsDrawnAsTheStoreHoldsIt) {
    ASSERT_EQ(grid().RowData(1), room);
    NextDialog([&](DlgAppointment& d) {
        EXPECT_EQ(std::tuple(d.AppointmentId(), d.ResourceId(), d.StartDateTime(), d.EndDateTime(),
                             d.CbResource()->currentText()),
                  std::tuple(0, room, At(today, 1380), At(today + 1, 60), "Room"));
        d.mnuFileCancel_Click();
    });
    Draw(1, today, 1380, today + 1, 60);
    ASSERT_EQ(ui.modals.size(), 1);
    EXPECT_EQ(std::tuple(grid().BarCount(1), store().Appointments().Count()), std::tuple(0, 0u));
    NextDialog([](DlgAppointment& d) { d.mnuFileSave_Click(); });
    Draw(2, today, 600, today, 615);
    ASSERT_EQ(grid().BarCount(2), 1);
    EXPECT_EQ(
        std::tuple(grid().BarStartMinute(2, 1), grid().BarEndMinute(2, 1), grid().BarText(2, 1)),
        std::tuple(600, 630, "Ann"));
    EXPECT_EQ(grid().RowData(2), other) << "the row drawn on";
    EXPECT_EQ(grid().BarCount(1), 0);
}

// A double-click edits that bar; the re-timed booking moves on the grid.
TEST_F(BarInteractionTest, DoubleClickEditsAndTheRetimedBarMoves) {
    int32_t booking = AddAppointment(0, room, type, At(today, 600), At(today, 660));
    window->ShowResources();
    grid().ScrollToTime(today, 600);
    NextDialog([&](DlgAppointment& d) {
        EXPECT_EQ(d.AppointmentId(), booking);
        QTest::keyClick(d.TimeStart(), Qt::Key_Up);
        QTest::keyClick(d.TimeEnd(), Qt::Key_Up);
        d.mnuFileSave_Click();
    });
    QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, grid().PointFor(today, 630, 1));
    ASSERT_EQ(ui.modals.size(), 1);
    EXPECT_EQ(std::tuple(grid().BarStartMinute(1, 1), grid().BarEndMinute(1, 1)),
              std::tuple(630, 690));
    EXPECT_EQ(window->SelectedAppointment(), 0) << "the rebuild cleared it";
    window->mnuApptAdd_Click();
    ASSERT_EQ(ui.modals.size(), 2);
    EXPECT_EQ(ui.modals[1].dialog, ui.modals[0].dialog) << "one dialog, kept";
}

// "Edit appointment" from the popup edits the bar right-clicked, not the one left-clicked
// before; the right click marks it on the grid as well.
TEST_F(BarInteractionTest, ThePopupEditsTheRightClickedBar) {
    AddAppointment(0, room, type, At(today, 600), At(today, 660));
    int32_t second = AddAppointment(0, other, type, At(today, 600), At(today, 660));
    window->ShowResources();
    grid().ScrollToTime(today, 600);
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().PointFor(today, 630, 1));
    ui.popupResults = {2};
    int32_t edited = 0;
    ScheduleGrid::Hit marked;
    NextDialog([&](DlgAppointment& d) {
        edited = d.AppointmentId();
        marked = grid().SelectedBar();
    });
    QTest::mouseClick(grid().viewport(), Qt::RightButton, {}, grid().PointFor(today, 630, 2));
    ASSERT_EQ(ui.popups.size(), 1);
    QStringList captions;
    for (const auto& entry : ui.popups[0].entries) {
        captions << entry.text;
    }
    EXPECT_EQ(captions, (QStringList{"Add appointment", "Edit appointment", "Delete appointment"}));
    EXPECT_EQ(edited, second);
    EXPECT_EQ(marked, (ScheduleGrid::Hit{2, 1}));
    EXPECT_TRUE(ui.messages.isEmpty());
}

} // namespace
