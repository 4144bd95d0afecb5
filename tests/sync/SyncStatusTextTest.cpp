#include <gtest/gtest.h>

#include "sync/SyncStatusText.h"

namespace {

using Phase = CalDavSync::Phase;

struct StatusCase {
    const char* name;
    Phase phase;
    int pending;
    const char* error;
    bool synced;
    const char* label;
    const char* tip;
};

class SyncStatusTextTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(SyncStatusTextTest, SaysThePhaseWhatWaitsAndTheLastError) {
    const StatusCase& c = GetParam();
    CalDavSync::Status status;
    status.phase = c.phase;
    status.pending = c.pending;
    status.lastError = QString::fromUtf8(c.error);
    if (c.synced) {
        status.lastSync = QDateTime(QDate(2021, 6, 2), QTime(10, 42));
    }
    EXPECT_EQ(SyncStatusText::Label(status).toStdString(), c.label);
    EXPECT_EQ(SyncStatusText::Tip(status).toStdString(), c.tip);
}

constexpr const char* kDown = "Connection refused by dav.example.org";

INSTANTIATE_TEST_SUITE_P(
    Phases, SyncStatusTextTest,
    ::testing::Values(
        StatusCase{"Off", Phase::Off, 0, "", false, "Calendar: off", "Not synced yet"},
        StatusCase{"InStep", Phase::Idle, 0, "", true, "Calendar: in step",
                   "Last synced Wed 2 Jun 10:42"},
        StatusCase{"OneToSend", Phase::Idle, 1, "", true, "Calendar: 1 to send",
                   "Last synced Wed 2 Jun 10:42"},
        StatusCase{"Syncing", Phase::Working, 0, "", true, "Calendar: syncing",
                   "Last synced Wed 2 Jun 10:42"},
        StatusCase{"Unreachable", Phase::Waiting, 0, kDown, true,
                   "Calendar: server unreachable - retrying", kDown},
        StatusCase{"UnreachableWithQueue", Phase::Waiting, 3, kDown, true,
                   "Calendar: server unreachable - retrying, 3 to send", kDown},
        StatusCase{"Failed", Phase::Failed, 0, "The server's certificate has expired", false,
                   "Calendar: stopped - see the error", "The server's certificate has expired"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
