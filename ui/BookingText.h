#pragma once

#include <QString>

#include <cstdint>

class ClsDate;
class ClsGlobal;

// How a stored booking is named to the user wherever one stands in the way of another: the
// main window's notes and the dialogs that plan bookings say it the same way.
class BookingText {
public:
    BookingText(const ClsGlobal& store, const ClsDate& date) : store_(store), date_(date) {}

    // "Wed 02 Jun 2021"
    static QString DayText(int32_t day);
    // "Ann, Massage, Wed 02 Jun 2021 10:00 to 10:30": the end's day only when it differs
    // from the start's; times on the 24-hour clock or not as given.
    QString Describe(int32_t appointmentId, bool twentyFourHour) const;
    // "Collides with " and the description.
    QString CollisionText(int32_t otherId, bool twentyFourHour) const;

private:
    const ClsGlobal& store_;
    const ClsDate& date_;
};
