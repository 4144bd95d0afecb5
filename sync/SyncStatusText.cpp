#include "sync/SyncStatusText.h"

#include <QCoreApplication>

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("SyncStatusText", text);
}

QString ToSend(int pending) {
    return pending == 1 ? Tr("1 to send") : Tr("%1 to send").arg(pending);
}

} // namespace

namespace SyncStatusText {

QString Label(const CalDavSync::Status& status) {
    QString state;
    switch (status.phase) {
    case CalDavSync::Phase::Off:
        state = Tr("off");
        break;
    case CalDavSync::Phase::Idle:
        state = status.pending == 0 ? Tr("in step") : ToSend(status.pending);
        break;
    case CalDavSync::Phase::Working:
        state = status.pending == 0 ? Tr("syncing") : Tr("syncing, %1").arg(ToSend(status.pending));
        break;
    case CalDavSync::Phase::Waiting:
        state = status.pending == 0
                    ? Tr("server unreachable - retrying")
                    : Tr("server unreachable - retrying, %1").arg(ToSend(status.pending));
        break;
    case CalDavSync::Phase::Failed:
        state = status.pending == 0 ? Tr("stopped - see the error")
                                    : Tr("stopped - see the error, %1").arg(ToSend(status.pending));
        break;
    }
    return Tr("Calendar: %1").arg(state);
}

QString Tip(const CalDavSync::Status& status) {
    if (!status.lastError.isEmpty()) {
        return status.lastError;
    }
    if (!status.lastSync.isValid()) {
        return Tr("Not synced yet");
    }
    return Tr("Last synced %1")
        .arg(status.lastSync.toLocalTime().toString(QStringLiteral("ddd d MMM HH:mm")));
}

} // namespace SyncStatusText
