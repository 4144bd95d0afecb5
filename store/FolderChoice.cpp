#include "store/FolderChoice.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

#include "InstallLayout.h"
#include "store/FileIo.h"
#include "store/FileSystem.h"

namespace {

// Room for what the store puts inside the folder: "/Data/Appointment.bin.bak.12.tmp-abcdef".
constexpr size_t kRoomInside = 64;

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

// Why the folder could not be made or used, found without making anything, so a refused
// path leaves no half-made tree behind.
std::optional<std::string> Unusable(FileSystem& fs, const std::string& path) {
    if (path.size() + kRoomInside >= PATH_MAX) {
        return "is too long";
    }
    size_t start = 0;
    while (start < path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos) {
            slash = path.size();
        }
        if (slash - start > NAME_MAX) {
            return "has a name longer than " + std::to_string(NAME_MAX) + " characters";
        }
        struct stat st {};
        const std::string prefix = path.substr(0, slash);
        if (!prefix.empty() && fs.Stat(prefix, st) == 0 && !S_ISDIR(st.st_mode)) {
            return prefix == path ? "is not a folder" : "cannot be made: " + prefix + " is a file";
        }
        start = slash + 1;
    }
    return std::nullopt;
}

// Makes the folder and any folders above it that are missing.
std::optional<Error> MakeFolders(FileSystem& fs, const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        if (auto e = FileIo::EnsureFolder(fs, path.substr(0, slash))) {
            return e;
        }
    }
    return FileIo::EnsureFolder(fs, path);
}

FolderChoice Use(FileSystem& fs, const std::string& path, const char* what, bool make) {
    FolderChoice choice;
    if (auto why = Unusable(fs, path)) {
        choice.error = std::string(what) + " " + path + " " + *why;
    } else if (auto e = make ? MakeFolders(fs, path) : std::nullopt) {
        choice.error = std::string(what) + " " + path + " cannot be made: " + e->description;
    } else {
        choice.folders = ProgramFolders{path};
    }
    return choice;
}

} // namespace

bool IsInstalledCopy(FileSystem& fs, const std::string& programFolder) {
    struct stat st {};
    return fs.Stat(programFolder + "/" + InstallLayout::MarkFromProgram, st) == 0;
}

FolderChoice ChooseFolders(FileSystem& fs, const FolderRequest& request) {
    if (request.dataOption) {
        if (request.dataOption->empty()) {
            return {std::nullopt, "The data folder is empty"};
        }
        return Use(fs, WithoutTrailingSlash(*request.dataOption), "The data folder", request.make);
    }
    if (!IsInstalledCopy(fs, request.programFolder) &&
        fs.Access(request.programFolder, W_OK) == 0) {
        return {ProgramFolders{request.programFolder}, ""};
    }
    // The XDG rules: a relative XDG_DATA_HOME is to be ignored.
    std::string base;
    if (!request.xdgDataHome.empty() && request.xdgDataHome.front() == '/') {
        base = WithoutTrailingSlash(request.xdgDataHome);
    } else if (!request.home.empty() && request.home.front() == '/') {
        base = WithoutTrailingSlash(request.home) + "/.local/share";
    } else {
        return {std::nullopt, "The program's folder " + request.programFolder +
                                  " is not for data and there is no home folder; start "
                                  "with --data FOLDER"};
    }
    return Use(fs, base + "/tidemar", "The folder", request.make);
}
