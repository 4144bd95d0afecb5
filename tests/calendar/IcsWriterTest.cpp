// Exported calendars: other programs read them without a complaint and find the bookings at
// the right moments with their names intact; UIDs stay put; CSV quotes what it must.
#include <cstdlib>
#include <sstream>

#include "calendar/CalendarFixture.h"
#include "calendar/CsvWriter.h"
#include "calendar/ExportSelection.h"
#include "calendar/IcsWriter.h"

namespace {

// Parses with python's icalendar (every component's errors list empty) and vobject
// (validate, serialise), then prints each event as summary|location|description|start|end,
// times in UTC.
const char* kCheck = R"(import sys, datetime, icalendar, vobject
text = open(sys.argv[1], encoding='utf-8', newline='').read()
cal = icalendar.Calendar.from_ical(text)
errors = [(c.name, e) for c in cal.walk() for e in c.errors]
if errors:
    print('icalendar errors:', errors); sys.exit(2)
v = vobject.readOne(text)
if not v.validate():
    print('vobject refuses'); sys.exit(3)
v.serialize()
def utc(p):
    d = p.dt
    if d.tzinfo is None:
        return d.strftime('%Y-%m-%d %H:%M floating')
    return d.astimezone(datetime.timezone.utc).strftime('%Y-%m-%d %H:%M')
for e in cal.walk('VEVENT'):
    print('|'.join([str(e.get('SUMMARY')), str(e.get('LOCATION')), str(e.get('DESCRIPTION', '')).replace('\n', '<NL>'),
                    utc(e['DTSTART']), utc(e['DTEND'])]))
)";

class IcsWriterTest : public CalendarFixture {
protected:
    std::string Export(const std::string& zone) {
        IcsOptions options{zone, dir.path(), 1796112000};
        std::ostringstream out;
        EXPECT_TRUE(WriteIcs(store, SelectAppointments(store, {}), options, out));
        return out.str();
    }
    // The python check's output; fails the test when python complains.
    std::string Python(const std::string& text) {
        WriteText(dir.file("check.py"), kCheck);
        WriteText(dir.file("out.ics"), text);
        std::string output;
        const int status =
            Run("/usr/bin/python3 " + dir.file("check.py") + " " + dir.file("out.ics") + " 2>&1",
                output);
        EXPECT_EQ(status, 0) << output;
        return output;
    }
};

struct ZoneRow {
    const char* zone;
    const char* winter; // 5 Dec 2026 09:00-10:30 local, as UTC
    const char* summer; // 1 Jul 2026 23:30-2 Jul 00:15 local, as UTC
};

class IcsZones : public IcsWriterTest, public ::testing::WithParamInterface<ZoneRow> {};

TEST_P(IcsZones, OtherProgramsReadTheNamesAndMoments) {
    Book(room, ann, cut, 2026, 12, 5, 540, 630, "a,b;c\\d\ne");
    Book(hall, longName, plain, 2026, 7, 1, 1410, 1455);
    const std::string text = Export(GetParam().zone);
    // Escaped as the grammar wants, which lenient readers would not notice.
    EXPECT_NE(text.find("\r\nSUMMARY:Müller\\; Ann \\\\ Café - Cut\\, wash\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\nDESCRIPTION:a\\,b\\;c\\\\d\\ne\r\n"), std::string::npos);
    // No content line is longer than 75 octets, and folding never cuts a UTF-8 sequence.
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 76u) << line; // with the CR
        EXPECT_FALSE(line.size() > 1 && (static_cast<unsigned char>(line[1]) & 0xC0) == 0x80);
    }
    EXPECT_EQ(Python(text),
              std::string("Müller; Ann \\ Café - Cut, wash|Room €1, east|a,b;c\\d<NL>e|") +
                  GetParam().winter + "\n" + "€€€€€€€€€€€€€€€€€€€€€€€€ - Free|Hall||" +
                  GetParam().summer + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Table, IcsZones,
    ::testing::Values(ZoneRow{"Europe/Berlin", "2026-12-05 08:00|2026-12-05 09:30",
                              "2026-07-01 21:30|2026-07-01 22:15"},
                      ZoneRow{"UTC", "2026-12-05 09:00|2026-12-05 10:30",
                              "2026-07-01 23:30|2026-07-02 00:15"},
                      ZoneRow{"", "2026-12-05 09:00 floating|2026-12-05 10:30 floating",
                              "2026-07-01 23:30 floating|2026-07-02 00:15 floating"}));

TEST_F(IcsWriterTest, UidNamesTheRecordOfItsFolderHoweverTheFolderIsWritten) {
    // Calendars that imported an export, and the server, know bookings by it: it must not
    // change with a new version either.
    EXPECT_EQ(UidOf("/srv/plans/Data", 7), "7-30bd9146f2c1@tidemar");
    const std::string uid = UidOf(dir.path(), 42);
    EXPECT_EQ(UidOf(dir.path() + "/", 42), uid);
    EXPECT_EQ(UidOf(dir.path() + "/../" + dir.path().substr(dir.path().rfind('/') + 1), 42), uid);
    EXPECT_NE(UidOf(dir.path() + "/Data", 42), uid);
    EXPECT_NE(UidOf(dir.path(), 43), uid);
    EXPECT_EQ(IdOfUid(dir.path(), uid), 42);
    EXPECT_EQ(IdOfUid(dir.path() + "/Data", uid), 0);
    EXPECT_EQ(IdOfUid(dir.path(), "x" + uid), 0);
    // The same booking gets the same UID in every export.
    const int32_t id = Book(room, bob, cut, 2026, 12, 5, 540, 600);
    IcsOptions options{"Europe/Berlin", dir.path(), 0};
    EXPECT_NE(IcsOfAppointment(store, id, options).find("UID:" + UidOf(dir.path(), id) + "\r\n"),
              std::string::npos);
    EXPECT_EQ(IcsOfAppointment(store, id + 1, options), "");
}

TEST_F(IcsWriterTest, SearchResultsGoOutInTheirOrderWithoutThoseGone) {
    const int32_t a = Book(room, ann, cut, 2026, 12, 5, 540, 630);
    const int32_t b = Book(hall, bob, cut, 2026, 12, 9, 540, 630);
    ExportSelection found{ExportSelection::Kind::Ids, 0, {b, a + 1000, a}};
    EXPECT_EQ(SelectAppointments(store, found), (std::vector<int32_t>{b, a}));
    found.toDay = Day(2026, 12, 8);
    EXPECT_EQ(SelectAppointments(store, found), (std::vector<int32_t>{a}));
}

struct TzRow {
    const char* tz; // nullptr: unset
    const char* zone;
};

class MachineZones : public ::testing::TestWithParam<TzRow> {};

TEST_P(MachineZones, TzNamesTheZoneWhenLibicalKnowsIt) {
    const char* before = std::getenv("TZ");
    const std::string kept = before != nullptr ? before : "";
    setenv("TZ", GetParam().tz, 1);
    EXPECT_EQ(MachineZone(), GetParam().zone);
    before != nullptr ? setenv("TZ", kept.c_str(), 1) : unsetenv("TZ");
}

INSTANTIATE_TEST_SUITE_P(Table, MachineZones,
                         ::testing::Values(TzRow{"Europe/Berlin", "Europe/Berlin"},
                                           TzRow{":America/New_York", "America/New_York"},
                                           TzRow{"/usr/share/zoneinfo/Asia/Tokyo", "Asia/Tokyo"},
                                           TzRow{"CET-1CEST", ""}, TzRow{"Nowhere/Land", ""}));

TEST_F(IcsWriterTest, CsvQuotesOnlyFieldsThatNeedIt) {
    Book(room, ann, cut, 2026, 12, 5, 540, 630, "say \"hi\"");
    Book(hall, bob, plain, 2026, 12, 31, 1410, 1455);
    std::ostringstream out;
    ASSERT_TRUE(WriteCsv(store, SelectAppointments(store, {}), out));
    EXPECT_EQ(out.str(),
              "Start date,Start time,End date,End time,Resource,Customer,Type,Reference\r\n"
              "2026-12-05,09:00,2026-12-05,10:30,\"Room €1, east\",Müller; Ann \\ Café,"
              "\"Cut, wash\",\"say \"\"hi\"\"\"\r\n"
              "2026-12-31,23:30,2027-01-01,00:15,Hall,Bob,Free,\r\n");
}

} // namespace
