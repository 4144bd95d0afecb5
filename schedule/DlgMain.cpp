#include "schedule/DlgMain.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <iterator>

#include "controls/DropDownToolButton.h"
#include "controls/IWindowing.h"
#include "controls/Icons.h"
#include "controls/ScheduleGrid.h"
#include "controls/Twips.h"
#include "datetime/ClsDate.h"
#include "dialogs/ClsDialog.h"
#include "schedule/ClsHelp.h"
#include "schedule/ClsPopupMenu.h"
#include "schedule/DlgAbout.h"
#include "schedule/RebuildCache.h"
#include "schedule/Trap.h"
#include "store/ClsGlobal.h"
#include "store/SampleData.h"

namespace {
constexpr const char* kForm = "DlgMain";
constexpr double kWidthTwips = 7605;
constexpr double kHeightTwips = 5070;
constexpr double kMinHeightTwips = 4545;
constexpr double kGridMarginTwips = 120;

// Commands whose windows are not part of the program yet: shown, but greyed out.
const QStringList kPendingCommands = {"mnuFileConfigure", "mnuFilePrint",   "mnuApptAdd",
                                      "mnuApptEdit",      "mnuApptDelete",  "mnuApptSearch",
                                      "mnuResourceAdd",   "mnuResourceEdit"};

struct ToolButtonDef {
    const char* key;
    const char* tip;
    bool separatorBefore;
    const char* command; // the menu command a plain button runs; none for the drop-downs
};
const ToolButtonDef kToolButtons[] = {
    {"Exit", "Exit", false, "mnuFileExit"},
    {"Configure", "Configuration", true, "mnuFileConfigure"},
    {"Resource", "Resource definition", false, nullptr},
    {"Appointment", "Make appointment", false, nullptr},
    {"Date", "Set start date", false, "mnuSchedDate"},
    {"Today", "Set to todays date/time", false, "mnuSchedToday"},
    {"Search", "Search for appointment", false, "mnuApptSearch"},
    {"View", "Change schedule view", true, "mnuSchedView"},
    {"Zoom", "Adjust schedule resolution", false, "mnuSchedZoom"},
    {"Print", "Print", true, "mnuFilePrint"},
    {"Help", "Help", true, "mnuHelpContents"},
};
} // namespace

DlgMain::DlgMain(IWindowing& windowing, const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), windowing_(windowing) {
    Form_Load(programFolder);
}

// Released in the order store, dates, help, dialog helpers. Not at unload: a handler
// still running under a pending-events call may use them after the window closed.
DlgMain::~DlgMain() {
    global_.reset();
    date_.reset();
    help_.reset();
    dialog_.reset();
}

QString DlgMain::HelpFile() const {
    return ClsHelp::HelpFilePath();
}

bool DlgMain::Available(const QString& name) const {
    return !kPendingCommands.contains(name);
}

void DlgMain::Form_Load(const QString& programFolder) {
    Trap(kForm, "Form_Load", [&] {
        resize(TwipsToPixelsX(kWidthTwips, this), TwipsToPixelsY(kHeightTwips, this));
        setMinimumSize(TwipsToPixelsX(kWidthTwips, this), TwipsToPixelsY(kMinHeightTwips, this));
        activated_ = false;
        global_ = std::make_unique<ClsGlobal>(programFolder.toStdString());
        dialog_ = std::make_unique<ClsDialog>();
        date_ = std::make_unique<ClsDate>();
        help_ = std::make_unique<ClsHelp>(windowing_);
        popup_ = std::make_unique<ClsPopupMenu>(windowing_);
        rebuild_ = std::make_unique<RebuildCache>();

        auto* central = new QWidget(this);
        setCentralWidget(central);
        Sched = new ScheduleGrid(central);
        Sched->installEventFilter(this);
        Zoom = new QSlider(Qt::Vertical, central);
        Zoom->setRange(ScheduleGrid::ResolutionMinimum(), ScheduleGrid::ResolutionMaximum());
        Zoom->setToolTip(tr("Schedule resolution"));
        Zoom->hide();
        Zoom->installEventFilter(this);
        SelMonth = new QCalendarWidget(central);
        SelMonth->setFirstDayOfWeek(Qt::Monday);
        SelMonth->setGridVisible(true);
        SelMonth->setAutoFillBackground(true);
        SelMonth->adjustSize();
        SelMonth->hide();
        BuildMenus();
        BuildToolBar();
        BuildStatusBar();

        connect(Sched, &ScheduleGrid::BarAdded, this, &DlgMain::Sched_BarAdded);
        connect(Sched, &ScheduleGrid::BarLeftClick, this, &DlgMain::Sched_BarLeftClick);
        connect(Sched, &ScheduleGrid::BarDblClick, this, &DlgMain::Sched_BarDblClick);
        connect(Sched, &ScheduleGrid::BarRightClick, this, &DlgMain::Sched_BarRightClick);
        connect(Sched, &ScheduleGrid::ItemMove, this, &DlgMain::Sched_ItemMove);
        connect(Sched, &ScheduleGrid::BarPreSelect, this, &DlgMain::Sched_BarPreSelect);
        connect(Sched, &ScheduleGrid::BarPreDrop, this, &DlgMain::Sched_BarPreDrop);
        connect(Sched, &ScheduleGrid::BarChanged, this, &DlgMain::Sched_BarChanged);
        connect(Sched, &ScheduleGrid::ScrollTrack, this, &DlgMain::Sched_ScrollTrack);
        connect(Sched, &ScheduleGrid::GotFocus, this, &DlgMain::Sched_GotFocus);
        connect(SelMonth, &QCalendarWidget::activated, this, &DlgMain::SelMonth_DblClick);
        connect(Zoom, &QSlider::valueChanged, this, &DlgMain::Zoom_Change);

        ClsDialog::FormCenter(this, nullptr);
        setWindowTitle(QStringLiteral("Tidemar PE (%1)").arg(DlgAbout::ProgramVersion()));
        setWindowIcon(Icons::ForKey("Appointment"));
        for (QLabel* panel : statusPanels_) {
            panel->setText(QString());
        }
        loaded_ = true;
        Form_Resize();
    });
}

void DlgMain::BuildMenus() {
    auto add = [this](QMenu* menu, const QString& name, const QString& caption,
                      void (DlgMain::*handler)(), const QKeySequence& shortcut = {}) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        action->setShortcut(shortcut);
        action->setEnabled(Available(name));
        connect(action, &QAction::triggered, this, handler);
        actions_.insert(name, action);
    };
    QMenu* file = menuBar()->addMenu(tr("&File"));
    add(file, "mnuFileConfigure", tr("Configure"), &DlgMain::mnuFileConfigure_Click);
    file->addSeparator();
    add(file, "mnuFilePrint", tr("Print"), &DlgMain::mnuFilePrint_Click, QKeySequence::Print);
    add(file, "mnuFileExit", tr("Exit"), &DlgMain::mnuFileExit_Click, QKeySequence::Quit);
    QMenu* appt = menuBar()->addMenu(tr("&Appointment"));
    add(appt, "mnuApptAdd", tr("Add appointment"), &DlgMain::mnuApptAdd_Click);
    add(appt, "mnuApptEdit", tr("Edit appointment"), &DlgMain::mnuApptEdit_Click);
    add(appt, "mnuApptDelete", tr("Delete appointment"), &DlgMain::mnuApptDelete_Click);
    appt->addSeparator();
    add(appt, "mnuApptSearch", tr("Search for appointment"), &DlgMain::mnuApptSearch_Click,
        QKeySequence::Find);
    QMenu* resource = menuBar()->addMenu(tr("&Resource"));
    add(resource, "mnuResourceAdd", tr("Add resource"), &DlgMain::mnuResourceAdd_Click);
    add(resource, "mnuResourceEdit", tr("Edit resource"), &DlgMain::mnuResourceEdit_Click);
    add(resource, "mnuResourceDelete", tr("Delete resource"), &DlgMain::mnuResourceDelete_Click);
    QMenu* sched = menuBar()->addMenu(tr("&Schedule"));
    add(sched, "mnuSchedDate", tr("Start date"), &DlgMain::mnuSchedDate_Click);
    add(sched, "mnuSchedToday", tr("Set to todays date/time"), &DlgMain::mnuSchedToday_Click,
        QKeySequence(Qt::CTRL | Qt::Key_T));
    sched->addSeparator();
    add(sched, "mnuSchedView", tr("Change view"), &DlgMain::mnuSchedView_Click,
        QKeySequence(Qt::Key_F5));
    add(sched, "mnuSchedZoom", tr("Schedule resolution"), &DlgMain::mnuSchedZoom_Click);
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    add(help, "mnuHelpContents", tr("Contents"), &DlgMain::mnuHelpContents_Click);
    add(help, "mnuHelpMain", tr("Help for Main Dialog"), &DlgMain::mnuHelpMain_Click,
        QKeySequence::HelpContents);
    add(help, "mnuHelpNavigate", tr("Help with navigation"), &DlgMain::mnuHelpNavigate_Click);
    help->addSeparator();
    add(help, "mnuHelpAbout", tr("About"), &DlgMain::mnuHelpAbout_Click);
}

void DlgMain::BuildToolBar() {
    ToolBar = addToolBar(tr("Toolbar"));
    ToolBar->setObjectName("ToolBar");
    ToolBar->setMovable(false);
    ToolBar->setIconSize(QSize(24, 24));
    for (const ToolButtonDef& def : kToolButtons) {
        if (def.separatorBefore) {
            ToolBar->addSeparator();
        }
        QString key = def.key;
        auto* button = new DropDownToolButton(ToolBar);
        if (def.command != nullptr) {
            button->setPopupMode(QToolButton::DelayedPopup);
            button->setMenu(nullptr);
            button->setEnabled(Available(def.command));
        } else {
            // Enabled while any of its three commands is.
            QString kind = key == "Resource" ? "mnuResource" : "mnuAppt";
            button->setEnabled(Available(kind + "Add") || Available(kind + "Edit") ||
                               Available(kind + "Delete"));
        }
        button->setIcon(Icons::ForKey(key));
        button->setText(def.tip);
        button->setToolTip(def.tip);
        button->setObjectName(key);
        ToolBar->addWidget(button);
        toolButtons_.insert(key, button);
        connect(button, &DropDownToolButton::Clicked, this,
                [this, key](bool dropDown) { ToolBar_ButtonClick(key, dropDown); });
    }
}

void DlgMain::BuildStatusBar() {
    for (const char* key : {"Customer", "Type", "Start", "End"}) {
        auto* panel = new QLabel(statusBar());
        panel->setObjectName(key);
        panel->setMinimumWidth(
            key == QLatin1String("Customer") || key == QLatin1String("Type") ? 140 : 60);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(panel, key == QLatin1String("Customer") ? 2 : 1);
        statusPanels_.insert(key, panel);
    }
}

QString DlgMain::StatusPanel(const QString& key) const {
    QLabel* panel = statusPanels_.value(key);
    return panel != nullptr ? panel->text() : QString();
}

void DlgMain::ApplyToolTips(bool on) {
    for (const ToolButtonDef& def : kToolButtons) {
        if (DropDownToolButton* button = toolButtons_.value(def.key)) {
            button->setToolTip(on ? QString(def.tip) : QString());
        }
    }
}

// Under a window manager the first activation arrives as an event; without one (a
// headless session) the first showing stands in for it.
bool DlgMain::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate || (event->type() == QEvent::Show && !activated_)) {
        QTimer::singleShot(0, this, [this] {
            if (!activated_) {
                Form_Activate();
            }
        });
    }
    return QMainWindow::event(event);
}

void DlgMain::Form_Activate() {
    if (activated_ || !Loaded()) {
        return;
    }
    Trap(kForm, "Form_Activate", [&] {
        activated_ = true;
        if (global_->FirstRun()) {
            CreateSampleData(*global_, *date_);
        }
        int32_t today = date_->Today();
        SetScheduleDates(today);
    });
}

void DlgMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void DlgMain::Form_Resize() {
    if (isMinimized() || Sched == nullptr) {
        return;
    }
    Trap(kForm, "Form_Resize", [&] {
        // The minimum size of the normal window is held by setMinimumSize; Qt's frame,
        // menu, toolbar and status bar lie outside the client area the grid fills.
        QWidget* central = centralWidget();
        int mx = TwipsToPixelsX(kGridMarginTwips, this);
        int my = TwipsToPixelsY(kGridMarginTwips, this);
        Sched->setGeometry(mx, my, qMax(0, central->width() - 2 * mx),
                           qMax(0, central->height() - 2 * my));
        if (Zoom->isVisible()) {
            mnuSchedZoom_Click();
        }
    });
}

void DlgMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void DlgMain::Form_Unload() {
    if (unloaded_ || !Loaded()) {
        return;
    }
    unloaded_ = true;
    help_->QuitHelp(this, HelpFile());
    for (;;) {
        SaveResult result = global_->Save();
        if (result.Ok()) {
            break;
        }
        QStringList files;
        for (const std::string& f : result.failedFiles) {
            files << QString::fromStdString(f);
        }
        QString text =
            tr("Tidemar PE could not save your data.\n\nNot written: %1\nin %2\n\nThese files "
               "keep their previous contents; the details are in Tidemar.err. Choose Retry to "
               "try again, or Cancel to close without saving.")
                .arg(files.join(", "), QString::fromStdString(global_->DataFolder()));
        if (windowing_.MessageBox(this, text, tr("Error!"), IWindowing::Icon::Exclamation,
                                  IWindowing::Buttons::RetryCancel) != IWindowing::Answer::Retry) {
            break;
        }
    }
}

bool DlgMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Zoom && event->type() == QEvent::FocusOut) {
        Zoom->hide();
    }
    return QMainWindow::eventFilter(watched, event);
}

void DlgMain::HideZoom() {
    Zoom->hide();
}

void DlgMain::mnuFileConfigure_Click() {
    HideZoom();
}
void DlgMain::mnuFilePrint_Click() {
    HideZoom();
}

void DlgMain::mnuFileExit_Click() {
    HideZoom();
    close();
}

void DlgMain::mnuApptAdd_Click() {
    HideZoom();
}

void DlgMain::mnuApptEdit_Click() {
    HideZoom();
    if (selectedAppointment_ == 0) {
        windowing_.MessageBox(this, tr("No appointment selected!"), tr("No selection!"),
                              IWindowing::Icon::Information, IWindowing::Buttons::Ok);
    }
}

void DlgMain::mnuApptDelete_Click() {
    HideZoom();
}

void DlgMain::mnuApptSearch_Click() {
    HideZoom();
}

void DlgMain::mnuResourceAdd_Click() {
    HideZoom();
}

void DlgMain::mnuResourceEdit_Click() {
    HideZoom();
    if (Sched->CurrentRow() < 1) {
        windowing_.MessageBox(this, tr("No resource selected!"), tr("No selection!"),
                              IWindowing::Icon::Information, IWindowing::Buttons::Ok);
    }
}

void DlgMain::mnuResourceDelete_Click() {
    HideZoom();
    Trap(kForm, "mnuResourceDelete_Click", [&] {
        int row = Sched->CurrentRow();
        if (row < 1) {
            windowing_.MessageBox(this, tr("No resource selected!"), tr("No selection!"),
                                  IWindowing::Icon::Information, IWindowing::Buttons::Ok);
            return;
        }
        QString text = "Confirm delete resource " + Sched->RowText(row).trimmed() + "?" + "\r\n" +
                       "(all associated appointments will be deleted)";
        if (windowing_.MessageBox(this, text, "Confirm", IWindowing::Icon::Question,
                                  IWindowing::Buttons::YesNo) != IWindowing::Answer::Yes) {
            return;
        }
        global_->ResourceDelete(Sched->RowData(row));
        ShowResources();
    });
}

void DlgMain::mnuSchedDate_Click() {
    HideZoom();
    Trap(kForm, "mnuSchedDate_Click", [&] {
        SelMonth->adjustSize();
        SelMonth->move(centralWidget()->width() / 2 - SelMonth->width() / 2,
                       centralWidget()->height() / 2 - SelMonth->height() / 2);
        int y = 0, m = 0, d = 0;
        ClsDate::CivilFromDayNumber(Sched->DateFirst(), y, m, d);
        SelMonth->setSelectedDate(QDate(y, m, d));
        SelMonth->show();
        SelMonth->raise();
        SelMonth->setFocus();
    });
}

void DlgMain::SelMonth_DblClick(const QDate& date) {
    int32_t day = ClsDate::DayNumberFromCivil(date.year(), date.month(), date.day());
    if (day <= 0) {
        return;
    }
    SelMonth->hide();
    SetScheduleDates(day);
}

void DlgMain::mnuSchedToday_Click() {
    HideZoom();
    int32_t today = date_->Today();
    SetScheduleDates(today);
}

void DlgMain::mnuSchedView_Click() {
    HideZoom();
    Trap(kForm, "mnuSchedView_Click", [&] {
        Sched->SetTimeType((Sched->TimeType() + 1) % 3);
        int32_t start = Sched->DateFirst();
        SetScheduleDates(start);
    });
}

void DlgMain::mnuSchedZoom_Click() {
    Trap(kForm, "mnuSchedZoom_Click", [&] {
        Zoom->resize(Zoom->sizeHint().width(), Sched->height());
        Zoom->move(Sched->x() + Sched->width() - Zoom->width(), Sched->y());
        Zoom->setValue(Sched->Resolution());
        Zoom->show();
        Zoom->raise();
        Zoom->setFocus();
    });
}

void DlgMain::Zoom_Change(int value) {
    Sched->SetResolution(static_cast<int16_t>(value));
}

void DlgMain::mnuHelpContents_Click() {
    HideZoom();
    help_->ShowHelpContents(this, HelpFile());
}

void DlgMain::mnuHelpMain_Click() {
    HideZoom();
    help_->ShowHelpTopic(this, HelpFile(), 0);
}

void DlgMain::mnuHelpNavigate_Click() {
    help_->ShowHelpTopic(this, HelpFile(), 10);
}

void DlgMain::mnuHelpAbout_Click() {
    HideZoom();
    if (about_ == nullptr) {
        about_ = new DlgAbout(this);
    }
    windowing_.ShowModal(about_);
}

void DlgMain::PopupCommands(const QStringList& names) {
    QStringList captions;
    QString enable;
    for (const QString& name : names) {
        captions << Action(name)->text();
        enable += Action(name)->isEnabled() ? '1' : '0';
    }
    int32_t chosen = popup_->Popup(enable, captions);
    if (chosen >= 1 && chosen <= names.size()) {
        Action(names[chosen - 1])->trigger();
    }
}

void DlgMain::ToolBar_ButtonClick(const QString& key, bool flag) {
    Trap(kForm, "ToolBar_ButtonClick", [&] {
        auto def = std::find_if(std::begin(kToolButtons), std::end(kToolButtons),
                                [&](const ToolButtonDef& d) { return key == d.key; });
        if (def == std::end(kToolButtons)) {
            return;
        }
        if (def->command != nullptr) {
            Action(def->command)->trigger();
            return;
        }
        QString kind = key == "Resource" ? "mnuResource" : "mnuAppt";
        // A plain click adds; while adding is not available it offers the menu instead.
        if (!flag && Available(kind + "Add")) {
            Action(kind + "Add")->trigger();
            return;
        }
        PopupCommands({kind + "Add", kind + "Edit", kind + "Delete"});
    });
}
