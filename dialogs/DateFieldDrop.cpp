#include "dialogs/DateFieldDrop.h"

#include <QCalendarWidget>
#include <QDate>

#include "datetime/ClsDate.h"
#include "ui/Trap.h"
#include "widgets/MaskedDateField.h"

namespace {
constexpr const char* kForm = "DateFieldDrop";
} // namespace

DateFieldDrop::DateFieldDrop(MaskedDateField* field)
    : QObject(field), field_(field), month_(new QCalendarWidget(field)) {
    month_->setWindowFlags(Qt::Popup);
    month_->setFirstDayOfWeek(Qt::Monday);
    month_->setGridVisible(true);
    month_->hide();
    connect(field_, &MaskedField::ClickSpin, this, &DateFieldDrop::Field_ClickSpin);
    connect(field_, &MaskedDateField::ClickDrop, this, &DateFieldDrop::Field_ClickDrop);
    connect(month_, &QCalendarWidget::clicked, this, &DateFieldDrop::Month_DateClick);
    connect(month_, &QCalendarWidget::activated, this, &DateFieldDrop::Month_DateClick);
}

void DateFieldDrop::Field_ClickSpin(int direction) {
    Trap(kForm, "Field_ClickSpin", [&] {
        if (field_->TextValid()) {
            field_->SetValue(field_->Value() + (direction == 0 ? 1 : -1));
        }
    });
}

void DateFieldDrop::Field_ClickDrop() {
    Trap(kForm, "Field_ClickDrop", [&] {
        field_->Commit();
        month_->adjustSize();
        month_->move(field_->mapToGlobal(QPoint(0, field_->height() + 2)));
        int year = 0, month = 0, day = 0;
        ClsDate::CivilFromDayNumber(field_->Value(), year, month, day);
        month_->setSelectedDate(QDate(year, month, day));
        month_->show();
        month_->raise();
        month_->setFocus();
    });
}

void DateFieldDrop::Month_DateClick(const QDate& picked) {
    month_->hide();
    if (picked.isValid()) {
        field_->SetValue(ClsDate::DayNumberFromCivil(picked.year(), picked.month(), picked.day()));
    }
}
