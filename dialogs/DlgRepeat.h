#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <vector>

#include "datetime/Recurrence.h"
#include "store/SeriesPlan.h"
#include "ui/Services.h"
#include "ui/WindowFrame.h"

class MaskedDateField;
class MultiColumnList;
class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QDate;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

// "Repeat": books one booking again on the days of a rule, as one step. Every date the rule
// gives is listed as it would fare (free, in the way of another booking, outside the type's
// rules) and the rule's skipped months with them; nothing is stored before Book, which books
// the free dates and links them into a new series.
//
// The caller hands in the first booking; its id, when it has one, goes with the first date,
// which is then moved rather than made. Each date keeps the first's wall-clock times, and an
// end past midnight stays past midnight.
class DlgRepeat : public QDialog {
    Q_OBJECT

public:
    // The entries of "Repeats:", in order.
    enum class Repeats { Daily, Weekdays, Weekly, MonthlyByDate, MonthlyByWeekday };
    // The list's columns, from 1.
    enum Column { kDate = 1, kTime, kState, kDetails };

    DlgRepeat(const Services& services, QWidget* parent);

    void SetFirst(const PlannedBooking& first) { first_ = first; }
    const PlannedBooking& First() const { return first_; }
    // After a showing: the first booking made or moved, 0 when nothing was booked.
    int32_t BookedId() const { return bookedId_; }

    QComboBox* CbRepeats() const { return cbRepeats_; }
    QSpinBox* SpnInterval() const { return spnInterval_; }
    QLabel* LblUnit() const { return lblUnit_; }
    // Monday first, as the boxes are laid out.
    QCheckBox* ChkWeekday(int fromMonday) const { return chkWeekday_[size_t(fromMonday)]; }
    QRadioButton* OptCount() const { return optCount_; }
    QSpinBox* SpnCount() const { return spnCount_; }
    QRadioButton* OptUntil() const { return optUntil_; }
    MaskedDateField* DateUntil() const { return dateUntil_; }
    MultiColumnList* LbDates() const { return lbDates_; }
    QLabel* LblSummary() const { return lblSummary_; }
    QPushButton* CmdBook() const { return cmdBook_; }
    QPushButton* CmdCancel() const { return cmdCancel_; }
    QPushButton* CmdHelp() const { return cmdHelp_; }

    // The rule as the fields give it.
    RecurrenceRule Rule() const;
    // The bookings on the rule's days; the first is the booking handed in.
    std::vector<PlannedBooking> Plan(const RecurrenceDays& days) const;
    // Lists the dates again, with the summary and the Book button.
    void ShowDates();

    void CbRepeats_Click();
    void DateUntil_ClickSpin(int direction);
    void DateUntil_ClickDrop();
    void SelMonth_DateClick(const QDate& date);
    void cmdBook_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

protected:
    bool event(QEvent* event) override;

private:
    void BuildFields();
    void Form_Load();
    void Form_Activate();
    // The texts of the entries that name the first day ("Monthly on the second Tuesday").
    void NameMonthlyEntries();
    // The Date, Time, State and Details of a planned booking.
    QString RowText(const PlannedBooking& booking, const PlanCheck& check) const;

    const Services services_;
    PlannedBooking first_;
    int32_t bookedId_ = 0;
    int freeCount_ = 0;
    bool settingUp_ = false;

    QLabel* lblFirst_ = nullptr;
    QComboBox* cbRepeats_ = nullptr;
    QLabel* lblEvery_ = nullptr;
    QSpinBox* spnInterval_ = nullptr;
    QLabel* lblUnit_ = nullptr;
    QLabel* lblOn_ = nullptr;
    std::array<QCheckBox*, 7> chkWeekday_{};
    QRadioButton* optCount_ = nullptr;
    QSpinBox* spnCount_ = nullptr;
    QRadioButton* optUntil_ = nullptr;
    MaskedDateField* dateUntil_ = nullptr;
    QCalendarWidget* selMonth_ = nullptr;
    MultiColumnList* lbDates_ = nullptr;
    QLabel* lblSummary_ = nullptr;
    QPushButton* cmdBook_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
    WindowFrame frame_;
};
