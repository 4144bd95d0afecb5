// Which dates a change of one date of a series reaches, and what each date becomes.
#include <gtest/gtest.h>

#include <algorithm>

#include <optional>
#include <tuple>
#include <vector>

#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"
#include "store/SeriesScope.h"
#include "store/StoreChanges.h"
#include "support/StoreFixture.h"

namespace {

using Reach = SeriesScope::Reach;

// Five daily dates from Monday 7 Dec 2026, 09:00 to 10:00, in the room, booked as a series;
// one ordinary booking beside them.
class SeriesScopeTest : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        int32_t id = 0;
        room = changes.ResourceSave(id, "Room");
        id = 0;
        hall = changes.ResourceSave(id, "Hall");
        id = 0;
        ann = changes.CustomerSave(id, "Ann");
        id = 0;
        bob = changes.CustomerSave(id, "Bob");
        id = 0;
        type = changes.TypeSave(id, "Massage", 1, 2, 0, 0, 15);
        std::vector<PlannedBooking> plan;
        for (int i = 0; i < 5; ++i) {
            plan.push_back({0, ann, room, type, At(i, 540), At(i, 600), "S"});
        }
        dates = SeriesPlan::Book(changes, plan, "Make", SeriesPlan::kNewSeries).ids;
        id = 0;
        single = changes.AppointmentSave(id, bob, room, type, At(0, 720), At(0, 780), "");
    }
    int32_t At(int day, int minute) const {
        return ClsDate().JoinDateTime(ClsDate::DayNumberFromCivil(2026, 12, 7) + day, minute);
    }
    // Positions in `dates` (0 based) of the ids.
    std::vector<int> Positions(const std::vector<int32_t>& ids) const {
        std::vector<int> out;
        for (int32_t id : ids) {
            const auto at = std::find(dates.begin(), dates.end(), id);
            out.push_back(at == dates.end() ? -1 : static_cast<int>(at - dates.begin()));
        }
        return out;
    }

    ClsGlobal store{ProgramFolders{dir.path()}};
    StoreChanges changes{store};
    int32_t room = 0, hall = 0, ann = 0, bob = 0, type = 0, single = 0;
    std::vector<int32_t> dates;
};

const auto kCaseName = [](const auto& info) { return std::string(info.param.name); };

auto Fields(const PlannedBooking& b) {
    return std::tuple(b.id, b.customerId, b.resourceId, b.typeId, b.startDtTm, b.endDtTm,
                      b.reference);
}

struct ReachCase {
    const char* name;
    int date; // position in the series
    Reach reach;
    std::vector<int> reached;
};

void PrintTo(const ReachCase& c, std::ostream* os) {
    *os << c.name;
}

class Reaches : public SeriesScopeTest, public ::testing::WithParamInterface<ReachCase> {};

TEST_P(Reaches, TakeTheDatesInOrderOfStart) {
    const ReachCase& c = GetParam();
    const int32_t id = dates[static_cast<size_t>(c.date)];
    EXPECT_EQ(Positions(SeriesScope::Dates(store, id, c.reach)), c.reached);
    const SeriesScope::Place place = SeriesScope::PlaceOf(store, id);
    EXPECT_EQ(place.position, c.date + 1);
    EXPECT_EQ(place.count, 5);
    EXPECT_EQ(place.Following(), 5 - c.date);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Reaches,
    ::testing::Values(
        ReachCase{"OnlyThis", 2, Reach::OnlyThis, {2}},
        ReachCase{"FollowingFromTheMiddle", 2, Reach::ThisAndFollowing, {2, 3, 4}},
        ReachCase{"FollowingFromTheFirstIsAll", 0, Reach::ThisAndFollowing, {0, 1, 2, 3, 4}},
        ReachCase{"FollowingFromTheLast", 4, Reach::ThisAndFollowing, {4}},
        ReachCase{"AllFromTheLast", 4, Reach::All, {0, 1, 2, 3, 4}}),
    kCaseName);

// A booking in no series, or in one left with a single date, reaches only itself.
TEST_F(SeriesScopeTest, ALoneDateIsNoSeries) {
    EXPECT_FALSE(SeriesScope::PlaceOf(store, single).InSeries());
    EXPECT_EQ(SeriesScope::Dates(store, single, Reach::All), std::vector<int32_t>{single});
    changes.AppointmentsDelete(std::vector<int32_t>(dates.begin(), dates.end() - 1));
    EXPECT_FALSE(SeriesScope::PlaceOf(store, dates.back()).InSeries());
    EXPECT_EQ(SeriesScope::Dates(store, dates.back(), Reach::All),
              std::vector<int32_t>{dates.back()});
}

struct PlanCase {
    const char* name;
    SeriesScope::Change change;
    bool toBobInTheHall; // the change gives Bob, the hall and reference NEW
    // Each planned date: customer is Ann, resource is the room, start and end (minutes of
    // its own day, may pass midnight), reference.
    bool ann, room;
    int start, end;
    const char* reference;
};

void PrintTo(const PlanCase& c, std::ostream* os) {
    *os << c.name;
}

class Plans : public SeriesScopeTest, public ::testing::WithParamInterface<PlanCase> {};

TEST_P(Plans, MoveEachDateByTheShiftAndTakeWhatIsGiven) {
    const PlanCase& c = GetParam();
    SeriesScope::Change change = c.change;
    if (c.toBobInTheHall) {
        change.customerId = bob;
        change.resourceId = hall;
        change.reference = "NEW";
    }
    const std::vector<int32_t> ids(dates.begin() + 1, dates.begin() + 3);
    const auto plan = SeriesScope::Plan(store, ids, change);
    ASSERT_EQ(plan.size(), 2u);
    for (size_t i = 0; i < plan.size(); ++i) {
        const int day = static_cast<int>(i) + 1;
        SCOPED_TRACE(day);
        EXPECT_EQ(Fields(plan[i]),
                  Fields({ids[i], c.ann ? ann : bob, c.room ? room : hall, type,
                          ClsDate().MinutesAdjust(At(day, 0), c.start),
                          ClsDate().MinutesAdjust(At(day, 0), c.end), c.reference}));
    }
}

SeriesScope::Change Shifted(int64_t shift, std::optional<int32_t> minutes = std::nullopt) {
    SeriesScope::Change c;
    c.shift = shift;
    c.minutes = minutes;
    return c;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Plans,
    ::testing::Values(
        PlanCase{"NothingGivenKeepsEachDate", {}, false, true, true, 540, 600, "S"},
        PlanCase{"ShiftKeepsTheLength", Shifted(90), false, true, true, 630, 690, "S"},
        PlanCase{"ShiftBackAcrossMidnight", Shifted(-600), false, true, true, -60, 0, "S"},
        PlanCase{"ShiftForwardOverADay", Shifted(1440 + 30), false, true, true, 1440 + 570,
                 1440 + 630, "S"},
        PlanCase{"NewLengthFromTheNewStart", Shifted(-30, 150), false, true, true, 510, 660, "S"},
        PlanCase{"FieldsReplaceEachDates", {}, true, false, false, 540, 600, "NEW"}),
    kCaseName);

} // namespace
