#include "report/DlgPreview.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QLabel>
#include <QMenuBar>
#include <QPrinterInfo>
#include <QSlider>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

#include "datetime/ClsDate.h"
#include "platform/Twips.h"
#include "report/ClsGanttReport.h"
#include "report/ReportDocument.h"
#include "report/ReportTrap.h"
#include "report/ReportView.h"
#include "store/ClsGlobal.h"
#include "ui/ScheduleView.h"
#include "widgets/KeyedToolBar.h"

namespace {

using Command = DlgPreview::Command;

constexpr const char* kForm = "DlgPreview";
constexpr double kWidthTwips = 6645;
constexpr double kHeightTwips = 4770;
constexpr double kMarginTwips = 120;
constexpr double kSliderTwips = 360;
constexpr int kHelpContext = 8;

constexpr const char* kSizes = "&Options>Page &size";
using P = DlgPreview;
// clang-format off
const CommandRow<DlgPreview> kCommands[] = {
    {Command::FilePrint, "&File", "&Print", QKeySequence::Print, Cmd::Plain,
     "Print", "Print", &P::mnuFilePrint_Click},
    {Command::FileSavePdf, "&File", "Save as P&DF...", Qt::CTRL | Qt::SHIFT | Qt::Key_S, Cmd::Plain,
     nullptr, nullptr, &P::mnuFileSavePdf_Click},
    {Command::FileExit, "&File", "E&xit", Qt::Key_Escape, Cmd::SeparatorBefore,
     "Exit", "Exit", &P::mnuFileExit_Click},
    {Command::ViewDay, "&View", "&Day", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuViewType_Click, 0}},
    {Command::ViewWeek, "&View", "&Week", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuViewType_Click, 1}},
    {Command::ViewMonth, "&View", "&Month", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuViewType_Click, 2}},
    {Command::ViewZoomIn, "&View", "Zoom &in", QKeySequence::ZoomIn, Cmd::SeparatorBefore,
     nullptr, nullptr, {&P::mnuViewZoom_Click, 1}},
    {Command::ViewZoomOut, "&View", "Zoom &out", QKeySequence::ZoomOut, Cmd::Plain,
     nullptr, nullptr, {&P::mnuViewZoom_Click, -1}},
    {Command::DateCalendar, "&Date", "&Calendar", {}, Cmd::Plain,
     "Calendar", "Calendar", &P::mnuDateCalendar_Click},
    {Command::DateToday, "&Date", "&Today", Qt::CTRL | Qt::Key_T, Cmd::Plain,
     "Today", "Today", &P::mnuDateToday_Click},
    {Command::DatePrevWeek, "&Date", "Previous &week", Qt::CTRL | Qt::SHIFT | Qt::Key_Left, Cmd::SeparatorBefore,
     "PrevWeek", "Previous week", &P::mnuDatePrevWeek_Click},
    {Command::DatePrevDay, "&Date", "&Previous day", Qt::CTRL | Qt::Key_Left, Cmd::Plain,
     "PrevDay", "Previous day", &P::mnuDatePrevDay_Click},
    {Command::DateNextDay, "&Date", "&Next day", Qt::CTRL | Qt::Key_Right, Cmd::Plain,
     "NextDay", "Next day", &P::mnuDateNextDay_Click},
    {Command::DateNextWeek, "&Date", "Ne&xt week", Qt::CTRL | Qt::SHIFT | Qt::Key_Right, Cmd::Plain,
     "NextWeek", "Next week", &P::mnuDateNextWeek_Click},
    {Command::PageFirstPage, "&Page", "&First page", Qt::CTRL | Qt::Key_Home, Cmd::Plain,
     nullptr, nullptr, &P::mnuPageFirstPage_Click},
    {Command::PageLastPage, "&Page", "&Last page", Qt::CTRL | Qt::Key_End, Cmd::Plain,
     nullptr, nullptr, &P::mnuPageLastPage_Click},
    {Command::PagePrev, "&Page", "&Previous page", Qt::Key_PageUp, Cmd::SeparatorBefore,
     "PrevPage", "Previous page", &P::mnuPagePrev_Click},
    {Command::PageNext, "&Page", "&Next page", Qt::Key_PageDown, Cmd::Plain,
     "NextPage", "Next page", &P::mnuPageNext_Click},
    // The access keys of the page sizes all differ. A digit is an A size's (4 is A4, never
    // B4); the B sizes take letters.
    {Command::PageSizeLetter, kSizes, "&Letter (8.5x11 in)", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuPageSize_Click, 0}},
    {Command::PageSizeLegal, kSizes, "Le&gal (8.5x14 in)", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuPageSize_Click, 1}},
    {Command::PageSizeExecutive, kSizes, "&Executive (7.5x10.5 in)", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuPageSize_Click, 2}},
    {Command::PageSizeTabloid, kSizes, "&Tabloid (11x17 in)", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuPageSize_Click, 3}},
    {Command::PageSizeLedger, kSizes, "Le&dger (17x11 in)", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuPageSize_Click, 4}},
    {Command::PageSizeStatement, kSizes, "&Statement (5.5x8.5 in)", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuPageSize_Click, 5}},
    {Command::PageSizeFolio, kSizes, "&Folio (8.5x13 in)", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuPageSize_Click, 6}},
    {Command::PageSizeA3, kSizes, "A&3 (297x420 mm)", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuPageSize_Click, 7}},
    {Command::PageSizeA4, kSizes, "A&4 (210x297 mm)", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuPageSize_Click, 8}},
    {Command::PageSizeA5, kSizes, "A&5 (148x210 mm)", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuPageSize_Click, 9}},
    {Command::PageSizeB4, kSizes, "&B4 (250x354 mm)", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuPageSize_Click, 10}},
    {Command::PageSizeB5, kSizes, "B5 (182&x257 mm)", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuPageSize_Click, 11}},
    {Command::PageSizeQuarto, kSizes, "&Quarto (215x275 mm)", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuPageSize_Click, 12}},
    {Command::OptColorPrint, "&Options", "&Color printing", {}, Cmd::Checkable | Cmd::SeparatorBefore,
     nullptr, nullptr, &P::mnuOptColorPrint_Click},
    {Command::OptPortrait, "&Options", "&Portrait", {}, Cmd::Checkable | Cmd::SeparatorBefore,
     nullptr, nullptr, {&P::mnuOptMode_Click, 0}},
    {Command::OptLandscape, "&Options", "&Landscape", {}, Cmd::Checkable,
     nullptr, nullptr, {&P::mnuOptMode_Click, 1}},
    {Command::Help, "&Help", "&Help", Qt::Key_F1, Cmd::Plain,
     "Help", "Help", &P::mnuHelp_Click},
};
// clang-format on
static_assert(static_cast<int>(Command::PageSizeQuarto) -
                  static_cast<int>(Command::PageSizeLetter) + 1 ==
              PaperSize::Count);

} // namespace

DlgPreview::DlgPreview(const Services& services, const ScheduleView& schedule, RowsSource rows,
                       WindowState::Place& place)
    : QDialog(services.owner), services_(services), schedule_(schedule), rows_(std::move(rows)),
      place_(place), canvas_(std::make_unique<ReportDocument>()),
      report_(std::make_unique<ClsGanttReport>(*canvas_, services.store, services.date)),
      printerFinder_([] { return QPrinterInfo::defaultPrinterName(); }),
      commands_(*this, services.windowing, kCommands),
      frame_(*this, {[this] { Form_Load(); }, [this] { Form_Activate(); }}, services_, kHelpContext,
             this) {
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
    zoomSlide_->setAccessibleName(tr("Zoom"));
    zoomSlide_->setAccessibleDescription(zoomSlide_->toolTip());
    // Over the canvas; Escape or a click elsewhere closes it without choosing.
    monthView_ = new QCalendarWidget(this);
    monthView_->setWindowFlags(Qt::Popup);
    monthView_->setFirstDayOfWeek(Qt::Monday);
    monthView_->setGridVisible(true);
    monthView_->setAccessibleName(tr("Report date"));
    monthView_->setAccessibleDescription(
        tr("The first date of the report: Enter takes the date, Escape closes"));
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

    commands_.BuildMenus(menuBar_);
    commands_.BuildToolBar(toolbar_,
                           "Exit Print | PrevWeek PrevDay Calendar Today NextDay NextWeek | "
                           "PrevPage NextPage | Help",
                           *this, &DlgPreview::ToolBar_ButtonClick);

    report_->onStatus = [this](const QString& text) { SetStatus(text); };
    report_->onPageLabel = [this](const QString& text) { SetPageLabel(text); };
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
    if (services.owner != nullptr) {
        services.owner->installEventFilter(this);
    }
}

DlgPreview::~DlgPreview() = default;

QString DlgPreview::StatusPanel() const {
    return msg_->text();
}

void DlgPreview::SetStatus(const QString& text) {
    msg_->setText(text);
    // A narrow window cuts a long text (a file's path): the whole of it on pointing.
    msg_->setToolTip(text);
}

// --- lifecycle ----------------------------------------------------------------------

bool DlgPreview::event(QEvent* event) {
    frame_.Event(event);
    return QDialog::event(event);
}

void DlgPreview::Form_Load() {
    ReportTrap(kForm, "Form_Load", [&] {
        // Where it was left, or at first over most of the main window's screen.
        const QWidget* owner = parentWidget();
        WindowState::Apply(*this, place_, owner != nullptr ? owner->geometry().center() : QPoint());
        SetPageLabel(QString());
        SetStatus(QString());
    });
}

namespace {
// A stored setting the menus do not offer counts as the first item.
int16_t ItemOrFirst(int16_t value, int16_t count) {
    return value >= 0 && value < count ? value : 0;
}
} // namespace

void DlgPreview::Form_Activate() {
    if (!frame_.FirstActivation()) {
        return;
    }
    ClsGanttReport::State& state = report_->state;
    ReportTrap(kForm, "Form_Activate", [&] {
        state.busy = true;
        state.startDay = schedule_.DateFirst();
        report_->SetSchedule(rows_());
        state.nameWidth = ClsGanttReport::NameWidthFor(report_->Schedule().listWidth);
        const ClsGlobal& store = services_.store;
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
    if (watched == services_.owner && event->type() == QEvent::Hide && !event->spontaneous() &&
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
    frame_.Unload();
    monthView_->hide();
    place_ = {normalGeometry(), isMaximized()};
    done(QDialog::Accepted);
}

void DlgPreview::mnuFileExit_Click() {
    ReportTrap(kForm, "mnuFileExit_Click", [&] { Form_Unload(); });
}
