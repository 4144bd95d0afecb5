#include "sync/PasswordStore.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QEventLoop>
#include <QObject>
#include <qt6keychain/keychain.h>

#include <optional>

namespace {

// The library tells a store that is not there only as words in its error text; the bus says
// it plainly: nothing owns the name of a secret store, and nothing would start one.
bool SecretStoreOnTheBus() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) {
        return false;
    }
    const QDBusReply<QStringList> startable = bus.interface()->activatableServiceNames();
    for (const char* name : {"org.freedesktop.secrets", "org.kde.kwalletd5", "org.kde.kwalletd6"}) {
        const QString service = QLatin1String(name);
        if (bus.interface()->isServiceRegistered(service).value() ||
            (startable.isValid() && startable.value().contains(service))) {
            return true;
        }
    }
    return false;
}

PasswordStore::Result ResultOf(const QKeychain::Job& job) {
    PasswordStore::Result result;
    const QKeychain::Error error = job.error();
    if (error == QKeychain::NoError) {
        result.outcome = PasswordStore::Outcome::Done;
        if (const auto* read = qobject_cast<const QKeychain::ReadPasswordJob*>(&job)) {
            result.password = read->textData();
        }
    } else if (error == QKeychain::EntryNotFound) {
        result.outcome = PasswordStore::Outcome::NotFound;
        result.error = QObject::tr("No password is stored for this server and user.");
    } else if (error == QKeychain::NoBackendAvailable || error == QKeychain::NotImplemented ||
               !SecretStoreOnTheBus()) {
        result.outcome = PasswordStore::Outcome::NoSecretStore;
        result.error =
            QObject::tr("No secret store answers on this desktop (GNOME Keyring, KWallet or "
                        "another Secret Service), and the password is never kept in a plain "
                        "file. Start one, or give the command line a password file.");
    } else {
        result.outcome = PasswordStore::Outcome::Failed;
        result.error = QObject::tr("The secret store refused: %1").arg(job.errorString());
    }
    return result;
}

// Starts the job; its answer goes to `done` unless the context is gone. The job deletes
// itself after answering.
void Run(QKeychain::Job* job, const QString& key, QObject* context, PasswordStore::Callback done) {
    job->setKey(key);
    // Where no secret store exists the library would keep the password in a settings file.
    job->setInsecureFallback(false);
    job->setAutoDelete(true);
    QObject::connect(
        job, &QKeychain::Job::finished, context,
        [done = std::move(done)](QKeychain::Job* finished) { done(ResultOf(*finished)); });
    job->start();
}

PasswordStore::Result Wait(const std::function<void(QObject*, PasswordStore::Callback)>& start) {
    QEventLoop loop;
    std::optional<PasswordStore::Result> answer;
    start(&loop, [&](const PasswordStore::Result& result) {
        answer = result;
        loop.quit();
    });
    if (!answer) {
        loop.exec();
    }
    return *answer;
}

} // namespace

QString PasswordStore::Key(const QString& user, const QString& server) {
    return user + u'@' + server;
}

void PasswordStore::Read(const QString& user, const QString& server, QObject* context,
                         Callback done) {
    Run(new QKeychain::ReadPasswordJob(QLatin1String(kService)), Key(user, server), context,
        std::move(done));
}

void PasswordStore::Write(const QString& user, const QString& server, const QString& password,
                          QObject* context, Callback done) {
    auto* job = new QKeychain::WritePasswordJob(QLatin1String(kService));
    job->setTextData(password);
    Run(job, Key(user, server), context, std::move(done));
}

void PasswordStore::Remove(const QString& user, const QString& server, QObject* context,
                           Callback done) {
    Run(new QKeychain::DeletePasswordJob(QLatin1String(kService)), Key(user, server), context,
        std::move(done));
}

PasswordStore::Result PasswordStore::ReadNow(const QString& user, const QString& server) {
    return Wait([&](QObject* context, Callback done) { Read(user, server, context, done); });
}

PasswordStore::Result PasswordStore::WriteNow(const QString& user, const QString& server,
                                              const QString& password) {
    return Wait(
        [&](QObject* context, Callback done) { Write(user, server, password, context, done); });
}

PasswordStore::Result PasswordStore::RemoveNow(const QString& user, const QString& server) {
    return Wait([&](QObject* context, Callback done) { Remove(user, server, context, done); });
}
