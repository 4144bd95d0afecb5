#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "store/FolderChoice.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// Paths are relative to a temporary folder, but for a relative XDG_DATA_HOME ("./xdg"),
// which is given as it is.
struct FolderCase {
    const char* name;
    bool programWritable;
    const char* dataOption; // nullptr for none
    const char* xdg;        // "" for unset
    const char* home;       // nullptr for none
    const char* chosen;     // nullptr for an error
    const char* error;      // part of the error
};

// clang-format off
const FolderCase kCases[] = {
    {"WritableProgramFolder", true, nullptr, "xdg", "home", "program", ""},
    {"ReadOnlyProgramFolderWithXdg", false, nullptr, "xdg", "home", "xdg/tidemar", ""},
    {"ReadOnlyProgramFolderWithoutXdg", false, nullptr, "", "home", "home/.local/share/tidemar", ""},
    {"RelativeXdgIsIgnored", false, nullptr, "./xdg", "home", "home/.local/share/tidemar", ""},
    {"DataToANewFolder", true, "new/place", "xdg", "home", "new/place", ""},
    {"DataToAnExistingFolder", false, "existing/", "xdg", "home", "existing", ""},
    {"DataToAFile", true, "a-file", "xdg", "home", nullptr, "is not a folder"},
    {"NoHomeAndNoWritableFolder", false, nullptr, "./xdg", nullptr, nullptr, "--data"}};
// clang-format on

class FolderChoiceTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderChoiceTest, PicksTheFolderThatPlaysTheProgramFoldersPart) {
    const FolderCase& c = GetParam();
    TempDir dir;
    fs::create_directories(dir.file("program"));
    fs::create_directories(dir.file("existing"));
    std::ofstream(dir.file("a-file")) << "not a folder";
    FaultyFileSystem files;
    if (!c.programWritable) {
        files.faults.push_back({FaultyFileSystem::Op::Access, dir.file("program"), 0, EROFS});
    }
    std::optional<std::string> data;
    if (c.dataOption != nullptr) {
        data = dir.file(c.dataOption);
    }
    const std::string xdg = *c.xdg == 0 || *c.xdg == '.' ? c.xdg : dir.file(c.xdg);
    const FolderChoice choice = ChooseFolders(files, dir.file("program"), data, xdg,
                                              c.home != nullptr ? dir.file(c.home) : "");
    if (c.chosen == nullptr) {
        EXPECT_FALSE(choice.folders);
        EXPECT_NE(choice.error.find(c.error), std::string::npos) << choice.error;
        EXPECT_TRUE(fs::is_regular_file(dir.file("a-file")));
        return;
    }
    ASSERT_TRUE(choice.folders) << choice.error;
    EXPECT_EQ(choice.folders->program, dir.file(c.chosen));
    EXPECT_TRUE(fs::is_directory(choice.folders->program)) << "made when missing";
    EXPECT_EQ(choice.folders->Data(), dir.file(c.chosen) + "/Data");
    EXPECT_EQ(choice.folders->LogFile(), dir.file(c.chosen) + "/Tidemar.err");
}

INSTANTIATE_TEST_SUITE_P(Table, FolderChoiceTest, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
