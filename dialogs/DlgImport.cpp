#include "dialogs/DlgImport.h"

#include <QAction>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <sys/stat.h>

#include <algorithm>
#include <string_view>

#include "base/Error.h"
#include "calendar/IcsReader.h"
#include "calendar/IcsWriter.h"
#include "datetime/ClsDate.h"
#include "dialogs/DateFieldDrop.h"
#include "dialogs/RecordItems.h"
#include "platform/IWindowing.h"
#include "platform/Twips.h"
#include "store/ClsGlobal.h"
#include "store/FileIo.h"
#include "store/FileSystem.h"
#include "store/ProgramFolders.h"
#include "ui/BookingText.h"
#include "ui/ClsDialog.h"
#include "ui/Trap.h"
#include "widgets/LookupComboBox.h"
#include "widgets/MaskedDateField.h"
#include "widgets/MultiColumnList.h"

namespace {
constexpr const char* kForm = "DlgImport";
constexpr double kWidthTwips = 12000;
constexpr double kHeightTwips = 8400;
constexpr int kHelpContext = 13;
constexpr int32_t kDaysInYear = 365;

QString Count(size_t n) {
    return QLocale(QLocale::English).toString(static_cast<qulonglong>(n));
}

// A column's text may not hold the list's separator.
QString Cell(QString text) {
    return text.replace(u';', QChar(0x037E));
}

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

DlgImport::DlgImport(const Services& services, FileSystem& files)
    : QDialog(services.owner), services_(services), files_(files),
      frame_(*this, {[this] { Form_Load(); }, [this] { Form_Activate(); }}, services_,
             kHelpContext) {
    frame_.ActivateInEvent();
    setWindowTitle(tr("Import"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);
    BuildFields();
}

void DlgImport::BuildFields() {
    txtFile_ = new QLineEdit(this);
    cmdBrowse_ = new QPushButton(tr("&Browse..."), this);
    cmdCheck_ = new QPushButton(tr("C&heck"), this);
    dateFrom_ = new MaskedDateField(this);
    dateTo_ = new MaskedDateField(this);
    new DateFieldDrop(dateFrom_);
    new DateFieldDrop(dateTo_);
    cbResource_ = new LookupComboBox(this);
    cbCustomer_ = new LookupComboBox(this);
    cbType_ = new LookupComboBox(this);
    for (LookupComboBox* list : {cbResource_, cbCustomer_, cbType_}) {
        list->setMinimumContentsLength(20);
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }
    lbEvents_ = new MultiColumnList(this);
    lbEvents_->AddColumn(tr("Date"), 110);
    lbEvents_->AddColumn(tr("Time"), 120);
    lbEvents_->AddColumn(tr("Summary"), 150);
    lbEvents_->AddColumn(tr("Resource"), 110);
    lbEvents_->AddColumn(tr("Status"), 300);
    lbEvents_->setAccessibleName(tr("Events of the file"));
    lbEvents_->FitColumnTo(kDate, QStringLiteral("Wed 30 Sep 2099 "));
    lbEvents_->FitColumnTo(kTime, QStringLiteral("12:00pm to 12:00pm "));
    lbEvents_->FitColumnTo(kStatus, tr("Collides with %1 %2 on %3")
                                        .arg(QStringLiteral("Wwwwwwwwww"),
                                             QStringLiteral("Wed 30 Sep 2099 12:00 to 12:00 "),
                                             QStringLiteral("Wwwwwwwww")));
    lblSummary_ = new QLabel(this);
    lblSummary_->setWordWrap(true);
    lblSummary_->setMinimumHeight(2 * lblSummary_->fontMetrics().lineSpacing());
    lblSummary_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdImport_ = new QPushButton(tr("&Import"), this);
    cmdCancel_ = new QPushButton(tr("Cancel"), this);
    cmdHelp_ = new QPushButton(tr("Hel&p"), this);
    // Enter in the file field checks the file; elsewhere it presses nothing by surprise.
    for (QPushButton* button : {cmdBrowse_, cmdCheck_, cmdImport_, cmdCancel_, cmdHelp_}) {
        button->setAutoDefault(false);
    }

    const auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(txtFile_, 1);
    fileRow->addWidget(cmdBrowse_);
    fileRow->addWidget(cmdCheck_);
    grid->addWidget(label(tr("&File:"), txtFile_), 0, 0);
    grid->addLayout(fileRow, 0, 1, 1, 3);
    auto* range = new QHBoxLayout;
    range->addWidget(dateFrom_);
    range->addSpacing(8);
    range->addWidget(label(tr("&to"), dateTo_));
    range->addSpacing(4);
    range->addWidget(dateTo_);
    range->addStretch(1);
    grid->addWidget(label(tr("Repeat &dates from:"), dateFrom_), 1, 0);
    grid->addLayout(range, 1, 1, 1, 3);
    grid->addWidget(label(tr("&Resource:"), cbResource_), 2, 0);
    grid->addWidget(cbResource_, 2, 1);
    auto* resourceNote = new QLabel(tr("unless LOCATION names one"), this);
    resourceNote->setEnabled(false);
    grid->addWidget(resourceNote, 2, 2, 1, 2);
    grid->addWidget(label(tr("C&ustomer:"), cbCustomer_), 3, 0);
    grid->addWidget(cbCustomer_, 3, 1);
    auto* customerNote = new QLabel(tr("unless SUMMARY or ORGANIZER names one"), this);
    customerNote->setEnabled(false);
    grid->addWidget(customerNote, 3, 2, 1, 2);
    grid->addWidget(label(tr("T&ype:"), cbType_), 4, 0);
    grid->addWidget(cbType_, 4, 1);
    grid->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdImport_);
    buttons->addWidget(cmdCancel_);
    buttons->addWidget(cmdHelp_);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(8);
    layout->addLayout(grid);
    layout->addWidget(lbEvents_, 1);
    layout->addWidget(lblSummary_);
    layout->addLayout(buttons);

    auto* help = new QAction(this);
    help->setShortcut(QKeySequence::HelpContents);
    addAction(help);

    const auto reread = [this] {
        if (!settingUp_ && read_) {
            ReadEvents();
            ShowRows();
        }
    };
    const auto replan = [this] {
        if (!settingUp_ && read_) {
            ShowRows();
        }
    };
    connect(dateFrom_->findChild<QLineEdit*>(), &QLineEdit::textChanged, this, reread);
    connect(dateTo_->findChild<QLineEdit*>(), &QLineEdit::textChanged, this, reread);
    for (LookupComboBox* list : {cbResource_, cbCustomer_, cbType_}) {
        connect(list, &QComboBox::currentIndexChanged, this, replan);
    }
    connect(txtFile_, &QLineEdit::textEdited, this, &DlgImport::Forget);
    connect(txtFile_, &QLineEdit::returnPressed, this, &DlgImport::cmdCheck_Click);
    connect(cmdBrowse_, &QPushButton::clicked, this, &DlgImport::cmdBrowse_Click);
    connect(cmdCheck_, &QPushButton::clicked, this, &DlgImport::cmdCheck_Click);
    connect(cmdImport_, &QPushButton::clicked, this, &DlgImport::cmdImport_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &DlgImport::cmdCancel_Click);
    connect(cmdHelp_, &QPushButton::clicked, this, &DlgImport::cmdHelp_Click);
    connect(help, &QAction::triggered, this, &DlgImport::cmdHelp_Click);
}

bool DlgImport::event(QEvent* event) {
    frame_.Event(event);
    return QDialog::event(event);
}

void DlgImport::Form_Load() {
    Trap(kForm, "Form_Load", [&] {
        const QMargins margins = layout()->contentsMargins();
        const int width = std::max(TwipsToPixelsX(kWidthTwips, this),
                                   lbEvents_->ColumnsWidth() + margins.left() + margins.right());
        resize(width, TwipsToPixelsY(kHeightTwips, this));
        ClsDialog::FormCenter(this, parentWidget());
    });
}

// Each showing starts with nothing read and a year from today; the file and the choices are
// kept from the last showing.
void DlgImport::Form_Activate() {
    if (!frame_.FirstActivation()) {
        return;
    }
    Trap(kForm, "Form_Activate", [&] {
        settingUp_ = true;
        booked_ = 0;
        skipped_ = 0;
        const ClsGlobal& store = services_.store;
        const bool monthFirst = store.DateFormat() != 0;
        const int32_t today = services_.date.Today();
        dateFrom_->SetMonthFirst(monthFirst);
        dateTo_->SetMonthFirst(monthFirst);
        dateFrom_->SetValue(today);
        dateTo_->SetValue(today + kDaysInYear);
        const auto refill = [](LookupComboBox* list, LookupListModel::Items items) {
            const int32_t id = ClsDialog::ComboGetCurrentId(list);
            list->Fill(std::move(items));
            list->SelectId(id);
        };
        refill(cbResource_, RecordItems(store.Resources()));
        refill(cbCustomer_, RecordItems(store.Customers()));
        refill(cbType_, RecordItems(store.Types()));
        settingUp_ = false;
        Forget();
        txtFile_->setFocus();
    });
}

ImportChoice DlgImport::Choice() const {
    const auto id = [](LookupComboBox* list) {
        return std::max<int32_t>(0, ClsDialog::ComboGetCurrentId(list));
    };
    return ImportChoice{id(cbResource_), id(cbCustomer_), id(cbType_)};
}

void DlgImport::Forget() {
    text_.clear();
    text_.shrink_to_fit();
    read_ = false;
    events_.clear();
    rows_.clear();
    lbEvents_->Clear();
    lblSummary_->setText(txtFile_->text().isEmpty()
                             ? tr("Choose an iCalendar file, then Check lists its events.")
                             : tr("Check lists the events of the file."));
    cmdImport_->setEnabled(false);
}

void DlgImport::Refuse(const QString& why) {
    Forget();
    lblSummary_->setText(tr("The file cannot be imported: %1").arg(why));
    services_.windowing.MessageBox(this, tr("The file cannot be imported."), tr("Import"),
                                   IWindowing::Icon::Exclamation, IWindowing::Buttons::Ok, why);
}

void DlgImport::cmdBrowse_Click() {
    Trap(kForm, "cmdBrowse_Click", [&] {
        const std::optional<QString> path = services_.windowing.OpenFileName(
            this, tr("Import bookings from"),
            txtFile_->text().isEmpty() ? QDir::homePath() : txtFile_->text(),
            tr("iCalendar files (*.ics *.ical *.ifb);;All files (*)"));
        if (path) {
            txtFile_->setText(*path);
            cmdCheck_Click();
        }
    });
}

void DlgImport::cmdCheck_Click() {
    Trap(kForm, "cmdCheck_Click", [&] {
        Forget();
        const QString name = txtFile_->text().trimmed();
        if (name.isEmpty()) {
            return;
        }
        const std::string path = QDir::cleanPath(name).toStdString();
        // A file too big is refused before it is read into memory.
        struct stat st {};
        if (files_.Stat(path, st) == 0 && S_ISREG(st.st_mode) &&
            static_cast<size_t>(st.st_size) > kIcsMaxBytes) {
            Refuse(tr("The file is larger than %1 MB.").arg(kIcsMaxBytes / (1024 * 1024)));
            return;
        }
        ByteBlock block;
        if (const std::optional<Error> error = FileIo::ReadAll(files_, path, block)) {
            Refuse(QString::fromStdString(error->description) + u'.');
            return;
        }
        text_.assign(reinterpret_cast<const char*>(block.data.get()), block.size);
        read_ = true;
        ReadEvents();
        if (read_) {
            ShowRows();
        }
    });
}

void DlgImport::ReadEvents() {
    events_.clear();
    if (!dateFrom_->TextValid() || !dateTo_->TextValid()) {
        return;
    }
    IcsReadResult result =
        ReadIcs(std::string_view(text_), dateFrom_->Value(), dateTo_->Value(), MachineZone());
    if (!result.ok) {
        Refuse(Utf8(result.error));
        return;
    }
    events_ = std::move(result.events);
}

QString DlgImport::StatusText(const ImportRow& row) const {
    const bool clock24 = services_.store.Option(4);
    switch (row.status) {
    case ImportRow::Status::Book:
        return tr("Will be booked");
    case ImportRow::Status::Collides: {
        if (row.otherId == 0) {
            // Another event of the file, as the plan words it.
            QString why = Utf8(row.why);
            if (!why.isEmpty()) {
                why[0] = why[0].toUpper();
            }
            return why.isEmpty() ? tr("Collides with another event of the file") : why;
        }
        const auto other = services_.store.AppointmentLoad(row.otherId);
        const auto customer = services_.store.CustomerLoad(other->CustomerId());
        const auto resource = services_.store.ResourceLoad(other->ResourceId());
        return tr("Collides with %1 %2 on %3")
            .arg(Utf8(customer->Name()).trimmed(),
                 BookingText::Times(other->StartDtTm(), other->EndDtTm(), clock24),
                 Utf8(resource->Name()).trimmed());
    }
    case ImportRow::Status::OutsideRules:
        return tr("Outside the type's rules: %1").arg(Utf8(row.why));
    case ImportRow::Status::Unreadable:
        break;
    }
    return tr("Unreadable: %1").arg(Utf8(row.why.empty() ? row.event.problem : row.why));
}

void DlgImport::ShowRows() {
    Trap(kForm, "ShowRows", [&] {
        lbEvents_->Clear();
        rows_.clear();
        size_t free = 0;
        if (!read_) {
            cmdImport_->setEnabled(false);
            return;
        }
        if (!dateFrom_->TextValid() || !dateTo_->TextValid()) {
            lblSummary_->setText(tr("The dates for repeating events are not valid."));
            cmdImport_->setEnabled(false);
            return;
        }
        rows_ = PlanImport(services_.store, events_, Choice());
        const ClsDate& date = services_.date;
        const bool clock24 = services_.store.Option(4);
        for (size_t i = 0; i < rows_.size(); ++i) {
            const ImportRow& row = rows_[i];
            const IcsEvent& e = row.event;
            QString day;
            QString times;
            if (e.startDtTm > 0) {
                day = BookingText::DayText(date.SplitDateVal(e.startDtTm));
                times = tr("%1 to %2")
                            .arg(QString::fromStdString(
                                     ClsDate::TimeText(date.SplitTimeVal(e.startDtTm), clock24)),
                                 QString::fromStdString(
                                     ClsDate::TimeText(date.SplitTimeVal(e.endDtTm), clock24)));
            }
            QString resource;
            if (row.resourceId != 0) {
                if (const auto r = services_.store.ResourceLoad(row.resourceId)) {
                    resource = Utf8(r->Name()).trimmed();
                }
            }
            const int item =
                lbEvents_->AddItem(Cell(day) + u';' + Cell(times) + u';' + Cell(Utf8(e.summary)) +
                                   u';' + Cell(resource) + u';' + Cell(StatusText(row)));
            lbEvents_->SetItemData(item, static_cast<int32_t>(i));
            free += row.status == ImportRow::Status::Book ? 1 : 0;
        }
        lblSummary_->setText(
            rows_.empty() ? tr("The file holds no event in the range.")
            : rows_.size() == 1
                ? tr("1 event: %1 will be booked.").arg(free)
                : tr("%1 events: %2 will be booked, %3 will be skipped.")
                      .arg(Count(rows_.size()), Count(free), Count(rows_.size() - free)));
        cmdImport_->setEnabled(free > 0);
    });
}

// The plan is made again: the store may have changed since the list was made.
void DlgImport::cmdImport_Click() {
    Trap(kForm, "cmdImport_Click", [&] {
        if (!read_) {
            return;
        }
        ShowRows();
        if (!cmdImport_->isEnabled()) {
            return;
        }
        const size_t booked = BookImport(services_.changes, rows_);
        if (booked == 0) {
            services_.windowing.MessageBox(
                this, tr("Unable to book the events!"), tr("Error!"), IWindowing::Icon::Exclamation,
                IWindowing::Buttons::Ok,
                tr("An error kept them from being stored; the details are in %1.")
                    .arg(QString::fromStdString(services_.folders.LogFile())));
            ShowRows();
            return;
        }
        booked_ = booked;
        skipped_ = rows_.size() - booked;
        services_.windowing.MessageBox(
            this,
            tr("%1 booked, %2 skipped.")
                .arg(booked == 1 ? tr("1 event") : tr("%1 events").arg(Count(booked)),
                     Count(skipped_)),
            tr("Import"), IWindowing::Icon::Information, IWindowing::Buttons::Ok);
        Forget();
        accept();
    });
}

void DlgImport::cmdCancel_Click() {
    reject();
}

void DlgImport::cmdHelp_Click() {
    frame_.ShowHelp();
}
