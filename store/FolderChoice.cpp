#include "store/FolderChoice.h"

#include <sys/stat.h>
#include <unistd.h>

#include "store/FileIo.h"
#include "store/FileSystem.h"

namespace {

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

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

FolderChoice Use(FileSystem& fs, const std::string& path, const char* what) {
    FolderChoice choice;
    struct stat st {};
    if (fs.Stat(path, st) == 0 && !S_ISDIR(st.st_mode)) {
        choice.error = std::string(what) + " " + path + " is not a folder";
    } else if (auto e = MakeFolders(fs, path)) {
        choice.error = std::string(what) + " " + path + " cannot be made: " + e->description;
    } else {
        choice.folders = ProgramFolders{path};
    }
    return choice;
}

} // namespace

FolderChoice ChooseFolders(FileSystem& fs, const std::string& programFolder,
                           const std::optional<std::string>& dataOption,
                           const std::string& xdgDataHome, const std::string& home) {
    if (dataOption) {
        if (dataOption->empty()) {
            return {std::nullopt, "The data folder is empty"};
        }
        return Use(fs, WithoutTrailingSlash(*dataOption), "The data folder");
    }
    if (fs.Access(programFolder, W_OK) == 0) {
        return {ProgramFolders{programFolder}, ""};
    }
    // The XDG rules: a relative XDG_DATA_HOME is to be ignored.
    std::string base;
    if (!xdgDataHome.empty() && xdgDataHome.front() == '/') {
        base = WithoutTrailingSlash(xdgDataHome);
    } else if (!home.empty() && home.front() == '/') {
        base = WithoutTrailingSlash(home) + "/.local/share";
    } else {
        return {std::nullopt, "The program's folder " + programFolder +
                                  " cannot be written to and there is no home folder; start "
                                  "with --data FOLDER"};
    }
    return Use(fs, base + "/tidemar", "The folder");
}
