#pragma once

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"
#include "support/FaultyFileSystem.h"
#include "support/LogFile.h"
#include "support/StoreFixture.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

using FileBytes = std::vector<uint8_t>;
using IdList = std::vector<int32_t>;

inline FileBytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return FileBytes(std::istreambuf_iterator<char>(in), {});
}
inline void WriteBytes(const std::string& path, const FileBytes& b) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}
// Little-endian value of n bytes at an offset.
inline void Put(FileBytes& b, size_t at, uint64_t v, size_t n = 4) {
    for (size_t i = 0; i < n; ++i) {
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}
// A minute of 5 Dec 2026, the fixture's today, or of another day, as a DtTm.
inline int32_t At(int32_t minute, int32_t day = ClsDate::DayNumberFromCivil(2026, 12, 5)) {
    return day * 2048 + minute;
}
// A collection as its file holds it.
template <class T> FileBytes Dump(const Collection<T>& c) {
    FileBytes out;
    for (const auto& piece : c.Image("").pieces) {
        const auto* p = reinterpret_cast<const uint8_t*>(piece.data());
        out.insert(out.end(), p, p + piece.size());
    }
    return out;
}
template <class T> IdList Ids(const Collection<T>& c) {
    IdList ids;
    for (const auto& r : c) {
        ids.push_back(r.Id());
    }
    return ids;
}

// A store in the fixture's program folder; the log goes there too.
class StoreTest : public StoreFixture {
protected:
    ProgramFolders Folders() const { return {dir.path()}; }
    std::string Data(const std::string& name) const { return dir.file("Data/" + name); }
};
