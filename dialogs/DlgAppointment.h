#pragma once

#include <cstdint>
#include <optional>

#include "store/SeriesPlan.h"
#include "ui/CommandTable.h"
#include "ui/EditingDialog.h"

class DlgCustomer;
class DlgRepeat;
class DlgType;
class LookupComboBox;
class MaskedDateField;
class MaskedField;
class MaskedTimeField;
class QAction;
class QCalendarWidget;
class QDate;
class QGridLayout;
class QLineEdit;
class ScheduleView;
struct PlannedBooking;

// "Appointment": makes or edits one appointment: reference, resource, type, customer, start
// and end, the times kept in line with the type's duration rules (CheckTime). Customers and
// types can be added, edited and deleted from here. Opened by the main window, centred on it.
//
// The caller sets AppointmentId (0 for a new appointment) and, for a new one, may preset
// ResourceId, StartDateTime and EndDateTime (packed date-times, 0 for none). The four keep
// their values between showings; the dialog itself changes only AppointmentId, to the
// stored id, on a save.
class DlgAppointment : public EditingDialog {
    Q_OBJECT

public:
    enum class Command {
        FileSave,
        FileRepeat,
        FileCancel,
        CustomerAdd,
        CustomerEdit,
        CustomerDelete,
        TypeAdd,
        TypeEdit,
        TypeDelete,
        Help,
        Count
    };

    // New appointments start on the schedule's first day unless a start is preset.
    DlgAppointment(const Services& services, const ScheduleView& schedule);

    int32_t AppointmentId() const { return appointmentId_; }
    void SetAppointmentId(int32_t id) { appointmentId_ = id; }
    int32_t ResourceId() const { return resourceId_; }
    void SetResourceId(int32_t id) { resourceId_ = id; }
    int32_t StartDateTime() const { return startDateTime_; }
    void SetStartDateTime(int32_t dtTm) { startDateTime_ = dtTm; }
    int32_t EndDateTime() const { return endDateTime_; }
    void SetEndDateTime(int32_t dtTm) { endDateTime_ = dtTm; }

    QLineEdit* TxtRef() const { return txtRef_; }
    LookupComboBox* CbResource() const { return cbResource_; }
    LookupComboBox* CbType() const { return cbType_; }
    LookupComboBox* CbCustomer() const { return cbCustomer_; }
    MaskedDateField* DateStart() const { return dateStart_; }
    MaskedTimeField* TimeStart() const { return timeStart_; }
    MaskedDateField* DateEnd() const { return dateEnd_; }
    MaskedTimeField* TimeEnd() const { return timeEnd_; }
    QCalendarWidget* SelMonth() const { return selMonth_; }
    QAction* Action(Command command) const { return commands_.Action(command); }
    // The sub-dialogs, made on first use.
    DlgCustomer& CustomerDialog();
    DlgType& TypeDialog();
    DlgRepeat& RepeatDialog();

    // Refills and selects the customer, type and resource lists, in that order; -1 leaves a
    // list as it is, an id no entry carries (0 among them) selects the first name.
    void ShowSelections(int32_t customerId, int32_t typeId, int32_t resourceId);
    // Applies the selected type's rules to the four date and time fields.
    void CheckTime();

    void CbType_Click();
    void DateStart_ClickDrop();
    void DateEnd_ClickDrop();
    void DateStart_ClickSpin(int direction);
    void DateEnd_ClickSpin(int direction);
    void TimeStart_ClickSpin(int direction);
    void TimeEnd_ClickSpin(int direction);
    void SelMonth_DateClick(const QDate& date);
    void mnuFileSave_Click();
    void mnuFileRepeat_Click();
    void mnuFileCancel_Click();
    void mnuCustomerAdd_Click();
    void mnuCustomerEdit_Click();
    void mnuCustomerDelete_Click();
    void mnuTypeAdd_Click();
    void mnuTypeEdit_Click();
    void mnuTypeDelete_Click();
    void mnuHelp_Click();
    void ToolBar_ButtonClick(const QString& key, bool flag);

protected:
    void Form_Activate() override;

private:
    void BuildFields();
    // Settles what was typed into the lists and the date and time fields.
    void CommitEdits();
    // The first of the date and time fields whose text is no date or time; null when none.
    MaskedField* WrongTimeField() const;
    // A moment as the date and time fields show it.
    QString MomentText(int32_t dtTm) const;
    // Why the store refused the appointment: the booking it would overlap.
    QString OverlapText(int32_t otherId) const;
    // The booking the fields give, once each of them is settled and makes sense; otherwise
    // nothing, the user told why and the focus on what is wrong.
    std::optional<PlannedBooking> CheckedFields();
    // Repeat is greyed for a booking already in a series.
    void EnableRepeat();
    // "Unable to save appointment!", and why.
    void RefuseSave(const QString& reason);
    void DateSpin(MaskedDateField* date, int direction, const char* procedure);
    void TimeSpin(MaskedDateField* date, MaskedTimeField* time, int direction,
                  const char* procedure);
    void DropCalendar(MaskedDateField* target, const char* procedure);
    // The save of a date of a series asks how far the edit goes. True when that is settled
    // here: the dates were saved, or the user backed out or declined. False when the booking
    // is saved as any other; `takeOut` then says whether it leaves its series.
    bool SaveSeriesDates(const PlannedBooking& edit, bool& takeOut);
    int32_t SelectedTypeIncrement() const;

    const ScheduleView& schedule_;
    int32_t appointmentId_ = 0;
    int32_t resourceId_ = 0;
    int32_t startDateTime_ = 0;
    int32_t endDateTime_ = 0;

    QLineEdit* txtRef_ = nullptr;
    LookupComboBox* cbResource_ = nullptr;
    LookupComboBox* cbType_ = nullptr;
    LookupComboBox* cbCustomer_ = nullptr;
    MaskedDateField* dateStart_ = nullptr;
    MaskedTimeField* timeStart_ = nullptr;
    MaskedDateField* dateEnd_ = nullptr;
    MaskedTimeField* timeEnd_ = nullptr;
    QWidget* fieldsBottom_ = nullptr; // the calendar drops below this
    QCalendarWidget* selMonth_ = nullptr;
    MaskedDateField* calendarTarget_ = nullptr;
    DlgCustomer* customerDialog_ = nullptr;
    DlgType* typeDialog_ = nullptr;
    DlgRepeat* repeatDialog_ = nullptr;
    CommandTable commands_;
};
