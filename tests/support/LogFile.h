#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "base/ModError.h"

// The error log as it stands, bytes as written.
inline std::string ReadLog() {
    std::ifstream in(ModError::LogPath(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
