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
#include "schedule/DlgMain.h"
#include "store/ClsGlobal.h"
#include "ui/ClsDialog.h"
#include "ui/ClsHelp.h"
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

const CommandRow<DlgSearch> kCommands[] = {
    {Command::FileSelect, "&Select", &DlgSearch::mnuFileSelect_Click},
    {Command::FileCancel, "&Cancel", &DlgSearch::mnuFileCancel_Click},
    {Command::SearchCustomer, "&Customer", &DlgSearch::mnuSearchCustomer_Click},
    {Command::SearchType, "Appointment &type", &DlgSearch::mnuSearchType_Click},
    {Command::Help, "&Help", &DlgSearch::mnuHelp_Click},
};

const ToolButtonRow<Command> kToolButtons[] = {
    {"Select", "Select", false, Command::FileSelect},
    {"Cancel", "Cancel", false, Command::FileCancel},
    {"Customer", "Search by customer", true, Command::SearchCustomer},
    {"Type", "Search by appointment type", false, Command::SearchType},
    {"Help", "Help", true, Command::Help},
};
} // namespace

DlgSearch::DlgSearch(DlgMain& main) : ShowingDialog(&main), main_(main) {
    setWindowTitle(tr("Search For Appointment"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);

    BuildActions();
    menuBar_ = new QMenuBar(this);
    BuildMenus();
    toolBar_ = new KeyedToolBar(this);
    BuildToolBar();

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

    auto* find = new QLabel(tr("&Find:"), this);
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
    connect(toolBar_, &KeyedToolBar::ButtonClick, this, &DlgSearch::ToolBar_ButtonClick);
}

void DlgSearch::BuildActions() {
    MakeActions(this, kCommands, actions_);
    Action(Command::SearchCustomer)->setCheckable(true);
    Action(Command::SearchType)->setCheckable(true);
    Action(Command::Help)->setShortcut(QKeySequence(Qt::Key_F1));
}

void DlgSearch::BuildMenus() {
    QMenu* file = menuBar_->addMenu(tr("&File"));
    file->addAction(Action(Command::FileSelect));
    file->addSeparator();
    file->addAction(Action(Command::FileCancel));
    QMenu* searchBy = menuBar_->addMenu(tr("Search &by"));
    searchBy->addAction(Action(Command::SearchCustomer));
    searchBy->addAction(Action(Command::SearchType));
    menuBar_->addAction(Action(Command::Help));
    // The shortcut works while the menu bar holds the action; the dialog takes it as well.
    addAction(Action(Command::Help));
}

void DlgSearch::BuildToolBar() {
    AddToolButtons(toolBar_, kToolButtons);
    toolBar_->Button("Customer")->setCheckable(true);
    toolBar_->Button("Type")->setCheckable(true);
}

void DlgSearch::Form_Load() {
    Trap(kForm, "Form_Load", [&] {
        activated_ = false;
        appointmentId_ = 0;
        // Dates in full and no horizontal scroll bar to begin with, whatever the font.
        lbSearch_->FitColumnTo(1, kDateSample);
        lbSearch_->FitColumnTo(2, kDateSample);
        const QMargins margins = layout()->contentsMargins();
        const int width = std::max(TwipsToPixelsX(kWidthTwips, this),
                                   lbSearch_->ColumnsWidth() + margins.left() + margins.right());
        resize(width, TwipsToPixelsY(kHeightTwips, this));
        ClsDialog::FormCenter(this, &main_);
    });
}

void DlgSearch::Form_Activate() {
    if (activated_) {
        return;
    }
    Trap(kForm, "Form_Activate", [&] {
        activated_ = true;
        monthFirst_ = main_.Global().DateFormat() != 0;
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
         [&] { FillCriterion(cbSearch_, main_.Global().Customers(), *this); });
}

void DlgSearch::ShowTypes() {
    Trap(kForm, "ShowTypes", [&] { FillCriterion(cbSearch_, main_.Global().Types(), *this); });
}

void DlgSearch::ShowAppointments() {
    std::vector<AppointmentRows::Match> matches;
    Trap(kForm, "ShowAppointments", [&] {
        const int32_t id = ClsDialog::ComboGetCurrentId(cbSearch_);
        for (const ClsAppointment& a : main_.Global().Appointments()) {
            if ((byCustomer_ ? a.CustomerId() : a.TypeId()) == id) {
                matches.push_back({a.StartDtTm(), a.Id()});
            }
        }
    });
    AppointmentRows rows(main_.Global(), main_.Date(), kForm);
    rows.Fill(*lbSearch_, matches, AppointmentRows::Layout::FromToCustomerType, monthFirst_);
}

QString DlgSearch::FormatDtTm(int32_t value) const {
    return AppointmentRows(main_.Global(), main_.Date(), kForm).FormatDtTm(value, monthFirst_);
}

void DlgSearch::mnuFileSelect_Click() {
    activated_ = false;
    const int row = lbSearch_->ListIndex();
    appointmentId_ = row >= 0 ? lbSearch_->ItemData(row) : 0;
    accept();
}

void DlgSearch::mnuFileCancel_Click() {
    activated_ = false;
    appointmentId_ = 0;
    reject();
}

void DlgSearch::mnuHelp_Click() {
    main_.Help().ShowHelpTopic(&main_, main_.HelpFile(), kHelpContext);
}

void DlgSearch::LbSearch_ItemActivated(int /*row*/) {
    mnuFileSelect_Click();
}

void DlgSearch::ToolBar_ButtonClick(const QString& key, bool /*flag*/) {
    Trap(kForm, "ToolBar_ButtonClick", [&] {
        if (const auto* row = ToolButtonOf(kToolButtons, key)) {
            Action(row->command)->trigger();
        }
    });
}
