#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class ClsGlobal;
class StoreChanges;

// A booking the user means to make, or to move, before anything is saved.
struct PlannedBooking {
    int32_t id = 0; // the booking moved; 0 for a new one
    int32_t customerId = 0;
    int32_t resourceId = 0;
    int32_t typeId = 0;
    int32_t startDtTm = 0;
    int32_t endDtTm = 0;
    std::string reference;
};

// What would become of one planned booking.
struct PlanCheck {
    enum class State { Free, Collides, OutsideRules };
    // Why a booking breaks its type's rules.
    enum class Rule { None, EndBeforeStart, TooShort, TooLong };
    State state = State::Free;
    int32_t otherId = 0; // Collides: the stored booking in the way (0 when it is one planned)
    int otherIndex = -1; // Collides: the earlier planned booking in the way
    Rule rule = Rule::None;
    bool operator==(const PlanCheck&) const = default;
};

// Checks and books many bookings at once, as a series is made or moved: each is held to its
// type's minimum and maximum length and to the store's collision rule, against the bookings
// that stay and against the planned ones before it. Bookings of the plan that move do not
// stand in each other's way; one that cannot move stays where it is and may then stand in
// the way of another.
class SeriesPlan {
public:
    static std::vector<PlanCheck> Check(const ClsGlobal& store,
                                        std::span<const PlannedBooking> plan);

    // Checks the plan again and makes or moves its free bookings, as one change named
    // `what`. Those it made or moved are linked into `series`; with kNewSeries into a new
    // one named after the first booking made (when it made two or more); with 0 each keeps
    // the series it was in. `ids` holds each booking's id, 0 for those left as they were.
    static constexpr int32_t kNewSeries = -1;
    struct Booked {
        std::vector<int32_t> ids;
        std::vector<PlanCheck> checks;
    };
    static Booked Book(StoreChanges& changes, std::span<const PlannedBooking> plan,
                       std::string_view what, int32_t series);
};
