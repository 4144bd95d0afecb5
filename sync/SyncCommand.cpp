#include "sync/SyncCommand.h"

#include <QFile>
#include <QObject>

#include <sys/stat.h>

#include "store/ClsGlobal.h"
#include "store/InstanceLock.h"
#include "store/StoreChanges.h"
#include "sync/CalDavClient.h"
#include "sync/CalDavSync.h"

namespace {

// A password file anyone else may read is no secret any more: only mode 600 is taken.
std::optional<QString> ReadPasswordFile(const std::string& path, QString& why) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        why = QObject::tr("the password file %1 cannot be read").arg(QString::fromStdString(path));
        return std::nullopt;
    }
    if ((st.st_mode & 07777) != 0600) {
        why = QObject::tr("the password file %1 has mode %2; it must be 600 (only its owner "
                          "reads and writes it)")
                  .arg(QString::fromStdString(path))
                  .arg(st.st_mode & 07777, 3, 8, QLatin1Char('0'));
        return std::nullopt;
    }
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        why = QObject::tr("the password file %1 cannot be read: %2")
                  .arg(QString::fromStdString(path), file.errorString());
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    while (bytes.endsWith('\n') || bytes.endsWith('\r')) {
        bytes.chop(1);
    }
    return QString::fromUtf8(bytes);
}

} // namespace

namespace SyncCommand {

Status Run(const ProgramFolders& folders, const SyncRequest& request,
           const PasswordSource& secretStore, QTextStream& errors) {
    auto refuse = [&errors](const QString& why, Status status) {
        errors << "tidemar: " << why << "\n";
        errors.flush();
        return status;
    };
    InstanceLock lock(folders.Data());
    if (!lock.Acquired()) {
        return refuse(QObject::tr("a planner window has the data folder %1 open; the pass runs "
                                  "there")
                          .arg(QString::fromStdString(folders.Data())),
                      FolderHeld);
    }
    FileSystem& fs = FileSystem::Real();
    SyncSettings settings = ReadSyncSettings(fs, folders.Data()).value_or(SyncSettings{});
    const SyncSettings before = settings;
    if (!request.server.isEmpty()) {
        settings.server = request.server.toStdString();
    }
    if (!request.user.isEmpty()) {
        settings.user = request.user.toStdString();
    }
    if (settings.server.empty() || settings.user.empty()) {
        return refuse(QObject::tr("no calendar server is set up: give --server URL and --user "
                                  "NAME"),
                      Refused);
    }
    if (const QString why = CalDavClient::Refusal(QUrl(QString::fromStdString(settings.server)));
        !why.isEmpty()) {
        return refuse(why, Refused);
    }
    QString why;
    std::optional<QString> password;
    if (request.passwordFile) {
        password = ReadPasswordFile(*request.passwordFile, why);
        if (!password) {
            return refuse(why, Refused);
        }
    } else if (secretStore) {
        password = secretStore(settings);
    }
    if (!password || password->isEmpty()) {
        return refuse(QObject::tr("no password for %1 on %2: give --password-file FILE or keep "
                                  "it in the desktop's secret store")
                          .arg(QString::fromStdString(settings.user),
                               QString::fromStdString(settings.server)),
                      Refused);
    }
    if (!(settings == before) && !WriteSyncSettings(fs, folders.Data(), settings)) {
        return refuse(QObject::tr("the calendar server settings could not be written in %1")
                          .arg(QString::fromStdString(folders.Data())),
                      Failed);
    }

    ClsGlobal store(folders, fs);
    for (const FileProblem& problem : store.LoadProblems()) {
        // Bookings the planner could not read would look deleted to the server.
        if (problem.kind == FileProblem::Kind::Unreadable) {
            return refuse(QObject::tr("%1 could not be read (%2); nothing was sent")
                              .arg(QString::fromStdString(problem.file),
                                   QString::fromStdString(problem.what)),
                          Failed);
        }
    }
    StoreChanges changes(store);
    CalDavSync sync(changes, folders);
    QObject::connect(&sync, &CalDavSync::Refused, [&errors](const QStringList& messages) {
        for (const QString& message : messages) {
            errors << "tidemar: " << message << "\n";
        }
    });
    sync.Configure(settings, *password);
    QString error;
    const bool ok = sync.RunOnce(error);
    const SaveResult saved = store.Save();
    if (!saved.Ok()) {
        return refuse(QObject::tr("the bookings could not be saved: %1")
                          .arg(QString::fromStdString(saved.failedFiles.front())),
                      Failed);
    }
    if (!ok) {
        return refuse(error, Failed);
    }
    errors.flush();
    return Done;
}

} // namespace SyncCommand
