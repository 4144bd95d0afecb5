#include "datetime/Recurrence.h"

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "datetime/ClsDate.h"

namespace {

int32_t D(int y, int m, int d) {
    return ClsDate::DayNumberFromCivil(y, m, d);
}

using Freq = RecurrenceRule::Frequency;
using End = RecurrenceRule::End;
constexpr uint8_t kSun = 1, kMon = 2, kTue = 4, kWed = 8, kThu = 16, kFri = 32;

RecurrenceRule Rule(Freq f, int interval, uint8_t weekdays, End end, int count, int32_t until = 0) {
    RecurrenceRule r;
    r.frequency = f;
    r.interval = interval;
    r.weekdays = weekdays;
    r.end = end;
    r.count = count;
    r.until = until;
    return r;
}

struct ExpandCase {
    const char* name;
    RecurrenceRule rule;
    int32_t first;
    std::vector<int32_t> days;
    std::vector<SkippedMonth> skipped;
};
void PrintTo(const ExpandCase& c, std::ostream* os) {
    *os << c.name;
}

class RecurrenceExpandTest : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(RecurrenceExpandTest, GivesTheDaysAndTheMonthsPassedOver) {
    const ExpandCase& c = GetParam();
    const RecurrenceDays got = Recurrence::Expand(c.rule, c.first);
    EXPECT_EQ(got.days, c.days);
    EXPECT_EQ(got.skipped, c.skipped);
    EXPECT_FALSE(got.more);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RecurrenceExpandTest,
    ::testing::Values(
        ExpandCase{"WeeklyOnItsOwnWeekday",
                   Rule(Freq::Weekly, 1, 0, End::Count, 4),
                   D(2026, 12, 7),
                   {D(2026, 12, 7), D(2026, 12, 14), D(2026, 12, 21), D(2026, 12, 28)},
                   {}},
        ExpandCase{"WeekdaysSkipTheWeekend",
                   Rule(Freq::Weekdays, 3, 0, End::Count, 4),
                   D(2026, 12, 11),
                   {D(2026, 12, 11), D(2026, 12, 14), D(2026, 12, 15), D(2026, 12, 16)},
                   {}},
        ExpandCase{
            "EveryOtherWeekOnTwoDays",
            Rule(Freq::Weekly, 2, kTue | kThu, End::Count, 5),
            D(2026, 12, 1),
            {D(2026, 12, 1), D(2026, 12, 3), D(2026, 12, 15), D(2026, 12, 17), D(2026, 12, 29)},
            {}},
        // The first day is booked though it is none of the rule's weekdays; its week has
        // no chosen day after it.
        ExpandCase{"FirstDayOffTheRule",
                   Rule(Freq::Weekly, 1, kMon | kWed, End::Count, 3),
                   D(2026, 12, 3),
                   {D(2026, 12, 3), D(2026, 12, 7), D(2026, 12, 9)},
                   {}},
        // Weeks run Monday to Sunday: a Sunday closes the first day's week.
        ExpandCase{"SundayEndsTheWeek",
                   Rule(Freq::Weekly, 2, kSun | kMon, End::Count, 4),
                   D(2026, 12, 7),
                   {D(2026, 12, 7), D(2026, 12, 13), D(2026, 12, 21), D(2026, 12, 27)},
                   {}},
        ExpandCase{"DailyUntilAnIncludedDay",
                   Rule(Freq::Daily, 3, 0, End::Until, 0, D(2026, 12, 10)),
                   D(2026, 12, 1),
                   {D(2026, 12, 1), D(2026, 12, 4), D(2026, 12, 7), D(2026, 12, 10)},
                   {}},
        ExpandCase{"DailyOverALeapDay",
                   Rule(Freq::Daily, 1, 0, End::Count, 4),
                   D(2028, 2, 27),
                   {D(2028, 2, 27), D(2028, 2, 28), D(2028, 2, 29), D(2028, 3, 1)},
                   {}},
        ExpandCase{"UntilBeforeTheFirstDay",
                   Rule(Freq::Daily, 1, 0, End::Until, 0, D(2026, 11, 30)),
                   D(2026, 12, 1),
                   {},
                   {}},
        ExpandCase{"IntervalBelowOneIsOne",
                   Rule(Freq::Daily, 0, 0, End::Count, 2),
                   D(2026, 12, 31),
                   {D(2026, 12, 31), D(2027, 1, 1)},
                   {}},
        ExpandCase{"MonthEndsPassShortMonths",
                   Rule(Freq::MonthlyByDate, 1, 0, End::Count, 4),
                   D(2027, 1, 31),
                   {D(2027, 1, 31), D(2027, 3, 31), D(2027, 5, 31), D(2027, 7, 31)},
                   {{2027, 2}, {2027, 4}, {2027, 6}}},
        ExpandCase{"ThirtiethPassesFebruaryOnly",
                   Rule(Freq::MonthlyByDate, 1, 0, End::Until, 0, D(2027, 4, 30)),
                   D(2027, 1, 30),
                   {D(2027, 1, 30), D(2027, 3, 30), D(2027, 4, 30)},
                   {{2027, 2}}},
        ExpandCase{"LeapDayYearly",
                   Rule(Freq::MonthlyByDate, 12, 0, End::Count, 3),
                   D(2024, 2, 29),
                   {D(2024, 2, 29), D(2028, 2, 29), D(2032, 2, 29)},
                   {{2025, 2}, {2026, 2}, {2027, 2}, {2029, 2}, {2030, 2}, {2031, 2}}},
        // A month passed over before the end is listed; the one after it is not.
        ExpandCase{"SkippedMonthsUpToTheEnd",
                   Rule(Freq::MonthlyByDate, 1, 0, End::Until, 0, D(2027, 7, 15)),
                   D(2027, 3, 31),
                   {D(2027, 3, 31), D(2027, 5, 31)},
                   {{2027, 4}, {2027, 6}}},
        ExpandCase{"SecondTuesday",
                   Rule(Freq::MonthlyByWeekday, 1, 0, End::Count, 3),
                   D(2026, 12, 8),
                   {D(2026, 12, 8), D(2027, 1, 12), D(2027, 2, 9)},
                   {}},
        ExpandCase{"SecondTuesdayOnTheFourteenth",
                   Rule(Freq::MonthlyByWeekday, 1, 0, End::Count, 3),
                   D(2027, 12, 14),
                   {D(2027, 12, 14), D(2028, 1, 11), D(2028, 2, 8)},
                   {}},
        ExpandCase{"FifthTuesdayOnlyWhereThereIsOne",
                   Rule(Freq::MonthlyByWeekday, 1, 0, End::Count, 3),
                   D(2026, 12, 29),
                   {D(2026, 12, 29), D(2027, 3, 30), D(2027, 6, 29)},
                   {{2027, 1}, {2027, 2}, {2027, 4}, {2027, 5}}},
        // April's fifth Friday is its last day.
        ExpandCase{"FifthFridayOnAMonthsLastDay",
                   Rule(Freq::MonthlyByWeekday, 1, 0, End::Count, 2),
                   D(2027, 1, 29),
                   {D(2027, 1, 29), D(2027, 4, 30)},
                   {{2027, 2}, {2027, 3}}},
        ExpandCase{"QuarterlyOverTheYearEnd",
                   Rule(Freq::MonthlyByWeekday, 3, 0, End::Count, 3),
                   D(2026, 11, 2),
                   {D(2026, 11, 2), D(2027, 2, 1), D(2027, 5, 3)},
                   {}},
        // Day arithmetic only: the clock change of 28 March 2027 moves nothing.
        ExpandCase{"OverAClockChange",
                   Rule(Freq::Weekly, 1, kFri, End::Count, 2),
                   D(2027, 3, 26),
                   {D(2027, 3, 26), D(2027, 4, 2)},
                   {}},
        ExpandCase{"StopsAtTheLastDay",
                   Rule(Freq::Daily, 1, 0, End::Count, 5),
                   Recurrence::kLastDay - 1,
                   {Recurrence::kLastDay - 1, Recurrence::kLastDay},
                   {}}),
    [](const auto& row) { return std::string(row.param.name); });

struct LimitCase {
    const char* name;
    RecurrenceRule rule;
    bool more;
};
void PrintTo(const LimitCase& c, std::ostream* os) {
    *os << c.name;
}
class RecurrenceLimitTest : public ::testing::TestWithParam<LimitCase> {};

// At most the limit of days, and a word when the rule would give more.
TEST_P(RecurrenceLimitTest, SaysWhenTheRuleGivesMore) {
    const RecurrenceDays got = Recurrence::Expand(GetParam().rule, D(2027, 1, 31));
    EXPECT_EQ(got.days.size(),
              GetParam().more ? 1000U : static_cast<size_t>(GetParam().rule.count));
    EXPECT_EQ(got.more, GetParam().more);
    // Months passed over are listed only up to the last day listed.
    for (const SkippedMonth& m : got.skipped) {
        EXPECT_LT(D(m.year, m.month, 1), got.days.back()) << m.year << "-" << m.month;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, RecurrenceLimitTest,
    ::testing::Values(
        LimitCase{"ExactlyTheLimit", Rule(Freq::Daily, 1, 0, End::Count, 1000), false},
        LimitCase{"OneOver", Rule(Freq::Daily, 1, 0, End::Count, 1001), true},
        LimitCase{"UntilFarAway", Rule(Freq::Weekdays, 1, 0, End::Until, 0, D(2040, 1, 1)), true},
        // The thousandth day is followed by a month passed over, then more.
        LimitCase{"MorePastASkippedMonth", Rule(Freq::MonthlyByDate, 1, 0, End::Count, 2000),
                  true}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
