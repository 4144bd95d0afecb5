#pragma once

#include "ui/ShowingDialog.h"

#include <array>
#include <cstdint>

class DlgMain;
class KeyedToolBar;
class MultiColumnList;
class QAction;
class QComboBox;
class QLabel;
class QMenuBar;

// "Delete Appointment": the appointments of one resource in order of start; the user marks
// any of them and deletes the marked ones after one confirmation. The caller redraws the
// schedule afterwards.
class DlgDelete : public ShowingDialog {
    Q_OBJECT

public:
    // Every command of the window, in menu order.
    enum class Command { FileDelete, FileCancel, Help, Count };

    explicit DlgDelete(DlgMain& main);

    bool MonthFirst() const { return monthFirst_; }

    QComboBox* CbResource() const { return cbResource_; }
    MultiColumnList* LbAppointments() const { return lbAppointments_; }
    KeyedToolBar* ToolBar() const { return toolBar_; }
    QMenuBar* MenuBar() const { return menuBar_; }
    QAction* Action(Command command) const { return actions_[static_cast<size_t>(command)]; }
    // "3 of 120 marked" under the list.
    QString MarkedText() const;

    // Runs at each showing.
    void Form_Load() override;
    // Runs at the first activation of each showing.
    void Form_Activate() override;

    void mnuFileDelete_Click();
    void mnuFileCancel_Click();
    void mnuHelp_Click();
    void ToolBar_ButtonClick(const QString& key, bool flag);

    void ShowAppointments();
    // The date "dd/mm/yy " (month first when MonthFirst), then the time "hh:nn".
    QString FormatDtTm(int32_t value) const;

private:
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    void ShowMarked();
    // Deletes the marked appointments; on a failure, logs it and tells how many went.
    void DeleteMarked();

    DlgMain& main_;
    QMenuBar* menuBar_ = nullptr;
    KeyedToolBar* toolBar_ = nullptr;
    QComboBox* cbResource_ = nullptr;
    MultiColumnList* lbAppointments_ = nullptr;
    QLabel* marked_ = nullptr;
    std::array<QAction*, static_cast<size_t>(Command::Count)> actions_{};

    bool monthFirst_ = false;
};
