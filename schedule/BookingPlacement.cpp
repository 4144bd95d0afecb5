#include "schedule/BookingPlacement.h"

#include <algorithm>

#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"
#include "ui/BookingText.h"

namespace {

constexpr int64_t kMinutesPerDay = 1440;

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// The nearest time of day on the increment, half way rounding up, as the dialog snaps; it
// may round up to the next day's midnight. Worked here rather than through the date
// helpers' snapping, which lets pending events run: this runs inside mouse handlers.
int64_t Snapped(int64_t minutes, int32_t increment) {
    const int64_t day = FloorDiv(minutes, kMinutesPerDay);
    const int64_t time = minutes - day * kMinutesPerDay + increment / 2;
    return day * kMinutesPerDay + time - time % increment;
}

} // namespace

BookingPlacement::Result BookingPlacement::Place(const ClsAppointment& booking, int32_t resourceId,
                                                 int64_t start, int64_t end, Edge edge,
                                                 bool copy) const {
    const auto type = store_.TypeLoad(booking.TypeId());
    const int32_t increment = std::max(type->IncTime(), 1);
    const int64_t least = std::max(type->MinTime(), 1);
    const int64_t most = type->MaxTime();
    Result r;
    r.resourceId = resourceId;
    r.start = Snapped(start, increment);
    r.end = Snapped(end, increment);
    // The minimum first, then the maximum, as the dialog does: a maximum below the minimum
    // wins.
    int64_t wanted = std::max(r.end - r.start, least);
    if (most > 0 && wanted > most) {
        wanted = most;
    }
    if (edge == Edge::Start) {
        r.start = r.end - wanted;
    } else {
        r.end = r.start + wanted;
    }
    r.collidesWith = store_.OverlappingAppointment(copy ? 0 : booking.Id(), resourceId,
                                                   DtTm(r.start), DtTm(r.end));
    return r;
}

int64_t BookingPlacement::Minutes(int32_t dtTm) const {
    return ClsDate::MinuteOf(dtTm);
}

int32_t BookingPlacement::DtTm(int64_t minutes) const {
    const int64_t day = FloorDiv(minutes, kMinutesPerDay);
    return date_.JoinDateTime(static_cast<int32_t>(day),
                              static_cast<int32_t>(minutes - day * kMinutesPerDay));
}

QString BookingPlacement::CollisionText(int32_t otherId, bool twentyFourHour) const {
    return BookingText::CollisionText(store_, otherId, twentyFourHour);
}
