#include "grid/ScheduleTimeAxis.h"

#include <algorithm>
#include <cmath>

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

} // namespace

void ScheduleTimeAxis::Set(int32_t firstDay, int32_t lastDay, int dayStart, int dayEnd,
                           int pixelsPerHour) {
    first_ = firstDay;
    const int64_t days = int64_t{lastDay} - firstDay + 1;
    days_ = static_cast<int>(std::clamp<int64_t>(days, 0, kMaxDays));
    dayStart_ = std::clamp(dayStart, 0, 1439);
    dayEnd_ = dayEnd <= dayStart_ ? 1440 : std::min(dayEnd, 1440);
    pixelsPerHour_ = std::max(1, pixelsPerHour);
}

int64_t ScheduleTimeAxis::ContentWidth() const {
    return static_cast<int64_t>(std::ceil(XOf(TotalMinutes())));
}

int64_t ScheduleTimeAxis::OffsetOf(int32_t day, int minute) const {
    return OffsetOfAbsolute(int64_t{day} * 1440 + minute);
}

int64_t ScheduleTimeAxis::OffsetOfAbsolute(int64_t minutesSinceDayZero) const {
    const int64_t day = FloorDiv(minutesSinceDayZero, 1440);
    const int64_t minute = minutesSinceDayZero - day * 1440;
    const int64_t index = day - first_;
    if (index < 0) {
        return 0;
    }
    if (index >= days_) {
        return TotalMinutes();
    }
    return index * Span() + std::clamp<int64_t>(minute, dayStart_, dayEnd_) - dayStart_;
}

int64_t ScheduleTimeAxis::AbsoluteOf(int64_t offset) const {
    const Moment m = MomentAt(offset, false);
    return int64_t{m.day} * 1440 + m.minute;
}

ScheduleTimeAxis::Moment ScheduleTimeAxis::MomentAt(int64_t offset, bool asEnd) const {
    offset = std::clamp<int64_t>(offset, 0, TotalMinutes());
    int64_t index = offset / Span();
    int64_t rest = offset % Span();
    if (asEnd && rest == 0 && offset > 0) {
        --index;
        rest = Span();
    }
    Moment m{static_cast<int32_t>(first_ + index), static_cast<int>(dayStart_ + rest)};
    if (m.minute >= 1440) {
        ++m.day;
        m.minute -= 1440;
    }
    return m;
}

int64_t ScheduleTimeAxis::OffsetAtX(double x) const {
    const auto offset = static_cast<int64_t>(std::floor(x / PixelsPerMinute()));
    return std::clamp<int64_t>(offset, 0, TotalMinutes());
}

int64_t ScheduleTimeAxis::SnappedOffsetAtX(double x, int stepMinutes) const {
    const auto nearest = static_cast<int64_t>(std::llround(x / PixelsPerMinute()));
    const int64_t offset = std::clamp<int64_t>(nearest, 0, TotalMinutes());
    if (stepMinutes <= 1 || days_ == 0) {
        return offset;
    }
    int64_t index = offset / Span();
    const int64_t minute = dayStart_ + offset % Span();
    int64_t snapped = (minute + stepMinutes / 2) / stepMinutes * stepMinutes;
    snapped = std::clamp<int64_t>(snapped, dayStart_, dayEnd_);
    return std::min(index * Span() + snapped - dayStart_, TotalMinutes());
}

int ScheduleTimeAxis::SnapMinutes() const {
    for (int step : {5, 15, 30}) {
        if (step * PixelsPerMinute() >= 2.0) {
            return step;
        }
    }
    return 60;
}

int ScheduleTimeAxis::StepForWidth(double minPixels) const {
    for (int step : {15, 30, 60, 120, 180, 240, 360, 720}) {
        if (step * PixelsPerMinute() >= minPixels) {
            return step;
        }
    }
    return 0;
}
