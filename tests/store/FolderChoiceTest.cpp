#include <sys/stat.h>

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

struct FolderCase {
    const char* name;
    bool programWritable;
    const char* dataOption; // relative to the temporary folder; nullptr for none
    const char* xdg;        // likewise; "" for unset
    const char* chosen;     // the folder expected, relative; nullptr for an error
};

const FolderCase kCases[] = {
    {"WritableProgramFolder", true, nullptr, "xdg", "program"},
    {"ReadOnlyProgramFolderWithXdg", false, nullptr, "xdg", "xdg/tidemar"},
    {"ReadOnlyProgramFolderWithoutXdg", false, nullptr, "", "home/.local/share/tidemar"},
    {"DataToANewFolder", true, "new/place", "xdg", "new/place"},
    {"DataToAnExistingFolder", false, "existing/", "xdg", "existing"},
    {"DataToAFile", true, "a-file", "xdg", nullptr},
};

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
    const std::string xdg = *c.xdg != 0 ? dir.file(c.xdg) : "";
    const FolderChoice choice =
        ChooseFolders(files, dir.file("program"), data, xdg, dir.file("home"));
    if (c.chosen == nullptr) {
        EXPECT_FALSE(choice.folders);
        EXPECT_NE(choice.error.find("is not a folder"), std::string::npos) << choice.error;
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

TEST(FolderChoiceTest, WithNoHomeAndNoWritableFolderItSaysWhatToDo) {
    FaultyFileSystem files;
    files.faults.push_back({FaultyFileSystem::Op::Access, "", 0, EACCES});
    const FolderChoice choice = ChooseFolders(files, "/usr/bin", std::nullopt, "relative", "");
    EXPECT_FALSE(choice.folders);
    EXPECT_NE(choice.error.find("--data"), std::string::npos);
}

} // namespace
