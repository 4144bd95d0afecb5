#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "base/Clock.h"
#include "base/ModError.h"
#include "store/ProgramFolders.h"
#include "support/TempDir.h"

// A fresh program folder that also takes the error log, with the clock pinned to
// 5 Dec 2026 08:00.
class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ModError::SetLogFile(ProgramFolders{dir.path()}.LogFile());
        Clock::SetFixed(Clock::LocalTime{2026, 12, 5, 8, 0, 0});
    }
    void TearDown() override { Clock::SetFixed(std::nullopt); }

    TempDir dir;
};
