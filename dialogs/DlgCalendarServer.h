#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

#include "calendar/SyncSettings.h"
#include "sync/PasswordStore.h"
#include "ui/Services.h"
#include "ui/WindowFrame.h"

class CalDavSync;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Calendar Server": where the bookings are kept in step (the server's address and the user),
// the password, which goes into the desktop's secret store and nowhere else, and which
// resources are shared, each as one calendar. It shows how the sync stands and can start a
// pass. Save checks the address (https, or plain http to this computer only), stores the
// password, then writes the settings; nothing is written when any of that fails.
class DlgCalendarServer : public QDialog {
    Q_OBJECT

public:
    DlgCalendarServer(const Services& services, QWidget* parent);

    // The running sync whose state is shown and which Sync now starts; none while off.
    void SetSync(CalDavSync* sync);

    // After a showing that saved: the settings written and the password that goes with them,
    // handed over once.
    const SyncSettings& Saved() const { return saved_; }
    QString TakePassword();
    // While the secret store is asked, Save waits.
    bool Busy() const { return busy_; }

    QLineEdit* TxtServer() const { return txtServer_; }
    QLineEdit* TxtUser() const { return txtUser_; }
    QLineEdit* TxtPassword() const { return txtPassword_; }
    QLabel* LblPasswordNote() const { return lblPasswordNote_; }
    QListWidget* LstResources() const { return lstResources_; }
    QLabel* LblState() const { return lblState_; }
    QLabel* LblError() const { return lblError_; }
    QPushButton* CmdSyncNow() const { return cmdSyncNow_; }
    QPushButton* CmdSave() const { return cmdSave_; }
    QPushButton* CmdCancel() const { return cmdCancel_; }
    QPushButton* CmdHelp() const { return cmdHelp_; }

    void cmdSyncNow_Click();
    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

protected:
    bool event(QEvent* event) override;

private:
    void BuildFields();
    void Form_Load();
    void Form_Activate();
    void ShowState();
    void ShowPasswordNote(const PasswordStore::Result& stored);
    void ListResources(const SyncSettings& settings);
    SyncSettings FieldSettings() const;
    // The second half of Save, once the secret store has answered.
    void PasswordAnswered(const SyncSettings& settings, const QString& password,
                          const PasswordStore::Result& answer);
    void Refuse(const QString& reason, QWidget* field);
    void SetBusy(bool busy);

    const Services services_;
    QPointer<CalDavSync> sync_;
    SyncSettings saved_;
    QString password_;
    bool busy_ = false;

    QLineEdit* txtServer_ = nullptr;
    QLineEdit* txtUser_ = nullptr;
    QLineEdit* txtPassword_ = nullptr;
    QLabel* lblPasswordNote_ = nullptr;
    QListWidget* lstResources_ = nullptr;
    QLabel* lblState_ = nullptr;
    QLabel* lblError_ = nullptr;
    QPushButton* cmdSyncNow_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
    WindowFrame frame_;
};
