#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "store/SeriesPlan.h"

class ClsGlobal;

// How far a change of one date of a series goes, and the dates and bookings that follows to.
class SeriesScope {
public:
    enum class Reach { OnlyThis, ThisAndFollowing, All };

    // Where a booking stands in its series. A series of fewer than two is no series: then
    // seriesId is 0.
    struct Place {
        int32_t seriesId = 0;
        int position = 0; // 1 for the first date
        int count = 0;
        int Following() const { return count - position + 1; } // this one among them
        bool InSeries() const { return seriesId != 0; }
    };
    static Place PlaceOf(const ClsGlobal& store, int32_t appointmentId);

    // The dates the reach takes, ordered by start; the booking alone when it is in no series.
    static std::vector<int32_t> Dates(const ClsGlobal& store, int32_t appointmentId, Reach reach);

    // What changes on every date: the start moves by `shift` minutes (across days); the rest
    // replaces each date's own value when given.
    struct Change {
        int64_t shift = 0;
        std::optional<int32_t> minutes; // the new length
        std::optional<int32_t> customerId;
        std::optional<int32_t> resourceId;
        std::optional<int32_t> typeId;
        std::optional<std::string> reference;
    };
    // One planned move per date, in the order given.
    static std::vector<PlannedBooking> Plan(const ClsGlobal& store, std::span<const int32_t> ids,
                                            const Change& change);
};
