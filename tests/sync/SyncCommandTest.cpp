#include <QFile>

#include <sys/stat.h>

#include <filesystem>

#include "store/InstanceLock.h"
#include "sync/SyncCommand.h"
#include "sync/SyncFixture.h"

namespace {

struct CommandCase {
    const char* name;
    bool serverUp;
    mode_t fileMode;    // of the password file; 0: no file given
    const char* secret; // what the secret store holds; nullptr: nothing
    bool windowOpen;    // a planner holds the folder
    SyncCommand::Status status;
    const char* message; // part of what is written to stderr
};

class SyncCommandTest : public SyncFixture, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(SyncCommandTest, EndsWithItsStatusAndReason) {
    const CommandCase& c = GetParam();
    ASSERT_TRUE(store->Save().Ok());
    const std::string url =
        c.serverUp ? server->Url()
                   : "http://127.0.0.1:" + std::to_string(RadicaleServer::FreePort()) + "/";
    SyncRequest request{QString::fromStdString(url), QString::fromStdString(user), {}};
    if (c.fileMode != 0) {
        request.passwordFile = dir.file("password");
        QFile file(QString::fromStdString(*request.passwordFile));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("secret\n");
        file.close();
        ASSERT_EQ(::chmod(request.passwordFile->c_str(), c.fileMode), 0);
    }
    std::optional<InstanceLock> window;
    if (c.windowOpen) {
        window.emplace(folders.Data());
    }
    QString printed;
    QTextStream errors(&printed);
    const auto secretStore = [&c](const SyncSettings&) {
        return c.secret ? std::optional<QString>(c.secret) : std::nullopt;
    };
    EXPECT_EQ(SyncCommand::Run(folders, request, secretStore, errors), c.status);
    EXPECT_TRUE(printed.contains(c.message)) << printed.toStdString();
    const std::optional<SyncSettings> kept = ReadSyncSettings(store->Files(), folders.Data());
    const bool ran = c.status == SyncCommand::Done || c.status == SyncCommand::Failed;
    EXPECT_EQ(kept ? kept->server : "", ran ? url : "");
    EXPECT_EQ(server->Events(user, roomA).size(), c.status == SyncCommand::Done ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SyncCommandTest,
    ::testing::Values(
        CommandCase{"PasswordFile", true, 0600, nullptr, false, SyncCommand::Done, ""},
        CommandCase{"SecretStore", true, 0, "secret", false, SyncCommand::Done, ""},
        CommandCase{"PasswordFileOthersMayRead", true, 0644, "secret", false, SyncCommand::Refused,
                    "has mode 644; it must be 600"},
        CommandCase{"NoPassword", true, 0, nullptr, false, SyncCommand::Refused, "no password"},
        CommandCase{"ServerDown", false, 0600, nullptr, false, SyncCommand::Failed,
                    "No answer from 127.0.0.1"},
        CommandCase{"WindowOpen", true, 0600, nullptr, true, SyncCommand::FolderHeld,
                    "a planner window has the data folder"}),
    [](const auto& row) { return std::string(row.param.name); });

class SyncCommandPassesTest : public SyncFixture {};

// Bookings a pass could not read would look deleted to the server: then it sends nothing.
TEST_F(SyncCommandPassesTest, KeepsTheServerForLaterPassesAndNeedsEveryFileRead) {
    ASSERT_TRUE(store->Save().Ok());
    QString printed;
    QTextStream errors(&printed);
    const auto secret = [](const SyncSettings&) { return std::optional<QString>("secret"); };
    const SyncRequest given{
        QString::fromStdString(server->Url()), QString::fromStdString(user), {}};
    ASSERT_EQ(SyncCommand::Run(folders, given, secret, errors), SyncCommand::Done);
    EXPECT_EQ(SyncCommand::Run(folders, SyncRequest{}, secret, errors), SyncCommand::Done);
    const std::string bookings = folders.Data() + "/Appointment.bin";
    std::filesystem::remove(bookings);
    std::filesystem::create_symlink(dir.file("unmounted/Appointment.bin"), bookings);
    EXPECT_EQ(SyncCommand::Run(folders, SyncRequest{}, secret, errors), SyncCommand::Failed);
    EXPECT_EQ(server->Events(user, roomA).size(), 2u);
}

} // namespace
