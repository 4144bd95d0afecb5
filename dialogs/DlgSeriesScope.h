#pragma once

#include <QDialog>
#include <QString>

#include "store/SeriesScope.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

// "Edit a date of a series" / "Delete a date of a series": how far a change of one date of
// a series goes. Only this date is chosen first; a change (not a delete) may take the date
// out of its series, which makes sense only when it alone changes.
class DlgSeriesScope : public QDialog {
    Q_OBJECT

public:
    enum class Purpose { Change, Delete };

    explicit DlgSeriesScope(QWidget* parent);

    // Sets the question up for the booking (in words) at its place in its series, with
    // Only this date chosen and the take-out box unticked.
    void Prepare(const QString& booking, const SeriesScope::Place& place, Purpose purpose);

    SeriesScope::Reach Reach() const;
    bool TakeOut() const;

    QLabel* LblQuestion() const { return lblQuestion_; }
    QRadioButton* OptOnly() const { return optOnly_; }
    QRadioButton* OptFollowing() const { return optFollowing_; }
    QRadioButton* OptAll() const { return optAll_; }
    QCheckBox* ChkTakeOut() const { return chkTakeOut_; }
    QPushButton* CmdOk() const { return cmdOk_; }
    QPushButton* CmdCancel() const { return cmdCancel_; }

private:
    void ShowTakeOutState();

    QLabel* lblQuestion_ = nullptr;
    QRadioButton* optOnly_ = nullptr;
    QRadioButton* optFollowing_ = nullptr;
    QRadioButton* optAll_ = nullptr;
    QCheckBox* chkTakeOut_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};
