// The main window's calendar sync: the server dialog, the sync it owns, its state in the
// status bar and the server changes it could not take.
#include <QLabel>
#include <QScopeGuard>

#include "calendar/SyncSettings.h"
#include "dialogs/DlgCalendarServer.h"
#include "platform/IWindowing.h"
#include "schedule/DlgMain.h"
#include "store/ClsGlobal.h"
#include "sync/CalDavSync.h"
#include "sync/PasswordStore.h"
#include "sync/SyncStatusText.h"
#include "ui/Trap.h"

namespace {
constexpr const char* kForm = "DlgMain";
} // namespace

void DlgMain::mnuFileCalendarServer_Click() {
    HideZoom();
    Trap(kForm, "mnuFileCalendarServer_Click", [&] {
        if (calendarServer_ == nullptr) {
            calendarServer_ = new DlgCalendarServer(*services_, this);
        }
        calendarServer_->SetSync(sync_.get());
        ShowModal(calendarServer_);
        if (calendarServer_->result() == QDialog::Accepted) {
            RunSync(calendarServer_->Saved(), calendarServer_->TakePassword());
        }
    });
}

void DlgMain::StartSync() {
    const std::optional<SyncSettings> settings =
        ReadSyncSettings(global_->Files(), folders_.Data());
    if (!settings || settings->server.empty()) {
        return;
    }
    ShowSyncState(tr("Looking for the password in the secret store"));
    PasswordStore::Read(QString::fromStdString(settings->user),
                        QString::fromStdString(settings->server), this,
                        [this, settings = *settings](const PasswordStore::Result& answer) {
                            Trap(kForm, "StartSync", [&] {
                                if (answer.outcome == PasswordStore::Outcome::Done) {
                                    RunSync(settings, answer.password);
                                } else {
                                    ShowSyncState(answer.error);
                                }
                            });
                        });
}

void DlgMain::RunSync(const SyncSettings& settings, const QString& password) {
    if (sync_ == nullptr) {
        sync_ = std::make_unique<CalDavSync>(*changes_, folders_);
        connect(sync_.get(), &CalDavSync::StatusChanged, this, [this] { ShowSyncState(); });
        // After the sync's own handling has returned: the box waits on the user.
        connect(sync_.get(), &CalDavSync::Refused, this, &DlgMain::Sync_Refused,
                Qt::QueuedConnection);
        if (calendarServer_ != nullptr) {
            calendarServer_->SetSync(sync_.get());
        }
    }
    sync_->Configure(settings, password);
    ShowSyncState();
}

void DlgMain::ShowSyncState(const QString& whyOff) {
    if (sync_ == nullptr) {
        syncState_->setText(SyncStatusText::Label({}));
        syncState_->setToolTip(whyOff);
    } else {
        const CalDavSync::Status status = sync_->CurrentStatus();
        QString text = SyncStatusText::Label(status);
        // What went wrong, in the bar itself and not only on hover; the whole of it in the tip.
        if (!status.lastError.isEmpty() && (status.phase == CalDavSync::Phase::Waiting ||
                                            status.phase == CalDavSync::Phase::Failed)) {
            constexpr qsizetype kShown = 60;
            const QString error = status.lastError.size() > kShown
                                      ? status.lastError.left(kShown - 1) + QChar(0x2026)
                                      : status.lastError;
            text += QStringLiteral(" (%1)").arg(error);
        }
        syncState_->setText(text);
        syncState_->setToolTip(SyncStatusText::Tip(status));
    }
    syncState_->setAccessibleName(tr("Calendar sync state: %1").arg(syncState_->text()));
    syncState_->show();
}

void DlgMain::Sync_Refused(const QStringList& messages) {
    refusals_ << messages;
    TellRefusals();
}

// One box for all that came since the last; none while a dialog of the window (or the last
// box) is up, which tells them when it closes.
void DlgMain::TellRefusals() {
    while (modalDepth_ == 0 && !refusals_.isEmpty()) {
        const QStringList messages = std::exchange(refusals_, {});
        ++modalDepth_;
        const auto done = qScopeGuard([this] { --modalDepth_; });
        windowing_.MessageBox(this,
                              tr("Changes made on the calendar server were not taken. The "
                                 "planner's bookings stay as they are and were put back on the "
                                 "server."),
                              tr("Calendar Server"), IWindowing::Icon::Exclamation,
                              IWindowing::Buttons::Ok, messages.join(u'\n'));
    }
}
