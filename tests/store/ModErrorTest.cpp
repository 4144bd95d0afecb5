#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "datetime/Clock.h"
#include "store/ModError.h"
#include "store/ProgramFolders.h"
#include "support/LogFile.h"
#include "support/TempDir.h"

namespace {

class ModErrorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ModError::SetLogFile(ProgramFolders{dir.path()}.LogFile());
        ModError::ResetErrorsInHandler();
        Clock::SetFixed(Clock::LocalTime{2026, 12, 5, 9, 31, 59});
    }
    void TearDown() override {
        Clock::SetFixed(std::nullopt);
        ModError::SetMessageBoxHook(nullptr);
        ModError::ResetErrorsInHandler();
    }
    std::string Log() const { return ReadLog(); }

    TempDir dir;
};

TEST_F(ModErrorTest, LineFormat) {
    EXPECT_EQ(ModError::FormatLine("ClsGlobal", "TypeSave", 0, 5, "d"),
              "261205 0931 ClsGlobal            TypeSave                 0 00000005 d");
    EXPECT_EQ(
        ModError::FormatLine("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ProcedureNameOf20Chr", 7, 13, "d"),
        "261205 0931 ABCDEFGHIJKLMNOPQRST ProcedureNameOf20Chr     7 0000000D d");
    EXPECT_EQ(ModError::FormatLine("", "", 123456, -2147221504, "d"),
              "261205 0931                                           23456 80040000 d");
    EXPECT_EQ(ModError::FormatLine("DlgMain", "Form_Activate", 99999, -1, "d"),
              "261205 0931 DlgMain              Form_Activate        99999 FFFFFFFF d");
    Clock::SetFixed(Clock::LocalTime{2005, 1, 2, 0, 7, 0});
    EXPECT_EQ(ModError::FormatLine("M", "P", 1, 0, "").substr(0, 12), "050102 0007 ");
}

// Lines are appended with CRLF ends, in the code page; nothing is ever trimmed.
TEST_F(ModErrorTest, AppendsLines) {
    std::ofstream(dir.file("Tidemar.err"), std::ios::binary) << "older\r\n";
    ModError::LogError("ClsGlobal", "Save", 0, 70, "Permission denied");
    ModError::LogError("ClsDate", "Today", 12, 5, "Zoë ☃");
    EXPECT_EQ(Log(), "older\r\n"
                     "261205 0931 ClsGlobal            Save                     0 00000046 "
                     "Permission denied\r\n"
                     "261205 0931 ClsDate              Today                   12 00000005 "
                     "Zo\xEB ?\r\n");
    EXPECT_EQ(ModError::ErrorsInHandler(), 0);
}

// A log that cannot be written shows the failure at most three times a run, and not
// at all once it can be written again.
TEST_F(ModErrorTest, ThreeMessagesAtMost) {
    std::filesystem::create_directory(dir.file("Tidemar.err"));
    std::vector<std::pair<std::string, std::string>> shown;
    ModError::SetMessageBoxHook([&](const std::string& text, const std::string& title) {
        shown.emplace_back(text, title);
    });
    for (int i = 0; i < 4; ++i) {
        ModError::LogError("ClsGlobal", "Save", i, 70, "Permission denied");
    }
    const std::pair<std::string, std::string> message{"Path/File access error(75/0)",
                                                      "Error In Error Handler!"};
    EXPECT_EQ(shown, decltype(shown)(3, message));
    EXPECT_EQ(ModError::ErrorsInHandler(), 3);
    ModError::ResetErrorsInHandler();
    ModError::LogError("ClsGlobal", "Save", 0, 70, "Permission denied");
    std::filesystem::remove(dir.file("Tidemar.err"));
    ModError::LogError("ClsGlobal", "Save", 0, 70, "Permission denied");
    EXPECT_EQ(shown.size(), 4u);
    EXPECT_EQ(Log().size(), 69u + 17u + 2u);
}

} // namespace
