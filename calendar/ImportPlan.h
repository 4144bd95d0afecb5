#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "calendar/IcsReader.h"

class ClsGlobal;
class StoreChanges;

// What the user chose for the events that do not name their own.
struct ImportChoice {
    int32_t resourceId = 0; // used unless LOCATION names a resource
    int32_t customerId = 0; // used unless SUMMARY or ORGANIZER names a customer; 0: none
    int32_t typeId = 0;
};

// One event and what booking it would do.
struct ImportRow {
    enum class Status { Book, Collides, OutsideRules, Unreadable };
    IcsEvent event;
    Status status = Status::Unreadable;
    int32_t resourceId = 0;
    int32_t customerId = 0;
    int32_t typeId = 0;
    int32_t otherId = 0; // the booking it collides with (0 when it collides with another row)
    std::string why;     // in words, for the list and the command line
};

// Checks each event against the store and against the rows before it, without changing
// anything. LOCATION picks a resource by name; SUMMARY "customer - type" (or "customer")
// picks the customer and the type, ORGANIZER the customer; names match trimmed and without
// regard to ASCII case, and what none names is the choice. A resource, customer and type
// must exist, the duration must keep the type's
// minimum, maximum and increment (start and end on its steps, as the appointment dialog
// snaps them), and no booking may collide.
std::vector<ImportRow> PlanImport(const ClsGlobal& store, const std::vector<IcsEvent>& events,
                                  const ImportChoice& choice);
// Books the rows whose status is Book, as one change named "Import calendar", each with the
// first line of its DESCRIPTION as the reference (cut to the reference's width); the
// occurrences of one recurring event that are booked become one series when there are two
// or more. Returns how many were booked.
size_t BookImport(StoreChanges& changes, const std::vector<ImportRow>& rows);
