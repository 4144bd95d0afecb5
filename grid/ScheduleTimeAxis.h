#pragma once

#include <cstdint>

// The horizontal axis of the schedule grid: the days first..last side by side, each
// showing the minutes dayStart..dayEnd. An offset counts shown minutes from the left
// edge of the first day; x is in content pixels (0 = left edge of the first day).
class ScheduleTimeAxis {
public:
    struct Moment {
        int32_t day = 0;
        int minute = 0;
        bool operator==(const Moment&) const = default;
    };

    // Keeps sane values whatever it is given: at most kMaxDays days, a day of at least
    // one minute (an end at or before the start means the end of the day).
    void Set(int32_t firstDay, int32_t lastDay, int dayStart, int dayEnd, int pixelsPerHour);

    static constexpr int kMaxDays = 36600;

    int32_t FirstDay() const { return first_; }
    int DayCount() const { return days_; }
    int DayStart() const { return dayStart_; }
    int DayEnd() const { return dayEnd_; }
    int Span() const { return dayEnd_ - dayStart_; }
    int PixelsPerHour() const { return pixelsPerHour_; }
    double PixelsPerMinute() const { return pixelsPerHour_ / 60.0; }
    double DayWidth() const { return Span() * PixelsPerMinute(); }

    int64_t TotalMinutes() const { return int64_t{days_} * Span(); }
    int64_t ContentWidth() const;

    // Offset of a moment, clamped into the shown range; minutes outside the shown part
    // of a day go to the nearer edge of that part.
    int64_t OffsetOf(int32_t day, int minute) const;
    int64_t OffsetOfAbsolute(int64_t minutesSinceDayZero) const;
    // Minutes since day 0 at an offset.
    int64_t AbsoluteOf(int64_t offset) const;
    // The moment at an offset. A bar end on a day boundary belongs to the day before
    // (asEnd), so a bar ending at the end of a shortened day keeps that day.
    Moment MomentAt(int64_t offset, bool asEnd) const;

    double XOf(int64_t offset) const { return static_cast<double>(offset) * PixelsPerMinute(); }
    int64_t OffsetAtX(double x) const;
    // Offset nearest to x whose time of day is a multiple of stepMinutes.
    int64_t SnappedOffsetAtX(double x, int stepMinutes) const;

    // Drawing snaps to the finest of 5, 15, 30 or 60 minutes that is at least 2 px wide.
    int SnapMinutes() const;
    // The smallest ruler step (15 min .. 12 h) at least minPixels wide; 0 when none is.
    int StepForWidth(double minPixels) const;

private:
    int32_t first_ = 0;
    int days_ = 0;
    int dayStart_ = 0;
    int dayEnd_ = 1440;
    int pixelsPerHour_ = 8;
};
