#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>
#include <optional>

#include "calendar/SyncSettings.h"
#include "dialogs/DlgCalendarServer.h"
#include "sync/PasswordStore.h"
#include "tests/dialogs/DialogFixture.h"

// Run through scripts/with-private-keyring (ctest does): the password goes into a GNOME
// Keyring of the test's own.
namespace {

class DlgCalendarServerTest : public DialogFixture {
public:
    void SetUp() override {
        ASSERT_EQ(qgetenv("TIDEMAR_TEST_SECRETS"), "keyring")
            << "run through scripts/with-private-keyring, never against a real keyring";
        DialogFixture::SetUp();
        massage = AddResource("Massage room");
        bath = AddResource("bath");
        sauna = AddResource("Sauna");
        dialog = std::make_unique<DlgCalendarServer>(services(), window.get());
    }
    void TearDown() override {
        dialog.reset();
        DialogFixture::TearDown();
    }

    std::optional<SyncSettings> OnDisk() {
        return ReadSyncSettings(store().Files(), folders.Data());
    }
    static QString Stored(const char* user, const char* server) {
        return PasswordStore::ReadNow(user, server).password;
    }
    static void SaveAndWait(DlgCalendarServer& d) {
        d.CmdSave()->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !d.Busy(); }, 10000));
    }
    static QStringList Ticked(DlgCalendarServer& d) {
        QStringList names;
        for (int i = 0; i < d.LstResources()->count(); ++i) {
            const QListWidgetItem* item = d.LstResources()->item(i);
            names << (item->checkState() == Qt::Checked ? "+" : "-") + item->text();
        }
        return names;
    }

    int32_t massage = 0, bath = 0, sauna = 0;
    std::unique_ptr<DlgCalendarServer> dialog;
};

struct SaveCase {
    const char* name;
    const char* server;
    const char* user;
    const char* typed;
    const char* storedBefore; // under the user and the server, null for none
    const char* refusal;      // part of the reason given, null when saved
    const char* kept;         // the password in the store afterwards, "" for none
};

class DlgCalendarServerSave : public DlgCalendarServerTest,
                              public ::testing::WithParamInterface<SaveCase> {};

TEST_P(DlgCalendarServerSave, WritesSettingsAndPasswordOrNothing) {
    const SaveCase& c = GetParam();
    if (c.storedBefore != nullptr) {
        ASSERT_EQ(PasswordStore::WriteNow(c.user, c.server, c.storedBefore).outcome,
                  PasswordStore::Outcome::Done);
    }
    const int result = Show<DlgCalendarServer>(*dialog, [&](DlgCalendarServer& d) {
        d.TxtServer()->setText(c.server);
        d.TxtUser()->setText(c.user);
        d.TxtPassword()->setText(c.typed);
        SaveAndWait(d);
    });
    EXPECT_EQ(Stored(c.user, c.server).toStdString(), c.kept);
    if (c.refusal == nullptr) {
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_TRUE(ui.messages.empty());
        const SyncSettings expected{c.server, c.user, true, {}};
        EXPECT_EQ(OnDisk(), expected);
        EXPECT_EQ(dialog->Saved(), expected);
        EXPECT_EQ(dialog->TakePassword().toStdString(), c.kept);
        EXPECT_TRUE(dialog->TakePassword().isEmpty());
        return;
    }
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(OnDisk(), std::nullopt);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].detail.contains(c.refusal)) << ui.messages[0].detail.toStdString();
    EXPECT_TRUE(dialog->TakePassword().isEmpty());
}

constexpr const char* kLocal = "http://127.0.0.1:5232/";
constexpr const char* kRemote = "https://dav.example.org/dav/";

INSTANTIATE_TEST_SUITE_P(
    Rules, DlgCalendarServerSave,
    ::testing::Values(
        SaveCase{"LoopbackHttp", kLocal, "ann", "pw1", nullptr, nullptr, "pw1"},
        SaveCase{"RemoteHttp", "http://dav.example.org/", "ann", "pw", nullptr, "Plain http", ""},
        // No address: syncing stops, and a password typed is not stored.
        SaveCase{"EmptyAddressStopsSyncing", "", "ann", "pw", nullptr, nullptr, ""},
        SaveCase{"NoUser", kRemote, " ", "pw", nullptr, "Enter the user name", ""},
        SaveCase{"NoPasswordAtAll", kRemote, "ann", "", nullptr, "Enter the password for ann", ""},
        SaveCase{"StoredPasswordKept", kRemote, "ann", "", "old", nullptr, "old"},
        SaveCase{"TypedPasswordReplaces", kRemote, "ann", "new", "old", nullptr, "new"}),
    [](const auto& row) { return std::string(row.param.name); });

// Every resource ticked until the user chooses; a choice is kept by id and shown again.
TEST_F(DlgCalendarServerTest, SharesEveryResourceUntilTheUserChooses) {
    Show<DlgCalendarServer>(*dialog, [&](DlgCalendarServer& d) {
        EXPECT_EQ(Ticked(d), (QStringList{"+bath", "+Massage room", "+Sauna"}));
        EXPECT_TRUE(d.LblPasswordNote()->text().contains("No password is stored yet"));
        d.TxtServer()->setText(kRemote);
        d.TxtUser()->setText("ann");
        d.TxtPassword()->setText("pw");
        d.LstResources()->item(1)->setCheckState(Qt::Unchecked);
        SaveAndWait(d);
    });
    EXPECT_EQ(OnDisk(), (SyncSettings{kRemote, "ann", false, {bath, sauna}}));
    Show<DlgCalendarServer>(*dialog, [&](DlgCalendarServer& d) {
        EXPECT_EQ(d.TxtServer()->text(), kRemote);
        EXPECT_TRUE(d.TxtPassword()->text().isEmpty());
        EXPECT_EQ(Ticked(d), (QStringList{"+bath", "-Massage room", "+Sauna"}));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return d.LblPasswordNote()->text().contains("A password is kept"); }, 10000));
        d.LstResources()->item(1)->setCheckState(Qt::Checked);
        SaveAndWait(d);
    });
    EXPECT_EQ(OnDisk(), (SyncSettings{kRemote, "ann", true, {}}));
}

// Without a running sync there is nothing to start; help opens the dialog's own topic.
TEST_F(DlgCalendarServerTest, OffUntilASyncRunsAndHelpHasItsTopic) {
    Show<DlgCalendarServer>(*dialog, [&](DlgCalendarServer& d) {
        EXPECT_EQ(d.LblState()->text(), "Calendar: off");
        EXPECT_FALSE(d.CmdSyncNow()->isEnabled());
        d.CmdHelp()->click();
        d.CmdCancel()->click();
    });
    ASSERT_EQ(ui.helps.size(), 1);
    EXPECT_EQ(ui.helps[0].request.context, 20);
    EXPECT_EQ(OnDisk(), std::nullopt);
}

} // namespace
