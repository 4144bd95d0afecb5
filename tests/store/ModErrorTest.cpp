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
#include "support/TempDir.h"

namespace {

class ModErrorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ModError::SetProgramFolder(dir.path());
        ModError::ResetErrorsInHandler();
        Clock::SetFixed(Clock::LocalTime{2026, 12, 5, 9, 31, 59});
    }
    void TearDown() override {
        Clock::SetFixed(std::nullopt);
        ModError::SetMessageBoxHook(nullptr);
        ModError::ResetErrorsInHandler();
    }
    std::string Log() const {
        std::ifstream in(dir.file("Tidemar.err"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    TempDir dir;
};

TEST_F(ModErrorTest, LineFormat) {
    struct Row {
        const char* cls;
        const char* proc;
        int32_t line, number;
        const char* expected;
    };
    const Row rows[] = {
        {"ClsGlobal", "TypeSave", 0, 5,
         "261205 0931 ClsGlobal            TypeSave                 0 00000005 d"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ProcedureNameOf20Chr", 7, 13,
         "261205 0931 ABCDEFGHIJKLMNOPQRST ProcedureNameOf20Chr     7 0000000D d"},
        {"", "", 123456, -2147221504,
         "261205 0931                                           23456 80040000 d"},
        {"DlgMain", "Form_Activate", 99999, -1,
         "261205 0931 DlgMain              Form_Activate        99999 FFFFFFFF d"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ModError::FormatLine(r.cls, r.proc, r.line, r.number, "d"), r.expected);
    }
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

// A log that cannot be written shows the failure at most three times a run.
TEST_F(ModErrorTest, ThreeMessagesAtMost) {
    std::filesystem::create_directory(dir.file("Tidemar.err"));
    std::vector<std::pair<std::string, std::string>> shown;
    ModError::SetMessageBoxHook([&](const std::string& text, const std::string& title) {
        shown.emplace_back(text, title);
    });
    for (int i = 0; i < 4; ++i) {
        ModError::LogError("ClsGlobal", "Save", i, 70, "Permission denied");
    }
    ASSERT_EQ(shown.size(), 3u);
    for (const auto& [text, title] : shown) {
        EXPECT_EQ(title, "Error In Error Handler!");
        EXPECT_EQ(text, "Path/File access error(75/0)");
    }
    EXPECT_EQ(ModError::ErrorsInHandler(), 3);
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("Tidemar.err")));

    ModError::ResetErrorsInHandler();
    ModError::LogError("ClsGlobal", "Save", 0, 70, "Permission denied");
    EXPECT_EQ(shown.size(), 4u);
    // Once the log can be written again, nothing more is shown.
    std::filesystem::remove(dir.file("Tidemar.err"));
    ModError::LogError("ClsGlobal", "Save", 0, 70, "Permission denied");
    EXPECT_EQ(shown.size(), 4u);
    EXPECT_EQ(Log().size(), 69u + 17u + 2u);
}

} // namespace
