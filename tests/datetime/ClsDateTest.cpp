#include "datetime/ClsDate.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "base/Clock.h"
#include "support/LogFile.h"
#include "support/StoreFixture.h"

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

class ClsDateTest : public StoreFixture {
protected:
    void TearDown() override {
        EXPECT_EQ(LogLines(), logged); // nothing but the expected failures
        StoreFixture::TearDown();
    }
    static int LogLines() {
        const std::string log = ReadLog();
        return static_cast<int>(std::count(log.begin(), log.end(), '\n'));
    }
    // A failed call returns 0 or "" and adds exactly one log line naming it and the error.
    template <class T> void ExpectFailed(const T& result, const std::string& proc, int32_t number) {
        EXPECT_EQ(result, T{}) << proc;
        EXPECT_EQ(LogLines(), ++logged) << proc;
        EXPECT_NE(ReadLog().find(ModError::FormatLine("ClsDate", proc, 0, number, "")),
                  std::string::npos)
            << ReadLog();
    }

    int logged = 0;
    ClsDate date;
};

int32_t Day(int y, int m, int d) {
    return ClsDate::DayNumberFromCivil(y, m, d);
}

TEST_F(ClsDateTest, PackingAndSplitting) {
    // clang-format off
    struct Row { int32_t days, time, packed, day, minute; };
    const Row rows[] = {{0, 570, 570, 0, 570}, {1, 0, 2048, 1, 0}, {2, 1500, 5596, 2, 1500},
        {3, 2048 + 5, 3 * 2048 + 5, 3, 5}, {-1, 10, -2038, -1, 10}, {-1, -1, -1, -1, 2047},
        {1048575, 0, 1048575 * 2048, 1048575, 0}};
    // clang-format on
    for (const Row& r : rows) {
        int32_t packed = date.JoinDateTime(r.days, r.time);
        EXPECT_EQ(packed, r.packed) << r.days;
        EXPECT_EQ(date.SplitDateVal(packed), r.day) << r.days;
        EXPECT_EQ(date.SplitTimeVal(packed), r.minute) << r.days;
    }
    ExpectFailed(date.JoinDateTime(1048576, 0), "JoinDateTime", 6);
}

TEST_F(ClsDateTest, CivilCalendarAndPlatformDates) {
    // clang-format off
    struct Row { int y, m, d, day, weekday; };
    const Row rows[] = {{1900, 1, 1, 0, 1}, {1899, 12, 31, -1, 0}, {2024, 1, 1, 45290, 1},
        {2026, 12, 5, 46359, 6}, {100, 1, 1, -657436, 5}, {9999, 12, 31, 2958463, 5},
        {2024, 13, 1, 45656, 3}, {2024, 3, 0, 45349, 4}};
    // clang-format on
    for (const Row& r : rows) {
        EXPECT_EQ(Day(r.y, r.m, r.d), r.day) << r.y << "-" << r.m << "-" << r.d;
        EXPECT_EQ(ClsDate::Weekday(r.day), r.weekday) << r.day;
    }
    for (int32_t day = -657436; day <= 2958463; day += 997) {
        int y = 0, m = 0, d = 0;
        ClsDate::CivilFromDayNumber(day, y, m, d);
        ASSERT_EQ(Day(y, m, d), day);
        ASSERT_TRUE(m >= 1 && m <= 12 && d >= 1 && d <= date.DaysInMonth(day)) << day;
    }
    // Negative date values carry the day in their integer part: -0.5 is 30 Dec 1899 noon.
    // clang-format off
    const std::pair<double, int32_t> values[] = {{2.0, 0}, {2.99998, 0}, {1.5, -1}, {-0.5, -2},
        {45292.75, 45290}, {-657434.0, -657436}, {2958465.999, 2958463}};
    // clang-format on
    for (auto [value, day] : values) {
        EXPECT_EQ(date.DateToLong(value), day) << value;
        EXPECT_EQ(date.LongToDate(day), std::trunc(value)) << value;
    }
    ExpectFailed(date.DateToLong(2958466.0), "DateToLong", 6);
    ExpectFailed(date.LongToDate(2958464), "LongToDate", 5);
    // Now, as the clock has it: 5 Dec 2026 08:00.
    EXPECT_EQ(std::make_pair(date.CurrentDateTime(), date.MinutesNow()),
              std::make_pair(date.JoinDateTime(46359, 480), 480));
    EXPECT_EQ(date.Today(), 46359);
    Clock::SetFixed(Clock::LocalTime{4771, 1, 1, 0, 0, 0}); // beyond the last packable day
    ExpectFailed(date.CurrentDateTime(), "CurrentDateTime", 6);
    Clock::SetFixed(Clock::LocalTime{2023, 2, 29, 0, 0, 0});
    ExpectFailed(date.Today(), "Today", 5);
}

// Every day of every month of years with and without a leap day knows its month.
TEST_F(ClsDateTest, MonthBoundaries) {
    for (int y : {100, 1900, 2000, 2023, 2024, 9999}) {
        for (int m = 1; m <= 12; ++m) {
            const int32_t first = Day(y, m, 1), last = Day(y, m + 1, 1) - 1;
            ASSERT_EQ(last - first + 1,
                      m == 2 ? 28 + (y % 4 == 0 && y != 1900 && y != 100) : 30 + (m + m / 8) % 2);
            for (int32_t day = first; day <= last; ++day) {
                SCOPED_TRACE(testing::Message() << y << "-" << m << " day " << day);
                EXPECT_EQ(date.FirstDayOfMonth(day), first);
                EXPECT_EQ(date.LastDayOfMonth(day), last);
                EXPECT_EQ(date.DaysInMonth(day), last - first + 1);
            }
        }
    }
    ExpectFailed(date.FirstDayOfMonth(2958464), "FirstDayOfMonth", 5);
    ExpectFailed(date.LastDayOfMonth(-657437), "LastDayOfMonth", 5);
    ExpectFailed(date.DaysInMonth(kMax), "DaysInMonth", 5);
}

TEST_F(ClsDateTest, TimeTexts) {
    const std::pair<int32_t, const char*> minutes[] = {
        {0, "00:00"},     {1439, "23:59"}, {90, "01:30"},    {1500, "25:00"},
        {-90, "-01:-30"}, {-5, "00:-05"},  {6000, "100:00"}, {32767, "546:07"}};
    for (auto [value, text] : minutes) {
        EXPECT_EQ(date.MinutesToTime(value), text);
        EXPECT_EQ(date.MilitaryTime(static_cast<int16_t>(value)), text);
    }
    EXPECT_EQ(date.MinutesToTime(std::numeric_limits<int32_t>::min()), "-35791394:-08");
    EXPECT_EQ(date.SecondsToTime(3725), "01:02:05");
    EXPECT_EQ(date.SecondsToTime(90000), "25:00:00");
    EXPECT_EQ(date.SecondsToTime(-3725), "-01:-02:-05");
    EXPECT_EQ(date.DateAndTimeString(Day(2026, 12, 5), 570), "05 Dec 2026 09:30");
    EXPECT_EQ(date.DateAndTimeString(0, 1500), "01 Jan 1900 25:00");
    ExpectFailed(date.DateAndTimeString(3000000, 0), "DateAndTimeString", 5);
}

// The one time text of the screens and the report: noon and midnight are 12 on the 12-hour
// clock, and the 24-hour clock reads as MinutesToTime.
TEST_F(ClsDateTest, TimeTextsOnEitherClock) {
    using S = ClsDate::TimeStyle;
    const struct {
        int32_t minutes;
        const char *h12, *h12Short, *h12Hour, *h24, *h24Hour;
    } rows[] = {
        {0, "12:00am", "12am", "12", "00:00", "00"},
        {5, "12:05am", "12:05am", "12", "00:05", "00"},
        {570, "9:30am", "9:30am", "9", "09:30", "09"},
        {660, "11:00am", "11am", "11", "11:00", "11"},
        {720, "12:00pm", "12pm", "12", "12:00", "12"},
        {750, "12:30pm", "12:30pm", "12", "12:30", "12"},
        {780, "1:00pm", "1pm", "1", "13:00", "13"},
        {1439, "11:59pm", "11:59pm", "11", "23:59", "23"},
        {1447, "12:07am", "12:07am", "12", "24:07", "24"}, // a minute part past the day's end
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.minutes);
        EXPECT_EQ(ClsDate::TimeText(r.minutes, false), r.h12);
        EXPECT_EQ(ClsDate::TimeText(r.minutes, false, S::Short), r.h12Short);
        EXPECT_EQ(ClsDate::TimeText(r.minutes, false, S::Hour), r.h12Hour);
        EXPECT_EQ(ClsDate::TimeText(r.minutes, true), r.h24);
        EXPECT_EQ(ClsDate::TimeText(r.minutes, true, S::Short), r.h24);
        EXPECT_EQ(ClsDate::TimeText(r.minutes, true, S::Hour), r.h24Hour);
        EXPECT_EQ(ClsDate::TimeText(r.minutes, true), date.MinutesToTime(r.minutes));
    }
}

TEST_F(ClsDateTest, TimeParsing) {
    // clang-format off
    struct Row { const char* text; int32_t minutes; int16_t msm; int32_t seconds; };
    const Row rows[] = {{"9:30", 570, 570, 34200}, {"14:05:59", 845, 845, 50759},
        {"930", 0, 0, 0}, {"", 0, 0, 0}, {"  9: 30", 570, 570, 34200}, {"30:45", 1845, 1845, 110700},
        {"0:0.5", 0, 0, 30}, {"0:1.5", 2, 2, 90}, {"0:2.5", 2, 2, 150}, {"0.5:0", 0, 30, 1800},
        {"-1:30", -30, -30, -1800}, {"+1e1:5x", 605, 605, 36300}, {"abc:def", 0, 0, 0},
        {"12:", 720, 720, 43200}, {"1:2:3.5", 62, 62, 3724}, {"1.:.5e1", 65, 65, 3900},
        {"546:7", 32767, 32767, 1966020}, {"0:1e-400", 0, 0, 0}};
    // clang-format on
    for (const Row& r : rows) {
        EXPECT_EQ(date.TimeToMinutes(r.text), r.minutes) << r.text;
        EXPECT_EQ(date.MinutesSinceMidnight(r.text), r.msm) << r.text;
        EXPECT_EQ(date.SecondsSinceMidnight(r.text), r.seconds) << r.text;
    }
    ExpectFailed(date.MinutesSinceMidnight("546:8"), "MinutesSinceMidnight", 6);
    ExpectFailed(date.TimeToMinutes("99999999:0"), "TimeToMinutes", 6);
    ExpectFailed(date.SecondsSinceMidnight("1e400:0"), "SecondsSinceMidnight", 6);
    // One second past the int32 range.
    ExpectFailed(date.SecondsSinceMidnight("596523:14:8"), "SecondsSinceMidnight", 6);
}

TEST_F(ClsDateTest, MinutesBetweenAndAdjust) {
    // clang-format off
    struct Row { int32_t d1, m1, d2, m2, between; };
    const Row rows[] = {{100, 1380, 101, 60, 120}, {100, 600, 100, 570, -30}, {-5, 0, 0, 0, 7200},
        {Day(2024, 1, 31), 1430, Day(2024, 2, 1), 10, 20},
        {Day(2025, 12, 31), 1439, Day(2026, 1, 1), 0, 1},
        {Day(2024, 2, 28), 600, Day(2024, 3, 1), 600, 2880}};
    // clang-format on
    for (const Row& r : rows) {
        const int32_t a = date.JoinDateTime(r.d1, r.m1), b = date.JoinDateTime(r.d2, r.m2);
        EXPECT_EQ(date.MinutesBetween(a, b), r.between) << r.d1;
        EXPECT_EQ(date.MinutesAdjust(a, r.between), b) << r.d1;
        EXPECT_EQ(date.MinutesAdjust(b, -r.between), a) << r.d1;
    }
    const int32_t midnight = date.JoinDateTime(100, 1440), ok = date.JoinDateTime(100, 0);
    ExpectFailed(date.MinutesBetween(ok, midnight), "MinutesBetween", 13);
    ExpectFailed(date.MinutesAdjust(midnight, 5), "MinutesAdjust", 13);
    ExpectFailed(date.MinutesBetween(date.JoinDateTime(-600000, 0), date.JoinDateTime(1000000, 0)),
                 "MinutesBetween", 6);
    ExpectFailed(date.MinutesAdjust(date.JoinDateTime(1048575, 0), 1440), "MinutesAdjust", 6);
    ExpectFailed(date.MinutesAdjust(date.JoinDateTime(-657436, 0), -1), "MinutesAdjust", 5);
}

// The minute-by-minute count-down that Granularise must agree with.
int32_t CountDown(int32_t minutes, int32_t g) {
    int32_t v = minutes + g / 2;
    while (v % g != 0 && v >= 1) {
        --v;
    }
    return v;
}

// A granularity below 1 is taken as 1, and the caller's variable set to it.
TEST_F(ClsDateTest, Granularise) {
    for (int32_t g : {-5, 0, 1, 2, 7, 15, 60, 1440}) {
        for (int32_t m = -100; m <= 3000; ++m) {
            int32_t gg = g;
            ASSERT_EQ(date.Granularise(m, gg), CountDown(m, std::max(g, 1))) << m << "/" << g;
            ASSERT_EQ(gg, std::max(g, 1));
        }
    }
    int32_t g = 10;
    ExpectFailed(date.Granularise(kMax, g), "Granularise", 6);
}

} // namespace
