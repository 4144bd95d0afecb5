#include "base/Clock.h"

#include <ctime>

namespace {
std::optional<Clock::LocalTime> fixedTime;
}

namespace Clock {

LocalTime Now() {
    if (fixedTime) {
        return *fixedTime;
    }
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                     tm.tm_hour,        tm.tm_min,     tm.tm_sec};
}

void SetFixed(std::optional<LocalTime> t) {
    fixedTime = t;
}

} // namespace Clock
