// Reading calendars: what is not a calendar is refused whole, times land on the machine's
// wall clock from any zone, repeating events are laid out over the range asked for.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "calendar/IcsReader.h"
#include "datetime/ClsDate.h"

namespace {

const std::string kZone = "Europe/Berlin";

// A calendar holding events made of the lines given (each a string of CRLF-ended lines).
std::string Calendar(const std::vector<std::string>& events, const std::string& extra = "") {
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//EN\r\n" + extra;
    for (const std::string& e : events) {
        text +=
            "BEGIN:VEVENT\r\nUID:e" + std::to_string(text.size()) + "\r\n" + e + "END:VEVENT\r\n";
    }
    return text + "END:VCALENDAR\r\n";
}

std::string When(int32_t dtTm) {
    int y = 0;
    int m = 0;
    int d = 0;
    ClsDate::CivilFromDayNumber(dtTm >> 11, y, m, d);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", y, m, d, (dtTm & 2047) / 60,
                  (dtTm & 2047) % 60);
    return text;
}

const int32_t kFrom = ClsDate::DayNumberFromCivil(2026, 12, 1);
const int32_t kTo = ClsDate::DayNumberFromCivil(2026, 12, 31);

IcsReadResult Read(const std::string& text, const std::string& zone = kZone) {
    return ReadIcs(text, kFrom, kTo, zone);
}

struct RefusedRow {
    const char* name;
    std::string text;
    const char* says;
};

class Refusals : public ::testing::TestWithParam<RefusedRow> {};

TEST_P(Refusals, AreWholeAndSayWhy) {
    const IcsReadResult r = Read(GetParam().text);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.events.empty());
    EXPECT_NE(r.error.find(GetParam().says), std::string::npos) << r.error;
}

std::string TooBig() {
    std::string text = Calendar({"DTSTART:20261205T080000\r\n"});
    text.resize(kIcsMaxBytes + 1, '\n');
    return text;
}

std::string Nested(int depth) {
    std::string text = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < depth; ++i) {
        text += "BEGIN:X-PART\r\n";
    }
    for (int i = 0; i < depth; ++i) {
        text += "END:X-PART\r\n";
    }
    return text + "END:VCALENDAR\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Table, Refusals,
    ::testing::Values(
        RefusedRow{"Empty", "", "empty"}, RefusedRow{"Blank", " \r\n\r\n", "empty"},
        RefusedRow{"Text", "Dear Ann,\r\nsee you.\r\n", "not an iCalendar"},
        RefusedRow{"Card", "BEGIN:VCARD\r\nFN:Ann\r\nEND:VCARD\r\n", "not an iCalendar"},
        RefusedRow{"BrokenLine", Calendar({"DTSTART:20261205T080000\r\nthis line has no name\r\n"}),
                   "cannot be read"},
        RefusedRow{"BadValue", Calendar({"DTSTART:2026-12-05 08:00\r\n"}), "cannot be read"},
        RefusedRow{"TooBig", TooBig(), "larger than 64 MB"},
        RefusedRow{"NulAfterTheEnd", Calendar({}) + std::string(1, '\0'), "NUL byte"},
        RefusedRow{"NestedDeep", Nested(500000), "nests its parts deeper"}),
    [](const auto& row) { return row.param.name; });

struct TimeRow {
    const char* name;
    std::string lines;
    std::string zone;
    const char* start;
    const char* end;
    const char* problem;
};

class Times : public ::testing::TestWithParam<TimeRow> {};

TEST_P(Times, LandOnTheMachinesWallClock) {
    const TimeRow& row = GetParam();
    const std::string ownZone = "BEGIN:VTIMEZONE\r\nTZID:Office\r\nBEGIN:STANDARD\r\n"
                                "DTSTART:19700101T000000\r\nTZOFFSETFROM:-0300\r\n"
                                "TZOFFSETTO:-0300\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
    const IcsReadResult r = Read(Calendar({row.lines}, ownZone), row.zone);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.events.size(), 1u);
    const IcsEvent& e = r.events[0];
    EXPECT_EQ(e.problem, row.problem);
    EXPECT_EQ(e.recurrence, 0);
    if (e.problem.empty()) {
        EXPECT_EQ(When(e.startDtTm), row.start);
        EXPECT_EQ(When(e.endDtTm), row.end);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Times,
    ::testing::Values(
        TimeRow{"OtherZone",
                "DTSTART;TZID=America/New_York:20261205T080000\r\n"
                "DTEND;TZID=America/New_York:20261205T093000\r\n",
                kZone, "2026-12-05 14:00", "2026-12-05 15:30", ""},
        TimeRow{"FilesOwnZone",
                "DTSTART;TZID=Office:20261205T080000\r\nDTEND;TZID=Office:20261205T090000\r\n",
                kZone, "2026-12-05 12:00", "2026-12-05 13:00", ""},
        TimeRow{"UtcSummerWithDuration", "DTSTART:20260701T120000Z\r\nDURATION:PT90M\r\n", kZone,
                "2026-07-01 14:00", "2026-07-01 15:30", ""},
        TimeRow{"UtcAcrossMidnight", "DTSTART:20261205T223000Z\r\nDTEND:20261205T233000Z\r\n",
                kZone, "2026-12-05 23:30", "2026-12-06 00:30", ""},
        TimeRow{"Floating", "DTSTART:20261205T080000\r\nDTEND:20261205T093000\r\n", kZone,
                "2026-12-05 08:00", "2026-12-05 09:30", ""},
        TimeRow{"NoMachineZone", "DTSTART:20261205T080000Z\r\nDTEND:20261205T090000Z\r\n", "",
                "2026-12-05 08:00", "2026-12-05 09:00", ""},
        TimeRow{"WholeDay", "DTSTART;VALUE=DATE:20261205\r\n", kZone, "2026-12-05 00:00",
                "2026-12-06 00:00", ""},
        TimeRow{"NoStart", "SUMMARY:x\r\n", kZone, "", "", "it has no start"},
        TimeRow{"EndBeforeStart", "DTSTART:20261205T080000\r\nDTEND:20261205T070000\r\n", kZone, "",
                "", "it ends before it starts"},
        TimeRow{"Before1900", "DTSTART:18991231T080000\r\nDURATION:PT1H\r\n", kZone, "", "",
                "its date is before 1900 or after 4770-11-26"},
        TimeRow{"PastTheLastStoredDay", "DTSTART:47710101T080000\r\nDURATION:PT1H\r\n", kZone, "",
                "", "its date is before 1900 or after 4770-11-26"},
        TimeRow{"Seconds", "DTSTART:20261205T080030\r\nDURATION:PT1H\r\n", kZone, "", "",
                "its time has seconds"}),
    [](const auto& row) { return row.param.name; });

TEST(IcsRepeats, AreLaidOutOverTheRangeWithTheirChangesAndExceptions) {
    const std::string weekly = "SUMMARY:Weekly\r\n"
                               "DTSTART;TZID=Europe/Berlin:20261020T090000\r\n"
                               "DTEND;TZID=Europe/Berlin:20261020T100000\r\n"
                               "RRULE:FREQ=WEEKLY;COUNT=12\r\n"
                               "EXDATE;TZID=Europe/Berlin:20261208T090000\r\n"
                               "RDATE;TZID=Europe/Berlin:20261224T150000\r\n";
    const std::string daily = "DTSTART:20200101T070000Z\r\nDURATION:PT30M\r\n"
                              "RRULE:FREQ=DAILY\r\n";
    std::string text = Calendar({weekly, daily, "DTSTART:20261205T080000Z\r\n"});
    // The occurrence of 15 Dec moves to 11:00; the changed one names the event by UID.
    const std::string uid = text.substr(
        text.find("UID:") + 4, text.find("\r\n", text.find("UID:")) - text.find("UID:") - 4);
    text.insert(text.rfind("END:VCALENDAR"),
                "BEGIN:VEVENT\r\nUID:" + uid +
                    "\r\nRECURRENCE-ID;TZID=Europe/Berlin:20261215T090000\r\n"
                    "DTSTART;TZID=Europe/Berlin:20261215T110000\r\nDURATION:PT1H\r\n"
                    "SUMMARY:Moved\r\nEND:VEVENT\r\n");
    const IcsReadResult r =
        ReadIcs(text, kFrom, ClsDate::DayNumberFromCivil(2026, 12, 3) + 28, kZone, 5);
    ASSERT_TRUE(r.ok) << r.error;
    std::vector<std::string> seen;
    for (const IcsEvent& e : r.events) {
        seen.push_back(When(e.startDtTm) + "-" + When(e.endDtTm).substr(11) + " " +
                       e.summary.substr(0, 5) + " " + std::to_string(e.recurrence));
    }
    // Weekly from 20 Oct for 12 weeks, through the change of summer time: 1, 15 (moved),
    // 22, 24 (added), 29 Dec; 8 Dec left out. Daily since 2020: the first five of the range.
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "2026-12-01 09:00-10:00 Weekl 1", "2026-12-15 11:00-12:00 Moved 1",
                        "2026-12-22 09:00-10:00 Weekl 1", "2026-12-24 15:00-16:00 Weekl 1",
                        "2026-12-29 09:00-10:00 Weekl 1", "2026-12-01 08:00-08:30  2",
                        "2026-12-02 08:00-08:30  2", "2026-12-03 08:00-08:30  2",
                        "2026-12-04 08:00-08:30  2", "2026-12-05 08:00-08:30  2",
                        "2026-12-05 09:00-09:00  0"}));
}

} // namespace
