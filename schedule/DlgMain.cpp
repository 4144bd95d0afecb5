#include "schedule/DlgMain.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScopeGuard>
#include <QSlider>
#include <QStatusBar>

#include <algorithm>
#include <iterator>
#include <unordered_set>

#include "datetime/ClsDate.h"
#include "grid/ScheduleGrid.h"
#include "platform/IWindowing.h"
#include "platform/Icons.h"
#include "platform/PaletteInk.h"
#include "platform/Twips.h"
#include "schedule/AutoSave.h"
#include "schedule/DlgAbout.h"
#include "schedule/GridBarPlacer.h"
#include "schedule/LoadReport.h"
#include "schedule/ScheduleGridView.h"
#include "store/ClsGlobal.h"
#include "store/FileSystem.h"
#include "store/SampleData.h"
#include "store/StoreChanges.h"
#include "sync/CalDavSync.h"
#include "ui/ClsDialog.h"
#include "ui/ClsHelp.h"
#include "ui/CommandTable.h"
#include "ui/EditHistory.h"
#include "ui/RebuildCache.h"
#include "ui/SeriesPlace.h"
#include "ui/Services.h"
#include "ui/Trap.h"
#include "ui/WindowFrame.h"
#include "widgets/DropDownToolButton.h"
#include "widgets/KeyedToolBar.h"

namespace {
using Command = DlgMain::Command;

constexpr const char* kForm = "DlgMain";
constexpr double kWidthTwips = 7605;
constexpr double kHeightTwips = 5070;
constexpr double kMinHeightTwips = 4545;
constexpr double kGridMarginTwips = 120;

using M = DlgMain;
// clang-format off
const CommandRow<DlgMain> kCommands[] = {
    {Command::FileConfigure, "&File", "&Configure", {}, Cmd::Plain,
     "Configure", "Configuration", &M::mnuFileConfigure_Click},
    {Command::FileCalendarServer, "&File", "Calendar &server...", {}, Cmd::Plain,
     nullptr, nullptr, &M::mnuFileCalendarServer_Click},
    {Command::FilePrint, "&File", "&Print", QKeySequence::Print, Cmd::SeparatorBefore,
     "Print", "Print", &M::mnuFilePrint_Click},
    {Command::FileImport, "&File", "&Import...", {}, Cmd::SeparatorBefore,
     nullptr, nullptr, &M::mnuFileImport_Click},
    {Command::FileExport, "&File", "&Export...", {}, Cmd::Plain,
     nullptr, nullptr, &M::mnuFileExport_Click},
    {Command::FileExit, "&File", "E&xit", Qt::CTRL | Qt::Key_Q, Cmd::SeparatorBefore,
     "Exit", "Exit", &M::mnuFileExit_Click},
    {Command::EditUndo, "&Edit", "&Undo", Qt::CTRL | Qt::Key_Z, Cmd::Plain,
     "Undo", "Undo", &M::mnuEditUndo_Click},
    {Command::EditRedo, "&Edit", "&Redo", Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Cmd::Plain,
     "Redo", "Redo", &M::mnuEditRedo_Click},
    {Command::EditCut, "&Edit", "Cu&t", QKeySequence::Cut, Cmd::SeparatorBefore,
     nullptr, nullptr, &M::mnuEditCut_Click},
    {Command::EditCopy, "&Edit", "&Copy", QKeySequence::Copy, Cmd::Plain,
     nullptr, nullptr, &M::mnuEditCopy_Click},
    {Command::EditPaste, "&Edit", "&Paste", QKeySequence::Paste, Cmd::Plain,
     nullptr, nullptr, &M::mnuEditPaste_Click},
    {Command::EditDuplicate, "&Edit", "&Duplicate", Qt::CTRL | Qt::Key_D, Cmd::Plain,
     nullptr, nullptr, &M::mnuEditDuplicate_Click},
    {Command::ApptAdd, "&Appointment", "&Add appointment", {}, Cmd::DropDown,
     "Appointment", "Make appointment", &M::mnuApptAdd_Click},
    {Command::ApptEdit, "&Appointment", "&Edit appointment", {}, Cmd::Plain,
     nullptr, nullptr, &M::mnuApptEdit_Click},
    {Command::ApptDelete, "&Appointment", "&Delete appointment", {}, Cmd::Plain,
     nullptr, nullptr, &M::mnuApptDelete_Click},
    {Command::ApptEarlier, "&Appointment", "Move ea&rlier", Qt::ALT | Qt::Key_Left, Cmd::SeparatorBefore,
     nullptr, nullptr, &M::mnuApptEarlier_Click},
    {Command::ApptLater, "&Appointment", "Move &later", Qt::ALT | Qt::Key_Right, Cmd::Plain,
     nullptr, nullptr, &M::mnuApptLater_Click},
    {Command::ApptShorten, "&Appointment", "S&horten", Qt::ALT | Qt::SHIFT | Qt::Key_Left, Cmd::Plain,
     nullptr, nullptr, &M::mnuApptShorten_Click},
    {Command::ApptLengthen, "&Appointment", "Le&ngthen", Qt::ALT | Qt::SHIFT | Qt::Key_Right, Cmd::Plain,
     nullptr, nullptr, &M::mnuApptLengthen_Click},
    {Command::ApptRowUp, "&Appointment", "Move &up a row", Qt::ALT | Qt::Key_Up, Cmd::Plain,
     nullptr, nullptr, &M::mnuApptRowUp_Click},
    {Command::ApptRowDown, "&Appointment", "Move do&wn a row", Qt::ALT | Qt::Key_Down, Cmd::Plain,
     nullptr, nullptr, &M::mnuApptRowDown_Click},
    {Command::ApptSearch, "&Appointment", "&Search for appointment", QKeySequence::Find, Cmd::SeparatorBefore,
     "Search", "Search for appointment", &M::mnuApptSearch_Click},
    {Command::ResourceAdd, "&Resource", "&Add resource", {}, Cmd::DropDown,
     "Resource", "Resource definition", &M::mnuResourceAdd_Click},
    {Command::ResourceEdit, "&Resource", "&Edit resource", {}, Cmd::Plain,
     nullptr, nullptr, &M::mnuResourceEdit_Click},
    {Command::ResourceDelete, "&Resource", "&Delete resource", {}, Cmd::Plain,
     nullptr, nullptr, &M::mnuResourceDelete_Click},
    {Command::SchedDate, "&Schedule", "&Start date", {}, Cmd::Plain,
     "Date", "Set start date", &M::mnuSchedDate_Click},
    {Command::SchedToday, "&Schedule", "Set to &todays date/time", Qt::CTRL | Qt::Key_T, Cmd::Plain,
     "Today", "Set to todays date/time", &M::mnuSchedToday_Click},
    {Command::SchedView, "&Schedule", "Change &view", Qt::Key_F5, Cmd::SeparatorBefore,
     "View", "Change schedule view", &M::mnuSchedView_Click},
    {Command::SchedZoom, "&Schedule", "Schedule &resolution", {}, Cmd::Plain,
     "Zoom", "Adjust schedule resolution", &M::mnuSchedZoom_Click},
    {Command::SchedZoomIn, "&Schedule", "Zoom &in", QKeySequence::ZoomIn, Cmd::Plain,
     nullptr, nullptr, &M::mnuSchedZoomIn_Click},
    {Command::SchedZoomOut, "&Schedule", "Zoom &out", QKeySequence::ZoomOut, Cmd::Plain,
     nullptr, nullptr, &M::mnuSchedZoomOut_Click},
    {Command::HelpContents, "&Help", "&Contents", {}, Cmd::Plain,
     "Help", "Help", &M::mnuHelpContents_Click},
    {Command::HelpMain, "&Help", "Help for &Main Dialog", Qt::Key_F1, Cmd::Plain,
     nullptr, nullptr, &M::mnuHelpMain_Click},
    {Command::HelpNavigate, "&Help", "Help with &navigation", {}, Cmd::Plain,
     nullptr, nullptr, &M::mnuHelpNavigate_Click},
    {Command::HelpAbout, "&Help", "&About", {}, Cmd::SeparatorBefore,
     nullptr, nullptr, &M::mnuHelpAbout_Click},
};
// clang-format on
constexpr const char* kToolBarLayout = "Exit | Undo Redo | Configure Resource Appointment Date "
                                       "Today Search | View Zoom | Print | Help";
constexpr int kHelpContext = 0;
const char* const kStatusPanels[] = {"Customer", "Type", "Start", "End"};

} // namespace

DlgMain::DlgMain(IWindowing& windowing, const ProgramFolders& folders, FileSystem& files,
                 QWidget* parent)
    : QMainWindow(parent), windowing_(windowing), folders_(folders),
      commands_(*this, windowing, kCommands) {
    Form_Load(files);
}

DlgMain::DlgMain(IWindowing& windowing, const ProgramFolders& folders, QWidget* parent)
    : DlgMain(windowing, folders, FileSystem::Real(), parent) {}

// Released in the order change interface, store, dates, help, dialog helpers; the saver
// goes first, as it works on both. Not at unload: a handler still running under a pending-events
// call may use them after the window closed.
DlgMain::~DlgMain() {
    // It listens to the change interface and reads the store.
    sync_.reset();
    if (sched_ != nullptr) {
        sched_->SetBarPlacer(nullptr);
    }
    autoSave_.reset();
    history_.reset();
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
        global_ = std::make_unique<ClsGlobal>(folders_, files);
        changes_ = std::make_unique<StoreChanges>(*global_);
        history_ = std::make_unique<EditHistory>(*changes_);
        dialog_ = std::make_unique<ClsDialog>();
        date_ = std::make_unique<ClsDate>();
        help_ = std::make_unique<ClsHelp>(windowing_);
        services_ = std::make_unique<Services>(
            Services{*global_, *changes_, windowing_, *help_, HelpFile(), *date_, folders_, this});
        // The main window has no load at its showing: it loads as it is made.
        frame_ = std::make_unique<WindowFrame>(
            *this, WindowFrame::Handlers{nullptr, [this] { Form_Activate(); }}, *services_,
            kHelpContext);
        frame_->SetUpOnce();
        rebuild_ = std::make_unique<RebuildCache>();
        autoSave_ = std::make_unique<AutoSave>(*global_, *changes_);
        connect(autoSave_.get(), &AutoSave::Finished, this, &DlgMain::ShowSaveState);

        auto* central = new QWidget(this);
        setCentralWidget(central);
        sched_ = new ScheduleGrid(central);
        sched_->setAccessibleName(tr("Schedule"));
        sched_->installEventFilter(this);
        view_ = std::make_unique<ScheduleGridView>(*sched_);
        placement_ = std::make_unique<BookingPlacement>(*global_, *date_);
        barPlacer_ = std::make_unique<GridBarPlacer>(*global_, *placement_, *sched_);
        sched_->SetBarPlacer(barPlacer_.get());
        sched_->SetSeriesNote([this](int32_t id) { return SeriesPlace::Note(*global_, id); });
        // A screen reader says whose booking a bar is and of what type.
        sched_->SetBarSpeech([this](int32_t id) {
            const ClsAppointment* a = global_->Appointments().Get(id);
            if (a == nullptr) {
                return QString();
            }
            QStringList words{
                QString::fromStdString(global_->CustomerLoad(a->CustomerId())->Name()),
                QString::fromStdString(global_->TypeLoad(a->TypeId())->Name())};
            words.removeAll(QString());
            return words.join(", ");
        });
        zoom_ = new QSlider(Qt::Vertical, central);
        zoom_->setRange(ScheduleGrid::ResolutionMinimum(), ScheduleGrid::ResolutionMaximum());
        zoom_->setToolTip(tr("Schedule resolution"));
        zoom_->setAccessibleName(tr("Zoom"));
        zoom_->setAccessibleDescription(
            tr("Schedule resolution in pixels per hour; Enter or Escape closes it"));
        // Over the grid's bars the bare groove is hard to see: a panel of the window's
        // colour, whatever the theme.
        zoom_->setAutoFillBackground(true);
        zoom_->setBackgroundRole(QPalette::Window);
        zoom_->hide();
        zoom_->installEventFilter(this);
        // Over the grid; Escape or a click elsewhere closes it without choosing.
        selMonth_ = new QCalendarWidget(this);
        selMonth_->setWindowFlags(Qt::Popup);
        selMonth_->setFirstDayOfWeek(Qt::Monday);
        selMonth_->setGridVisible(true);
        selMonth_->setAccessibleName(tr("Start date"));
        selMonth_->setAccessibleDescription(
            tr("The first date the schedule shows: Enter takes the date, Escape closes"));
        selMonth_->adjustSize();
        selMonth_->hide();
        commands_.BuildMenus(menuBar());
        toolBar_ = new KeyedToolBar(this);
        toolBar_->setObjectName("ToolBar");
        addToolBar(toolBar_);
        commands_.BuildToolBar(toolBar_, kToolBarLayout, *this, &DlgMain::ToolBar_ButtonClick);
        BuildStatusBar();
        // Ctrl+Y is the other common redo key.
        commands_.Action(Command::EditRedo)
            ->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                            QKeySequence(Qt::CTRL | Qt::Key_Y)});
        connect(history_.get(), &EditHistory::Changed, this, &DlgMain::ShowHistory);
        ShowHistory();

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
        connect(sched_, &ScheduleGrid::BarKeySelect, this, &DlgMain::Sched_BarKeySelect);
        connect(sched_, &ScheduleGrid::BarKeyEdit, this, &DlgMain::Sched_BarKeyEdit);
        connect(sched_, &ScheduleGrid::BarKeyDelete, this, &DlgMain::Sched_BarKeyDelete);
        connect(sched_, &ScheduleGrid::BarDropped, this, &DlgMain::Sched_BarDropped);
        connect(sched_, &ScheduleGrid::BarDragNote, this, &DlgMain::Sched_BarDragNote);
        connect(selMonth_, &QCalendarWidget::activated, this, &DlgMain::SelMonth_DblClick);
        connect(zoom_, &QSlider::valueChanged, this, &DlgMain::Zoom_Change);

        ClsDialog::FormCenter(this, nullptr);
        setWindowTitle(QStringLiteral("Tidemar PE (%1)").arg(DlgAbout::ProgramVersion()));
        setWindowIcon(Icons::ForKey("Appointment"));
        for (size_t i = 0; i < statusPanels_.size(); ++i) {
            SetStatusPanel(i, QString());
        }
        ShowEditState();
        loaded_ = true;
        Form_Resize();
    });
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
    QFont bold = saveState_->font();
    bold.setBold(true);
    saveState_->setFont(bold);
    ShowAlertInk();
    saveState_->hide();
    statusBar()->addPermanentWidget(saveState_);
    syncState_ = new QLabel(statusBar());
    syncState_->setFrameShape(QFrame::StyledPanel);
    syncState_->setFrameShadow(QFrame::Sunken);
    syncState_->hide();
    statusBar()->addPermanentWidget(syncState_);
}

void DlgMain::SetStatusPanel(size_t index, const QString& text) {
    QLabel* panel = statusPanels_[index];
    panel->setText(text);
    const QString what = tr(kStatusPanels[index]);
    panel->setAccessibleName(text.isEmpty() ? what : QStringLiteral("%1: %2").arg(what, text));
}

void DlgMain::ShowAlertInk() {
    QPalette ink = saveState_->palette();
    ink.setColor(QPalette::WindowText, PaletteInk::Alert(palette()));
    saveState_->setPalette(ink);
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

bool DlgMain::event(QEvent* event) {
    if (frame_ != nullptr) {
        frame_->Event(event);
    }
    if (event->type() == QEvent::PaletteChange && saveState_ != nullptr) {
        ShowAlertInk();
    }
    return QMainWindow::event(event);
}

void DlgMain::Form_Activate() {
    if (!Loaded() || !frame_->FirstActivation()) {
        return;
    }
    Trap(kForm, "Form_Activate", [&] {
        if (global_->FirstRun()) {
            CreateSampleData(*changes_, *date_);
            history_->Clear(); // the sample is where the user starts, not a step to take back
        }
        int32_t today = date_->Today();
        SetScheduleDates(today);
        shownChanges_ = changes_->Subscribe([this](const ChangeSet& set) { StoreChanged(set); });
        ReportLoadProblems();
        StartSync();
    });
}

void DlgMain::ShowModal(QDialog* dialog) {
    {
        ++modalDepth_;
        const auto done = qScopeGuard([this] { --modalDepth_; });
        windowing_.ShowModal(dialog);
    }
    TellRefusals();
}

// A dialog of the window shows its changes by the rebuild after it closes, also when it is
// up without the window's own modal call.
void DlgMain::StoreChanged(const ChangeSet& set) {
    if (modalDepth_ > 0 || fillDepth_ > 0) {
        return;
    }
    for (const QDialog* dialog : findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) {
        if (dialog->isVisible()) {
            return;
        }
    }
    if (set.settings || !set.resources.empty() || !set.customers.empty() || !set.types.empty()) {
        ShowResources();
        return;
    }
    // Only bookings changed: only their resources' rows are built again.
    std::unordered_set<int32_t> resources;
    for (const RecordChange<ClsAppointment>& c : set.appointments) {
        for (const auto* a : {c.before ? &*c.before : nullptr, c.after ? &*c.after : nullptr}) {
            if (a != nullptr) {
                resources.insert(a->ResourceId());
            }
        }
    }
    // A booking joining or leaving a series changes the sign on every other booking of it:
    // the last but one to leave takes it off the one that stays.
    const auto addResourceOf = [&](int32_t id) {
        if (const ClsAppointment* a = global_->Appointments().Get(id)) {
            resources.insert(a->ResourceId());
        }
    };
    std::unordered_set<int32_t> series;
    for (const SeriesChange& c : set.series) {
        addResourceOf(c.appointmentId);
        series.insert({c.before, c.after});
    }
    series.erase(0);
    for (int32_t s : series) {
        for (int32_t id : global_->Series().Members(s)) {
            addResourceOf(id);
        }
    }
    ++fillDepth_;
    const auto done = qScopeGuard([this] { --fillDepth_; });
    selectedAppointment_ = 0;
    sched_->SetSelectedBar(0, 0);
    Trap(kForm, "ShowResources", [&] {
        rebuild_->Begin(*global_);
        for (int row = 1; row <= sched_->RowCount(); ++row) {
            if (resources.count(sched_->RowData(row)) != 0) {
                sched_->ClearBars(row);
                ShowAppointments(row);
            }
        }
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
    // The slider keeps the value it was moved to; these only put it away.
    if (watched == zoom_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
            sched_->setFocus(Qt::OtherFocusReason);
            zoom_->hide();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void DlgMain::HideZoom() {
    zoom_->hide();
}

void DlgMain::ToolBar_ButtonClick(const QString& key, bool flag) {
    Trap(kForm, "ToolBar_ButtonClick", [&] { commands_.ToolBarClick(key, flag); });
}
