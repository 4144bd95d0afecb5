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

#include <QStatusBar>

#include <functional>
#include <string>
#include <vector>

namespace {

// The main window with a resource word stored (so no first run), the schedule on the clock's
// week.
class BarInteractionTest : public MainWindowFixture {
public:
    static int32_t At(int32_t day, int minute) { return ClsDate().JoinDateTime(day, minute); }

    void SetUp() override {
        UsedBefore();
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

// Booking A: Ann's, Room, 10:00 to 11:00 on half hours (at least 30 minutes), selected; Bob's
// on the Studio from 12:00 to 13:00 is in the way of some places. Every change set told is
// kept with its name.
class HandPlacement : public BarInteractionTest {
public:
    void SetUp() override {
        BarInteractionTest::SetUp();
        ann = AddCustomer("Ann");
        bob = AddCustomer("Bob");
        a = AddAppointment(ann, room, type, At(today, 600), At(today, 660));
        AddAppointment(bob, other, type, At(today, 720), At(today, 780));
        window->ShowResources();
        grid().ScrollToTime(today, 600);
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().PointFor(today, 630, 1));
        told = changes().Subscribe([this](const ChangeSet& set) { sets.push_back(set.what); });
    }
    ScheduleGrid::Drop DropA(int toRow, int start, int end, IBarPlacer::Edge edge, bool copy) {
        const int64_t day = int64_t{today} * 1440;
        return {1, 1, toRow, day + start, day + end, edge, copy};
    }
    void Run(DlgMain::Command command) { window->Action(command)->trigger(); }
    int32_t ann = 0, bob = 0, a = 0;
    std::vector<std::string> sets;
    StoreChanges::Subscription told;
};

using Edge = IBarPlacer::Edge;
using Command = DlgMain::Command;
struct HandCase {
    const char* name;
    std::function<void(HandPlacement&)> act;
    std::vector<std::string> sets; // the change sets told, by name
    int row, start, end;           // where A, or its copy, is then (minutes of the day)
    bool copy;
    const char* note; // the status bar's message
};
class HandPlacementTest : public HandPlacement, public ::testing::WithParamInterface<HandCase> {};

TEST_P(HandPlacementTest, OneNamedChangeOrARefusalWithItsReason) {
    const HandCase& c = GetParam();
    c.act(*this);
    EXPECT_EQ(sets, c.sets);
    EXPECT_EQ(window->StatusNote().toStdString(), c.note);
    ASSERT_EQ(store().Appointments().Count(), c.copy ? 3u : 2u);
    int32_t placed = a;
    for (const ClsAppointment& booking : store().Appointments()) {
        placed = c.copy ? std::max(placed, booking.Id()) : placed; // the copy: a new id
    }
    const auto p = store().AppointmentLoad(placed);
    EXPECT_EQ(std::tuple(p->ResourceId(), p->StartDtTm(), p->EndDtTm(), p->CustomerId(),
                         p->TypeId(), p->Reference()),
              std::tuple(grid().RowData(c.row), At(today, c.start), At(today, c.end), ann, type,
                         std::string("REF")));
    if (c.copy) {
        EXPECT_EQ(std::tuple(store().AppointmentLoad(a)->ResourceId(),
                             store().AppointmentLoad(a)->StartDtTm()),
                  std::tuple(room, At(today, 600)))
            << "the original stays";
    }
    const ScheduleGrid::Hit shown = grid().SelectedBar();
    EXPECT_EQ(std::tuple(window->SelectedAppointment(), grid().BarData(shown.row, shown.bar)),
              std::tuple(placed, placed))
        << "the selection follows the booking";
    EXPECT_FALSE(grid().BarRect(shown.row, shown.bar).isEmpty()) << "in view";
}

const std::string kMove = "Move appointment", kResize = "Resize appointment";
const char* const kInTheWay = "Collides with Bob, Half hours, Wed 02 Jun 2021 12:00 to 13:00";
const auto kCaseName = [](const auto& param) { return std::string(param.param.name); };
const HandCase kHandCases[] = {
    HandCase{"DropSnapsToTheIncrement",
             [](HandPlacement& t) {
                 t.window->Sched_BarDropped(t.DropA(1, 615, 675, Edge::Whole, false));
             },
             {kMove},
             1,
             630,
             690,
             false,
             ""},
    HandCase{"DropOnAnotherRowKeepsTheId",
             [](HandPlacement& t) {
                 t.window->Sched_BarDropped(t.DropA(2, 540, 600, Edge::Whole, false));
             },
             {kMove},
             2,
             540,
             600,
             false,
             ""},
    HandCase{"DropInTheWayIsRefused",
             [](HandPlacement& t) {
                 t.window->Sched_BarDropped(t.DropA(2, 690, 750, Edge::Whole, false));
             },
             {},
             1,
             600,
             660,
             false,
             kInTheWay},
    HandCase{"EndBeforeTheStartTakesTheMinimum",
             [](HandPlacement& t) {
                 t.window->Sched_BarDropped(t.DropA(1, 600, 560, Edge::End, false));
             },
             {kResize},
             1,
             600,
             630,
             false,
             ""},
    HandCase{"StartMovesAlone",
             [](HandPlacement& t) {
                 t.window->Sched_BarDropped(t.DropA(1, 530, 660, Edge::Start, false));
             },
             {kResize},
             1,
             540,
             660,
             false,
             ""},
    HandCase{"CtrlCopiesWithANewId",
             [](HandPlacement& t) {
                 t.window->Sched_BarDropped(t.DropA(2, 840, 900, Edge::Whole, true));
             },
             {"Copy appointment"},
             2,
             840,
             900,
             true,
             ""},
    HandCase{"ACopyInPlaceCollidesWithItsOriginal",
             [](HandPlacement& t) {
                 t.window->Sched_BarDropped(t.DropA(1, 600, 660, Edge::Whole, true));
             },
             {},
             1,
             600,
             660,
             false,
             "Collides with Ann, Half hours, Wed 02 Jun 2021 10:00 to 11:00"},
    HandCase{"Later",
             [](HandPlacement& t) { t.Run(Command::ApptLater); },
             {kMove},
             1,
             630,
             690,
             false,
             ""},
    HandCase{"Shorter",
             [](HandPlacement& t) { t.Run(Command::ApptShorten); },
             {kResize},
             1,
             600,
             630,
             false,
             ""},
    HandCase{"ShorterPastTheMinimum",
             [](HandPlacement& t) {
                 t.Run(Command::ApptShorten);
                 t.Run(Command::ApptShorten);
             },
             {kResize},
             1,
             600,
             630,
             false,
             "Its type allows no shorter appointment."},
    HandCase{"RowDown",
             [](HandPlacement& t) { t.Run(Command::ApptRowDown); },
             {kMove},
             2,
             600,
             660,
             false,
             ""},
    HandCase{"RowDownInTheWay",
             [](HandPlacement& t) {
                 t.Run(Command::ApptLater);
                 t.Run(Command::ApptLater);
                 t.Run(Command::ApptLater);
                 t.Run(Command::ApptRowDown);
             },
             {kMove, kMove, kMove},
             1,
             690,
             750,
             false,
             kInTheWay},
    HandCase{"RowUpFromTheFirstRowDoesNothing",
             [](HandPlacement& t) { t.Run(Command::ApptRowUp); },
             {},
             1,
             600,
             660,
             false,
             ""}};
INSTANTIATE_TEST_SUITE_P(Table, HandPlacementTest, ::testing::ValuesIn(kHandCases), kCaseName);

// Dragged with the mouse, the booking moves to where the bar was drawn at the drop; with no
// bar selected the keys say so and change nothing.
TEST_F(HandPlacement, ADragMovesTheBookingAndKeysNeedASelection) {
    QWidget* viewport = grid().viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, grid().PointFor(today, 630, 1));
    QTest::mouseMove(viewport, grid().PointFor(today, 700, 1));
    QTest::mouseMove(viewport, grid().PointFor(today, 700, 2));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, grid().PointFor(today, 700, 2));
    const auto moved = store().AppointmentLoad(a);
    EXPECT_EQ(std::tuple(moved->ResourceId(), moved->StartDtTm()),
              std::tuple(other, At(today, 660)));
    EXPECT_EQ(sets, std::vector<std::string>{kMove});
    window->ShowResources();
    Run(Command::ApptLater);
    EXPECT_EQ(window->StatusNote().toStdString(), "No appointment selected!");
    EXPECT_EQ(sets.size(), 1u);
}

} // namespace
