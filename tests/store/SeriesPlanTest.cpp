// Checking and booking many bookings at once: each is held to its type's rules and the store's
// collision rule, bookings of the plan that move make way for each other, and the booking is
// one change that an undo takes back whole.
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "datetime/ClsDate.h"
#include "store/EditStep.h"
#include "store/SeriesPlan.h"
#include "store/SeriesScope.h"
#include "store/StoreChanges.h"
#include "store/StoreTestFiles.h"

namespace {

using State = PlanCheck::State;
using Rule = PlanCheck::Rule;

constexpr int32_t kDay = 46360; // a day number well inside the range

// Room 1, customer 2, a type with rules (3: 30 to 120 minutes) and one without (4); stored
// bookings 5 (day 0, 10:00 to 11:00), 6 (day 1, 09:00 to 10:00), a series of 7 (day 3, 09:00
// to 10:00) and 8 (day 3, 10:00 to 11:00), and 9 (day 3, 11:30 to 12:00).
class SeriesPlanTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        int32_t id = 0;
        changes.ResourceSave(id, "Room");
        id = 0;
        changes.CustomerSave(id, "Ann");
        id = 0;
        changes.TypeSave(id, "Ruled", 0, 0, 30, 120, 15);
        id = 0;
        changes.TypeSave(id, "Free", 0, 0, 0, 0, 0);
        for (auto [from, to, day] : {std::tuple{600, 660, 0},
                                     {540, 600, 1},
                                     {540, 600, 3},
                                     {600, 660, 3},
                                     {690, 720, 3}}) {
            ASSERT_GT(Store(from, to, day), 0);
        }
        changes.SetSeries(7, 7);
        changes.SetSeries(8, 7);
    }
    // The store refuses one that collides: -1.
    int32_t Store(int32_t from, int32_t to, int32_t day) {
        int32_t id = 0;
        return changes.AppointmentSave(id, 2, 1, 4, At(from, kDay + day), At(to, kDay + day), "");
    }

    ClsGlobal store{Folders()};
    StoreChanges changes{store};
};

// A planned booking: id (0 for new), type, minutes and day.
PlannedBooking B(int32_t id, int32_t type, int32_t from, int32_t to, int32_t day,
                 int32_t resource = 1) {
    return {id, 2, resource, type, At(from, kDay + day), At(to, kDay + day), "P"};
}
PlanCheck Free() {
    return {};
}
PlanCheck In(int32_t other) {
    return {State::Collides, other, -1, Rule::None};
}
PlanCheck Behind(int index) {
    return {State::Collides, 0, index, Rule::None};
}
PlanCheck Breaks(Rule rule) {
    return {State::OutsideRules, 0, -1, rule};
}

struct PlanCase {
    const char* name;
    std::vector<PlannedBooking> plan;
    std::vector<PlanCheck> checks;
};
void PrintTo(const PlanCase& c, std::ostream* os) {
    *os << c.name;
}

class SeriesPlanCheckTest : public SeriesPlanTest,
                            public ::testing::WithParamInterface<PlanCase> {};

TEST_P(SeriesPlanCheckTest, SaysWhatBecomesOfEach) {
    EXPECT_EQ(SeriesPlan::Check(store, GetParam().plan), GetParam().checks);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SeriesPlanCheckTest,
    ::testing::Values(PlanCase{"FreeAndTaken",
                               {B(0, 4, 630, 690, 0), B(0, 4, 630, 690, 1), B(0, 4, 630, 690, 2)},
                               {In(5), Free(), Free()}},
                      PlanCase{"TouchingEndsAreFree",
                               {B(0, 4, 660, 720, 0), B(0, 4, 480, 540, 1)},
                               {Free(), Free()}},
                      PlanCase{"EnclosingOne", {B(0, 4, 570, 690, 0)}, {In(5)}},
                      // Every type lasts a minute at least.
                      PlanCase{"AnInstant", {B(0, 4, 600, 600, 2)}, {Breaks(Rule::TooShort)}},
                      PlanCase{"AnotherRoomIsFree", {B(0, 4, 600, 660, 0, 2)}, {Free()}},
                      PlanCase{"PlannedOnesInEachOthersWay",
                               {B(0, 4, 720, 780, 0), B(0, 4, 750, 800, 0), B(0, 4, 780, 800, 0)},
                               {Free(), Behind(0), Free()}},
                      PlanCase{"TheTypesRules",
                               {B(0, 3, 600, 615, 2), B(0, 3, 600, 780, 2), B(0, 3, 600, 540, 2),
                                B(0, 3, 600, 720, 2), B(0, 3, 720, 750, 2)},
                               {Breaks(Rule::TooShort), Breaks(Rule::TooLong),
                                Breaks(Rule::EndBeforeStart), Free(), Free()}},
                      PlanCase{"MovingDatesMakeWayForEachOther",
                               {B(7, 4, 600, 660, 3), B(8, 4, 660, 690, 3)},
                               {Free(), Free()}},
                      // 8 cannot move onto 9, so it stays, and then stands where 7 would go.
                      PlanCase{"OneThatStaysIsInTheWay",
                               {B(7, 4, 600, 660, 3), B(8, 4, 660, 720, 3)},
                               {In(8), In(9)}},
                      PlanCase{"AStoredDateBreakingTheRulesStays",
                               {B(7, 4, 600, 660, 3), B(8, 3, 660, 670, 3)},
                               {In(8), Breaks(Rule::TooShort)}}),
    [](const auto& row) { return std::string(row.param.name); });

// The booking named in the way is the one a save would name, however the bookings lie.
TEST_F(SeriesPlanTest, NamesTheBookingASaveWouldName) {
    std::mt19937 random(7);
    int stored = 0;
    for (int i = 0; i < 300; ++i) {
        const int32_t from = 15 * static_cast<int32_t>(random() % 96);
        const int32_t length = 15 * static_cast<int32_t>(random() % 12);
        stored += Store(from, from + length, 10 + static_cast<int32_t>(random() % 3)) > 0;
    }
    ASSERT_GT(stored, 40);
    int inTheWay = 0;
    for (int i = 0; i < 500; ++i) {
        const int32_t day = 9 + static_cast<int32_t>(random() % 5);
        const int32_t from = 5 * static_cast<int32_t>(random() % 288);
        const int32_t to = from + 5 * (1 + static_cast<int32_t>(random() % 30));
        const auto checks = SeriesPlan::Check(store, std::vector{B(0, 4, from, to, day)});
        EXPECT_EQ(checks[0].otherId,
                  store.OverlappingAppointment(0, 1, At(from, kDay + day), At(to, kDay + day)))
            << "day " << day << " " << from << " to " << to;
        inTheWay += checks[0].otherId != 0;
    }
    EXPECT_GT(inTheWay, 100);
}

// Booking makes the free ones in one change, linked as a new series named after the first
// made; the undo of that change leaves the store as it was.
TEST_F(SeriesPlanTest, BooksTheFreeOnesAsOneUndoableChange) {
    std::vector<ChangeSet> told;
    auto listening = changes.Subscribe([&](const ChangeSet& set) { told.push_back(set); });
    const std::vector<std::byte> linksBefore = store.Series().Bytes();
    const FileBytes bookingsBefore = Dump(store.Appointments());
    const std::vector<PlannedBooking> plan = {B(0, 4, 630, 690, 0), B(0, 4, 630, 690, 1),
                                              B(0, 4, 630, 690, 2)};
    const SeriesPlan::Booked booked =
        SeriesPlan::Book(changes, plan, "Book 2 appointments in a series", SeriesPlan::kNewSeries);
    ASSERT_EQ(booked.ids.size(), 3u);
    EXPECT_EQ(booked.ids[0], 0);
    EXPECT_EQ(booked.checks[0], In(5));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].what, "Book 2 appointments in a series");
    EXPECT_EQ(told[0].appointments.size(), 2u);
    EXPECT_EQ(store.SeriesMembers(booked.ids[1]), (IdList{booked.ids[1], booked.ids[2]}));

    ASSERT_EQ(changes.Undo(EditStep(told[0])), std::nullopt);
    EXPECT_EQ(Dump(store.Appointments()), bookingsBefore);
    EXPECT_EQ(store.Series().Bytes(), linksBefore);
}

// Moving stored dates keeps their ids; with the series given they stay in it, and with none
// each keeps its own. A single new booking joins no series.
struct MoveCase {
    const char* name;
    int32_t series;
    std::vector<PlannedBooking> plan;
    std::vector<std::pair<int32_t, int32_t>> links; // id to series after the booking; -1
                                                    // for the last booked
};
void PrintTo(const MoveCase& c, std::ostream* os) {
    *os << c.name;
}
class SeriesPlanMoveTest : public SeriesPlanTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(SeriesPlanMoveTest, KeepsOrGivesTheLinks) {
    const MoveCase& c = GetParam();
    const SeriesPlan::Booked booked = SeriesPlan::Book(changes, c.plan, "Move", c.series);
    for (size_t i = 0; i < c.plan.size(); ++i) {
        if (c.plan[i].id != 0) {
            EXPECT_EQ(booked.ids[i], c.plan[i].id);
            EXPECT_EQ(store.AppointmentLoad(c.plan[i].id)->StartDtTm(), c.plan[i].startDtTm);
        }
    }
    for (const auto& [id, series] : c.links) {
        EXPECT_EQ(store.SeriesOf(id == -1 ? booked.ids.back() : id),
                  series == -1 ? booked.ids.back() : series)
            << id;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SeriesPlanMoveTest,
    ::testing::Values(
        MoveCase{
            "IntoTheirSeries", 7, {B(7, 4, 600, 660, 3), B(8, 4, 660, 690, 3)}, {{7, 7}, {8, 7}}},
        MoveCase{
            "EachKeepsItsOwn", 0, {B(8, 4, 720, 780, 4), B(5, 4, 720, 780, 5)}, {{8, 7}, {5, 0}}},
        MoveCase{"IntoTheSeriesGiven", 7, {B(5, 4, 720, 780, 5)}, {{5, 7}}},
        MoveCase{"OneNewBookingAlone", SeriesPlan::kNewSeries, {B(0, 4, 720, 780, 5)}, {{-1, 0}}},
        // 7 founded the series 8 is still in: a new one cannot take its id.
        MoveCase{"ANewSeriesLeavesTheOneItsFirstFounded",
                 SeriesPlan::kNewSeries,
                 {B(7, 4, 540, 600, 3), B(0, 4, 540, 600, 4)},
                 {{7, -1}, {-1, -1}, {8, 7}}}),
    [](const auto& row) { return std::string(row.param.name); });

// The dates a change of a series goes to: each start moves by the shift across days and
// takes the new length when one is given, before 1900 as after.
struct ScopeCase {
    const char* name;
    int32_t day; // the stored date's day number
    int32_t from, to;
    int64_t shift;
    std::optional<int32_t> minutes;
    int32_t startDay, startMinute, endDay, endMinute;
};
void PrintTo(const ScopeCase& c, std::ostream* os) {
    *os << c.name;
}
class SeriesScopePlanTest : public SeriesPlanTest,
                            public ::testing::WithParamInterface<ScopeCase> {};

TEST_P(SeriesScopePlanTest, MovesEachDateByTheShift) {
    const ScopeCase& c = GetParam();
    int32_t id = 0;
    ASSERT_GT(changes.AppointmentSave(id, 2, 1, 4, At(c.from, c.day), At(c.to, c.day), "R"), 0);
    EXPECT_EQ(ClsDate::MinuteOf(At(c.from, c.day)), int64_t{c.day} * 1440 + c.from);
    SeriesScope::Change change;
    change.shift = c.shift;
    change.minutes = c.minutes;
    const auto plan = SeriesScope::Plan(store, std::vector{id}, change);
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].id, id);
    EXPECT_EQ(plan[0].reference, "R");
    EXPECT_EQ(plan[0].startDtTm, At(c.startMinute, c.startDay));
    EXPECT_EQ(plan[0].endDtTm, At(c.endMinute, c.endDay));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SeriesScopePlanTest,
    ::testing::Values(
        ScopeCase{"LaterTheSameDay", kDay + 20, 600, 660, 30, {}, kDay + 20, 630, kDay + 20, 690},
        ScopeCase{"IntoTheNextDay", kDay + 20, 1410, 1430, 60, {}, kDay + 21, 30, kDay + 21, 50},
        ScopeCase{"BackAcrossMidnightLonger", kDay + 20, 20, 80, -40, 90, kDay + 19, 1420,
                  kDay + 20, 70},
        ScopeCase{"Before1900", -5, 600, 660, 60, {}, -5, 660, -5, 720},
        ScopeCase{"From1899Into1900", -1, 1380, 1430, 120, {}, 0, 60, 0, 110},
        ScopeCase{"From1900Into1899", 0, 60, 120, -120, {}, -1, 1380, 0, 0},
        ScopeCase{"OntoAMidnightBefore1900", -1, 60, 120, -60, {}, -1, 0, -1, 60}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
