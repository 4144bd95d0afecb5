#include "dialogs/DlgAppointment.h"

#include <QAction>
#include <QCalendarWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "datetime/ClsDate.h"
#include "dialogs/DlgCustomer.h"
#include "dialogs/DlgType.h"
#include "dialogs/RecordItems.h"
#include "platform/IWindowing.h"
#include "store/ClsGlobal.h"
#include "store/SeriesPlan.h"
#include "store/StoreChanges.h"
#include "ui/Blanks.h"
#include "ui/ClsDialog.h"
#include "ui/CommandTable.h"
#include "ui/ScheduleView.h"
#include "ui/Trap.h"
#include "widgets/KeyedToolBar.h"
#include "widgets/LookupComboBox.h"
#include "widgets/MaskedDateField.h"
#include "widgets/MaskedField.h"
#include "widgets/MaskedTimeField.h"

namespace {
using Command = DlgAppointment::Command;

constexpr const char* kForm = "DlgAppointment";
constexpr double kWidthTwips = 4455;
constexpr double kHeightTwips = 3480;
constexpr int kHelpContext = 3;
constexpr int kReferenceLength = 12;

using D = DlgAppointment;
// clang-format off
const CommandRow<DlgAppointment> kCommands[] = {
    {Command::FileSave, "&File", "&Save appointment", QKeySequence::Save, Cmd::Plain,
     "Save", "Save appointment", &D::mnuFileSave_Click},
    {Command::FileRepeat, "&File", "&Repeat...", {}, Cmd::Plain,
     nullptr, nullptr, &D::mnuFileRepeat_Click},
    {Command::FileCancel, "&File", "&Cancel", {}, Cmd::SeparatorBefore,
     "Cancel", "Cancel", &D::mnuFileCancel_Click},
    {Command::CustomerAdd, "&Customer", "&Add customer", {}, Cmd::DropDown,
     "Customer", "Customer", &D::mnuCustomerAdd_Click},
    {Command::CustomerEdit, "&Customer", "&Edit customer", {}, Cmd::Plain,
     nullptr, nullptr, &D::mnuCustomerEdit_Click},
    {Command::CustomerDelete, "&Customer", "&Delete customer", {}, Cmd::Plain,
     nullptr, nullptr, &D::mnuCustomerDelete_Click},
    {Command::TypeAdd, "Appointment &type", "&Add appointment type", {}, Cmd::DropDown,
     "Type", "Appointment type", &D::mnuTypeAdd_Click},
    {Command::TypeEdit, "Appointment &type", "&Edit appointment type", {}, Cmd::Plain,
     nullptr, nullptr, &D::mnuTypeEdit_Click},
    {Command::TypeDelete, "Appointment &type", "&Delete appointment type", {}, Cmd::Plain,
     nullptr, nullptr, &D::mnuTypeDelete_Click},
    {Command::Help, "", "&Help", QKeySequence::HelpContents, Cmd::Plain,
     "Help", "Help", &D::mnuHelp_Click},
};
// clang-format on

// The line a delete's question ends with: how many appointments go with the record.
QString WillBeDeleted(qsizetype count) {
    if (count == 0) {
        return QObject::tr("(no appointments will be deleted)");
    }
    return count == 1 ? QObject::tr("(1 appointment will be deleted)")
                      : QObject::tr("(%1 appointments will be deleted)").arg(count);
}

template <class Matches> qsizetype CountAppointments(const ClsGlobal& store, Matches matches) {
    qsizetype count = 0;
    for (const ClsAppointment& a : store.Appointments()) {
        count += matches(a) ? 1 : 0;
    }
    return count;
}

} // namespace

DlgAppointment::DlgAppointment(const Services& services, const ScheduleView& schedule)
    : EditingDialog(services, services.owner, kForm, kWidthTwips, kHeightTwips, kHelpContext),
      schedule_(schedule), commands_(*this, services.windowing, kCommands) {
    setWindowTitle(tr("Appointment"));
    commands_.BuildMenus(MenuBar());
    commands_.BuildToolBar(ToolBar(), "Save Cancel Customer Type Help", *this,
                           &DlgAppointment::ToolBar_ButtonClick);
    SetCancelAction(Action(Command::FileCancel));
    BuildFields();
}

void DlgAppointment::BuildFields() {
    txtRef_ = new QLineEdit(this);
    txtRef_->setMaxLength(kReferenceLength);
    cbResource_ = new LookupComboBox(this);
    cbType_ = new LookupComboBox(this);
    cbCustomer_ = new LookupComboBox(this);
    dateStart_ = new MaskedDateField(this);
    timeStart_ = new MaskedTimeField(this);
    dateEnd_ = new MaskedDateField(this);
    timeEnd_ = new MaskedTimeField(this);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);
    int row = 0;
    auto addRow = [&](const QString& caption, QWidget* field, QWidget* second = nullptr) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        if (second == nullptr) {
            grid->addWidget(field, row, 1);
        } else {
            auto* pair = new QHBoxLayout;
            pair->setSpacing(6);
            pair->addWidget(field, 3);
            pair->addWidget(second, 2);
            grid->addLayout(pair, row, 1);
        }
        ++row;
    };
    addRow(tr("&Reference"), txtRef_);
    addRow(tr("Res&ource"), cbResource_);
    addRow(tr("Appointment t&ype"), cbType_);
    addRow(tr("Custo&mer"), cbCustomer_);
    addRow(tr("&Start"), dateStart_, timeStart_);
    addRow(tr("&End"), dateEnd_, timeEnd_);
    // One label stands for two fields: each says which half it is.
    dateStart_->setAccessibleName(tr("Start date"));
    timeStart_->setAccessibleName(tr("Start time"));
    dateEnd_->setAccessibleName(tr("End date"));
    timeEnd_->setAccessibleName(tr("End time"));
    Body()->addLayout(grid);
    Body()->addStretch(1);
    fieldsBottom_ = dateEnd_;

    // The calendar drops down over the dialog and goes away when it loses the focus.
    selMonth_ = new QCalendarWidget(this);
    selMonth_->setWindowFlags(Qt::Popup);
    selMonth_->setFirstDayOfWeek(Qt::Monday);
    selMonth_->setGridVisible(true);
    selMonth_->hide();

    SelectAllOnFocus(txtRef_);
    connect(cbType_, &QComboBox::currentIndexChanged, this, &DlgAppointment::CbType_Click);
    connect(dateStart_, &MaskedDateField::ClickDrop, this, &DlgAppointment::DateStart_ClickDrop);
    connect(dateEnd_, &MaskedDateField::ClickDrop, this, &DlgAppointment::DateEnd_ClickDrop);
    connect(dateStart_, &MaskedField::ClickSpin, this, &DlgAppointment::DateStart_ClickSpin);
    connect(dateEnd_, &MaskedField::ClickSpin, this, &DlgAppointment::DateEnd_ClickSpin);
    connect(timeStart_, &MaskedField::ClickSpin, this, &DlgAppointment::TimeStart_ClickSpin);
    connect(timeEnd_, &MaskedField::ClickSpin, this, &DlgAppointment::TimeEnd_ClickSpin);
    connect(selMonth_, &QCalendarWidget::clicked, this, &DlgAppointment::SelMonth_DateClick);
    connect(selMonth_, &QCalendarWidget::activated, this, &DlgAppointment::SelMonth_DateClick);
}

DlgCustomer& DlgAppointment::CustomerDialog() {
    if (customerDialog_ == nullptr) {
        customerDialog_ = new DlgCustomer(services_, this);
    }
    return *customerDialog_;
}

DlgType& DlgAppointment::TypeDialog() {
    if (typeDialog_ == nullptr) {
        typeDialog_ = new DlgType(services_, this);
    }
    return *typeDialog_;
}

void DlgAppointment::Form_Activate() {
    const ClsGlobal& store = services_.store;
    const ClsDate& date = services_.date;
    const bool twentyFour = store.Option(4);
    timeStart_->SetTwentyFourHour(twentyFour);
    timeEnd_->SetTwentyFourHour(twentyFour);
    // Any stored value but 0 is month-first, as in every other window.
    const bool monthFirst = store.DateFormat() != 0;
    dateStart_->SetMonthFirst(monthFirst);
    dateEnd_->SetMonthFirst(monthFirst);
    selMonth_->hide();

    if (appointmentId_ != 0) {
        auto a = store.AppointmentLoad(appointmentId_);
        ShowSelections(a->CustomerId(), a->TypeId(), a->ResourceId());
        dateStart_->SetValue(date.SplitDateVal(a->StartDtTm()));
        timeStart_->SetValue(date.SplitTimeVal(a->StartDtTm()));
        dateEnd_->SetValue(date.SplitDateVal(a->EndDtTm()));
        timeEnd_->SetValue(date.SplitTimeVal(a->EndDtTm()));
        txtRef_->setText(QString::fromStdString(a->Reference()));
    } else {
        ShowSelections(0, 0, resourceId_);
        if (startDateTime_ != 0) {
            dateStart_->SetValue(date.SplitDateVal(startDateTime_));
            timeStart_->SetValue(date.SplitTimeVal(startDateTime_));
        } else {
            dateStart_->SetValue(schedule_.DateFirst());
            timeStart_->SetValue(0);
        }
        if (endDateTime_ != 0) {
            dateEnd_->SetValue(date.SplitDateVal(endDateTime_));
            timeEnd_->SetValue(date.SplitTimeVal(endDateTime_));
        } else {
            dateEnd_->SetValue(dateStart_->Value());
            timeEnd_->SetValue(0);
        }
        txtRef_->clear();
    }
    CheckTime();
    EnableRepeat();
    cbCustomer_->setFocus();
    cbCustomer_->lineEdit()->selectAll();
}

void DlgAppointment::ShowSelections(int32_t customerId, int32_t typeId, int32_t resourceId) {
    Trap(kForm, "ShowSelections", [&] {
        const ClsGlobal& store = services_.store;
        if (customerId != -1) {
            cbCustomer_->Fill(RecordItems(store.Customers()));
            cbCustomer_->SelectId(customerId);
        }
        if (typeId != -1) {
            cbType_->Fill(RecordItems(store.Types()));
            cbType_->SelectId(typeId);
        }
        if (resourceId != -1) {
            cbResource_->Fill(RecordItems(store.Resources()));
            cbResource_->SelectId(resourceId);
        }
    });
}

void DlgAppointment::CommitEdits() {
    for (LookupComboBox* list : {cbResource_, cbType_, cbCustomer_}) {
        list->Commit();
    }
    for (MaskedField* field :
         std::initializer_list<MaskedField*>{dateStart_, timeStart_, dateEnd_, timeEnd_}) {
        field->Commit();
    }
}

MaskedField* DlgAppointment::WrongTimeField() const {
    for (MaskedField* field :
         std::initializer_list<MaskedField*>{dateStart_, timeStart_, dateEnd_, timeEnd_}) {
        if (!field->TextValid()) {
            return field;
        }
    }
    return nullptr;
}

QString DlgAppointment::MomentText(int32_t dtTm) const {
    const ClsDate& date = services_.date;
    return dateStart_->TextOf(date.SplitDateVal(dtTm)) + u' ' +
           timeStart_->TextOf(date.SplitTimeVal(dtTm));
}

QString DlgAppointment::OverlapText(int32_t otherId) const {
    const ClsGlobal& store = services_.store;
    if (!store.Appointments().Exists(otherId)) {
        return tr("It would overlap another appointment of the same resource.");
    }
    auto other = store.AppointmentLoad(otherId);
    QString customer = QString::fromStdString(store.CustomerLoad(other->CustomerId())->Name());
    QString type = QString::fromStdString(store.TypeLoad(other->TypeId())->Name());
    const ClsDate& date = services_.date;
    // The end's date only when it differs from the start's.
    const QString end = date.SplitDateVal(other->EndDtTm()) == date.SplitDateVal(other->StartDtTm())
                            ? timeStart_->TextOf(date.SplitTimeVal(other->EndDtTm()))
                            : MomentText(other->EndDtTm());
    return tr("It would overlap this appointment of the same resource:\n%1, %2, %3 to %4")
        .arg(customer.isEmpty() ? tr("no customer") : customer,
             type.isEmpty() ? tr("no type") : type, MomentText(other->StartDtTm()), end);
}

void DlgAppointment::RefuseSave(const QString& reason) {
    services_.windowing.MessageBox(this, tr("Unable to save appointment!"), tr("Error!"),
                                   IWindowing::Icon::Exclamation, IWindowing::Buttons::Ok, reason);
}

// Besides what the store refuses (an overlap), a date or time that does not exist, an end
// before the start and a booking of no resource are refused here: the first would save
// something other than what the user sees, the others could never be shown on the schedule.
std::optional<PlannedBooking> DlgAppointment::CheckedFields() {
    CommitEdits();
    if (MaskedField* wrong = WrongTimeField()) {
        const QString what = wrong == dateStart_   ? tr("The start date %1 is not a valid date.")
                             : wrong == dateEnd_   ? tr("The end date %1 is not a valid date.")
                             : wrong == timeStart_ ? tr("The start time %1 is not a valid time.")
                                                   : tr("The end time %1 is not a valid time.");
        RefuseSave(what.arg(wrong->Text()));
        wrong->setFocus();
        wrong->selectAll();
        return std::nullopt;
    }
    PlannedBooking b;
    b.id = appointmentId_;
    b.customerId = ClsDialog::ComboGetCurrentId(cbCustomer_);
    b.resourceId = ClsDialog::ComboGetCurrentId(cbResource_);
    b.typeId = ClsDialog::ComboGetCurrentId(cbType_);
    const ClsDate& date = services_.date;
    b.startDtTm = date.JoinDateTime(dateStart_->Value(), timeStart_->Value());
    b.endDtTm = date.JoinDateTime(dateEnd_->Value(), timeEnd_->Value());
    b.reference = TrimBlanks(txtRef_->text()).toStdString();
    if (b.resourceId <= 0) {
        RefuseSave(tr("No resource is chosen: add one to the schedule first."));
        return std::nullopt;
    }
    if (b.endDtTm < b.startDtTm) {
        RefuseSave(tr("The end, %1, is before the start, %2.")
                       .arg(MomentText(b.endDtTm), MomentText(b.startDtTm)));
        return std::nullopt;
    }
    return b;
}

void DlgAppointment::mnuFileSave_Click() {
    Trap(kForm, "mnuFileSave_Click", [&] {
        const std::optional<PlannedBooking> b = CheckedFields();
        if (!b) {
            return;
        }
        bool takeOut = false;
        if (SaveSeriesDates(*b, takeOut)) {
            return;
        }
        int32_t id = appointmentId_;
        const ClsGlobal& store = services_.store;
        int32_t result = 0;
        services_.changes.Batch([&] {
            result = services_.changes.AppointmentSave(id, b->customerId, b->resourceId, b->typeId,
                                                       b->startDtTm, b->endDtTm, b->reference);
            if (takeOut && result > 0) {
                services_.changes.SetSeries(result, 0);
            }
        });
        if (result == -1) {
            RefuseSave(OverlapText(store.OverlappingAppointment(appointmentId_, b->resourceId,
                                                                b->startDtTm, b->endDtTm)));
            return;
        }
        if (result < 1) {
            RefuseSave(tr("An error kept it from being stored; the details are in %1.")
                           .arg(QString::fromStdString(services_.folders.LogFile())));
            return;
        }
        appointmentId_ = result;
        accept();
    });
}

void DlgAppointment::mnuFileCancel_Click() {
    reject();
}

void DlgAppointment::mnuCustomerAdd_Click() {
    DlgCustomer& dialog = CustomerDialog();
    dialog.SetCustomerId(0);
    services_.windowing.ShowModal(&dialog);
    if (dialog.CustomerId() != 0) {
        ShowSelections(dialog.CustomerId(), -1, -1);
    }
}

void DlgAppointment::mnuCustomerEdit_Click() {
    cbCustomer_->Commit();
    if (cbCustomer_->currentIndex() < 0) {
        return;
    }
    DlgCustomer& dialog = CustomerDialog();
    dialog.SetCustomerId(ClsDialog::ComboGetCurrentId(cbCustomer_));
    services_.windowing.ShowModal(&dialog);
    ShowSelections(dialog.CustomerId(), -1, -1);
}

void DlgAppointment::mnuCustomerDelete_Click() {
    cbCustomer_->Commit();
    if (cbCustomer_->currentIndex() < 0) {
        return;
    }
    const int32_t id = ClsDialog::ComboGetCurrentId(cbCustomer_);
    const qsizetype going = CountAppointments(
        services_.store, [id](const ClsAppointment& a) { return a.CustomerId() == id; });
    const QString text = tr("Confirm delete ") +
                         cbCustomer_->itemText(cbCustomer_->currentIndex()) + "?" + "\r\n" +
                         WillBeDeleted(going);
    if (services_.windowing.MessageBox(this, text, tr("Confirm!"), IWindowing::Icon::Question,
                                       IWindowing::Buttons::YesNo) != IWindowing::Answer::Yes) {
        return;
    }
    services_.changes.CustomerDelete(id);
    ShowSelections(0, -1, -1);
}

void DlgAppointment::mnuTypeAdd_Click() {
    DlgType& dialog = TypeDialog();
    dialog.SetTypeId(0);
    services_.windowing.ShowModal(&dialog);
    if (dialog.TypeId() != 0) {
        ShowSelections(-1, dialog.TypeId(), -1);
    }
}

void DlgAppointment::mnuTypeEdit_Click() {
    cbType_->Commit();
    if (cbType_->currentIndex() < 0) {
        return;
    }
    DlgType& dialog = TypeDialog();
    dialog.SetTypeId(ClsDialog::ComboGetCurrentId(cbType_));
    services_.windowing.ShowModal(&dialog);
    ShowSelections(-1, dialog.TypeId(), -1);
}

// The store takes the type's own appointments with it; others keep theirs.
void DlgAppointment::mnuTypeDelete_Click() {
    cbType_->Commit();
    if (cbType_->currentIndex() < 0) {
        return;
    }
    const int32_t id = ClsDialog::ComboGetCurrentId(cbType_);
    const qsizetype going = CountAppointments(
        services_.store, [id](const ClsAppointment& a) { return a.TypeId() == id; });
    const QString text = tr("Confirm delete ") + cbType_->itemText(cbType_->currentIndex()) + "?" +
                         "\r\n" + WillBeDeleted(going);
    if (services_.windowing.MessageBox(this, text, tr("Confirm!"), IWindowing::Icon::Question,
                                       IWindowing::Buttons::YesNo) != IWindowing::Answer::Yes) {
        return;
    }
    services_.changes.TypeDelete(id);
    ShowSelections(-1, 0, -1);
}

void DlgAppointment::mnuHelp_Click() {
    ShowHelp();
}

void DlgAppointment::ToolBar_ButtonClick(const QString& key, bool flag) {
    Trap(kForm, "ToolBar_ButtonClick", [&] { commands_.ToolBarClick(key, flag); });
}
