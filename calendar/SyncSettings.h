#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class FileSystem;

// Where and what the planner shares with a calendar server. The password is never here:
// it lives in the desktop's secret store or comes from a file the user names.
struct SyncSettings {
    std::string server; // the base URL the calendars are made under
    std::string user;
    bool allResources = true;       // until the user chooses, every resource is shared
    std::vector<int32_t> resources; // the shared ones when not all
    bool operator==(const SyncSettings&) const = default;

    bool Shares(int32_t resourceId) const;
};

// Kept in the data folder (replaced atomically); nullopt when there is none yet or it
// cannot be read.
std::optional<SyncSettings> ReadSyncSettings(FileSystem& fs, const std::string& dataFolder);
bool WriteSyncSettings(FileSystem& fs, const std::string& dataFolder, const SyncSettings& settings);
