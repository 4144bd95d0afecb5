#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "calendar/SyncSettings.h"

class ClsGlobal;
class ClsAppointment;
class FileSystem;
struct ChangeSet;

// What the planner knows of its calendars on the server, and what it still has to send.
// Two files in the data folder: the state (collections, one entry per event sent) and the
// queue of pushes. Either one damaged or lost only costs a comparison of everything.
struct SyncState {
    struct Collection {
        std::string href;  // the calendar's URL path, ending in '/'
        std::string token; // the server's sync-token as of the last look; empty: none yet
    };
    struct Item {
        int32_t resourceId = 0; // the calendar it is in
        std::string href;
        std::string etag;
        uint64_t fingerprint = 0; // of the booking as the event last sent or taken tells it
    };
    // A put sends the booking as it then stands; a delete takes the event at href away.
    struct Push {
        int32_t id = 0;
        bool remove = false;
        std::string href;
        std::string etag; // for a delete: the event's ETag when known
        bool operator==(const Push&) const = default;
    };
    enum class Read { Missing, Ok, Damaged };

    // Whose calendars these are: a state for another server or user is not used.
    std::string server;
    std::string user;
    std::map<int32_t, Collection> collections; // by resource id
    std::unordered_map<int32_t, Item> items;   // by appointment id
    std::vector<Push> queue;

    // A put of the booking, once; an entry it has in another calendar than its resource's
    // (or when it is gone or no longer shared) is queued for deletion and forgotten.
    void QueueBooking(const ClsGlobal& store, const SyncSettings& settings, int32_t id);
    // Every booking a change set touched.
    void QueueChanges(const ClsGlobal& store, const SyncSettings& settings, const ChangeSet& set);
    // Queues every difference between the store and what was sent: bookings never sent or
    // changed since, and events of bookings that are gone or no longer shared. Customers,
    // types and resources renamed change the fingerprints, so they are found here as well.
    void QueueDifferences(const ClsGlobal& store, const SyncSettings& settings);
    bool Queued(int32_t id) const;

    // What the event of a booking says: its times, names and reference.
    static uint64_t Fingerprint(const ClsGlobal& store, const ClsAppointment& appointment);

    // Both files; a damaged one is left out (its part stays empty) and reported.
    Read Load(FileSystem& fs, const std::string& dataFolder);
    bool SaveState(FileSystem& fs, const std::string& dataFolder) const;
    bool SaveQueue(FileSystem& fs, const std::string& dataFolder) const;
};
