#pragma once

#include <string>

// The folder that plays the program folder's part: the data files live in its Data/ and the
// error log beside them. Chosen once at start-up and handed to everything that touches files.
struct ProgramFolders {
    std::string program;

    std::string Data() const { return program + "/Data"; }
    std::string LogFile() const { return program + "/Tidemar.err"; }
};
