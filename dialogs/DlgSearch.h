#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <vector>

#include "ui/CommandTable.h"
#include "ui/Services.h"
#include "ui/WindowFrame.h"

class KeyedToolBar;
class MultiColumnList;
class QAction;
class QComboBox;
class QMenuBar;

// "Search For Appointment": every appointment of one customer or one appointment type, in
// order of start; the user chooses one. AppointmentId holds the choice after the dialog
// closes, 0 when nothing was chosen.
class DlgSearch : public QDialog {
    Q_OBJECT

public:
    // Every command of the window, in menu order.
    enum class Command {
        FileSelect,
        FileExport,
        FileCancel,
        SearchCustomer,
        SearchType,
        Help,
        Count
    };

    // exportResults offers the results found for export; null leaves the command out.
    explicit DlgSearch(const Services& services, std::function<void()> exportResults = nullptr);

    int32_t AppointmentId() const { return appointmentId_; }
    // The appointments the list shows, in its order.
    std::vector<int32_t> ResultIds() const;
    bool MonthFirst() const { return monthFirst_; }

    QComboBox* CbSearch() const { return cbSearch_; }
    MultiColumnList* LbSearch() const { return lbSearch_; }
    KeyedToolBar* ToolBar() const { return toolBar_; }
    QMenuBar* MenuBar() const { return menuBar_; }
    QAction* Action(Command command) const { return commands_.Action(command); }
    bool Activated() const { return frame_.Activated(); }

    // Runs at each showing.
    void Form_Load();
    // Runs at the first activation of each showing.
    void Form_Activate();

    void mnuFileSelect_Click();
    void mnuFileExport_Click();
    void mnuFileCancel_Click();
    void mnuSearchCustomer_Click();
    void mnuSearchType_Click();
    void mnuHelp_Click();
    void ToolBar_ButtonClick(const QString& key, bool flag);
    void LbSearch_ItemActivated(int row);

    void ShowCustomers();
    void ShowTypes();
    void ShowAppointments();
    // The date "dd/mm/yy " (month first when MonthFirst), then the time "hh:nn".
    QString FormatDtTm(int32_t value) const;

protected:
    bool event(QEvent* event) override;

private:
    // Checks the criterion's menu entry and presses its toolbar button.
    void ShowCriterion(bool byCustomer);

    const Services services_;
    std::function<void()> exportResults_;
    QMenuBar* menuBar_ = nullptr;
    KeyedToolBar* toolBar_ = nullptr;
    QComboBox* cbSearch_ = nullptr;
    MultiColumnList* lbSearch_ = nullptr;
    CommandTable commands_;
    WindowFrame frame_;

    int32_t appointmentId_ = 0;
    bool monthFirst_ = false;
    bool byCustomer_ = true;
};
