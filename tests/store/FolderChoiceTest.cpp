#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "InstallLayout.h"
#include "store/FolderChoice.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// Paths are relative to a temporary folder, but for a relative XDG_DATA_HOME ("./xdg"),
// which is given as it is. "new/LONG" stands for a path of 5,000 characters, "new/NAME" for
// one with a name of 256.
struct FolderCase {
    const char* name;
    bool programWritable;
    bool installed;         // the installation's mark is in place
    bool make;              // false for the report, which only reads
    const char* dataOption; // nullptr for none
    const char* xdg;        // "" for unset
    const char* home;       // nullptr for none
    const char* chosen;     // nullptr for an error
    const char* error;      // part of the error
};

// clang-format off
const FolderCase kCases[] = {
    {"WritableProgramFolder", true, false, true, nullptr, "xdg", "home", "program", ""},
    {"InstalledInAWritablePrefix", true, true, true, nullptr, "xdg", "home", "xdg/tidemar", ""},
    {"InstalledWithoutXdg", true, true, true, nullptr, "", "home", "home/.local/share/tidemar", ""},
    {"ReadOnlyProgramFolderWithXdg", false, false, true, nullptr, "xdg", "home", "xdg/tidemar", ""},
    {"ReadOnlyProgramFolderWithoutXdg", false, false, true, nullptr, "", "home", "home/.local/share/tidemar", ""},
    {"RelativeXdgIsIgnored", false, false, true, nullptr, "./xdg", "home", "home/.local/share/tidemar", ""},
    {"DataToANewFolder", true, false, true, "new/place", "xdg", "home", "new/place", ""},
    {"DataNotUtf8", true, false, true, "caf\xe9/pl\xe4ne", "xdg", "home", "caf\xe9/pl\xe4ne", ""},
    {"DataToAnExistingFolder", false, false, true, "existing/", "xdg", "home", "existing", ""},
    {"ReportMakesNothing", true, false, false, "new/place", "xdg", "home", "new/place", ""},
    {"ReportMakesNoXdgFolder", false, false, false, nullptr, "xdg", "home", "xdg/tidemar", ""},
    {"DataToAFile", true, false, true, "a-file", "xdg", "home", nullptr, "is not a folder"},
    {"DataBelowAFile", true, false, true, "a-file/x", "xdg", "home", nullptr, "is a file"},
    {"DataTooLong", true, false, true, "new/LONG", "xdg", "home", nullptr, "is too long"},
    {"DataNameTooLong", true, false, true, "new/NAME", "xdg", "home", nullptr, "longer than 255"},
    {"NoHomeAndNoWritableFolder", false, false, true, nullptr, "./xdg", nullptr, nullptr, "--data"}};
// clang-format on

class FolderChoiceTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderChoiceTest, PicksTheFolderThatPlaysTheProgramFoldersPart) {
    const FolderCase& c = GetParam();
    TempDir dir;
    fs::create_directories(dir.file("program"));
    fs::create_directories(dir.file("existing"));
    std::ofstream(dir.file("a-file")) << "not a folder";
    if (c.installed) {
        const fs::path mark = dir.file("program") + "/" + InstallLayout::MarkFromProgram;
        fs::create_directories(mark.parent_path());
        std::ofstream(mark) << "installed";
    }
    const auto entries = [&dir] {
        return std::distance(fs::recursive_directory_iterator(dir.path()),
                             fs::recursive_directory_iterator());
    };
    const auto before = entries();
    FaultyFileSystem files;
    if (!c.programWritable) {
        files.faults.push_back({FaultyFileSystem::Op::Access, dir.file("program"), 0, EROFS});
    }
    FolderRequest request{dir.file("program"), std::nullopt, "", "", c.make};
    if (c.dataOption != nullptr) {
        std::string option = c.dataOption;
        if (option == "new/LONG") {
            option = "new";
            while (option.size() < 5000) {
                option += "/deeper";
            }
        } else if (option == "new/NAME") {
            option = "new/" + std::string(256, 'n');
        }
        request.dataOption = dir.file(option);
    }
    request.xdgDataHome = *c.xdg == 0 || *c.xdg == '.' ? c.xdg : dir.file(c.xdg);
    request.home = c.home != nullptr ? dir.file(c.home) : "";
    const FolderChoice choice = ChooseFolders(files, request);
    if (c.chosen == nullptr) {
        EXPECT_FALSE(choice.folders);
        EXPECT_NE(choice.error.find(c.error), std::string::npos) << choice.error;
        EXPECT_EQ(entries(), before) << "a refused folder leaves nothing made";
        return;
    }
    ASSERT_TRUE(choice.folders) << choice.error;
    EXPECT_EQ(choice.folders->program, dir.file(c.chosen));
    if (c.make) {
        EXPECT_TRUE(fs::is_directory(choice.folders->program)) << "made when missing";
    } else {
        EXPECT_EQ(entries(), before) << "the report makes nothing";
    }
    EXPECT_EQ(choice.folders->Data(), dir.file(c.chosen) + "/Data");
    EXPECT_EQ(choice.folders->LogFile(), dir.file(c.chosen) + "/Tidemar.err");
}

INSTANTIATE_TEST_SUITE_P(Table, FolderChoiceTest, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
