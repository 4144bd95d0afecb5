// The calendar command lines: what they write or book, their exit statuses and messages, and
// the import's refusal while a planner holds the data folder.
#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>

#include "calendar/CalendarCommand.h"
#include "calendar/CalendarFixture.h"
#include "calendar/IcsReader.h"
#include "store/InstanceLock.h"

namespace {

using Kind = CalendarRequest::Kind;

struct CommandRow {
    const char* name;
    CalendarRequest request; // file names relative to the fixture's folder
    int status;
    const char* says;   // part of stderr (empty: nothing on it)
    const char* prints; // part of stdout
    int lines;          // lines of the file written (-1: none written); events for --import-ics
    bool plannerOpen = false;
    bool bookingsUnreadable = false; // Appointment.bin a link into a folder not there
};

class CalendarCommandTest : public CalendarFixture,
                            public ::testing::WithParamInterface<CommandRow> {
protected:
    void SetUp() override {
        CalendarFixture::SetUp();
        Book(room, ann, cut, 2026, 12, 5, 540, 630, "first");
        Book(hall, bob, cut, 2026, 12, 6, 540, 630);
        Book(hall, ann, plain, 2026, 12, 8, 600, 660);
        ASSERT_TRUE(store.Save().Ok());
        WriteText(dir.file("in.ics"),
                  "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//T//EN\r\n"
                  "BEGIN:VEVENT\r\nUID:a\r\nDTSTART:20261206T090000\r\nDURATION:PT1H\r\n"
                  "SUMMARY:Bob\r\nEND:VEVENT\r\n" // collides with Bob's booking in the hall
                  "BEGIN:VEVENT\r\nUID:b\r\nDTSTART:20261207T090000\r\nDURATION:PT1H\r\n"
                  "SUMMARY:Walk-in\r\nRRULE:FREQ=DAILY;COUNT=3\r\nEND:VEVENT\r\n"
                  "END:VCALENDAR\r\n");
        WriteText(dir.file("huge.ics"), "BEGIN:VCALENDAR\r\n");
        std::filesystem::resize_file(dir.file("huge.ics"), kIcsMaxBytes + 1); // sparse
        WriteText(dir.file("broken.ics"), "BEGIN:VCALENDAR\r\nno colon here\r\nEND:VCALENDAR\r\n");
    }
    static int Lines(const std::string& text) {
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }
};

TEST_P(CalendarCommandTest, ExitsWithItsStatusAndSaysWhy) {
    const CommandRow& row = GetParam();
    CalendarRequest request = row.request;
    request.file = dir.file(request.file);
    // A planner open on the data holds the folder's lock.
    std::optional<InstanceLock> planner;
    if (row.plannerOpen) {
        planner.emplace(ProgramFolders{dir.path()}.Data());
    }
    if (row.bookingsUnreadable) {
        const std::string bookings = ProgramFolders{dir.path()}.Data() + "/Appointment.bin";
        std::filesystem::remove(bookings);
        std::filesystem::create_symlink(dir.file("unmounted/Appointment.bin"), bookings);
    }
    std::ostringstream o;
    std::ostringstream e;
    EXPECT_EQ(RunCalendarCommand(ProgramFolders{dir.path()}, request, o, e), row.status);
    const std::string out = o.str();
    const std::string errors = e.str();
    EXPECT_EQ(errors.empty(), *row.says == '\0') << errors;
    EXPECT_NE(errors.find(row.says), std::string::npos) << errors;
    EXPECT_NE(out.find(row.prints), std::string::npos) << out;
    const std::string written = ReadText(dir.file("out"));
    if (row.request.kind == Kind::Import) {
        ClsGlobal after{ProgramFolders{dir.path()}, FileSystem::Real(), StoreMode::ReadOnly};
        EXPECT_EQ(static_cast<int>(after.Appointments().Count()), 3 + row.lines);
    } else if (row.request.kind == Kind::Csv) {
        EXPECT_EQ(Lines(written) - 1, row.lines) << written;
    } else {
        const IcsReadResult read = ReadIcs(written, 0, 100000, "");
        EXPECT_EQ(read.ok ? static_cast<int>(read.events.size()) : -1, row.lines) << read.error;
    }
}

CalendarRequest Request(Kind kind, const char* file, const char* resource = "",
                        const char* customer = "", const char* from = "", const char* to = "",
                        const char* type = "") {
    return {kind, file, resource, customer, type, from, to};
}

INSTANTIATE_TEST_SUITE_P(
    Table, CalendarCommandTest,
    ::testing::Values(
        CommandRow{"IcsAll", Request(Kind::Ics, "out"), 0, "", "", 3},
        CommandRow{"IcsResourceAnyCase", Request(Kind::Ics, "out", " hall "), 0, "", "", 2},
        CommandRow{"CsvCustomerAndRange",
                   Request(Kind::Csv, "out", "", "Müller; Ann \\ Café", "2026-12-06", "2026-12-31"),
                   0, "", "", 1},
        CommandRow{"CsvResourceAndCustomer", Request(Kind::Csv, "out", "Hall", "bob"), 0, "", "",
                   1},
        CommandRow{"UnknownResource", Request(Kind::Ics, "out", "Attic"), 2,
                   "there is no resource named 'Attic'", "", -1},
        CommandRow{"NotADate", Request(Kind::Csv, "out", "", "", "2026-02-30"), 2,
                   "'2026-02-30' is not a date", "", -1},
        CommandRow{"ToBeforeFrom", Request(Kind::Csv, "out", "", "", "2026-12-06", "2026-12-05"), 2,
                   "--to 2026-12-05 is before --from 2026-12-06", "", -1},
        CommandRow{"IntoTheDataFolder", Request(Kind::Ics, "Data/out"), 2,
                   "it is in the data folder", "", -1},
        CommandRow{"BookingsUnreadable", Request(Kind::Ics, "out"), 1,
                   "cannot read Appointment.bin", "", -1, false, true},
        CommandRow{"ImportNeedsAType", Request(Kind::Import, "in.ics", "Hall"), 2,
                   "needs --resource NAME and --type NAME", "", 0},
        CommandRow{"ImportUnknownType", Request(Kind::Import, "in.ics", "Hall", "", "", "", "Perm"),
                   2, "there is no type named 'Perm'", "", 0},
        CommandRow{
            "ImportBooksWhatIsFree",
            Request(Kind::Import, "in.ics", "Hall", "bob", "2026-12-01", "2026-12-31", "free"), 0,
            "",
            "skipped 'Bob' 2026-12-06 09:00: collides with the booking of Bob at "
            "2026-12-06 09:00\nbooked 3 of 4 events\n",
            3},
        CommandRow{
            "ImportRangeCutsRepeats",
            Request(Kind::Import, "in.ics", "Hall", "bob", "2026-12-08", "2026-12-08", "free"), 0,
            "", "booked 1 of 2 events\n", 1},
        CommandRow{"ImportBrokenFile",
                   Request(Kind::Import, "broken.ics", "Hall", "", "", "", "Free"), 1,
                   "broken.ics: The file has a line that cannot be read", "", 0},
        CommandRow{"ImportWhileAPlannerIsOpen",
                   Request(Kind::Import, "in.ics", "Hall", "bob", "", "", "Free"), 1,
                   "the planner is open on", "", 0, true},
        CommandRow{"ImportHugeFile", Request(Kind::Import, "huge.ics", "Hall", "", "", "", "Free"),
                   1, "huge.ics: The file is larger than 64 MB.", "", 0},
        CommandRow{"ImportMissingFile",
                   Request(Kind::Import, "none.ics", "Hall", "", "", "", "Free"), 1, "cannot read",
                   "", 0}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
