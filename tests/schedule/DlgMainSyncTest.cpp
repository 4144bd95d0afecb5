// The main window's calendar sync: started from the settings and the secret store, its state
// in the status bar, started again from the server dialog, and server changes it did not take
// told in one box once no dialog is up.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>

#include "calendar/SyncSettings.h"
#include "dialogs/DlgCalendarServer.h"
#include "store/FileSystem.h"
#include "support/MainWindowFixture.h"
#include "sync/CalDavSync.h"
#include "sync/PasswordStore.h"

// Run through scripts/with-private-keyring (ctest does).
namespace {

// A loopback address where nothing answers: a port just given up.
QString Unreachable() {
    QTcpServer probe;
    EXPECT_TRUE(probe.listen(QHostAddress::LocalHost));
    return QStringLiteral("http://127.0.0.1:%1/").arg(probe.serverPort());
}

class DlgMainSyncTest : public MainWindowFixture {
public:
    void SetUp() override {
        ASSERT_EQ(qgetenv("TIDEMAR_TEST_SECRETS"), "keyring")
            << "run through scripts/with-private-keyring, never against a real keyring";
        UsedBefore();
        MainWindowFixture::SetUp();
        AddResource("Room"); // a calendar to make, so a pass has the server to ask
        server = Unreachable();
    }
    void Set(bool settings, bool password) {
        if (settings) {
            ASSERT_TRUE(WriteSyncSettings(FileSystem::Real(), ProgramFolders{dir.path()}.Data(),
                                          {server.toStdString(), "ann", true, {}}));
        }
        if (password) {
            ASSERT_EQ(PasswordStore::WriteNow("ann", server, "pw").outcome,
                      PasswordStore::Outcome::Done);
        }
    }
    bool StateReads(const char* text, const char* tipHas = "") {
        return QTest::qWaitFor(
            [&] {
                const QLabel* state = window->SyncState();
                return state->isVisible() && state->text().startsWith(text) &&
                       state->toolTip().contains(tipHas);
            },
            10000);
    }
    QString server;
};

struct StartCase {
    const char* name;
    bool settings;
    bool password;
    const char* label; // null: not shown
    const char* tipHas;
};

class DlgMainSyncStart : public DlgMainSyncTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(DlgMainSyncStart, ShowsTheStateOfWhatTheSettingsAndSecretStoreAllow) {
    const StartCase& c = GetParam();
    Set(c.settings, c.password);
    window->show();
    window->Form_Activate();
    if (c.label == nullptr) {
        QTest::qWait(200);
        EXPECT_FALSE(window->SyncState()->isVisible());
        EXPECT_EQ(window->Sync(), nullptr);
        return;
    }
    ASSERT_TRUE(StateReads(c.label, c.tipHas)) << window->SyncState()->text().toStdString() << ": "
                                               << window->SyncState()->toolTip().toStdString();
    EXPECT_EQ(window->Sync() != nullptr, c.password);
}

INSTANTIATE_TEST_SUITE_P(Starts, DlgMainSyncStart,
                         ::testing::Values(StartCase{"NoServerSet", false, false, nullptr, ""},
                                           StartCase{"NoPasswordStored", true, false,
                                                     "Calendar: off", "No password is stored"},
                                           StartCase{"ServerDown", true, true,
                                                     "Calendar: server unreachable - retrying (No "
                                                     "answer from 127.0.0.1",
                                                     "127.0.0.1"}),
                         [](const auto& row) { return std::string(row.param.name); });

// Saved in the dialog, the sync runs at once; what it refuses while a dialog is up is told
// when the dialog closes, all in one box.
TEST_F(DlgMainSyncTest, TheDialogStartsTheSyncAndRefusalsWaitForItToClose) {
    window->show();
    window->Form_Activate();
    ui.modalActions.push_back([&](QDialog* shown) {
        auto& d = static_cast<DlgCalendarServer&>(*shown);
        d.TxtServer()->setText(server);
        d.TxtUser()->setText("ann");
        d.TxtPassword()->setText("pw");
        d.CmdSave()->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !d.Busy(); }, 10000));
        return d.result();
    });
    window->mnuFileCalendarServer_Click();
    ASSERT_NE(window->Sync(), nullptr);
    EXPECT_EQ(window->Sync()->Settings(), (SyncSettings{server.toStdString(), "ann", true, {}}));
    EXPECT_TRUE(StateReads("Calendar: server unreachable - retrying"));

    ui.modalActions.push_back([&](QDialog* shown) {
        auto& d = static_cast<DlgCalendarServer&>(*shown);
        EXPECT_EQ(d.LblState()->text(), "Calendar: server unreachable - retrying");
        EXPECT_TRUE(d.LblError()->text().startsWith("Last error: "))
            << d.LblError()->text().toStdString();
        EXPECT_TRUE(d.CmdSyncNow()->isEnabled());
        emit window->Sync()->Refused({"Ann, Massage moved to 10:00: it would collide"});
        emit window->Sync()->Refused({"Bob, new event: no customer Bob"});
        QTest::qWait(50);
        EXPECT_TRUE(ui.messages.empty());
        return shown->result();
    });
    window->mnuFileCalendarServer_Click();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].detail, "Ann, Massage moved to 10:00: it would collide\nBob, new "
                                     "event: no customer Bob");
    EXPECT_TRUE(ui.messages[0].text.contains("were not taken"));

    emit window->Sync()->Refused({"Cid, deleted: not this planner's"});
    QTest::qWait(50);
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_EQ(ui.messages[1].detail, "Cid, deleted: not this planner's");
}

} // namespace
