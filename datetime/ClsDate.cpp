#include "datetime/ClsDate.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "base/Clock.h"
#include "base/Error.h"
#include "base/Hooks.h"
#include "base/ModError.h"

namespace {

constexpr int32_t kMinutesPerDay = 1440;
constexpr int32_t kTimeMask = 2047;
constexpr int64_t kTimeFactor = 2048;

// Platform date serials run from 1 Jan 100 to 31 Dec 9999; serial 2 is 1 Jan 1900.
constexpr int64_t kMinSerial = -657434;
constexpr int64_t kMaxSerial = 2958465;
constexpr int64_t kSerialOfDayZero = 2;
constexpr int64_t kMinDay = kMinSerial - kSerialOfDayZero;
constexpr int64_t kMaxDay = kMaxSerial - kSerialOfDayZero;
// Days from 1 Jan 1970 back to 1 Jan 1900.
constexpr int64_t kDaysFrom1900To1970 = 25567;

constexpr const char* kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A value, or the classic error number that stopped it.
template <class T> struct Outcome {
    T value{};
    int32_t error = 0;

    Outcome(T v) : value(std::move(v)) {}
    static Outcome Fail(int32_t number) {
        Outcome o{T{}};
        o.error = number;
        return o;
    }
};

// Logs a failure under the calling function's name; a failed function returns 0 or "".
template <class T> T Trap(const char* procName, const Outcome<T>& o) {
    if (o.error == 0) {
        return o.value;
    }
    ModError::LogError("ClsDate", procName, MakeError(o.error));
    return T{};
}

bool DayInRange(int64_t day) {
    return day >= kMinDay && day <= kMaxDay;
}

Outcome<int32_t> ToInt32(int64_t v) {
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) {
        return Outcome<int32_t>::Fail(ErrorNumber::Overflow);
    }
    return static_cast<int32_t>(v);
}

// Rounds to the nearest integer of type I, halves to the even neighbour.
template <class I> Outcome<I> RoundTo(double v) {
    if (!std::isfinite(v)) {
        return Outcome<I>::Fail(ErrorNumber::Overflow);
    }
    // remainder() rounds the quotient half-to-even whatever the rounding mode.
    double r = v - std::remainder(v, 1.0);
    if (r < static_cast<double>(std::numeric_limits<I>::min()) ||
        r > static_cast<double>(std::numeric_limits<I>::max())) {
        return Outcome<I>::Fail(ErrorNumber::Overflow);
    }
    return static_cast<I>(r);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number at the start of a text: leading spaces, an optional sign, digits, an optional
// fraction and exponent; reading stops at the first character that cannot continue it.
Outcome<double> LeadingNumber(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const size_t start = i;
    // Decimal magnitude of the mantissa, to tell overflow from underflow.
    int64_t magnitude = 0;
    bool seenNonZero = false;
    size_t digits = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i, ++digits) {
        seenNonZero = seenNonZero || s[i] != '0';
        magnitude += seenNonZero ? 1 : 0;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && IsDigit(s[i]); ++i, ++digits) {
            magnitude -= seenNonZero ? 0 : 1;
            seenNonZero = seenNonZero || s[i] != '0';
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        bool expNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            expNegative = s[j] == '-';
            ++j;
        }
        if (j < s.size() && IsDigit(s[j])) {
            int64_t exponent = 0;
            for (; j < s.size() && IsDigit(s[j]); ++j) {
                exponent = std::min<int64_t>(exponent * 10 + (s[j] - '0'), 1'000'000'000);
            }
            magnitude += expNegative ? -exponent : exponent;
            i = j;
        }
    }
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(s.data() + start, s.data() + i, value);
    if (ec == std::errc::result_out_of_range) {
        if (!seenNonZero || magnitude <= 0) {
            return 0.0;
        }
        return Outcome<double>::Fail(ErrorNumber::Overflow);
    }
    if (ec != std::errc{}) {
        return 0.0;
    }
    return negative ? -value : value;
}

// The text before and after the first ":", or nothing when there is none.
std::optional<std::pair<std::string_view, std::string_view>> SplitAtColon(std::string_view s) {
    size_t p = s.find(':');
    if (p == std::string_view::npos) {
        return std::nullopt;
    }
    return std::pair{s.substr(0, p), s.substr(p + 1)};
}

// Hours * 60 + minutes of an "h:m" text, unrounded; 0 without a colon.
Outcome<double> RawMinutes(std::string_view text) {
    auto parts = SplitAtColon(text);
    if (!parts) {
        return 0.0;
    }
    Outcome<double> h = LeadingNumber(parts->first);
    Outcome<double> m = LeadingNumber(parts->second);
    if (h.error != 0 || m.error != 0) {
        return Outcome<double>::Fail(ErrorNumber::Overflow);
    }
    double total = h.value * 60.0 + m.value;
    if (!std::isfinite(total)) {
        return Outcome<double>::Fail(ErrorNumber::Overflow);
    }
    return total;
}

// At least two digits, a leading minus for negative values.
std::string Pad2(int64_t v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%02lld", v < 0 ? "-" : "",
                  static_cast<long long>(v < 0 ? -v : v));
    return buf;
}

std::string HoursMinutes(int32_t minutes) {
    int32_t h = minutes / 60;
    return Pad2(h) + ":" + Pad2(minutes - 60 * h);
}

int DaysInCivilMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// A date with the day's month and year; the day must be within the platform range.
struct Civil {
    int year;
    int month;
    int day;
};

Civil CivilOf(int32_t dayNumber) {
    Civil c{};
    ClsDate::CivilFromDayNumber(dayNumber, c.year, c.month, c.day);
    return c;
}

// Day number of a valid clock date within the platform range.
Outcome<int32_t> DayOfClockDate(const Clock::LocalTime& t) {
    if (t.year < 100 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > DaysInCivilMonth(t.year, t.month)) {
        return Outcome<int32_t>::Fail(ErrorNumber::InvalidCall);
    }
    return ClsDate::DayNumberFromCivil(t.year, t.month, t.day);
}

Outcome<int32_t> Join(int64_t days, int32_t timeVal) {
    return ToInt32(days * kTimeFactor + (timeVal & kTimeMask));
}

// A DtTm as minutes since 1 Jan 1900 00:00. The minute part must read as a time of day,
// and the day must be a platform date.
Outcome<int64_t> MomentOf(int32_t dtTm) {
    int64_t day = dtTm >> 11;
    int64_t minute = dtTm & kTimeMask;
    if (minute >= kMinutesPerDay) {
        return Outcome<int64_t>::Fail(ErrorNumber::TypeMismatch);
    }
    if (!DayInRange(day)) {
        return Outcome<int64_t>::Fail(ErrorNumber::InvalidCall);
    }
    return day * kMinutesPerDay + minute;
}

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

} // namespace

int32_t ClsDate::FirstDayOfMonth(int32_t longVal) const {
    auto calc = [&]() -> Outcome<int32_t> {
        if (!DayInRange(longVal)) {
            return Outcome<int32_t>::Fail(ErrorNumber::InvalidCall);
        }
        Civil c = CivilOf(longVal);
        return DayNumberFromCivil(c.year, c.month, 1);
    };
    return Trap("FirstDayOfMonth", calc());
}

// Computed from the month's length rather than from the 1st of the next month, so that
// December 9999 has a last day too.
int32_t ClsDate::LastDayOfMonth(int32_t longVal) const {
    auto calc = [&]() -> Outcome<int32_t> {
        if (!DayInRange(longVal)) {
            return Outcome<int32_t>::Fail(ErrorNumber::InvalidCall);
        }
        Civil c = CivilOf(longVal);
        return DayNumberFromCivil(c.year, c.month, DaysInCivilMonth(c.year, c.month));
    };
    return Trap("LastDayOfMonth", calc());
}

int32_t ClsDate::DaysInMonth(int32_t longVal) const {
    auto calc = [&]() -> Outcome<int32_t> {
        if (!DayInRange(longVal)) {
            return Outcome<int32_t>::Fail(ErrorNumber::InvalidCall);
        }
        Civil c = CivilOf(longVal);
        return DaysInCivilMonth(c.year, c.month);
    };
    return Trap("DaysInMonth", calc());
}

int32_t ClsDate::CurrentDateTime() const {
    auto calc = [&]() -> Outcome<int32_t> {
        Clock::LocalTime now = Clock::Now();
        Outcome<int32_t> day = DayOfClockDate(now);
        if (day.error != 0) {
            return day;
        }
        return Join(day.value, now.hour * 60 + now.minute);
    };
    return Trap("CurrentDateTime", calc());
}

// A negative date value keeps the day in its integer part and the time of day in the
// magnitude of its fraction, so the day is the value truncated toward zero.
int32_t ClsDate::DateToLong(double dateVal) const {
    auto calc = [&]() -> Outcome<int32_t> {
        if (!std::isfinite(dateVal)) {
            return Outcome<int32_t>::Fail(ErrorNumber::Overflow);
        }
        double serial = std::trunc(dateVal);
        if (serial < static_cast<double>(kMinSerial) || serial > static_cast<double>(kMaxSerial)) {
            return Outcome<int32_t>::Fail(ErrorNumber::Overflow);
        }
        return static_cast<int32_t>(static_cast<int64_t>(serial) - kSerialOfDayZero);
    };
    return Trap("DateToLong", calc());
}

double ClsDate::LongToDate(int32_t longVal) const {
    auto calc = [&]() -> Outcome<double> {
        if (!DayInRange(longVal)) {
            return Outcome<double>::Fail(ErrorNumber::InvalidCall);
        }
        return static_cast<double>(longVal + kSerialOfDayZero);
    };
    return Trap("LongToDate", calc());
}

std::string ClsDate::MilitaryTime(int16_t minutes) const {
    return HoursMinutes(minutes);
}

int16_t ClsDate::MinutesSinceMidnight(const std::string& timeStr) const {
    auto calc = [&]() -> Outcome<int16_t> {
        Outcome<double> raw = RawMinutes(timeStr);
        if (raw.error != 0) {
            return Outcome<int16_t>::Fail(raw.error);
        }
        return RoundTo<int16_t>(raw.value);
    };
    return Trap("MinutesSinceMidnight", calc());
}

int32_t ClsDate::SecondsSinceMidnight(const std::string& timeStr) const {
    auto calc = [&]() -> Outcome<int32_t> {
        auto parts = SplitAtColon(timeStr);
        if (!parts) {
            return 0;
        }
        Outcome<double> raw = RawMinutes(timeStr);
        if (raw.error != 0) {
            return Outcome<int32_t>::Fail(raw.error);
        }
        Outcome<int32_t> t = RoundTo<int32_t>(raw.value * 60.0);
        if (t.error != 0) {
            return t;
        }
        auto seconds = SplitAtColon(parts->second);
        if (!seconds) {
            return t;
        }
        Outcome<double> s = LeadingNumber(seconds->second);
        if (s.error != 0) {
            return Outcome<int32_t>::Fail(s.error);
        }
        Outcome<int32_t> rounded = RoundTo<int32_t>(s.value);
        if (rounded.error != 0) {
            return rounded;
        }
        return ToInt32(int64_t{t.value} + rounded.value);
    };
    return Trap("SecondsSinceMidnight", calc());
}

std::string ClsDate::MinutesToTime(int32_t minsSinceMidnight) const {
    return HoursMinutes(minsSinceMidnight);
}

std::string ClsDate::TimeText(int32_t minutes, bool twentyFourHour, TimeStyle style) {
    if (twentyFourHour) {
        return style == TimeStyle::Hour ? Pad2(minutes / 60) : HoursMinutes(minutes);
    }
    const int32_t m = (minutes % kMinutesPerDay + kMinutesPerDay) % kMinutesPerDay;
    const int32_t hour = m / 60;
    const int32_t rest = m % 60;
    std::string text = std::to_string(hour % 12 == 0 ? 12 : hour % 12);
    if (style == TimeStyle::Hour) {
        return text;
    }
    if (style == TimeStyle::Full || rest != 0) {
        text += ":" + Pad2(rest);
    }
    return text + (hour < 12 ? "am" : "pm");
}

int32_t ClsDate::MinutesBetween(int32_t dtTm1, int32_t dtTm2) const {
    auto calc = [&]() -> Outcome<int32_t> {
        Outcome<int64_t> a = MomentOf(dtTm1);
        if (a.error != 0) {
            return Outcome<int32_t>::Fail(a.error);
        }
        Outcome<int64_t> b = MomentOf(dtTm2);
        if (b.error != 0) {
            return Outcome<int32_t>::Fail(b.error);
        }
        return ToInt32(b.value - a.value);
    };
    return Trap("MinutesBetween", calc());
}

int32_t ClsDate::MinutesAdjust(int32_t dtTmVal, int32_t adjMins) const {
    auto calc = [&]() -> Outcome<int32_t> {
        Outcome<int64_t> start = MomentOf(dtTmVal);
        if (start.error != 0) {
            return Outcome<int32_t>::Fail(start.error);
        }
        int64_t moment = start.value + adjMins;
        int64_t day = FloorDiv(moment, kMinutesPerDay);
        if (!DayInRange(day)) {
            return Outcome<int32_t>::Fail(ErrorNumber::InvalidCall);
        }
        return Join(day, static_cast<int32_t>(moment - day * kMinutesPerDay));
    };
    return Trap("MinutesAdjust", calc());
}

std::string ClsDate::SecondsToTime(int32_t secsSinceMidnight) const {
    int32_t h = secsSinceMidnight / 3600;
    int32_t rest = secsSinceMidnight - h * 3600;
    int32_t m = rest / 60;
    return Pad2(h) + ":" + Pad2(m) + ":" + Pad2(rest - m * 60);
}

// Same result as counting v down one minute at a time until it hits a multiple of the
// granularity or drops below 1, without the loop; pending events get one turn when the
// count-down would have run at all.
int32_t ClsDate::Granularise(int32_t minutes, int32_t& granularity) const {
    if (granularity < 1) {
        granularity = 1;
    }
    const int32_t g = granularity;
    auto calc = [&]() -> Outcome<int32_t> {
        Outcome<int32_t> v = ToInt32(int64_t{minutes} + g / 2);
        if (v.error != 0 || v.value < 1 || v.value % g == 0) {
            return v;
        }
        Hooks::DoEvents();
        return v.value - v.value % g;
    };
    return Trap("Granularise", calc());
}

std::string ClsDate::DateAndTimeString(int32_t daysSince1900, int32_t minsSinceMidnight) const {
    auto calc = [&]() -> Outcome<std::string> {
        if (!DayInRange(daysSince1900)) {
            return Outcome<std::string>::Fail(ErrorNumber::InvalidCall);
        }
        Civil c = CivilOf(daysSince1900);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%02d %s %04d ", c.day, kMonthNames[c.month - 1], c.year);
        return std::string(buf) + MinutesToTime(minsSinceMidnight);
    };
    return Trap("DateAndTimeString", calc());
}

int32_t ClsDate::JoinDateTime(int32_t daysSince1900, int32_t timeVal) const {
    return Trap("JoinDateTime", Join(daysSince1900, timeVal));
}

int32_t ClsDate::TimeToMinutes(const std::string& tmStr) const {
    auto calc = [&]() -> Outcome<int32_t> {
        auto parts = SplitAtColon(tmStr);
        if (!parts) {
            return 0;
        }
        Outcome<double> h = LeadingNumber(parts->first);
        Outcome<double> m = LeadingNumber(parts->second);
        if (h.error != 0 || m.error != 0) {
            return Outcome<int32_t>::Fail(ErrorNumber::Overflow);
        }
        Outcome<int32_t> hours = RoundTo<int32_t>(h.value);
        Outcome<int32_t> minutes = RoundTo<int32_t>(m.value);
        if (hours.error != 0 || minutes.error != 0) {
            return Outcome<int32_t>::Fail(ErrorNumber::Overflow);
        }
        return ToInt32(int64_t{hours.value} * 60 + minutes.value);
    };
    return Trap("TimeToMinutes", calc());
}

int32_t ClsDate::Today() const {
    return Trap("Today", DayOfClockDate(Clock::Now()));
}

int32_t ClsDate::MinutesNow() const {
    Clock::LocalTime now = Clock::Now();
    return now.hour * 60 + now.minute;
}

int ClsDate::Weekday(int32_t dayNumber) {
    // 1 Jan 1900 was a Monday.
    return static_cast<int>(((int64_t{dayNumber} + 1) % 7 + 7) % 7);
}

// Proleptic Gregorian; a month or day outside its usual range carries into the next
// (month 13 is January of the next year, day 0 the last day of the month before).
int32_t ClsDate::DayNumberFromCivil(int year, int month, int day) {
    int64_t y = int64_t{year} + FloorDiv(int64_t{month} - 1, 12);
    int64_t m = int64_t{month} - 1 - FloorDiv(int64_t{month} - 1, 12) * 12 + 1; // 1..12
    y -= m <= 2 ? 1 : 0;
    int64_t era = FloorDiv(y, 400);
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    int64_t daysSince1970 = era * 146097 + doe - 719468;
    return static_cast<int32_t>(daysSince1970 + kDaysFrom1900To1970 + (int64_t{day} - 1));
}

void ClsDate::CivilFromDayNumber(int32_t dayNumber, int& year, int& month, int& day) {
    int64_t z = int64_t{dayNumber} - kDaysFrom1900To1970 + 719468;
    int64_t era = FloorDiv(z, 146097);
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    int64_t d = doy - (153 * mp + 2) / 5 + 1;
    int64_t m = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}
