#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "store/ClsAppointment.h"
#include "store/ClsCustomer.h"
#include "store/ClsResource.h"
#include "store/ClsType.h"

// One record as a change found it and left it: no before when the change added it, no after
// when it deleted it, both when it saved it again.
// The orders are the record's places in its collection (Collection::OrderOf) before and after.
template <class T> struct RecordChange {
    int32_t id = 0;
    std::optional<T> before;
    std::optional<T> after;
    uint64_t beforeOrder = 0;
    uint64_t afterOrder = 0;
};

// An appointment's series link as a change found it and left it (0: in no series).
struct SeriesChange {
    int32_t appointmentId = 0;
    int32_t before = 0;
    int32_t after = 0;
    bool operator==(const SeriesChange&) const = default;
};

// What one operation or batch changed. Records are listed in the order the change first
// touched them; a record touched twice is listed once, from before its first touch to after
// its last, and one added and deleted again is not listed.
struct ChangeSet {
    std::vector<RecordChange<ClsResource>> resources;
    std::vector<RecordChange<ClsCustomer>> customers;
    std::vector<RecordChange<ClsType>> types;
    std::vector<RecordChange<ClsAppointment>> appointments;
    // Series links changed, each appointment listed once; an appointment that leaves the
    // store leaves its series too, and is listed here as well.
    std::vector<SeriesChange> series;
    bool settings = false; // a setting changed; settings carry no before and after
    bool counter = false;  // the id counter moved, from counterFrom to counterTo
    int32_t counterFrom = 0;
    int32_t counterTo = 0;
    // What made it: the user's own change, or taking one back or doing it again.
    enum class Origin { Change, Undo, Redo } origin = Origin::Change;
    // What the user did, in the words of an undo step ("Move appointment"); empty when the
    // change was not named.
    std::string what;

    template <class T> std::vector<RecordChange<T>>& Of() {
        if constexpr (std::is_same_v<T, ClsResource>) {
            return resources;
        } else if constexpr (std::is_same_v<T, ClsCustomer>) {
            return customers;
        } else if constexpr (std::is_same_v<T, ClsType>) {
            return types;
        } else {
            static_assert(std::is_same_v<T, ClsAppointment>);
            return appointments;
        }
    }
    template <class T> const std::vector<RecordChange<T>>& Of() const {
        return const_cast<ChangeSet*>(this)->Of<T>();
    }

    size_t Records() const {
        return resources.size() + customers.size() + types.size() + appointments.size();
    }
    bool Empty() const { return Records() == 0 && series.empty() && !settings && !counter; }
};
