#pragma once

#include <optional>
#include <string>

#include "store/ProgramFolders.h"

class FileSystem;

// Which folder plays the program folder's part, holding Data/ and the error log:
// - the folder given with --data, created when missing;
// - otherwise the folder of the program itself, as long as it may be written to, so a copy
//   run from its build folder or a USB stick keeps its data with it;
// - otherwise $XDG_DATA_HOME/tidemar ($HOME/.local/share/tidemar when that is not set), for
//   an installed copy whose folder belongs to the system.
struct FolderChoice {
    std::optional<ProgramFolders> folders;
    std::string error; // why no folder could be used
};

FolderChoice ChooseFolders(FileSystem& fs, const std::string& programFolder,
                           const std::optional<std::string>& dataOption,
                           const std::string& xdgDataHome, const std::string& home);
