// Every input the fuzzers kept (their corpus and any crash they found) is run again on every
// test run, without clang: a fault they once found cannot come back unnoticed. A broken rule
// aborts, which fails the test.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fuzz/FuzzEntry.h"
#include "store/ModError.h"

namespace {

namespace fs = std::filesystem;

struct Target {
    const char* folder;
    const char* file; // the data file fuzzed; nullptr for the date texts
};
const Target kTargets[] = {{"appointment", "Appointment.bin"}, {"customer", "Customer.bin"},
                           {"resource", "Resource.bin"},       {"type", "Type.bin"},
                           {"global", "Global.bin"},           {"dates", nullptr}};

class FuzzCorpus : public ::testing::TestWithParam<Target> {
protected:
    void TearDown() override { ModError::SetLogFile("Tidemar.err"); }
};

TEST_P(FuzzCorpus, EveryKeptInputStillPasses) {
    const fs::path folder = fs::path(TIDEMAR_FUZZ_CORPUS) / GetParam().folder;
    int replayed = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
        SCOPED_TRACE(entry.path().filename().string());
        if (GetParam().file != nullptr) {
            FuzzDataFile(GetParam().file, bytes.data(), bytes.size());
        } else {
            FuzzDateTexts(bytes.data(), bytes.size());
        }
        ++replayed;
    }
    EXPECT_GE(replayed, 5) << folder;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpus, ::testing::ValuesIn(kTargets),
                         [](const auto& row) { return std::string(row.param.folder); });

} // namespace
