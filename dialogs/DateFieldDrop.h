#pragma once

#include <QObject>

class MaskedDateField;
class QCalendarWidget;
class QDate;

// What a date field's buttons do in a dialog: the spin steps a day, the drop button opens a
// month to pick a day from. Owned by the field.
class DateFieldDrop : public QObject {
    Q_OBJECT

public:
    explicit DateFieldDrop(MaskedDateField* field);

    QCalendarWidget* Month() const { return month_; }

    void Field_ClickSpin(int direction);
    void Field_ClickDrop();
    void Month_DateClick(const QDate& picked);

private:
    MaskedDateField* field_;
    QCalendarWidget* month_;
};
