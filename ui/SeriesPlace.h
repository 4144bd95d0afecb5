#pragma once

#include <QString>

#include <cstdint>

class ClsGlobal;

// Where a booking stands in its series, for the sign on its bar and the note in its tooltip.
// A series down to one booking is no series to the user: that booking stands alone.
class SeriesPlace {
public:
    // True when the appointment is one of a series of two or more. Cheap enough for every
    // bar of a rebuild: two lookups, none when no series exists.
    static bool Marked(const ClsGlobal& store, int32_t appointmentId);
    // "Series: 3 of 10", its place by start among the series' bookings and their number;
    // empty when it is not marked.
    static QString Note(const ClsGlobal& store, int32_t appointmentId);
};
