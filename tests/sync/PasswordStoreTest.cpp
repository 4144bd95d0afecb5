#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QObject>

#include <gtest/gtest.h>
#include <memory>

#include "sync/PasswordStore.h"

// Run through scripts/with-private-keyring (ctest does): a GNOME Keyring of its own, or no
// secret store at all for the cases named so.
namespace {

using Outcome = PasswordStore::Outcome;

void ExpectSecrets(const char* kind) {
    ASSERT_EQ(qgetenv("TIDEMAR_TEST_SECRETS"), kind)
        << "run through scripts/with-private-keyring, never against a real keyring";
}

struct Step {
    enum Op { Read, Write, Remove } op;
    const char* user;
    const char* server;
    const char* password; // to write, or expected from a read
    Outcome outcome;
};

struct StepsCase {
    const char* name;
    std::vector<Step> steps;
};

class PasswordStoreTest : public ::testing::TestWithParam<StepsCase> {};

constexpr const char* kServer = "https://dav.example.org/";
constexpr const char* kOther = "https://cal.example.com/";

TEST_P(PasswordStoreTest, KeepsOnePasswordPerUserAndServer) {
    ExpectSecrets("keyring");
    int n = 0;
    for (const Step& s : GetParam().steps) {
        SCOPED_TRACE(++n);
        const QString user = QString::fromUtf8(s.user), server = QString::fromUtf8(s.server);
        PasswordStore::Result r;
        switch (s.op) {
        case Step::Read:
            r = PasswordStore::ReadNow(user, server);
            EXPECT_EQ(r.password.toStdString(), s.password);
            break;
        case Step::Write:
            r = PasswordStore::WriteNow(user, server, QString::fromUtf8(s.password));
            break;
        case Step::Remove:
            r = PasswordStore::RemoveNow(user, server);
            break;
        }
        EXPECT_EQ(r.outcome, s.outcome) << r.error.toStdString();
        EXPECT_EQ(r.error.isEmpty(), s.outcome == Outcome::Done) << r.error.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, PasswordStoreTest,
    ::testing::Values(StepsCase{"WriteReadReplaceRemove",
                                {{Step::Write, "ann", kServer, "first secret", Outcome::Done},
                                 {Step::Read, "ann", kServer, "first secret", Outcome::Done},
                                 {Step::Write, "ann", kServer, "sëcond, ünïcode", Outcome::Done},
                                 {Step::Read, "ann", kServer, "sëcond, ünïcode", Outcome::Done},
                                 {Step::Remove, "ann", kServer, "", Outcome::Done},
                                 {Step::Read, "ann", kServer, "", Outcome::NotFound}}},
                      StepsCase{"AccountsKeepTheirOwn",
                                {{Step::Write, "ann", kServer, "ann's", Outcome::Done},
                                 {Step::Write, "bob", kServer, "bob's", Outcome::Done},
                                 {Step::Write, "ann", kOther, "ann's other", Outcome::Done},
                                 {Step::Remove, "bob", kServer, "", Outcome::Done},
                                 {Step::Read, "ann", kServer, "ann's", Outcome::Done},
                                 {Step::Read, "ann", kOther, "ann's other", Outcome::Done},
                                 {Step::Read, "bob", kServer, "", Outcome::NotFound},
                                 {Step::Read, "bob", kOther, "", Outcome::NotFound}}}),
    [](const auto& row) { return std::string(row.param.name); });

// An answer that comes after its window has gone is dropped, not delivered to it.
TEST(PasswordStoreAnswers, GoNowhereOnceTheirContextIsGone) {
    ExpectSecrets("keyring");
    ASSERT_EQ(PasswordStore::WriteNow("ann", kServer, "pw").outcome, Outcome::Done);
    int answers = 0;
    auto kept = std::make_unique<QObject>();
    auto gone = std::make_unique<QObject>();
    PasswordStore::Read("ann", kServer, kept.get(), [&](const PasswordStore::Result& r) {
        EXPECT_EQ(r.password, "pw");
        ++answers;
    });
    PasswordStore::Read("ann", kServer, gone.get(), [&](const auto&) { answers += 100; });
    gone.reset();
    // Answers come in order: once this one is in, the two before it have come too.
    EXPECT_EQ(PasswordStore::ReadNow("ann", kServer).outcome, Outcome::Done);
    EXPECT_EQ(answers, 1);
}

// No secret store: every call says so in words, and the password is in no file either. The
// library picks its way to the store once per process by the desktop, so each row runs in a
// process of its own (ctest runs each case alone): the Secret Service's way, and KWallet's,
// where the library would fall back to a plain file if asked to.
struct Desktop {
    const char* name;
    const char* currentDesktop;
    const char* kdeVersion;
};

class PasswordStoreWithoutSecretStore : public ::testing::TestWithParam<Desktop> {};

TEST_P(PasswordStoreWithoutSecretStore, SaysSoAndWritesNoFile) {
    ExpectSecrets("none");
    qputenv("XDG_CURRENT_DESKTOP", GetParam().currentDesktop);
    qputenv("KDE_SESSION_VERSION", GetParam().kdeVersion);
    const auto write = PasswordStore::WriteNow("ann", kServer, "never on disk");
    const auto read = PasswordStore::ReadNow("ann", kServer);
    const auto remove = PasswordStore::RemoveNow("ann", kServer);
    for (const auto* r : {&write, &read, &remove}) {
        EXPECT_EQ(r->outcome, Outcome::NoSecretStore) << r->error.toStdString();
        EXPECT_TRUE(r->error.contains("No secret store")) << r->error.toStdString();
    }
    for (const char* folder : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
        QDirIterator files(qEnvironmentVariable(folder), QDir::Files | QDir::Hidden,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_FALSE(file.readAll().contains("never on disk")) << file.fileName().toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Desktops, PasswordStoreWithoutSecretStore,
                         ::testing::Values(Desktop{"SecretService", "GNOME", ""},
                                           Desktop{"KWallet", "KDE", "4"}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
