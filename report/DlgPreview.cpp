#include "report/DlgPreview.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrinterInfo>
#include <QShowEvent>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "datetime/ClsDate.h"
#include "grid/ScheduleGrid.h"
#include "platform/Twips.h"
#include "report/ClsGanttReport.h"
#include "report/ReportDocument.h"
#include "report/ReportTrap.h"
#include "report/ReportView.h"
#include "schedule/DlgMain.h"
#include "schedule/WindowState.h"
#include "store/ClsGlobal.h"
#include "widgets/DropDownToolButton.h"
#include "widgets/KeyedToolBar.h"

namespace {

using Command = DlgPreview::Command;

constexpr const char* kForm = "DlgPreview";
constexpr double kWidthTwips = 6645;
constexpr double kHeightTwips = 4770;
constexpr double kMarginTwips = 120;
constexpr double kSliderTwips = 360;

struct CommandDef {
    Command command;
    const char* caption; // "&" marks the access key
    void (DlgPreview::*handler)();
    void (DlgPreview::*indexed)(int); // for the items of a menu control array
    int index;
    bool checkable;
};
const CommandDef kCommands[] = {
    {Command::FilePrint, "&Print", &DlgPreview::mnuFilePrint_Click, nullptr, 0, false},
    {Command::FileSavePdf, "Save as P&DF...", &DlgPreview::mnuFileSavePdf_Click, nullptr, 0, false},
    {Command::FileExit, "E&xit", &DlgPreview::mnuFileExit_Click, nullptr, 0, false},
    {Command::ViewDay, "&Day", nullptr, &DlgPreview::mnuViewType_Click, 0, true},
    {Command::ViewWeek, "&Week", nullptr, &DlgPreview::mnuViewType_Click, 1, true},
    {Command::ViewMonth, "&Month", nullptr, &DlgPreview::mnuViewType_Click, 2, true},
    {Command::DateCalendar, "&Calendar", &DlgPreview::mnuDateCalendar_Click, nullptr, 0, false},
    {Command::DateToday, "&Today", &DlgPreview::mnuDateToday_Click, nullptr, 0, false},
    {Command::DatePrevWeek, "Previous &week", &DlgPreview::mnuDatePrevWeek_Click, nullptr, 0,
     false},
    {Command::DatePrevDay, "&Previous day", &DlgPreview::mnuDatePrevDay_Click, nullptr, 0, false},
    {Command::DateNextDay, "&Next day", &DlgPreview::mnuDateNextDay_Click, nullptr, 0, false},
    {Command::DateNextWeek, "Ne&xt week", &DlgPreview::mnuDateNextWeek_Click, nullptr, 0, false},
    {Command::PageFirstPage, "&First page", &DlgPreview::mnuPageFirstPage_Click, nullptr, 0, false},
    {Command::PageLastPage, "&Last page", &DlgPreview::mnuPageLastPage_Click, nullptr, 0, false},
    {Command::PagePrev, "&Previous page", &DlgPreview::mnuPagePrev_Click, nullptr, 0, false},
    {Command::PageNext, "&Next page", &DlgPreview::mnuPageNext_Click, nullptr, 0, false},
    {Command::OptColorPrint, "&Color printing", &DlgPreview::mnuOptColorPrint_Click, nullptr, 0,
     true},
    {Command::OptPortrait, "&Portrait", nullptr, &DlgPreview::mnuOptMode_Click, 0, true},
    {Command::OptLandscape, "&Landscape", nullptr, &DlgPreview::mnuOptMode_Click, 1, true},
    {Command::Help, "&Help", &DlgPreview::mnuHelp_Click, nullptr, 0, false},
};

// The page size items' access keys, one per item, all different. A digit is an A size's
// (4 is A4, never B4); the B sizes take letters.
const char* const kPageSizeCaptions[PaperSize::Count] = {
    "&Letter (8.5x11 in)", "Le&gal (8.5x14 in)", "&Executive (7.5x10.5 in)",
    "&Tabloid (11x17 in)", "Le&dger (17x11 in)", "&Statement (5.5x8.5 in)",
    "&Folio (8.5x13 in)",  "A&3 (297x420 mm)",   "A&4 (210x297 mm)",
    "A&5 (148x210 mm)",    "&B4 (250x354 mm)",   "B5 (182&x257 mm)",
    "&Quarto (215x275 mm)"};

struct ToolButtonDef {
    const char* key;
    bool separatorBefore;
    Command command;
};
const ToolButtonDef kToolButtons[] = {
    {"Exit", false, Command::FileExit},
    {"Print", false, Command::FilePrint},
    {"PrevWeek", true, Command::DatePrevWeek},
    {"PrevDay", false, Command::DatePrevDay},
    {"Calendar", false, Command::DateCalendar},
    {"Today", false, Command::DateToday},
    {"NextDay", false, Command::DateNextDay},
    {"NextWeek", false, Command::DateNextWeek},
    {"PrevPage", true, Command::PagePrev},
    {"NextPage", false, Command::PageNext},
    {"Help", true, Command::Help},
};

} // namespace

DlgPreview::DlgPreview(DlgMain& main)
    : QDialog(&main), main_(main), canvas_(std::make_unique<ReportDocument>()),
      report_(std::make_unique<ClsGanttReport>(*canvas_, main.Global(), main.Date())),
      printerFinder_([] { return QPrinterInfo::defaultPrinterName(); }) {
    setWindowTitle(tr("Print Preview"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setMinimumSize(TwipsToPixelsX(kWidthTwips, this), TwipsToPixelsY(kHeightTwips, this));

    menuBar_ = new QMenuBar(this);
    toolbar_ = new KeyedToolBar(this);
    toolbar_->setObjectName("Toolbar");
    area_ = new QWidget(this);
    area_->installEventFilter(this);
    view_ = new ReportView(area_);
    view_->SetDocument(canvas_.get());
    zoomSlide_ = new QSlider(Qt::Vertical, area_);
    zoomSlide_->setRange(ReportView::ZoomMinimum, ReportView::ZoomMaximum);
    zoomSlide_->setPageStep(5);
    zoomSlide_->setTickPosition(QSlider::TicksLeft);
    zoomSlide_->setTickInterval(10);
    zoomSlide_->setToolTip(tr("Zoom: at the bottom the whole page, then 10% to 400%"));
    // Over the canvas; Escape or a click elsewhere closes it without choosing.
    monthView_ = new QCalendarWidget(this);
    monthView_->setWindowFlags(Qt::Popup);
    monthView_->setFirstDayOfWeek(Qt::Monday);
    monthView_->setGridVisible(true);
    monthView_->adjustSize();
    monthView_->hide();
    statusBar_ = new QStatusBar(this);
    statusBar_->setSizeGripEnabled(true);
    msg_ = new QLabel(statusBar_);
    statusBar_->addWidget(msg_, 1);
    lblPage_ = new QLabel(statusBar_);
    lblPage_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblPage_->setMinimumWidth(TwipsToPixelsX(1485, this));
    statusBar_->addPermanentWidget(lblPage_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(toolbar_);
    layout->addWidget(area_, 1);
    layout->addWidget(statusBar_);

    BuildActions();
    BuildMenus();
    BuildToolBar();

    report_->onStatus = [this](const QString& text) { SetStatus(text); };
    report_->onPageLabel = [this](const QString& text) { lblPage_->setText(text); };
    report_->onRefresh = [this] { view_->Refresh(); };

    connect(zoomSlide_, &QSlider::valueChanged, this, &DlgPreview::ZoomSlide_Change);
    connect(monthView_, &QCalendarWidget::activated, this, [this](const QDate& date) {
        MonthView_DateDblClick(ClsDate::DayNumberFromCivil(date.year(), date.month(), date.day()));
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (monthView_->isVisible() && (now == nullptr || !monthView_->isAncestorOf(now))) {
            MonthView_LostFocus();
        }
    });
    // The window goes with the main window, however that closes.
    main.installEventFilter(this);
}

DlgPreview::~DlgPreview() = default;

void DlgPreview::BuildActions() {
    for (const CommandDef& def : kCommands) {
        auto* action = new QAction(tr(def.caption), this);
        action->setCheckable(def.checkable);
        if (def.handler != nullptr) {
            connect(action, &QAction::triggered, this, def.handler);
        } else {
            connect(action, &QAction::triggered, this,
                    [this, def] { (this->*def.indexed)(def.index); });
        }
        actions_[static_cast<size_t>(def.command)] = action;
        addAction(action);
    }
    for (int i = 0; i < PaperSize::Count; ++i) {
        auto* action = new QAction(tr(kPageSizeCaptions[i]), this);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, i] { mnuPageSize_Click(i); });
        pageSizes_[static_cast<size_t>(i)] = action;
    }
    Action(Command::FilePrint)->setShortcut(QKeySequence::Print);
    Action(Command::FileSavePdf)->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    Action(Command::FileExit)->setShortcut(QKeySequence(Qt::Key_Escape));
    Action(Command::DateToday)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    Action(Command::DatePrevDay)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Left));
    Action(Command::DateNextDay)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Right));
    Action(Command::DatePrevWeek)->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left));
    Action(Command::DateNextWeek)->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right));
    Action(Command::PageFirstPage)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Home));
    Action(Command::PageLastPage)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_End));
    Action(Command::PagePrev)->setShortcut(QKeySequence(Qt::Key_PageUp));
    Action(Command::PageNext)->setShortcut(QKeySequence(Qt::Key_PageDown));
    Action(Command::Help)->setShortcut(QKeySequence(Qt::Key_F1));
}

void DlgPreview::BuildMenus() {
    auto add = [this](QMenu* menu, std::initializer_list<Command> commands) {
        for (Command c : commands) {
            menu->addAction(Action(c));
        }
    };
    QMenu* file = menuBar_->addMenu(tr("&File"));
    add(file, {Command::FilePrint, Command::FileSavePdf});
    file->addSeparator();
    add(file, {Command::FileExit});
    add(menuBar_->addMenu(tr("&View")), {Command::ViewDay, Command::ViewWeek, Command::ViewMonth});
    QMenu* date = menuBar_->addMenu(tr("&Date"));
    add(date, {Command::DateCalendar, Command::DateToday});
    date->addSeparator();
    add(date,
        {Command::DatePrevWeek, Command::DatePrevDay, Command::DateNextDay, Command::DateNextWeek});
    QMenu* page = menuBar_->addMenu(tr("&Page"));
    add(page, {Command::PageFirstPage, Command::PageLastPage});
    page->addSeparator();
    add(page, {Command::PagePrev, Command::PageNext});
    QMenu* options = menuBar_->addMenu(tr("&Options"));
    QMenu* sizes = options->addMenu(tr("Page &size"));
    for (QAction* size : pageSizes_) {
        sizes->addAction(size);
    }
    options->addSeparator();
    add(options, {Command::OptColorPrint});
    options->addSeparator();
    add(options, {Command::OptPortrait, Command::OptLandscape});
    add(menuBar_->addMenu(tr("&Help")), {Command::Help});
}

void DlgPreview::BuildToolBar() {
    for (const ToolButtonDef& def : kToolButtons) {
        if (def.separatorBefore) {
            toolbar_->addSeparator();
        }
        toolbar_->AddButton(def.key, Action(def.command)->text().remove(u'&'));
    }
    connect(toolbar_, &KeyedToolBar::ButtonClick, this, &DlgPreview::ToolBar_ButtonClick);
}

QString DlgPreview::StatusPanel() const {
    return msg_->text();
}

void DlgPreview::SetStatus(const QString& text) {
    msg_->setText(text);
    // A narrow window cuts a long text (a file's path): the whole of it on pointing.
    msg_->setToolTip(text);
}

// --- lifecycle ----------------------------------------------------------------------

void DlgPreview::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        Form_Load();
    }
    QDialog::showEvent(event);
}

void DlgPreview::Form_Load() {
    ReportTrap(kForm, "Form_Load", [&] {
        activated_ = false;
        // Where it was left, or at first over most of the main window's screen.
        WindowState::Apply(*this, main_.PreviewPlace(), main_.geometry().center());
        lblPage_->setText(QString());
        SetStatus(QString());
    });
}

// Under a window manager the first activation arrives as an event; without one the first
// showing stands in for it.
bool DlgPreview::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate || (event->type() == QEvent::Show && !activated_)) {
        QTimer::singleShot(0, this, [this] {
            if (!activated_ && isVisible()) {
                Form_Activate();
            }
        });
    }
    return QDialog::event(event);
}

namespace {
// A stored setting the menus do not offer counts as the first item.
int16_t ItemOrFirst(int16_t value, int16_t count) {
    return value >= 0 && value < count ? value : 0;
}
} // namespace

void DlgPreview::Form_Activate() {
    if (activated_) {
        return;
    }
    ClsGanttReport::State& state = report_->state;
    ReportTrap(kForm, "Form_Activate", [&] {
        activated_ = true;
        state.busy = true;
        const ScheduleGrid& sched = *main_.Sched();
        state.startDay = sched.DateFirst();
        report_->SetSchedule(ScheduleRows::FromGrid(sched));
        state.nameWidth = ClsGanttReport::NameWidthFor(sched.ListWidth());
        const ClsGlobal& store = main_.Global();
        state.colorPrint = store.Option(5);
        Action(Command::OptColorPrint)->setChecked(state.colorPrint);
        mnuOptMode_Click(ItemOrFirst(store.PrintOrientation(), 2));
        mnuViewType_Click(ItemOrFirst(store.PreviewViewType(), 3));
        mnuPageSize_Click(ItemOrFirst(store.PrintPageSize(), PaperSize::Count));
        {
            const QSignalBlocker quiet(zoomSlide_);
            zoomSlide_->setValue(store.PreviewZoom());
        }
        ZoomSlide_Change(zoomSlide_->value());
    });
    // A failed step above must not leave the report switched off for the whole showing.
    state.busy = false;
    report_->ShowReport();
}

void DlgPreview::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void DlgPreview::Form_Resize() {
    if (isMinimized() || view_ == nullptr) {
        return;
    }
    ReportTrap(kForm, "Form_Resize", [&] {
        // The canvas fills the space between toolbar and status bar but for a margin and the
        // zoom slider, which stands at its right edge with its height.
        const int mx = TwipsToPixelsX(kMarginTwips, this);
        const int my = TwipsToPixelsY(kMarginTwips, this);
        const int slider =
            std::max(zoomSlide_->sizeHint().width(), TwipsToPixelsX(kSliderTwips, this));
        const int width = std::max(0, area_->width() - 2 * mx - slider);
        const int height = std::max(0, area_->height() - 2 * my);
        view_->setGeometry(mx, my, width, height);
        zoomSlide_->setGeometry(view_->x() + view_->width(), my, slider, height);
    });
}

bool DlgPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_ && event->type() == QEvent::Resize) {
        Form_Resize();
    }
    // Closed or hidden by the program, not minimised by the window system.
    if (watched == &main_ && event->type() == QEvent::Hide && !event->spontaneous() &&
        isVisible()) {
        Form_Unload();
    }
    return QDialog::eventFilter(watched, event);
}

// The close box and Escape leave as Exit does.
void DlgPreview::reject() {
    mnuFileExit_Click();
}

void DlgPreview::Form_Unload() {
    activated_ = false;
    monthView_->hide();
    main_.SetPreviewPlace({normalGeometry(), isMaximized()});
    done(QDialog::Accepted);
}

void DlgPreview::mnuFileExit_Click() {
    ReportTrap(kForm, "mnuFileExit_Click", [&] { Form_Unload(); });
}
