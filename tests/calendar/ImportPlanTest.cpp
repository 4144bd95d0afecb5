// Importing calendars: an export read back into an empty folder books the same; each event
// is checked against the type's rules and against the bookings of the store and of the file
// before anything changes; what is booked is one named change, repeats one series.
#include <sstream>

#include "calendar/CalendarFixture.h"
#include "calendar/ExportSelection.h"
#include "calendar/IcsWriter.h"
#include "calendar/ImportPlan.h"
#include "support/TempDir.h"

namespace {

using Status = ImportRow::Status;

class ImportPlanTest : public CalendarFixture {
protected:
    // An event of the day 7 Dec 2026, from and to minutes.
    static IcsEvent Event(int from, int to, const char* summary = "", const char* location = "") {
        IcsEvent e;
        e.summary = summary;
        e.location = location;
        const int64_t midnight = int64_t{Day(2026, 12, 7)} * 1440;
        e.startDtTm = ClsDate::DtTmOfMinute(midnight + from);
        e.endDtTm = ClsDate::DtTmOfMinute(midnight + to);
        return e;
    }
};

TEST_F(ImportPlanTest, AnExportReadIntoAnEmptyFolderBooksTheSame) {
    Book(room, ann, cut, 2026, 12, 5, 540, 630, "Café, 1€");
    Book(hall, longName, plain, 2026, 7, 1, 1410, 1455);
    Book(hall, bob, cut, 2026, 3, 29, 60, 240, "over DST"); // Berlin skips 02:00..03:00
    std::ostringstream out;
    ASSERT_TRUE(
        WriteIcs(store, SelectAppointments(store, {}), {"Europe/Berlin", dir.path(), 0}, out));

    TempDir other;
    ClsGlobal empty{ProgramFolders{other.path()}};
    StoreChanges into{empty};
    for (const char* name : {"Room €1, east", "Hall"}) {
        int32_t id = 0;
        into.ResourceSave(id, name);
    }
    for (const char* name : {"Bob", "Müller; Ann \\ Café", "€€€€€€€€€€€€€€€€€€€€€€€€"}) {
        int32_t id = 0;
        into.CustomerSave(id, name);
    }
    for (const char* name : {"Free", "Cut, wash"}) {
        int32_t id = 0;
        into.TypeSave(id, name, 0, 0, 1, 0, 1);
    }
    const IcsReadResult read =
        ReadIcs(out.str(), Day(2026, 1, 1), Day(2026, 12, 31), "Europe/Berlin");
    ASSERT_TRUE(read.ok) << read.error;
    const auto rows = PlanImport(empty, read.events, {1, 0, 1});
    EXPECT_EQ(BookImport(into, rows), 3u);
    EXPECT_EQ(Bookings(empty), Bookings(store));
}

struct RuleRow {
    int from;
    int to;
    Status status;
    const char* why;
};

class Rules : public ImportPlanTest, public ::testing::WithParamInterface<RuleRow> {};

TEST_P(Rules, HoldEachEventToItsType) {
    const RuleRow& row = GetParam();
    const auto rows = PlanImport(store, {Event(row.from, row.to)}, {room, ann, cut});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].status, row.status);
    EXPECT_EQ(rows[0].why, row.why);
}

// "Cut, wash": 15 to 240 minutes in steps of 15.
INSTANTIATE_TEST_SUITE_P(
    Table, Rules,
    ::testing::Values(
        RuleRow{540, 555, Status::Book, ""}, RuleRow{540, 780, Status::Book, ""},
        RuleRow{540, 550, Status::OutsideRules, "shorter than the 15 minutes of Cut, wash"},
        RuleRow{540, 795, Status::OutsideRules, "longer than the 240 minutes of Cut, wash"},
        RuleRow{545, 605, Status::OutsideRules, "not on the 15-minute steps of Cut, wash"},
        RuleRow{540, 600 + 7, Status::OutsideRules, "not on the 15-minute steps of Cut, wash"},
        RuleRow{1380, 1470, Status::Book, ""},
        RuleRow{540, 540, Status::OutsideRules, "it has no length"}));

TEST_F(ImportPlanTest, NamesInTheEventChooseWhatExistsElseTheChoice) {
    IcsEvent byOrganizer = Event(600, 660, "Someone");
    byOrganizer.organizer = "bob";
    const auto rows =
        PlanImport(store,
                   {Event(540, 600, " müller; ann \\ café  - cut, WASH", "HALL"), byOrganizer,
                    Event(660, 720, "Nobody - Free", "Nowhere"), Event(720, 780, "Bob - Free")},
                   {room, 0, cut});
    ASSERT_EQ(rows.size(), 4u);
    auto who = [](const ImportRow& r) {
        return std::tuple(r.status, r.resourceId, r.customerId, r.typeId, r.why);
    };
    // Case folds for ASCII letters only: "müller" matches, "MÜLLER" would not.
    EXPECT_EQ(who(rows[0]), std::tuple(Status::Book, hall, ann, cut, std::string()));
    EXPECT_EQ(who(rows[1]), std::tuple(Status::Book, room, bob, cut, std::string()));
    EXPECT_EQ(who(rows[2]), std::tuple(Status::Unreadable, room, 0, cut, "no customer"));
    EXPECT_EQ(who(rows[3]), std::tuple(Status::Book, room, bob, plain, std::string()));
}

TEST_F(ImportPlanTest, CollisionsWithTheStoreAndWithEarlierEventsAreNamed) {
    const int32_t stored = Book(room, bob, cut, 2026, 12, 7, 600, 660);
    Book(room, bob, cut, 2026, 12, 7, 0, 60);
    std::vector<IcsEvent> events = {
        Event(630, 690),  // inside the stored 10:00-11:00
        Event(540, 720),  // around it
        Event(660, 720),  // right after: free
        Event(690, 750),  // over the one before
        Event(720, 780),  // right after that: free
        Event(-60, 15),   // from the day before into 00:00-01:00
        Event(1380, 1440) // 23:00 to midnight
    };
    events.insert(events.begin() + 3, IcsEvent{});
    events[3].problem = "it has no start";
    const auto rows = PlanImport(store, events, {room, ann, cut});
    std::vector<std::tuple<Status, int32_t, std::string>> seen;
    for (const ImportRow& r : rows) {
        seen.emplace_back(r.status, r.otherId, r.why);
    }
    const std::string withStored = "collides with the booking of Bob at 2026-12-07 10:00";
    EXPECT_EQ(
        seen,
        (std::vector<std::tuple<Status, int32_t, std::string>>{
            {Status::Collides, stored, withStored},
            {Status::Collides, stored, withStored},
            {Status::Book, 0, ""},
            {Status::Unreadable, 0, "it has no start"},
            {Status::Collides, 0, "collides with the event of 2026-12-07 11:00 in the file"},
            {Status::Book, 0, ""},
            {Status::Collides, stored + 1, "collides with the booking of Bob at 2026-12-07 00:00"},
            {Status::Book, 0, ""}}));
}

TEST_F(ImportPlanTest, BookingIsOneNamedChangeAndRepeatsBecomeASeries) {
    std::vector<IcsEvent> events;
    for (int i = 0; i < 3; ++i) {
        events.push_back(Event(540 + 120 * i, 600 + 120 * i));
        events.back().recurrence = 1;
        events.push_back(Event(570 + 120 * i, 630 + 120 * i)); // the second repeat collides
        events.back().recurrence = 2;
    }
    events.push_back(Event(1200, 1260));
    events.back().recurrence = 2;
    events.push_back(Event(1320, 1380));
    events.back().description = "first line of many\nsecond";
    std::vector<ChangeSet> told;
    auto subscription = changes().Subscribe([&](const ChangeSet& c) { told.push_back(c); });
    const auto rows = PlanImport(store, events, {room, ann, cut});
    EXPECT_EQ(BookImport(changes(), rows), 5u);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].what, "Import calendar");
    std::vector<int32_t> ids;
    for (const ClsAppointment& a : store.Appointments()) {
        ids.push_back(a.Id());
    }
    ASSERT_EQ(ids.size(), 5u);
    EXPECT_EQ(store.SeriesMembers(ids[0]), (std::vector<int32_t>{ids[0], ids[1], ids[2]}));
    EXPECT_EQ(store.SeriesOf(ids[3]), 0); // the one occurrence booked of its event
    EXPECT_EQ(store.SeriesOf(ids[4]), 0);
    EXPECT_EQ(store.AppointmentLoad(ids[4])->Reference(), "first line o");
}

} // namespace
