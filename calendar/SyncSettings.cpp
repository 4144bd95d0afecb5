#include "calendar/SyncSettings.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "store/FileIo.h"
#include "store/FileSystem.h"

namespace {

constexpr const char* kFile = "/CalendarServer.conf";

// One "key=value" line each; values cannot hold a line end, so they need no escaping.
bool Clean(const std::string& value) {
    return value.find_first_of("\r\n") == std::string::npos;
}

} // namespace

bool SyncSettings::Shares(int32_t resourceId) const {
    return allResources ||
           std::find(resources.begin(), resources.end(), resourceId) != resources.end();
}

std::optional<SyncSettings> ReadSyncSettings(FileSystem& fs, const std::string& dataFolder) {
    const std::string path = dataFolder + kFile;
    if (FileIo::Probe(fs, path).state == Presence::State::Missing) {
        return std::nullopt;
    }
    ByteBlock block;
    if (FileIo::ReadAll(fs, path, block)) {
        return std::nullopt;
    }
    std::istringstream in(std::string(reinterpret_cast<const char*>(block.data.get()), block.size));
    SyncSettings settings;
    std::string line;
    while (std::getline(in, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "server") {
            settings.server = value;
        } else if (key == "user") {
            settings.user = value;
        } else if (key == "resources") {
            settings.allResources = value == "all";
            std::istringstream ids(value);
            std::string id;
            while (!settings.allResources && std::getline(ids, id, ',')) {
                int32_t number = 0;
                const auto [end, ec] = std::from_chars(id.data(), id.data() + id.size(), number);
                if (ec == std::errc() && end == id.data() + id.size() && number > 0) {
                    settings.resources.push_back(number);
                }
            }
        }
    }
    return settings;
}

bool WriteSyncSettings(FileSystem& fs, const std::string& dataFolder,
                       const SyncSettings& settings) {
    if (!Clean(settings.server) || !Clean(settings.user)) {
        return false;
    }
    std::string text = "server=" + settings.server + "\nuser=" + settings.user + "\nresources=";
    if (settings.allResources) {
        text += "all";
    } else {
        for (size_t i = 0; i < settings.resources.size(); ++i) {
            text += (i == 0 ? "" : ",") + std::to_string(settings.resources[i]);
        }
    }
    text += "\n";
    const auto* bytes = reinterpret_cast<const std::byte*>(text.data());
    return !FileIo::WriteAtomic(fs, dataFolder + kFile, {bytes, text.size()});
}
