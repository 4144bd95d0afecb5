// The main window marks the bars of a series, keeps the marks true through changes of links
// and bookings while rebuilding only the rows involved, and notes a bar's place in its series.
#include <QAction>

#include <functional>
#include <map>

#include "store/SeriesPlan.h"
#include "support/MainWindowFixture.h"

namespace {

const auto kCaseName = [](const auto& info) { return std::string(info.param.name); };

using Command = DlgMain::Command;
const int32_t kMonday = MainWindowFixture::Day(2021, 9, 6);

// Four resources before the sample data's rows: a series booked Wednesday, Monday, Tuesday
// (so that the order of its ids is not the order of its dates) on the first three, a lone
// booking on Thursday on the fourth, and a stray bar on the last row that only a rebuild of
// that row would remove.
class SeriesMarksTest : public MainWindowFixture {
public:
    void SetUp() override {
        MainWindowFixture::SetUp();
        window->show();
        window->Form_Activate();
        for (const char* name : {"Alder", "Birch", "Cedar", "Dogwood"}) {
            resources.push_back(AddResource(name));
        }
        customer = AddCustomer("Ann");
        std::vector<PlannedBooking> plan;
        for (int day : {2, 0, 1}) {
            plan.push_back({0, customer, resources[static_cast<size_t>(day)], 0,
                            date.JoinDateTime(kMonday + day, 540),
                            date.JoinDateTime(kMonday + day, 600), ""});
        }
        const SeriesPlan::Booked booked =
            SeriesPlan::Book(changes(), plan, "Repeat", SeriesPlan::kNewSeries);
        wed = booked.ids[0];
        mon = booked.ids[1];
        tue = booked.ids[2];
        lone = AddAppointment(resources[3], customer, 0, kMonday + 3, 540, 600);
        int32_t start = kMonday;
        window->SetScheduleDates(start);
        const int last = grid().RowCount();
        ASSERT_EQ(grid().RowText(last).trimmed(), "Meeting #2");
        grid().SetBarData(last, grid().AddBar(last, 600, 660, kMonday, kMonday), kStray);
    }
    // Every booking on the grid and whether its bar is marked.
    std::map<int32_t, bool> Marks() {
        std::map<int32_t, bool> marks;
        for (int row = 1; row <= grid().RowCount(); ++row) {
            for (int bar = 1; bar <= grid().BarCount(row); ++bar) {
                marks[grid().BarData(row, bar)] = grid().BarSeries(row, bar);
            }
        }
        return marks;
    }
    QString LastTipLine(int32_t id) {
        const ScheduleGrid::Hit at = BarOf(id);
        return at.row == 0 ? "no bar" : grid().BarToolTip(at.row, at.bar).split('\n').last();
    }
    int32_t SeriesId() const { return window->Global().SeriesOf(mon); }

    static constexpr int32_t kStray = -1;
    std::vector<int32_t> resources;
    int32_t customer = 0;
    int32_t mon = 0, tue = 0, wed = 0, lone = 0;
};

struct MarkCase {
    const char* name;
    std::function<void(SeriesMarksTest&)> act;
    // Marked: Monday, Tuesday, Wednesday, the lone booking (absent ones count as unmarked).
    std::array<bool, 4> marked;
};

class SeriesMarksTable : public SeriesMarksTest, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(SeriesMarksTable, MarksFollowTheLinksAndOnlyTheRowsInvolvedAreBuiltAgain) {
    GetParam().act(*this);
    std::map<int32_t, bool> marks = Marks();
    const auto marked = [&](int32_t id) { return marks.count(id) != 0 && marks.at(id); };
    EXPECT_EQ((std::array{marked(mon), marked(tue), marked(wed), marked(lone)}), GetParam().marked);
    EXPECT_EQ(marks.count(kStray), 1u) << "a row without a booking involved was built again";
    // The rows built again are as a whole rebuild builds them.
    marks.erase(kStray);
    window->ShowResources();
    EXPECT_EQ(Marks(), marks);
}

void Unlink(SeriesMarksTest& f, int32_t id) {
    f.changes().SetSeries(id, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SeriesMarksTable,
    ::testing::Values(
        MarkCase{"ABookedSeries", [](SeriesMarksTest&) {}, {true, true, true, false}},
        MarkCase{"OneTakenOutOfThree",
                 [](SeriesMarksTest& f) { Unlink(f, f.wed); },
                 {true, true, false, false}},
        MarkCase{"TheLastButOneTakenOut",
                 [](SeriesMarksTest& f) {
                     Unlink(f, f.wed);
                     Unlink(f, f.tue);
                 },
                 {false, false, false, false}},
        MarkCase{"AllButOneDeletedAtOnce",
                 [](SeriesMarksTest& f) {
                     const int32_t ids[] = {f.mon, f.wed};
                     f.changes().AppointmentsDelete(ids);
                 },
                 {false, false, false, false}},
        MarkCase{"TakingOutUndone",
                 [](SeriesMarksTest& f) {
                     f.changes().Batch("Take out", [&] {
                         Unlink(f, f.wed);
                         Unlink(f, f.tue);
                     });
                     f.window->Action(Command::EditUndo)->trigger();
                 },
                 {true, true, true, false}},
        MarkCase{"ALoneBookingJoins",
                 [](SeriesMarksTest& f) { f.changes().SetSeries(f.lone, f.SeriesId()); },
                 {true, true, true, true}},
        MarkCase{"ADateMovedToAnotherSeries",
                 [](SeriesMarksTest& f) {
                     f.changes().SetSeries(f.lone, f.lone);
                     f.changes().SetSeries(f.wed, f.lone);
                 },
                 {true, true, true, true}},
        MarkCase{"AnEditKeepsTheLink",
                 [](SeriesMarksTest& f) {
                     int32_t id = f.tue;
                     f.changes().AppointmentSave(id, f.customer, f.resources[0], 0,
                                                 f.date.JoinDateTime(kMonday + 4, 540),
                                                 f.date.JoinDateTime(kMonday + 4, 600), "moved");
                 },
                 {true, true, true, false}}),
    kCaseName);

// The tooltip counts by start, not by id, and follows a booking that moves.
TEST_F(SeriesMarksTest, TheTooltipSaysWhereTheBookingStandsInItsSeries) {
    EXPECT_EQ(LastTipLine(mon), "Series: 1 of 3");
    EXPECT_EQ(LastTipLine(tue), "Series: 2 of 3");
    EXPECT_EQ(LastTipLine(wed), "Series: 3 of 3");
    EXPECT_NE(LastTipLine(lone).left(7), "Series:");
    int32_t id = mon;
    changes().AppointmentSave(id, customer, resources[0], 0, date.JoinDateTime(kMonday + 4, 540),
                              date.JoinDateTime(kMonday + 4, 600), "");
    EXPECT_EQ(LastTipLine(tue), "Series: 1 of 3");
    EXPECT_EQ(LastTipLine(mon), "Series: 3 of 3");
    Unlink(*this, wed);
    Unlink(*this, tue);
    EXPECT_NE(LastTipLine(mon).left(7), "Series:") << "alone, it is no series";
}

} // namespace
