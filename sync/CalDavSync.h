#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include "calendar/SyncSettings.h"

class StoreChanges;
struct ProgramFolders;

// Keeps the shared resources' bookings and their calendars on a CalDAV server in step.
// Out: every change told by the StoreChanges is queued on disk and pushed. In: changes
// others made on the server are applied through the StoreChanges, or refused and the
// server copy put back from the planner's.
class CalDavSync : public QObject {
    Q_OBJECT
public:
    enum class Phase { Off, Idle, Working, Waiting, Failed };
    struct Status {
        Phase phase = Phase::Off;
        int pending = 0;    // pushes not yet taken by the server
        QString lastError;  // empty when the last pass went through
        QDateTime lastSync; // the end of the last pass that went through
    };

    CalDavSync(StoreChanges& changes, const ProgramFolders& folders, QObject* parent = nullptr);
    ~CalDavSync() override;

    // Off until it has settings with a server and a password.
    void Configure(const SyncSettings& settings, const QString& password);
    const SyncSettings& Settings() const;
    // A pass now: the queue first, then what changed on the server.
    void SyncNow();
    // One whole pass, waiting for it (a local event loop): for the command line.
    bool RunOnce(QString& error);
    Status CurrentStatus() const;

signals:
    void StatusChanged();
    // Server changes that were not applied, each in words: which event and why.
    void Refused(const QStringList& messages);

private:
    struct Impl;
    Impl* impl_;
};
