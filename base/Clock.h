#pragma once

#include <optional>

// Local "now" for the whole program; tests pin it.
namespace Clock {

struct LocalTime {
    int year = 1900;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

LocalTime Now();

// Pins Now() to a fixed moment; std::nullopt returns to the real clock.
void SetFixed(std::optional<LocalTime> t);

} // namespace Clock
