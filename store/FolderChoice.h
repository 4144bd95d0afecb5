#pragma once

#include <optional>
#include <string>

#include "store/ProgramFolders.h"

class FileSystem;

// What decides the folder that plays the program folder's part.
struct FolderRequest {
    std::string programFolder;             // where the executable is
    std::optional<std::string> dataOption; // --data, byte for byte
    std::string xdgDataHome;
    std::string home;
    // False for a run that only reads (the report): nothing is made, not even the folder.
    bool make = true;
};

// Which folder plays the program folder's part, holding Data/ and the error log:
// - the folder given with --data, created when missing;
// - otherwise the folder of the program itself, as long as it may be written to and the
//   copy is not an installed one, so a copy run from its build folder or a USB stick keeps
//   its data with it;
// - otherwise $XDG_DATA_HOME/tidemar ($HOME/.local/share/tidemar when that is not set), for
//   an installed copy, whatever its prefix, and for a copy in a folder it may not write to.
// A folder that cannot be used (too long a path, a file in its way) is refused before any
// folder is made.
struct FolderChoice {
    std::optional<ProgramFolders> folders;
    std::string error; // why no folder could be used
};

FolderChoice ChooseFolders(FileSystem& fs, const FolderRequest& request);

// True when the installation that put the program in its folder left its mark.
bool IsInstalledCopy(FileSystem& fs, const std::string& programFolder);
