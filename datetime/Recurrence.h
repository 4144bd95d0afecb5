#pragma once

#include <cstdint>
#include <vector>

// How a booking repeats, and the days it falls on. Days are day numbers (days since
// 1 Jan 1900, as ClsDate counts them); a booking keeps its wall-clock time on every day.
struct RecurrenceRule {
    enum class Frequency {
        Daily,            // every `interval` days
        Weekdays,         // every Monday to Friday
        Weekly,           // every `interval` weeks, on the weekdays of `weekdays`
        MonthlyByDate,    // every `interval` months, on the first day's day of the month
        MonthlyByWeekday, // every `interval` months, on the first day's weekday and its
                          // place in the month ("the second Tuesday")
    };
    enum class End { Count, Until };

    Frequency frequency = Frequency::Weekly;
    int interval = 1; // below 1 counts as 1; Weekdays ignores it
    // Weekly: bit d for weekday d (0 Sunday .. 6 Saturday); none means the first day's.
    uint8_t weekdays = 0;
    End end = End::Count;
    int count = 10;    // End::Count: how many days, the first day among them
    int32_t until = 0; // End::Until: the last day that may be booked (a day number)

    bool operator==(const RecurrenceRule&) const = default;
};

// A month the rule passes over because the day it names is not in it (31 April, the fifth
// Tuesday of a month with four).
struct SkippedMonth {
    int year = 0;
    int month = 0; // 1 .. 12
    bool operator==(const SkippedMonth&) const = default;
};

struct RecurrenceDays {
    std::vector<int32_t> days;         // ascending, the first day first
    std::vector<SkippedMonth> skipped; // months passed over, up to the last day listed
    bool more = false;                 // the rule gives more days than the limit let through
};

class Recurrence {
public:
    static constexpr int kMostDays = 1000;

    // The days the rule gives, starting with firstDay itself (always the first, even when it
    // is not one of the rule's weekdays), never past lastDay, and at most `limit` of them.
    // A skipped month does not count towards `count`.
    static RecurrenceDays Expand(const RecurrenceRule& rule, int32_t firstDay,
                                 int limit = kMostDays, int32_t lastDay = kLastDay);

    // The last day a packed date-time can hold (day * 2048 + minutes in 31 bits).
    static constexpr int32_t kLastDay = (INT32_MAX - 2047) / 2048;
};
