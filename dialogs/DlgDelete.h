#pragma once

#include <QDialog>

#include <cstdint>

#include "ui/CommandTable.h"
#include "ui/Services.h"
#include "ui/WindowFrame.h"

class KeyedToolBar;
class MultiColumnList;
class QAction;
class QComboBox;
class QLabel;
class QMenuBar;
class ScheduleView;

// "Delete Appointment": the appointments of one resource in order of start; the user marks
// any of them and deletes the marked ones after one confirmation. The caller redraws the
// schedule afterwards.
class DlgDelete : public QDialog {
    Q_OBJECT

public:
    // Every command of the window, in menu order.
    enum class Command { FileDelete, FileCancel, Help, Count };

    // The resources are the schedule's rows; its current row is chosen first.
    DlgDelete(const Services& services, const ScheduleView& schedule);

    bool MonthFirst() const { return monthFirst_; }

    QComboBox* CbResource() const { return cbResource_; }
    MultiColumnList* LbAppointments() const { return lbAppointments_; }
    KeyedToolBar* ToolBar() const { return toolBar_; }
    QMenuBar* MenuBar() const { return menuBar_; }
    QAction* Action(Command command) const { return commands_.Action(command); }
    bool Activated() const { return frame_.Activated(); }
    // "3 of 120 marked" under the list.
    QString MarkedText() const;

    // Runs at each showing.
    void Form_Load();
    // Runs at the first activation of each showing.
    void Form_Activate();

    void mnuFileDelete_Click();
    void mnuFileCancel_Click();
    void mnuHelp_Click();
    void ToolBar_ButtonClick(const QString& key, bool flag);

    void ShowAppointments();
    // The date "dd/mm/yy " (month first when MonthFirst), then the time "hh:nn".
    QString FormatDtTm(int32_t value) const;

protected:
    bool event(QEvent* event) override;

private:
    void ShowMarked();
    // Deletes the marked appointments; on a failure, logs it and tells how many went.
    void DeleteMarked();

    const Services services_;
    const ScheduleView& schedule_;
    QMenuBar* menuBar_ = nullptr;
    KeyedToolBar* toolBar_ = nullptr;
    QComboBox* cbResource_ = nullptr;
    MultiColumnList* lbAppointments_ = nullptr;
    QLabel* marked_ = nullptr;
    CommandTable commands_;
    WindowFrame frame_;

    bool monthFirst_ = false;
};
