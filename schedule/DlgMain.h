#pragma once

#include <QHash>
#include <QMainWindow>
#include <QString>

#include <cstdint>
#include <memory>

class ClsDate;
class ClsDialog;
class ClsGlobal;
class ClsHelp;
class ClsPopupMenu;
class DlgAbout;
class DropDownToolButton;
class IWindowing;
class QAction;
class QCalendarWidget;
class QDate;
class QLabel;
class QSlider;
class QToolBar;
class RebuildCache;
class ScheduleGrid;

// The planner's main and only non-modal window: the schedule grid with its menus,
// toolbar and status bar. It owns the program-wide objects: the store, the date and
// dialog helpers and help.
class DlgMain : public QMainWindow {
    Q_OBJECT

public:
    // Loads the store from programFolder + "/Data/".
    DlgMain(IWindowing& windowing, const QString& programFolder, QWidget* parent = nullptr);
    ~DlgMain() override;

    ClsGlobal& Global() { return *global_; }
    ClsDate& Date() { return *date_; }
    ClsDialog& Dialog() { return *dialog_; }
    ClsHelp& Help() { return *help_; }
    IWindowing& Windowing() { return windowing_; }
    QString HelpFile() const;
    // False when loading failed (the failure is in the error log): the program cannot run.
    bool Loaded() const { return loaded_; }

    ScheduleGrid* Sched = nullptr;
    QToolBar* ToolBar = nullptr;
    QSlider* Zoom = nullptr;
    QCalendarWidget* SelMonth = nullptr;

    int32_t FillDepth() const { return fillDepth_; }
    int32_t SelectedAppointment() const { return selectedAppointment_; }
    bool Activated() const { return activated_; }
    QString StatusPanel(const QString& key) const;
    // The menu item or toolbar command of that handler name, e.g. "mnuApptEdit".
    QAction* Action(const QString& name) const { return actions_.value(name); }
    DropDownToolButton* ToolButton(const QString& key) const { return toolButtons_.value(key); }

    // The schedule view.
    void SetScheduleDates(int32_t& start);
    void ShowResources();
    void ShowAppointments(int row);
    // Brings a found appointment into view: its range, its row selected, its start shown.
    void ShowFoundAppointment(int32_t id);

    // Lifecycle.
    void Form_Activate();
    void Form_Resize();
    // Closes help and writes the store; on a failed write the user may retry. Runs once.
    void Form_Unload();

    // Commands.
    void mnuFileConfigure_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    void mnuApptAdd_Click();
    void mnuApptEdit_Click();
    void mnuApptDelete_Click();
    void mnuApptSearch_Click();
    void mnuResourceAdd_Click();
    void mnuResourceEdit_Click();
    void mnuResourceDelete_Click();
    void mnuSchedDate_Click();
    void mnuSchedToday_Click();
    void mnuSchedView_Click();
    void mnuSchedZoom_Click();
    void mnuHelpContents_Click();
    void mnuHelpMain_Click();
    void mnuHelpNavigate_Click();
    void mnuHelpAbout_Click();
    void ToolBar_ButtonClick(const QString& key, bool flag);

    // Grid events.
    void Sched_BarAdded(int row, int bar, int value1, int value2);
    void Sched_BarLeftClick(int row, int bar);
    void Sched_BarDblClick(int row, int bar);
    void Sched_BarRightClick(int row, int bar);
    void Sched_ItemMove(int row, int bar);
    void Sched_BarPreSelect(int value, int flag);
    void Sched_BarPreDrop(int v1, int v2, int v3, int v4, int v5, int v6, int v7, int flag);
    void Sched_BarChanged(int v1, int v2, int v3, int v4, int v5, int v6, int v7);
    void Sched_ScrollTrack(int v1, int v2, int v3);
    void Sched_GotFocus();
    void SelMonth_DblClick(const QDate& date);
    void Zoom_Change(int value);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load(const QString& programFolder);
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    void HideZoom();
    // Runs a command's entry in a popup menu of three: add, edit, delete.
    void PopupCommands(const QStringList& names);
    void ApplyToolTips(bool on);
    bool Available(const QString& name) const;

    IWindowing& windowing_;
    std::unique_ptr<ClsGlobal> global_;
    std::unique_ptr<ClsDialog> dialog_;
    std::unique_ptr<ClsDate> date_;
    std::unique_ptr<ClsHelp> help_;
    std::unique_ptr<ClsPopupMenu> popup_;
    DlgAbout* about_ = nullptr;

    bool loaded_ = false;
    bool activated_ = false;
    bool unloaded_ = false;
    int32_t fillDepth_ = 0;
    int32_t selectedAppointment_ = 0;
    QHash<QString, QAction*> actions_;
    QHash<QString, DropDownToolButton*> toolButtons_;
    QHash<QString, QLabel*> statusPanels_;
    std::unique_ptr<RebuildCache> rebuild_;
};
