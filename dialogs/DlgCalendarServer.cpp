#include "dialogs/DlgCalendarServer.h"

#include <QAction>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "platform/IWindowing.h"
#include "platform/Twips.h"
#include "store/ClsGlobal.h"
#include "store/ClsResource.h"
#include "store/ProgramFolders.h"
#include "sync/CalDavSync.h"
#include "sync/ServerAddress.h"
#include "sync/SyncStatusText.h"
#include "ui/ClsDialog.h"
#include "ui/Trap.h"

namespace {

constexpr const char* kForm = "DlgCalendarServer";
constexpr double kWidthTwips = 8400;
constexpr double kHeightTwips = 7800;
constexpr int kHelpContext = 20;

} // namespace

DlgCalendarServer::DlgCalendarServer(const Services& services, QWidget* parent)
    : QDialog(parent), services_(services),
      frame_(*this, {[this] { Form_Load(); }, [this] { Form_Activate(); }}, services_,
             kHelpContext) {
    frame_.ActivateInEvent();
    setWindowTitle(tr("Calendar Server"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);
    BuildFields();
}

void DlgCalendarServer::BuildFields() {
    txtServer_ = new QLineEdit(this);
    txtServer_->setPlaceholderText(QStringLiteral("https://dav.example.org/dav/"));
    txtServer_->setToolTip(tr("The address the calendars are made under: https, or plain http "
                              "to a server on this computer"));
    txtUser_ = new QLineEdit(this);
    txtPassword_ = new QLineEdit(this);
    txtPassword_->setEchoMode(QLineEdit::Password);
    lblPasswordNote_ = new QLabel(this);
    lblPasswordNote_->setWordWrap(true);
    lstResources_ = new QListWidget(this);
    lstResources_->setAccessibleName(tr("Shared resources"));
    lblState_ = new QLabel(this);
    lblError_ = new QLabel(this);
    lblError_->setWordWrap(true);
    lblError_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdSyncNow_ = new QPushButton(tr("S&ync now"), this);
    cmdSyncNow_->setAutoDefault(false);
    cmdSave_ = new QPushButton(tr("&Save"), this);
    cmdSave_->setDefault(true);
    cmdCancel_ = new QPushButton(tr("Cancel"), this);
    cmdCancel_->setAutoDefault(false);
    cmdHelp_ = new QPushButton(tr("&Help"), this);
    cmdHelp_->setAutoDefault(false);

    auto* account = new QFormLayout;
    account->addRow(tr("Server &address:"), txtServer_);
    account->addRow(tr("&User name:"), txtUser_);
    account->addRow(tr("&Password:"), txtPassword_);
    account->addRow(QString(), lblPasswordNote_);

    auto* shared = new QGroupBox(tr("Shared resources (one calendar each)"), this);
    auto* sharedLayout = new QVBoxLayout(shared);
    auto* sharedLabel = new QLabel(tr("&Tick the resources whose bookings go to the server. "
                                      "With every one ticked, resources added later are shared "
                                      "too."),
                                   shared);
    sharedLabel->setWordWrap(true);
    sharedLabel->setBuddy(lstResources_);
    sharedLayout->addWidget(sharedLabel);
    sharedLayout->addWidget(lstResources_, 1);

    auto* state = new QGroupBox(tr("State"), this);
    auto* stateLayout = new QGridLayout(state);
    stateLayout->addWidget(lblState_, 0, 0);
    stateLayout->addWidget(cmdSyncNow_, 0, 1, Qt::AlignRight);
    stateLayout->addWidget(lblError_, 1, 0, 1, 2);
    stateLayout->setColumnStretch(0, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave_);
    buttons->addWidget(cmdCancel_);
    buttons->addWidget(cmdHelp_);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(8);
    layout->addLayout(account);
    layout->addWidget(shared, 1);
    layout->addWidget(state);
    layout->addLayout(buttons);

    auto* help = new QAction(this);
    help->setShortcut(QKeySequence::HelpContents);
    addAction(help);

    connect(cmdSyncNow_, &QPushButton::clicked, this, &DlgCalendarServer::cmdSyncNow_Click);
    connect(cmdSave_, &QPushButton::clicked, this, &DlgCalendarServer::cmdSave_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &DlgCalendarServer::cmdCancel_Click);
    connect(cmdHelp_, &QPushButton::clicked, this, &DlgCalendarServer::cmdHelp_Click);
    connect(help, &QAction::triggered, this, &DlgCalendarServer::cmdHelp_Click);
}

bool DlgCalendarServer::event(QEvent* event) {
    frame_.Event(event);
    return QDialog::event(event);
}

void DlgCalendarServer::SetSync(CalDavSync* sync) {
    if (sync_ == sync) {
        return;
    }
    if (sync_ != nullptr) {
        disconnect(sync_, nullptr, this, nullptr);
    }
    sync_ = sync;
    if (sync_ != nullptr) {
        connect(sync_, &CalDavSync::StatusChanged, this, &DlgCalendarServer::ShowState);
    }
    ShowState();
}

QString DlgCalendarServer::TakePassword() {
    QString password;
    password.swap(password_);
    return password;
}

void DlgCalendarServer::Form_Load() {
    Trap(kForm, "Form_Load", [&] {
        resize(TwipsToPixelsX(kWidthTwips, this), TwipsToPixelsY(kHeightTwips, this));
        ClsDialog::FormCenter(this, parentWidget());
    });
}

// Each showing starts from the settings on disk: what was typed and not saved is gone.
void DlgCalendarServer::Form_Activate() {
    if (!frame_.FirstActivation()) {
        return;
    }
    Trap(kForm, "Form_Activate", [&] {
        const SyncSettings settings =
            ReadSyncSettings(services_.store.Files(), services_.folders.Data())
                .value_or(SyncSettings{});
        saved_ = SyncSettings{};
        password_.clear();
        txtServer_->setText(QString::fromStdString(settings.server));
        txtUser_->setText(QString::fromStdString(settings.user));
        txtPassword_->clear();
        ListResources(settings);
        SetBusy(false);
        ShowState();
        if (settings.server.empty() || settings.user.empty()) {
            ShowPasswordNote({PasswordStore::Outcome::NotFound, {}, {}});
        } else {
            lblPasswordNote_->setText(tr("Looking in the secret store..."));
            PasswordStore::Read(txtUser_->text(), txtServer_->text(), this,
                                [this](const PasswordStore::Result& r) { ShowPasswordNote(r); });
        }
        txtServer_->setFocus();
    });
}

void DlgCalendarServer::ShowPasswordNote(const PasswordStore::Result& stored) {
    switch (stored.outcome) {
    case PasswordStore::Outcome::Done:
        lblPasswordNote_->setText(tr("A password is kept in the secret store. Leave the field "
                                     "empty to keep it, or type a new one."));
        break;
    case PasswordStore::Outcome::NotFound:
        lblPasswordNote_->setText(tr("No password is stored yet. It will be kept in the "
                                     "desktop's secret store."));
        break;
    default:
        lblPasswordNote_->setText(stored.error);
        break;
    }
}

// In the schedule's order; ticked as the settings share them, every one when there are none.
void DlgCalendarServer::ListResources(const SyncSettings& settings) {
    struct Row {
        QString name;
        int32_t id;
    };
    std::vector<Row> rows;
    for (const ClsResource& r : services_.store.Resources()) {
        rows.push_back({QString::fromStdString(r.Name()).trimmed(), r.Id()});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
    lstResources_->clear();
    for (const Row& row : rows) {
        auto* item = new QListWidgetItem(row.name, lstResources_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setData(Qt::UserRole, row.id);
        item->setCheckState(settings.Shares(row.id) ? Qt::Checked : Qt::Unchecked);
    }
}

void DlgCalendarServer::ShowState() {
    const CalDavSync::Status status =
        sync_ != nullptr ? sync_->CurrentStatus() : CalDavSync::Status{};
    lblState_->setText(SyncStatusText::Label(status));
    lblError_->setText(status.lastError.isEmpty() ? SyncStatusText::Tip(status)
                                                  : tr("Last error: %1").arg(status.lastError));
    cmdSyncNow_->setEnabled(!busy_ && sync_ != nullptr && status.phase != CalDavSync::Phase::Off &&
                            status.phase != CalDavSync::Phase::Working);
}

SyncSettings DlgCalendarServer::FieldSettings() const {
    SyncSettings settings;
    settings.server = txtServer_->text().trimmed().toStdString();
    settings.user = txtUser_->text().trimmed().toStdString();
    settings.allResources = true;
    for (int i = 0; i < lstResources_->count(); ++i) {
        const QListWidgetItem* item = lstResources_->item(i);
        if (item->checkState() == Qt::Checked) {
            settings.resources.push_back(item->data(Qt::UserRole).toInt());
        } else {
            settings.allResources = false;
        }
    }
    if (settings.allResources) {
        settings.resources.clear();
    }
    return settings;
}

void DlgCalendarServer::cmdSyncNow_Click() {
    Trap(kForm, "cmdSyncNow_Click", [&] {
        if (sync_ != nullptr) {
            sync_->SyncNow();
        }
        ShowState();
    });
}

void DlgCalendarServer::cmdSave_Click() {
    if (busy_) {
        return;
    }
    Trap(kForm, "cmdSave_Click", [&] {
        // No address: the planner stops syncing; the secret store keeps the password.
        if (txtServer_->text().trimmed().isEmpty()) {
            SyncSettings off = FieldSettings();
            off.server.clear();
            PasswordAnswered(off, QString(),
                             PasswordStore::Result{PasswordStore::Outcome::Done, {}, {}});
            return;
        }
        const QString refusal = ServerAddress::Refusal(txtServer_->text());
        if (!refusal.isEmpty()) {
            Refuse(refusal, txtServer_);
            return;
        }
        const SyncSettings settings = FieldSettings();
        if (settings.user.empty()) {
            Refuse(tr("Enter the user name the server knows you by."), txtUser_);
            return;
        }
        const QString server = QString::fromStdString(settings.server);
        const QString user = QString::fromStdString(settings.user);
        const QString typed = txtPassword_->text();
        SetBusy(true);
        const auto answered = [this, settings, typed](const PasswordStore::Result& answer) {
            PasswordAnswered(settings, typed.isEmpty() ? answer.password : typed, answer);
        };
        if (typed.isEmpty()) {
            PasswordStore::Read(user, server, this, answered);
        } else {
            PasswordStore::Write(user, server, typed, this, answered);
        }
    });
}

void DlgCalendarServer::PasswordAnswered(const SyncSettings& settings, const QString& password,
                                         const PasswordStore::Result& answer) {
    SetBusy(false);
    Trap(kForm, "PasswordAnswered", [&] {
        if (answer.outcome == PasswordStore::Outcome::NotFound) {
            Refuse(tr("Enter the password for %1 on %2: none is stored for them yet.")
                       .arg(QString::fromStdString(settings.user),
                            QString::fromStdString(settings.server)),
                   txtPassword_);
            return;
        }
        if (answer.outcome != PasswordStore::Outcome::Done) {
            Refuse(answer.error, txtPassword_);
            return;
        }
        if (!WriteSyncSettings(services_.store.Files(), services_.folders.Data(), settings)) {
            Refuse(tr("The settings could not be written in %1.")
                       .arg(QString::fromStdString(services_.folders.Data())),
                   txtServer_);
            return;
        }
        saved_ = settings;
        password_ = password;
        txtPassword_->clear();
        accept();
    });
}

void DlgCalendarServer::Refuse(const QString& reason, QWidget* field) {
    services_.windowing.MessageBox(this, tr("The calendar server settings were not saved."),
                                   windowTitle(), IWindowing::Icon::Exclamation,
                                   IWindowing::Buttons::Ok, reason);
    field->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        edit->selectAll();
    }
}

void DlgCalendarServer::SetBusy(bool busy) {
    busy_ = busy;
    cmdSave_->setEnabled(!busy);
    ShowState();
}

void DlgCalendarServer::cmdCancel_Click() {
    reject();
}

void DlgCalendarServer::cmdHelp_Click() {
    frame_.ShowHelp();
}
