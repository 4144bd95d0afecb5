#pragma once

#include <QString>

#include <cstdint>

class ClsAppointment;
class ClsDate;
class ClsGlobal;

// Where a booking may go when it is moved, resized or copied by hand: the type's duration
// rules as the appointment dialog applies them, and the store's overlap rule. Changes nothing.
// Times are minutes since day 0, 00:00 (day * 1440 + minute).
class BookingPlacement {
public:
    // Which end the user moves; Whole keeps the duration.
    enum class Edge { Whole, Start, End };
    struct Result {
        int32_t resourceId = 0;
        int64_t start = 0;
        int64_t end = 0;
        int32_t collidesWith = 0; // the booking in the way, 0 when none
    };

    BookingPlacement(const ClsGlobal& store, const ClsDate& date) : store_(store), date_(date) {}

    // Both times snap to the type's increment on the clock; then the end (the start when
    // only the start is moved) is pulled into the type's minimum and maximum duration.
    Result Place(const ClsAppointment& booking, int32_t resourceId, int64_t start, int64_t end,
                 Edge edge, bool copy) const;

    int32_t StartDtTm(const Result& r) const { return DtTm(r.start); }
    int32_t EndDtTm(const Result& r) const { return DtTm(r.end); }
    int64_t Minutes(int32_t dtTm) const;
    // "Collides with Ann, Massage, Wed 02 Jun 2021 10:00 to 10:30"; times on the 24-hour clock
    // or not as given.
    QString CollisionText(int32_t otherId, bool twentyFourHour) const;

private:
    int32_t DtTm(int64_t minutes) const;

    const ClsGlobal& store_;
    const ClsDate& date_;
};
