#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

class ClsGlobal;

// Which bookings go out: all, one resource's, one customer's, or a list (the search
// results), each limited to the bookings that touch the days from..to (inclusive day
// numbers).
struct ExportSelection {
    enum class Kind { All, Resource, Customer, Ids };
    Kind kind = Kind::All;
    int32_t id = 0;           // the resource or customer
    std::vector<int32_t> ids; // Kind::Ids
    int32_t fromDay = std::numeric_limits<int32_t>::min();
    int32_t toDay = std::numeric_limits<int32_t>::max();
};

// The appointments chosen, in collection order (ids of Kind::Ids in their own order, those
// no longer stored left out).
std::vector<int32_t> SelectAppointments(const ClsGlobal& store, const ExportSelection& selection);

// An export must not take the place of a data file: true when the file's folder, links
// resolved, is the data folder or inside it.
bool InDataFolder(const std::string& dataFolder, const std::string& file);
