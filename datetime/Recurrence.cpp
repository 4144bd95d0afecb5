#include "datetime/Recurrence.h"

#include <algorithm>
#include <optional>

#include "datetime/ClsDate.h"

namespace {

int DaysInMonth(int year, int month) {
    return ClsDate::DayNumberFromCivil(year, month + 1, 1) -
           ClsDate::DayNumberFromCivil(year, month, 1);
}

// The n-th (1-based) weekday of a month, or nothing when the month has fewer.
std::optional<int32_t> NthWeekday(int year, int month, int weekday, int n) {
    const int32_t first = ClsDate::DayNumberFromCivil(year, month, 1);
    const int offset = (weekday - ClsDate::Weekday(first) + 7) % 7;
    const int day = 1 + offset + 7 * (n - 1);
    if (day > DaysInMonth(year, month)) {
        return std::nullopt;
    }
    return first + day - 1;
}

class Collector {
public:
    Collector(const RecurrenceRule& rule, int limit, int32_t lastDay)
        : rule_(rule), limit_(limit), lastDay_(lastDay) {}

    // False once no later day can be taken.
    bool Take(int32_t day) {
        if (day > lastDay_ || (rule_.end == RecurrenceRule::End::Until && day > rule_.until)) {
            return false;
        }
        if (rule_.end == RecurrenceRule::End::Count &&
            static_cast<int>(out.days.size()) >= std::max(rule_.count, 1)) {
            return false;
        }
        if (static_cast<int>(out.days.size()) >= limit_) {
            out.more = true;
            return false;
        }
        out.days.push_back(day);
        return true;
    }
    // A month passed over; false once it lies past the end.
    bool Skip(int year, int month) {
        const int32_t first = ClsDate::DayNumberFromCivil(year, month, 1);
        if (first > lastDay_ || (rule_.end == RecurrenceRule::End::Until && first > rule_.until) ||
            (rule_.end == RecurrenceRule::End::Count &&
             static_cast<int>(out.days.size()) >= std::max(rule_.count, 1))) {
            return false;
        }
        // Past the limit only a later day can tell whether the rule gives more.
        if (static_cast<int>(out.days.size()) < limit_) {
            out.skipped.push_back({year, month});
        }
        return true;
    }
    RecurrenceDays out;

private:
    const RecurrenceRule& rule_;
    int limit_;
    int32_t lastDay_;
};

} // namespace

RecurrenceDays Recurrence::Expand(const RecurrenceRule& rule, int32_t firstDay, int limit,
                                  int32_t lastDay) {
    Collector c(rule, std::max(limit, 1), lastDay);
    if (!c.Take(firstDay)) {
        return c.out;
    }
    const int interval = std::max(rule.interval, 1);
    switch (rule.frequency) {
    case RecurrenceRule::Frequency::Daily:
        for (int64_t day = int64_t{firstDay} + interval; day <= lastDay; day += interval) {
            if (!c.Take(static_cast<int32_t>(day))) {
                break;
            }
        }
        break;
    case RecurrenceRule::Frequency::Weekdays:
    case RecurrenceRule::Frequency::Weekly: {
        const bool workdays = rule.frequency == RecurrenceRule::Frequency::Weekdays;
        const uint8_t mask = workdays             ? uint8_t{0b0111110}
                             : rule.weekdays != 0 ? rule.weekdays
                                                  : uint8_t(1u << ClsDate::Weekday(firstDay));
        const int step = workdays ? 1 : interval;
        // Weeks run Monday to Sunday; the first day's week is week 0.
        const int64_t monday = firstDay - (ClsDate::Weekday(firstDay) + 6) % 7;
        for (int64_t week = monday;; week += 7 * int64_t{step}) {
            bool going = true;
            for (int i = 0; i < 7 && going; ++i) {
                const int64_t day = week + i;
                if (day <= firstDay || (mask & (1u << ClsDate::Weekday(int32_t(day)))) == 0) {
                    continue;
                }
                going = day <= lastDay && c.Take(static_cast<int32_t>(day));
            }
            if (!going || week > lastDay) {
                break;
            }
        }
        break;
    }
    case RecurrenceRule::Frequency::MonthlyByDate:
    case RecurrenceRule::Frequency::MonthlyByWeekday: {
        int year = 0;
        int month = 0;
        int dayOfMonth = 0;
        ClsDate::CivilFromDayNumber(firstDay, year, month, dayOfMonth);
        const int weekday = ClsDate::Weekday(firstDay);
        const int nth = (dayOfMonth - 1) / 7 + 1;
        for (int64_t m = int64_t{month} - 1 + interval;; m += interval) {
            const int y = year + static_cast<int>(m / 12);
            const int mo = static_cast<int>(m % 12) + 1;
            std::optional<int32_t> day;
            if (rule.frequency == RecurrenceRule::Frequency::MonthlyByDate) {
                if (dayOfMonth <= DaysInMonth(y, mo)) {
                    day = ClsDate::DayNumberFromCivil(y, mo, dayOfMonth);
                }
            } else {
                day = NthWeekday(y, mo, weekday, nth);
            }
            if (day ? !c.Take(*day) : !c.Skip(y, mo)) {
                break;
            }
        }
        break;
    }
    }
    return c.out;
}
