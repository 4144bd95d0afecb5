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

#include <algorithm>
#include <iterator>

#include "datetime/ClsDate.h"
#include "grid/ScheduleGrid.h"
#include "platform/IWindowing.h"
#include "platform/Icons.h"
#include "platform/Twips.h"
#include "schedule/AutoSave.h"
#include "schedule/DlgAbout.h"
#include "schedule/LoadReport.h"
#include "schedule/RebuildCache.h"
#include "store/ClsGlobal.h"
#include "store/FileSystem.h"
#include "store/SampleData.h"
#include "store/StoreChanges.h"
#include "ui/ClsDialog.h"
#include "ui/ClsHelp.h"
#include "ui/ClsPopupMenu.h"
#include "ui/CommandTable.h"
#include "ui/Trap.h"
#include "widgets/DropDownToolButton.h"
#include "widgets/KeyedToolBar.h"

namespace {
using Command = DlgMain::Command;

constexpr const char* kForm = "DlgMain";
constexpr double kWidthTwips = 7605;
constexpr double kHeightTwips = 5070;
constexpr double kMinHeightTwips = 4545;
constexpr double kGridMarginTwips = 120;

const CommandRow<DlgMain> kCommands[] = {
    {Command::FileConfigure, "&Configure", &DlgMain::mnuFileConfigure_Click},
    {Command::FilePrint, "&Print", &DlgMain::mnuFilePrint_Click},
    {Command::FileExit, "E&xit", &DlgMain::mnuFileExit_Click},
    {Command::ApptAdd, "&Add appointment", &DlgMain::mnuApptAdd_Click},
    {Command::ApptEdit, "&Edit appointment", &DlgMain::mnuApptEdit_Click},
    {Command::ApptDelete, "&Delete appointment", &DlgMain::mnuApptDelete_Click},
    {Command::ApptSearch, "&Search for appointment", &DlgMain::mnuApptSearch_Click},
    {Command::ResourceAdd, "&Add resource", &DlgMain::mnuResourceAdd_Click},
    {Command::ResourceEdit, "&Edit resource", &DlgMain::mnuResourceEdit_Click},
    {Command::ResourceDelete, "&Delete resource", &DlgMain::mnuResourceDelete_Click},
    {Command::SchedDate, "&Start date", &DlgMain::mnuSchedDate_Click},
    {Command::SchedToday, "Set to &todays date/time", &DlgMain::mnuSchedToday_Click},
    {Command::SchedView, "Change &view", &DlgMain::mnuSchedView_Click},
    {Command::SchedZoom, "Schedule &resolution", &DlgMain::mnuSchedZoom_Click},
    {Command::HelpContents, "&Contents", &DlgMain::mnuHelpContents_Click},
    {Command::HelpMain, "Help for &Main Dialog", &DlgMain::mnuHelpMain_Click},
    {Command::HelpNavigate, "Help with &navigation", &DlgMain::mnuHelpNavigate_Click},
    {Command::HelpAbout, "&About", &DlgMain::mnuHelpAbout_Click},
};

struct ToolButtonDef {
    const char* key;
    const char* tip;
    bool separatorBefore;
    Command command;                 // what a plain click runs
    std::array<Command, 3> dropDown; // add, edit, delete; only for the two drop-down buttons
    bool hasDropDown;
};
constexpr std::array<Command, 3> kNoDropDown{};
constexpr std::array<Command, 3> kResourceCommands = {Command::ResourceAdd, Command::ResourceEdit,
                                                      Command::ResourceDelete};
constexpr std::array<Command, 3> kAppointmentCommands = {Command::ApptAdd, Command::ApptEdit,
                                                         Command::ApptDelete};
const ToolButtonDef kToolButtons[] = {
    {"Exit", "Exit", false, Command::FileExit, kNoDropDown, false},
    {"Configure", "Configuration", true, Command::FileConfigure, kNoDropDown, false},
    {"Resource", "Resource definition", false, Command::ResourceAdd, kResourceCommands, true},
    {"Appointment", "Make appointment", false, Command::ApptAdd, kAppointmentCommands, true},
    {"Date", "Set start date", false, Command::SchedDate, kNoDropDown, false},
    {"Today", "Set to todays date/time", false, Command::SchedToday, kNoDropDown, false},
    {"Search", "Search for appointment", false, Command::ApptSearch, kNoDropDown, false},
    {"View", "Change schedule view", true, Command::SchedView, kNoDropDown, false},
    {"Zoom", "Adjust schedule resolution", false, Command::SchedZoom, kNoDropDown, false},
    {"Print", "Print", true, Command::FilePrint, kNoDropDown, false},
    {"Help", "Help", true, Command::HelpContents, kNoDropDown, false},
};
const char* const kStatusPanels[] = {"Customer", "Type", "Start", "End"};

} // namespace

DlgMain::DlgMain(IWindowing& windowing, const ProgramFolders& folders, FileSystem& files,
                 QWidget* parent)
    : QMainWindow(parent), windowing_(windowing), folders_(folders) {
    Form_Load(files);
}

DlgMain::DlgMain(IWindowing& windowing, const ProgramFolders& folders, QWidget* parent)
    : DlgMain(windowing, folders, FileSystem::Real(), parent) {}

// Released in the order store, dates, help, dialog helpers; the saver goes first, as it
// works on the store. Not at unload: a handler still running under a pending-events call
// may use them after the window closed.
DlgMain::~DlgMain() {
    autoSave_.reset();
    changes_.reset();
    global_.reset();
    date_.reset();
    help_.reset();
    dialog_.reset();
}

QString DlgMain::HelpFile() const {
    return QString::fromStdString(folders_.program) + u'/' + QLatin1String(ClsHelp::HelpFileName);
}

void DlgMain::Form_Load(FileSystem& files) {
    Trap(kForm, "Form_Load", [&] {
        resize(TwipsToPixelsX(kWidthTwips, this), TwipsToPixelsY(kHeightTwips, this));
        setMinimumSize(TwipsToPixelsX(kWidthTwips, this), TwipsToPixelsY(kMinHeightTwips, this));
        activated_ = false;
        global_ = std::make_unique<ClsGlobal>(folders_, files);
        changes_ = std::make_unique<StoreChanges>(*global_);
        dialog_ = std::make_unique<ClsDialog>();
        date_ = std::make_unique<ClsDate>();
        help_ = std::make_unique<ClsHelp>(windowing_);
        popup_ = std::make_unique<ClsPopupMenu>(windowing_);
        rebuild_ = std::make_unique<RebuildCache>();
        autoSave_ = std::make_unique<AutoSave>(*global_, *changes_);
        connect(autoSave_.get(), &AutoSave::Finished, this, &DlgMain::ShowSaveState);

        auto* central = new QWidget(this);
        setCentralWidget(central);
        sched_ = new ScheduleGrid(central);
        sched_->installEventFilter(this);
        zoom_ = new QSlider(Qt::Vertical, central);
        zoom_->setRange(ScheduleGrid::ResolutionMinimum(), ScheduleGrid::ResolutionMaximum());
        zoom_->setToolTip(tr("Schedule resolution"));
        // Over the grid's bars the bare groove is hard to see: give it a panel of its own.
        zoom_->setAutoFillBackground(true);
        zoom_->setStyleSheet(
            QStringLiteral("QSlider { background: palette(window); border: 1px solid palette(mid); "
                           "border-radius: 3px; padding: 4px 2px; }"));
        zoom_->hide();
        zoom_->installEventFilter(this);
        // Over the grid; Escape or a click elsewhere closes it without choosing.
        selMonth_ = new QCalendarWidget(this);
        selMonth_->setWindowFlags(Qt::Popup);
        selMonth_->setFirstDayOfWeek(Qt::Monday);
        selMonth_->setGridVisible(true);
        selMonth_->adjustSize();
        selMonth_->hide();
        BuildActions();
        BuildMenus();
        BuildToolBar();
        BuildStatusBar();

        connect(sched_, &ScheduleGrid::BarAdded, this, &DlgMain::Sched_BarAdded);
        connect(sched_, &ScheduleGrid::BarLeftClick, this, &DlgMain::Sched_BarLeftClick);
        connect(sched_, &ScheduleGrid::BarDblClick, this, &DlgMain::Sched_BarDblClick);
        connect(sched_, &ScheduleGrid::BarRightClick, this, &DlgMain::Sched_BarRightClick);
        connect(sched_, &ScheduleGrid::ItemMove, this, &DlgMain::Sched_ItemMove);
        connect(sched_, &ScheduleGrid::BarPreSelect, this, &DlgMain::Sched_BarPreSelect);
        connect(sched_, &ScheduleGrid::BarPreDrop, this, &DlgMain::Sched_BarPreDrop);
        connect(sched_, &ScheduleGrid::BarChanged, this, &DlgMain::Sched_BarChanged);
        connect(sched_, &ScheduleGrid::ScrollTrack, this, &DlgMain::Sched_ScrollTrack);
        connect(sched_, &ScheduleGrid::GotFocus, this, &DlgMain::Sched_GotFocus);
        connect(selMonth_, &QCalendarWidget::activated, this, &DlgMain::SelMonth_DblClick);
        connect(zoom_, &QSlider::valueChanged, this, &DlgMain::Zoom_Change);

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

void DlgMain::BuildActions() {
    MakeActions(this, kCommands, actions_);
    Action(Command::FilePrint)->setShortcut(QKeySequence::Print);
    Action(Command::FileExit)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Action(Command::ApptSearch)->setShortcut(QKeySequence::Find);
    Action(Command::SchedToday)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    Action(Command::SchedView)->setShortcut(QKeySequence(Qt::Key_F5));
    Action(Command::HelpMain)->setShortcut(QKeySequence(Qt::Key_F1));
}

void DlgMain::BuildMenus() {
    auto menu = [this](const QString& title, std::initializer_list<Command> commands,
                       int separatorBefore = -1) {
        QMenu* m = menuBar()->addMenu(title);
        int i = 0;
        for (Command c : commands) {
            if (i++ == separatorBefore) {
                m->addSeparator();
            }
            m->addAction(Action(c));
        }
    };
    menu(tr("&File"), {Command::FileConfigure, Command::FilePrint, Command::FileExit}, 1);
    menu(tr("&Appointment"),
         {Command::ApptAdd, Command::ApptEdit, Command::ApptDelete, Command::ApptSearch}, 3);
    menu(tr("&Resource"), {Command::ResourceAdd, Command::ResourceEdit, Command::ResourceDelete});
    menu(tr("&Schedule"),
         {Command::SchedDate, Command::SchedToday, Command::SchedView, Command::SchedZoom}, 2);
    menu(tr("&Help"),
         {Command::HelpContents, Command::HelpMain, Command::HelpNavigate, Command::HelpAbout}, 3);
}

void DlgMain::BuildToolBar() {
    toolBar_ = new KeyedToolBar(this);
    toolBar_->setObjectName("ToolBar");
    addToolBar(toolBar_);
    AddToolButtons(toolBar_, kToolButtons);
    connect(toolBar_, &KeyedToolBar::ButtonClick, this, &DlgMain::ToolBar_ButtonClick);
}

DropDownToolButton* DlgMain::ToolButton(const QString& key) const {
    return toolBar_->Button(key);
}

void DlgMain::BuildStatusBar() {
    for (size_t i = 0; i < statusPanels_.size(); ++i) {
        auto* panel = new QLabel(statusBar());
        panel->setMinimumWidth(i < 2 ? 140 : 60);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(panel, i == 0 ? 2 : 1);
        statusPanels_[i] = panel;
    }
    saveState_ = new QLabel(statusBar());
    saveState_->setStyleSheet(QStringLiteral("QLabel { color: #b00020; font-weight: bold; }"));
    saveState_->hide();
    statusBar()->addPermanentWidget(saveState_);
}

QString DlgMain::StatusPanel(const QString& key) const {
    for (size_t i = 0; i < statusPanels_.size(); ++i) {
        if (key == kStatusPanels[i]) {
            return statusPanels_[i]->text();
        }
    }
    return QString();
}

QString DlgMain::SaveStatus() const {
    return saveState_->isHidden() ? QString() : saveState_->text();
}

void DlgMain::ShowSaveState() {
    const SaveResult& failure = autoSave_->State().Failure();
    if (failure.Ok()) {
        saveState_->clear();
        saveState_->hide();
        return;
    }
    QStringList files;
    for (size_t i = 0; i < failure.failedFiles.size(); ++i) {
        files << QStringLiteral("%1 (%2)").arg(
            QString::fromStdString(failure.failedFiles[i]),
            QString::fromStdString(failure.errors[i].description));
    }
    saveState_->setText(tr("Not saved: %1. Trying again within a minute.").arg(files.join(", ")));
    saveState_->setToolTip(
        tr("The files named keep their previous contents in %1; the details are in %2.")
            .arg(QString::fromStdString(folders_.Data()),
                 QString::fromStdString(folders_.LogFile())));
    saveState_->show();
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
            CreateSampleData(*changes_, *date_);
        }
        int32_t today = date_->Today();
        SetScheduleDates(today);
        ReportLoadProblems();
    });
}

void DlgMain::ReportLoadProblems() {
    if (global_->LoadProblems().empty()) {
        return;
    }
    windowing_.MessageBox(this, DescribeLoadProblems(global_->LoadProblems(), folders_),
                          tr("Tidemar PE"), IWindowing::Icon::Exclamation, IWindowing::Buttons::Ok);
}

void DlgMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void DlgMain::Form_Resize() {
    if (isMinimized() || sched_ == nullptr) {
        return;
    }
    Trap(kForm, "Form_Resize", [&] {
        // The minimum size of the normal window is held by setMinimumSize; Qt's frame,
        // menu, toolbar and status bar lie outside the client area the grid fills.
        QWidget* central = centralWidget();
        int mx = TwipsToPixelsX(kGridMarginTwips, this);
        int my = TwipsToPixelsY(kGridMarginTwips, this);
        sched_->setGeometry(mx, my, qMax(0, central->width() - 2 * mx),
                            qMax(0, central->height() - 2 * my));
        if (zoom_->isVisible()) {
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
        SaveResult result = autoSave_->Flush();
        if (result.Ok()) {
            break;
        }
        QStringList files;
        for (size_t i = 0; i < result.failedFiles.size(); ++i) {
            files << QStringLiteral("%1 (%2)").arg(
                QString::fromStdString(result.failedFiles[i]),
                QString::fromStdString(result.errors[i].description));
        }
        QString text =
            tr("Tidemar PE could not save your data.\n\nNot written: %1\nin %2\n\nThese files "
               "keep their previous contents; the details are in %3. Choose Retry to try "
               "again, or Cancel to close without saving.")
                .arg(files.join(", "), QString::fromStdString(folders_.Data()),
                     QString::fromStdString(folders_.LogFile()));
        if (windowing_.MessageBox(this, text, tr("Error!"), IWindowing::Icon::Exclamation,
                                  IWindowing::Buttons::RetryCancel) != IWindowing::Answer::Retry) {
            break;
        }
    }
}

bool DlgMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == zoom_ && event->type() == QEvent::FocusOut) {
        zoom_->hide();
    }
    return QMainWindow::eventFilter(watched, event);
}

void DlgMain::HideZoom() {
    zoom_->hide();
}

void DlgMain::PopupCommands(const std::array<Command, 3>& commands) {
    QStringList captions;
    QString enable;
    for (Command c : commands) {
        captions << Action(c)->text().remove(u'&');
        enable += Action(c)->isEnabled() ? '1' : '0';
    }
    int32_t chosen = popup_->Popup(enable, captions);
    if (chosen >= 1 && chosen <= static_cast<int32_t>(commands.size())) {
        Action(commands[static_cast<size_t>(chosen - 1)])->trigger();
    }
}

void DlgMain::ToolBar_ButtonClick(const QString& key, bool flag) {
    Trap(kForm, "ToolBar_ButtonClick", [&] {
        const ToolButtonDef* def = ToolButtonOf(kToolButtons, key);
        if (def == nullptr) {
            return;
        }
        // A plain click runs the button's command; the drop-down part offers its menu.
        if (!def->hasDropDown || !flag) {
            Action(def->command)->trigger();
            return;
        }
        PopupCommands(def->dropDown);
    });
}
