#include "dialogs/DlgSearch.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "dialogs/AppointmentRows.h"
#include "platform/Twips.h"
#include "store/ClsGlobal.h"
#include "ui/ClsDialog.h"
#include "ui/CommandTable.h"
#include "ui/Trap.h"
#include "widgets/DropDownToolButton.h"
#include "widgets/KeyedToolBar.h"
#include "widgets/MultiColumnList.h"

namespace {
using Command = DlgSearch::Command;

constexpr const char* kForm = "DlgSearch";
constexpr double kWidthTwips = 6705;
constexpr double kHeightTwips = 4305;
// The widest date and time a row shows, on either clock.
const QString kDateSample = QStringLiteral("00/00/00 00:00pm");
constexpr int kHelpContext = 6;

// clang-format off
const CommandRow<DlgSearch> kCommands[] = {
    {Command::FileSelect, "&File", "&Select", {}, Cmd::Plain,
     "Select", "Select", &DlgSearch::mnuFileSelect_Click},
    {Command::FileExport, "&File", "&Export results...", {}, Cmd::Plain,
     nullptr, nullptr, &DlgSearch::mnuFileExport_Click},
    {Command::FileCancel, "&File", "&Cancel", {}, Cmd::SeparatorBefore,
     "Cancel", "Cancel", &DlgSearch::mnuFileCancel_Click},
    {Command::SearchCustomer, "Search &by", "&Customer", {}, Cmd::Checkable,
     "Customer", "Search by customer", &DlgSearch::mnuSearchCustomer_Click},
    {Command::SearchType, "Search &by", "Appointment &type", {}, Cmd::Checkable,
     "Type", "Search by appointment type", &DlgSearch::mnuSearchType_Click},
    {Command::Help, "", "&Help", Qt::Key_F1, Cmd::Plain, "Help", "Help", &DlgSearch::mnuHelp_Click},
};
// clang-format on
} // namespace

DlgSearch::DlgSearch(const Services& services, std::function<void()> exportResults)
    : QDialog(services.owner), services_(services), exportResults_(std::move(exportResults)),
      commands_(*this, services.windowing, kCommands),
      frame_(*this, {[this] { Form_Load(); }, [this] { Form_Activate(); }}, services_,
             kHelpContext) {
    frame_.ActivateInEvent();
    setWindowTitle(tr("Search For Appointment"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);

    menuBar_ = new QMenuBar(this);
    commands_.BuildMenus(menuBar_);
    Action(Command::FileExport)->setVisible(static_cast<bool>(exportResults_));
    toolBar_ = new KeyedToolBar(this);
    commands_.BuildToolBar(toolBar_, "Select Cancel | Customer Type | Help", *this,
                           &DlgSearch::ToolBar_ButtonClick);

    cbSearch_ = new QComboBox(this);
    cbSearch_->setMaxVisibleItems(20);
    cbSearch_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbSearch_->setMinimumContentsLength(24);
    lbSearch_ = new MultiColumnList(this);
    lbSearch_->AddColumn(tr("From"), 90);
    lbSearch_->AddColumn(tr("To"), 90);
    lbSearch_->AddColumn(tr("Customer"), 120);
    lbSearch_->AddColumn(tr("Type"), 120);
    lbSearch_->setAccessibleName(tr("Appointments found"));

    auto* find = new QLabel(tr("Fi&nd:"), this);
    find->setBuddy(cbSearch_);
    auto* criterion = new QHBoxLayout;
    criterion->addWidget(find);
    criterion->addWidget(cbSearch_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar_);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(toolBar_);
    layout->addLayout(criterion);
    layout->addWidget(lbSearch_, 1);

    connect(cbSearch_, &QComboBox::currentIndexChanged, this, &DlgSearch::ShowAppointments);
    connect(lbSearch_, &MultiColumnList::ItemActivated, this, &DlgSearch::LbSearch_ItemActivated);
}

bool DlgSearch::event(QEvent* event) {
    frame_.Event(event);
    return QDialog::event(event);
}

void DlgSearch::Form_Load() {
    Trap(kForm, "Form_Load", [&] {
        appointmentId_ = 0;
        // Dates in full and no horizontal scroll bar to begin with, whatever the font.
        lbSearch_->FitColumnTo(1, kDateSample);
        lbSearch_->FitColumnTo(2, kDateSample);
        const QMargins margins = layout()->contentsMargins();
        const int width = std::max(TwipsToPixelsX(kWidthTwips, this),
                                   lbSearch_->ColumnsWidth() + margins.left() + margins.right());
        resize(width, TwipsToPixelsY(kHeightTwips, this));
        ClsDialog::FormCenter(this, parentWidget());
    });
}

void DlgSearch::Form_Activate() {
    if (!frame_.FirstActivation()) {
        return;
    }
    Trap(kForm, "Form_Activate", [&] {
        monthFirst_ = services_.store.DateFormat() != 0;
        mnuSearchCustomer_Click();
        cbSearch_->setFocus();
    });
}

void DlgSearch::ShowCriterion(bool byCustomer) {
    byCustomer_ = byCustomer;
    Action(Command::SearchCustomer)->setChecked(byCustomer);
    Action(Command::SearchType)->setChecked(!byCustomer);
    toolBar_->Button("Customer")->setChecked(byCustomer);
    toolBar_->Button("Type")->setChecked(!byCustomer);
}

void DlgSearch::mnuSearchCustomer_Click() {
    ShowCriterion(true);
    ShowCustomers();
}

void DlgSearch::mnuSearchType_Click() {
    ShowCriterion(false);
    ShowTypes();
}

namespace {
// Fills the criterion list with the records in collection order and selects the one added
// last, which fills the result list. An empty criterion list still clears the results, so
// no result of the other criterion or of an earlier showing stays behind to be chosen.
template <class Records>
void FillCriterion(QComboBox* combo, const Records& records, DlgSearch& dialog) {
    {
        const QSignalBlocker blocker(combo);
        combo->clear();
    }
    int32_t last = 0;
    for (const auto& r : records) {
        ClsDialog::ComboAddItem(combo, QString::fromStdString(r.Name()), r.Id());
        last = r.Id();
    }
    if (ClsDialog::ComboSelectItem(combo, last) < 0) {
        dialog.ShowAppointments();
    }
}
} // namespace

void DlgSearch::ShowCustomers() {
    Trap(kForm, "ShowCustomers",
         [&] { FillCriterion(cbSearch_, services_.store.Customers(), *this); });
}

void DlgSearch::ShowTypes() {
    Trap(kForm, "ShowTypes", [&] { FillCriterion(cbSearch_, services_.store.Types(), *this); });
}

void DlgSearch::ShowAppointments() {
    std::vector<AppointmentRows::Match> matches;
    Trap(kForm, "ShowAppointments", [&] {
        const int32_t id = ClsDialog::ComboGetCurrentId(cbSearch_);
        for (const ClsAppointment& a : services_.store.Appointments()) {
            if ((byCustomer_ ? a.CustomerId() : a.TypeId()) == id) {
                matches.push_back({a.StartDtTm(), a.Id()});
            }
        }
    });
    AppointmentRows rows(services_.store, services_.date, kForm);
    rows.Fill(*lbSearch_, matches, AppointmentRows::Layout::FromToCustomerType, monthFirst_);
    Action(Command::FileExport)->setEnabled(lbSearch_->ListCount() > 0);
}

QString DlgSearch::FormatDtTm(int32_t value) const {
    return AppointmentRows(services_.store, services_.date, kForm).FormatDtTm(value, monthFirst_);
}

void DlgSearch::mnuFileSelect_Click() {
    const int row = lbSearch_->ListIndex();
    appointmentId_ = row >= 0 ? lbSearch_->ItemData(row) : 0;
    accept();
}

std::vector<int32_t> DlgSearch::ResultIds() const {
    std::vector<int32_t> ids;
    ids.reserve(static_cast<size_t>(lbSearch_->ListCount()));
    for (int row = 0; row < lbSearch_->ListCount(); ++row) {
        ids.push_back(lbSearch_->ItemData(row));
    }
    return ids;
}

void DlgSearch::mnuFileExport_Click() {
    Trap(kForm, "mnuFileExport_Click", [&] {
        if (exportResults_) {
            exportResults_();
        }
    });
}

void DlgSearch::mnuFileCancel_Click() {
    appointmentId_ = 0;
    reject();
}

void DlgSearch::mnuHelp_Click() {
    frame_.ShowHelp();
}

void DlgSearch::LbSearch_ItemActivated(int /*row*/) {
    mnuFileSelect_Click();
}

void DlgSearch::ToolBar_ButtonClick(const QString& key, bool flag) {
    Trap(kForm, "ToolBar_ButtonClick", [&] { commands_.ToolBarClick(key, flag); });
}
