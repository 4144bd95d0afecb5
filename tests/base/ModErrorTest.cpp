#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "support/LogFile.h"
#include "support/StoreFixture.h"

namespace {

class ModErrorTest : public StoreFixture {
protected:
    void TearDown() override {
        ModError::SetMessageBoxHook(nullptr);
        ModError::ResetErrorsInHandler();
        StoreFixture::TearDown();
    }
};

// Lines are appended with CRLF ends, in the code page, names cut to their columns.
TEST_F(ModErrorTest, AppendsFormattedLines) {
    std::ofstream(dir.file("Tidemar.err"), std::ios::binary) << "older\r\n";
    ModError::LogError("ClsGlobal", "Save", 0, 70, "Permission denied");
    ModError::LogError("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ProcedureNameOf20Chr", 123456, -2147221504,
                       "Zoë ☃");
    Clock::SetFixed(Clock::LocalTime{2005, 1, 2, 0, 7, 59});
    ModError::LogError("", "", 99999, -1, "");
    EXPECT_EQ(ReadLog(), "older\r\n"
                         "261205 0800 ClsGlobal            Save                     0 00000046 "
                         "Permission denied\r\n"
                         "261205 0800 ABCDEFGHIJKLMNOPQRST ProcedureNameOf20Chr 23456 80040000 "
                         "Zo\xEB ?\r\n"
                         "050102 0007                                           99999 FFFFFFFF "
                         "\r\n");
}

// A log that cannot be written shows the failure at most three times a run, and not at all
// once it can be written again.
TEST_F(ModErrorTest, ThreeMessagesAtMost) {
    ModError::ResetErrorsInHandler();
    std::filesystem::create_directory(dir.file("Tidemar.err"));
    std::vector<std::pair<std::string, std::string>> shown;
    ModError::SetMessageBoxHook([&](const std::string& text, const std::string& title) {
        shown.emplace_back(text, title);
    });
    for (int i = 0; i < 4; ++i) {
        ModError::LogError("ClsGlobal", "Save", i, 70, "Permission denied");
    }
    EXPECT_EQ(shown, decltype(shown)(3, {"Is a directory(75/0)", "Error In Error Handler!"}));
    EXPECT_EQ(ModError::ErrorsInHandler(), 3);
    ModError::ResetErrorsInHandler();
    ModError::LogError("ClsGlobal", "Save", 0, 70, "Permission denied");
    std::filesystem::remove(dir.file("Tidemar.err"));
    ModError::LogError("ClsGlobal", "Save", 0, 70, "Permission denied");
    EXPECT_EQ(shown.size(), 4u);
    EXPECT_EQ(ReadLog().size(), 69u + 17u + 2u);
}

} // namespace
