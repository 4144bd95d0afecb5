#include "dialogs/DlgExport.h"

#include <QAction>
#include <QButtonGroup>
#include <QDateTime>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <cstddef>
#include <span>
#include <sstream>
#include <string>

#include "base/ModError.h"
#include "calendar/CsvWriter.h"
#include "calendar/ExportSelection.h"
#include "calendar/IcsWriter.h"
#include "datetime/ClsDate.h"
#include "dialogs/DateFieldDrop.h"
#include "dialogs/RecordItems.h"
#include "platform/IWindowing.h"
#include "platform/Twips.h"
#include "store/ClsGlobal.h"
#include "store/FileIo.h"
#include "store/ProgramFolders.h"
#include "ui/ClsDialog.h"
#include "ui/Trap.h"
#include "widgets/LookupComboBox.h"
#include "widgets/MaskedDateField.h"

namespace {
constexpr const char* kForm = "DlgExport";
constexpr double kWidthTwips = 7800;
constexpr double kHeightTwips = 3600;
constexpr int kHelpContext = 12;
constexpr int32_t kDaysInYear = 365;

QString Count(size_t n) {
    return QLocale(QLocale::English).toString(static_cast<qulonglong>(n));
}

QString Bookings(size_t n) {
    return n == 1 ? QObject::tr("1 booking") : QObject::tr("%1 bookings").arg(Count(n));
}
} // namespace

DlgExport::DlgExport(const Services& services, FileSystem& files, SearchResults searchResults)
    : QDialog(services.owner), services_(services), files_(files),
      searchResults_(std::move(searchResults)),
      frame_(*this, {[this] { Form_Load(); }, [this] { Form_Activate(); }}, services_,
             kHelpContext) {
    frame_.ActivateInEvent();
    setWindowTitle(tr("Export"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);
    BuildFields();
}

void DlgExport::BuildFields() {
    const char* const whats[] = {"&All bookings",
                                 "One &resource:", "One &customer:", "The &search results"};
    auto* whatGroup = new QButtonGroup(this);
    for (size_t i = 0; i < 4; ++i) {
        optWhat_[i] = new QRadioButton(tr(whats[i]), this);
        whatGroup->addButton(optWhat_[i]);
    }
    cbResource_ = new LookupComboBox(this);
    cbCustomer_ = new LookupComboBox(this);
    // Each list follows its choice, which names it only on screen.
    cbResource_->setAccessibleName(tr("Resource"));
    cbCustomer_->setAccessibleName(tr("Customer"));
    for (LookupComboBox* list : {cbResource_, cbCustomer_}) {
        list->setMinimumContentsLength(24);
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }
    dateFrom_ = new MaskedDateField(this);
    dateTo_ = new MaskedDateField(this);
    new DateFieldDrop(dateFrom_);
    new DateFieldDrop(dateTo_);
    optIcs_ = new QRadioButton(tr("&iCalendar (.ics)"), this);
    optCsv_ = new QRadioButton(tr("CS&V (.csv)"), this);
    auto* formatGroup = new QButtonGroup(this);
    formatGroup->addButton(optIcs_);
    formatGroup->addButton(optCsv_);
    optIcs_->setChecked(true);
    txtFile_ = new QLineEdit(this);
    txtFile_->setMinimumWidth(txtFile_->fontMetrics().horizontalAdvance(QString(40, u'x')));
    cmdBrowse_ = new QPushButton(tr("&Browse..."), this);
    lblCount_ = new QLabel(this);
    lblCount_->setMinimumHeight(lblCount_->fontMetrics().lineSpacing());
    cmdExport_ = new QPushButton(tr("&Export"), this);
    cmdBrowse_->setAutoDefault(false);
    cmdExport_->setDefault(true);
    cmdCancel_ = new QPushButton(tr("Cancel"), this);
    cmdHelp_ = new QPushButton(tr("&Help"), this);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->addWidget(new QLabel(tr("Export:"), this), 0, 0);
    grid->addWidget(optWhat_[0], 0, 1);
    grid->addWidget(optWhat_[1], 1, 1);
    grid->addWidget(cbResource_, 1, 2, 1, 3);
    grid->addWidget(optWhat_[2], 2, 1);
    grid->addWidget(cbCustomer_, 2, 2, 1, 3);
    grid->addWidget(optWhat_[3], 3, 1, 1, 4);
    auto* from = new QLabel(tr("&From:"), this);
    from->setBuddy(dateFrom_);
    auto* to = new QLabel(tr("&To:"), this);
    to->setBuddy(dateTo_);
    auto* range = new QHBoxLayout;
    range->addWidget(dateFrom_);
    range->addSpacing(16);
    range->addWidget(to);
    range->addSpacing(4);
    range->addWidget(dateTo_);
    range->addStretch(1);
    grid->addWidget(from, 4, 0);
    grid->addLayout(range, 4, 1, 1, 4);
    auto* formats = new QHBoxLayout;
    formats->addWidget(optIcs_);
    formats->addSpacing(12);
    formats->addWidget(optCsv_);
    formats->addStretch(1);
    grid->addWidget(new QLabel(tr("Format:"), this), 5, 0);
    grid->addLayout(formats, 5, 1, 1, 4);
    auto* file = new QLabel(tr("Fi&le:"), this);
    file->setBuddy(txtFile_);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(txtFile_, 1);
    fileRow->addWidget(cmdBrowse_);
    grid->addWidget(file, 6, 0);
    grid->addLayout(fileRow, 6, 1, 1, 4);
    grid->setColumnStretch(4, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdExport_);
    buttons->addWidget(cmdCancel_);
    buttons->addWidget(cmdHelp_);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(8);
    layout->addLayout(grid);
    layout->addWidget(lblCount_);
    layout->addStretch(1);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    auto* help = new QAction(this);
    help->setShortcut(QKeySequence::HelpContents);
    addAction(help);

    const auto refresh = [this] { ShowCount(); };
    connect(whatGroup, &QButtonGroup::buttonToggled, this, refresh);
    connect(cbResource_, &QComboBox::currentIndexChanged, this, [this] {
        optWhat_[static_cast<size_t>(What::Resource)]->setChecked(true);
        ShowCount();
    });
    connect(cbCustomer_, &QComboBox::currentIndexChanged, this, [this] {
        optWhat_[static_cast<size_t>(What::Customer)]->setChecked(true);
        ShowCount();
    });
    connect(dateFrom_->findChild<QLineEdit*>(), &QLineEdit::textChanged, this, refresh);
    connect(dateTo_->findChild<QLineEdit*>(), &QLineEdit::textChanged, this, refresh);
    // A name that carries the other format's suffix follows the format.
    connect(optCsv_, &QRadioButton::toggled, this, [this](bool csv) {
        QString name = txtFile_->text();
        const QString other = csv ? QStringLiteral(".ics") : QStringLiteral(".csv");
        if (name.endsWith(other, Qt::CaseInsensitive)) {
            name.chop(other.size());
            txtFile_->setText(name + (csv ? QStringLiteral(".csv") : QStringLiteral(".ics")));
        }
    });
    connect(txtFile_, &QLineEdit::textChanged, this, refresh);
    connect(cmdBrowse_, &QPushButton::clicked, this, &DlgExport::cmdBrowse_Click);
    connect(cmdExport_, &QPushButton::clicked, this, &DlgExport::cmdExport_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &DlgExport::cmdCancel_Click);
    connect(cmdHelp_, &QPushButton::clicked, this, &DlgExport::cmdHelp_Click);
    connect(help, &QAction::triggered, this, &DlgExport::cmdHelp_Click);
}

bool DlgExport::event(QEvent* event) {
    frame_.Event(event);
    return QDialog::event(event);
}

void DlgExport::SetShownRange(int32_t firstDay, int32_t lastDay) {
    shownFirst_ = firstDay;
    shownLast_ = std::max(firstDay, lastDay);
}

void DlgExport::Form_Load() {
    Trap(kForm, "Form_Load", [&] {
        resize(std::max(TwipsToPixelsX(kWidthTwips, this), sizeHint().width()),
               std::max(TwipsToPixelsY(kHeightTwips, this), sizeHint().height()));
        ClsDialog::FormCenter(this, parentWidget());
    });
}

// Each showing starts from the schedule's range and the search as it stands; what to export,
// the format and the file are kept from the last showing.
void DlgExport::Form_Activate() {
    if (!frame_.FirstActivation()) {
        return;
    }
    Trap(kForm, "Form_Activate", [&] {
        exported_ = 0;
        const ClsGlobal& store = services_.store;
        const bool monthFirst = store.DateFormat() != 0;
        const What keep = startWhat_ != What::All ? startWhat_ : Chosen();
        startWhat_ = What::All;
        found_ = searchResults_ ? searchResults_() : std::vector<int32_t>{};
        const int32_t resource = ClsDialog::ComboGetCurrentId(cbResource_);
        const int32_t customer = ClsDialog::ComboGetCurrentId(cbCustomer_);
        {
            const QSignalBlocker resources(cbResource_);
            const QSignalBlocker customers(cbCustomer_);
            cbResource_->Fill(RecordItems(store.Resources()));
            cbResource_->SelectId(resource);
            cbCustomer_->Fill(RecordItems(store.Customers()));
            cbCustomer_->SelectId(customer);
        }
        optWhat_[static_cast<size_t>(What::SearchResults)]->setText(
            found_.empty() ? tr("The &search results (none)")
                           : tr("The &search results (%1)").arg(Bookings(found_.size())));
        const bool canKeep = keep != What::SearchResults || !found_.empty();
        optWhat_[static_cast<size_t>(canKeep ? keep : What::All)]->setChecked(true);
        const int32_t today = services_.date.Today();
        dateFrom_->SetMonthFirst(monthFirst);
        dateTo_->SetMonthFirst(monthFirst);
        dateFrom_->SetValue(shownFirst_ > 0 ? shownFirst_ : today);
        dateTo_->SetValue(shownFirst_ > 0 ? shownLast_ : today + kDaysInYear);
        if (txtFile_->text().isEmpty()) {
            txtFile_->setText(QDir(QDir::homePath())
                                  .filePath(ChosenFormat() == Format::Csv ? tr("bookings.csv")
                                                                          : tr("bookings.ics")));
        }
        ShowCount();
        optWhat_[static_cast<size_t>(Chosen())]->setFocus();
    });
}

DlgExport::What DlgExport::Chosen() const {
    for (size_t i = 0; i < 4; ++i) {
        if (optWhat_[i]->isChecked()) {
            return static_cast<What>(i);
        }
    }
    return What::All;
}

DlgExport::Format DlgExport::ChosenFormat() const {
    return optCsv_->isChecked() ? Format::Csv : Format::Ics;
}

bool DlgExport::Selection(ExportSelection& selection) const {
    if (!dateFrom_->TextValid() || !dateTo_->TextValid()) {
        return false;
    }
    selection = ExportSelection{};
    selection.fromDay = dateFrom_->Value();
    selection.toDay = dateTo_->Value();
    switch (Chosen()) {
    case What::All:
        break;
    case What::Resource:
        selection.kind = ExportSelection::Kind::Resource;
        selection.id = ClsDialog::ComboGetCurrentId(cbResource_);
        break;
    case What::Customer:
        selection.kind = ExportSelection::Kind::Customer;
        selection.id = ClsDialog::ComboGetCurrentId(cbCustomer_);
        break;
    case What::SearchResults:
        selection.kind = ExportSelection::Kind::Ids;
        selection.ids = found_;
        break;
    }
    return true;
}

void DlgExport::ShowCount() {
    Trap(kForm, "ShowCount", [&] {
        optWhat_[static_cast<size_t>(What::SearchResults)]->setEnabled(!found_.empty());
        ExportSelection selection;
        size_t count = 0;
        if (!Selection(selection)) {
            lblCount_->setText(tr("The dates are not valid."));
        } else if (selection.fromDay > selection.toDay) {
            lblCount_->setText(tr("The range ends before it starts."));
        } else {
            count = SelectAppointments(services_.store, selection).size();
            lblCount_->setText(count == 0 ? tr("No booking lies in the range.")
                                          : tr("%1 will be exported.").arg(Bookings(count)));
        }
        cmdExport_->setEnabled(count > 0 && !txtFile_->text().trimmed().isEmpty());
    });
}

void DlgExport::cmdBrowse_Click() {
    Trap(kForm, "cmdBrowse_Click", [&] {
        const bool csv = ChosenFormat() == Format::Csv;
        const std::optional<QString> path = services_.windowing.SaveFileName(
            this, tr("Export bookings to"), txtFile_->text(),
            csv ? tr("CSV files (*.csv)") : tr("iCalendar files (*.ics)"));
        if (path) {
            txtFile_->setText(*path);
        }
    });
}

void DlgExport::cmdExport_Click() {
    Trap(kForm, "cmdExport_Click", [&] {
        ExportSelection selection;
        if (!Selection(selection)) {
            return;
        }
        const std::vector<int32_t> ids = SelectAppointments(services_.store, selection);
        const QString path = txtFile_->text().trimmed();
        if (ids.empty() || path.isEmpty() || !WriteFile(path, ids)) {
            return;
        }
        exported_ = ids.size();
        services_.windowing.MessageBox(
            this,
            tr("%1 exported to %2.").arg(Bookings(ids.size()), QDir::toNativeSeparators(path)),
            tr("Export"), IWindowing::Icon::Information, IWindowing::Buttons::Ok);
        accept();
    });
}

bool DlgExport::WriteFile(const QString& path, const std::vector<int32_t>& ids) {
    std::ostringstream out;
    bool written = false;
    if (ChosenFormat() == Format::Csv) {
        written = WriteCsv(services_.store, ids, out);
    } else {
        const IcsOptions options{MachineZone(), services_.folders.Data(),
                                 QDateTime::currentSecsSinceEpoch()};
        written = WriteIcs(services_.store, ids, options, out);
    }
    std::optional<Error> error;
    if (!written) {
        error = MakeError(ErrorNumber::DeviceIo);
    } else if (InDataFolder(services_.folders.Data(), path.toStdString())) {
        // Written there it could take a data file's place.
        error = Error{ErrorNumber::PermissionDenied,
                      "it is in the data folder, which holds only the planner's own files"};
    } else {
        const std::string text = std::move(out).str();
        error = FileIo::WriteAtomic(files_, path.toStdString(),
                                    std::as_bytes(std::span(text.data(), text.size())));
    }
    if (!error) {
        return true;
    }
    ModError::LogError(kForm, "WriteFile", *error);
    services_.windowing.MessageBox(
        this, tr("Unable to export the bookings!"), tr("Error!"), IWindowing::Icon::Exclamation,
        IWindowing::Buttons::Ok,
        tr("%1 could not be written: %2. Whatever it held before is kept.")
            .arg(QDir::toNativeSeparators(path), QString::fromStdString(error->description)));
    return false;
}

void DlgExport::cmdCancel_Click() {
    reject();
}

void DlgExport::cmdHelp_Click() {
    frame_.ShowHelp();
}
