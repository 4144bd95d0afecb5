// The appointment dialog's times: the type's duration rules, the spins and the calendar.
#include <QCalendarWidget>
#include <QDate>

#include "datetime/ClsDate.h"
#include "dialogs/DlgAppointment.h"
#include "store/ClsGlobal.h"
#include "ui/ClsDialog.h"
#include "ui/Trap.h"
#include "widgets/LookupComboBox.h"
#include "widgets/MaskedDateField.h"
#include "widgets/MaskedTimeField.h"

namespace {

constexpr const char* kForm = "DlgAppointment";
constexpr int32_t kMinutesPerDay = 1440;

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// The day and time snapped to the increment. Snapping may round up to midnight, which is
// the next day's 00:00: a minute part of 1440 would be no time of day for the fields and
// would make every later step of the rules fail.
int32_t Snapped(const ClsDate& date, int32_t day, int32_t minutes, int32_t increment) {
    int32_t snapped = date.Granularise(minutes, increment);
    if (snapped >= kMinutesPerDay) {
        day += snapped / kMinutesPerDay;
        snapped %= kMinutesPerDay;
    }
    return date.JoinDateTime(day, snapped);
}

} // namespace

void DlgAppointment::CbType_Click() {
    Trap(kForm, "CbType_Click", [&] { CheckTime(); });
}

// A date or time that does not exist is the user's to correct: the rules wait for it rather
// than write the held values back over it.
void DlgAppointment::CheckTime() {
    Trap(kForm, "CheckTime", [&] {
        if (WrongTimeField() != nullptr) {
            return;
        }
        const ClsDate& date = services_.date;
        auto type = services_.store.TypeLoad(ClsDialog::ComboGetCurrentId(CbType()));
        int32_t start = 0;
        int32_t end = 0;
        if (type->IncTime() >= 1) {
            start = Snapped(date, DateStart()->Value(), TimeStart()->Value(), type->IncTime());
            end = Snapped(date, DateEnd()->Value(), TimeEnd()->Value(), type->IncTime());
        } else {
            start = date.JoinDateTime(DateStart()->Value(), TimeStart()->Value());
            end = date.JoinDateTime(DateEnd()->Value(), TimeEnd()->Value());
        }
        if (type->MinTime() > 0 && date.MinutesBetween(start, end) < type->MinTime()) {
            end = date.MinutesAdjust(start, type->MinTime());
        }
        if (type->MaxTime() > 0 && date.MinutesBetween(start, end) > type->MaxTime()) {
            end = date.MinutesAdjust(start, type->MaxTime());
        }
        DateStart()->SetValue(date.SplitDateVal(start));
        TimeStart()->SetValue(date.SplitTimeVal(start));
        DateEnd()->SetValue(date.SplitDateVal(end));
        TimeEnd()->SetValue(date.SplitTimeVal(end));
    });
}

int32_t DlgAppointment::SelectedTypeIncrement() const {
    const int32_t increment =
        services_.store.TypeLoad(ClsDialog::ComboGetCurrentId(CbType()))->IncTime();
    return increment == 0 ? 1 : increment;
}

void DlgAppointment::DateSpin(MaskedDateField* date, int direction, const char* procedure) {
    Trap(kForm, procedure, [&] {
        // No step from a text that is no date; the field says what is wrong with it.
        if (!date->TextValid()) {
            return;
        }
        date->SetValue(date->Value() + (direction == 0 ? 1 : -1));
        CheckTime();
    });
}

// The time moves by the type's increment; past midnight the date moves with it.
void DlgAppointment::TimeSpin(MaskedDateField* date, MaskedTimeField* time, int direction,
                              const char* procedure) {
    Trap(kForm, procedure, [&] {
        if (!date->TextValid() || !time->TextValid()) {
            return;
        }
        const int64_t step = SelectedTypeIncrement();
        const int64_t moment = int64_t{time->Value()} + (direction == 0 ? step : -step);
        const int64_t days = FloorDiv(moment, kMinutesPerDay);
        if (days != 0) {
            date->SetValue(static_cast<int32_t>(date->Value() + days));
        }
        time->SetValue(static_cast<int32_t>(moment - days * kMinutesPerDay));
        CheckTime();
    });
}

void DlgAppointment::DateStart_ClickSpin(int direction) {
    DateSpin(DateStart(), direction, "DateStart_ClickSpin");
}

void DlgAppointment::DateEnd_ClickSpin(int direction) {
    DateSpin(DateEnd(), direction, "DateEnd_ClickSpin");
}

void DlgAppointment::TimeStart_ClickSpin(int direction) {
    TimeSpin(DateStart(), TimeStart(), direction, "TimeStart_ClickSpin");
}

void DlgAppointment::TimeEnd_ClickSpin(int direction) {
    TimeSpin(DateEnd(), TimeEnd(), direction, "TimeEnd_ClickSpin");
}

// The calendar drops below the fields, centred across the dialog.
void DlgAppointment::DropCalendar(MaskedDateField* target, const char* procedure) {
    Trap(kForm, procedure, [&] {
        target->Commit();
        calendarTarget_ = target;
        QCalendarWidget* calendar = SelMonth();
        calendar->adjustSize();
        const int left = width() / 2 - calendar->width() / 2;
        const int top = fieldsBottom_->mapTo(this, QPoint(0, fieldsBottom_->height())).y() + 2;
        calendar->move(mapToGlobal(QPoint(left, top)));
        int year = 0, month = 0, day = 0;
        ClsDate::CivilFromDayNumber(target->Value(), year, month, day);
        calendar->setSelectedDate(QDate(year, month, day));
        calendar->show();
        calendar->raise();
        calendar->setFocus();
    });
}

void DlgAppointment::DateStart_ClickDrop() {
    DropCalendar(DateStart(), "DateStart_ClickDrop");
}

void DlgAppointment::DateEnd_ClickDrop() {
    DropCalendar(DateEnd(), "DateEnd_ClickDrop");
}

void DlgAppointment::SelMonth_DateClick(const QDate& picked) {
    SelMonth()->hide();
    if (calendarTarget_ == nullptr || !picked.isValid()) {
        return;
    }
    calendarTarget_->SetValue(
        ClsDate::DayNumberFromCivil(picked.year(), picked.month(), picked.day()));
    CheckTime();
}
