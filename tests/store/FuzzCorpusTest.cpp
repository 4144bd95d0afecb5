// Every input the fuzzers kept (their corpus and any crash they found) is run again on every
// test run, without clang: a fault they once found cannot come back unnoticed. A broken rule
// aborts, which fails the test.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/ModError.h"
#include "fuzz/FuzzEntry.h"

namespace {

// A fuzzed data file by its corpus folder; the date texts and iCalendar files have none.
const std::pair<const char*, const char*> kTargets[] = {{"appointment", "Appointment.bin"},
                                                        {"customer", "Customer.bin"},
                                                        {"resource", "Resource.bin"},
                                                        {"type", "Type.bin"},
                                                        {"global", "Global.bin"},
                                                        {"series", "Series.bin"},
                                                        {"dates", nullptr},
                                                        {"ics", nullptr}};

class FuzzCorpus : public ::testing::TestWithParam<std::pair<const char*, const char*>> {
protected:
    void TearDown() override { ModError::SetLogFile("Tidemar.err"); }
};

TEST_P(FuzzCorpus, EveryKeptInputStillPasses) {
    const auto [folder, file] = GetParam();
    int replayed = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(TIDEMAR_FUZZ_CORPUS) + "/" + folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
        SCOPED_TRACE(entry.path().filename().string());
        if (file != nullptr) {
            FuzzDataFile(file, bytes.data(), bytes.size());
        } else if (std::string(folder) == "ics") {
            FuzzIcs(bytes.data(), bytes.size());
        } else {
            FuzzDateTexts(bytes.data(), bytes.size());
        }
        ++replayed;
    }
    EXPECT_GE(replayed, 5) << folder;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpus, ::testing::ValuesIn(kTargets),
                         [](const auto& row) { return std::string(row.param.first); });

} // namespace
