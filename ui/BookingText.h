#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>

#include "store/SeriesPlan.h"

class ClsGlobal;

// Bookings in words, as messages name them: "Ann, Massage, Tue 08 Dec 2026 09:00 to 11:00".
class BookingText {
public:
    // "Wed 02 Jun 2021"
    static QString DayText(int32_t day);
    // "Tue 08 Dec 2026 09:00 to 11:00"; the end's day only when it differs from the start's.
    static QString Times(int32_t startDtTm, int32_t endDtTm, bool twentyFourHour);
    // Customer, type and times of a stored booking.
    static QString Describe(const ClsGlobal& store, int32_t id, bool twentyFourHour);
    // "Collides with " and the description.
    static QString CollisionText(const ClsGlobal& store, int32_t otherId, bool twentyFourHour);
    // One line per planned booking that is not free: its times, and the booking in its way
    // or the type's rule it breaks.
    static QStringList Problems(const ClsGlobal& store, std::span<const PlannedBooking> plan,
                                std::span<const PlanCheck> checks, bool twentyFourHour);
};
