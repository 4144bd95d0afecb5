#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "report/PaperSize.h"
#include "ui/CommandTable.h"
#include "ui/ScheduleRows.h"
#include "ui/Services.h"
#include "ui/WindowFrame.h"
#include "ui/WindowPlace.h"

class ClsGanttReport;
class KeyedToolBar;
class QAction;
class QCalendarWidget;
class QLabel;
class QMenuBar;
class QSlider;
class QStatusBar;
class ReportDocument;
class ReportView;
class ScheduleView;

// "Print Preview": the schedule as a paged Gantt report for a day, a week or a month, with its
// paper size, orientation, colour printing and zoom, stepped through dates and pages, printed
// or saved as PDF. Modal over the main window; it takes its first day from the schedule, its
// rows and the width of the resource column from the rows it is given, and its page settings
// from the stored settings, which it writes back on every change. The close box and Escape work
// as Exit; the window also goes when the main window does.
class DlgPreview : public QDialog {
    Q_OBJECT

public:
    // Every command of the window, in menu order; each page size is one.
    enum class Command {
        FilePrint,
        FileSavePdf,
        FileExit,
        ViewDay,
        ViewWeek,
        ViewMonth,
        ViewZoomIn,
        ViewZoomOut,
        DateCalendar,
        DateToday,
        DatePrevWeek,
        DatePrevDay,
        DateNextDay,
        DateNextWeek,
        PageFirstPage,
        PageLastPage,
        PagePrev,
        PageNext,
        PageSizeLetter,
        PageSizeLegal,
        PageSizeExecutive,
        PageSizeTabloid,
        PageSizeLedger,
        PageSizeStatement,
        PageSizeFolio,
        PageSizeA3,
        PageSizeA4,
        PageSizeA5,
        PageSizeB4,
        PageSizeB5,
        PageSizeQuarto,
        OptColorPrint,
        OptPortrait,
        OptLandscape,
        Help,
        Count
    };

    // The default printer's name, empty when the machine has none.
    using PrinterFinder = std::function<QString()>;

    // The rows the report is made of, as the schedule shows them.
    using RowsSource = std::function<ScheduleRows()>;

    // The place is where the preview opens and where it is kept when it closes.
    DlgPreview(const Services& services, const ScheduleView& schedule, RowsSource rows,
               WindowState::Place& place);
    ~DlgPreview() override;

    ClsGanttReport& Report() { return *report_; }
    ReportDocument& Canvas() { return *canvas_; }
    ReportView* CanvasView() const { return view_; }
    QSlider* ZoomSlide() const { return zoomSlide_; }
    QCalendarWidget* MonthView() const { return monthView_; }
    KeyedToolBar* Toolbar() const { return toolbar_; }
    QLabel* LblPage() const { return lblPage_; }
    QMenuBar* MenuBar() const { return menuBar_; }
    QAction* Action(Command command) const { return commands_.Action(command); }
    // Page size item 0 to 12.
    QAction* PageSizeAction(int index) const {
        return commands_.Action(static_cast<int>(Command::PageSizeLetter) + index);
    }
    QString StatusPanel() const;
    bool Activated() const { return frame_.Activated(); }
    // Where Print looks for the default printer; Qt's print support unless replaced.
    void SetPrinterFinder(PrinterFinder finder) { printerFinder_ = std::move(finder); }

    // Lifecycle.
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Unload();

    // Commands.
    void mnuFilePrint_Click();
    void mnuFileSavePdf_Click();
    void mnuFileExit_Click();
    void mnuViewType_Click(int index);
    // A tenth more or less than the zoom shown (the whole page counts as its own size).
    void mnuViewZoom_Click(int step);
    void mnuDateCalendar_Click();
    void mnuDateToday_Click();
    void mnuDatePrevWeek_Click();
    void mnuDatePrevDay_Click();
    void mnuDateNextDay_Click();
    void mnuDateNextWeek_Click();
    void mnuPageFirstPage_Click();
    void mnuPageLastPage_Click();
    void mnuPagePrev_Click();
    void mnuPageNext_Click();
    void mnuPageSize_Click(int index);
    void mnuOptColorPrint_Click();
    void mnuOptMode_Click(int index);
    void mnuHelp_Click();
    void ToolBar_ButtonClick(const QString& key, bool flag);

    // Control events.
    void ZoomSlide_Change(int value);
    // A double-click on a date of the calendar; value is its day number.
    void MonthView_DateDblClick(int32_t value);
    void MonthView_LostFocus();

    // Days each date step adds in a view: previous week, previous day, next day, next week.
    static std::array<int32_t, 4> DateSteps(int viewType);

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    // Escape and the close box: Exit.
    void reject() override;

private:
    // Moves the start by the step of the view (index into DateSteps) and rebuilds.
    void StepDate(const char* procedure, int step);
    // Shows the page label and the page again after a page change.
    void ShowPage();
    // The page label's text ("2/8"), said in words to a screen reader.
    void SetPageLabel(const QString& text);
    void CheckView(int index);
    void SetStatus(const QString& text);
    // Writes the whole report as a PDF file and tells the user how it went.
    void SavePdf(const char* procedure, const QString& path);
    QString SuggestedPdfName() const;
    void Failed(const char* procedure, const QString& what, int32_t number,
                const QString& description);

    const Services services_;
    const ScheduleView& schedule_;
    RowsSource rows_;
    WindowState::Place& place_;
    std::unique_ptr<ReportDocument> canvas_;
    std::unique_ptr<ClsGanttReport> report_;
    PrinterFinder printerFinder_;

    QMenuBar* menuBar_ = nullptr;
    KeyedToolBar* toolbar_ = nullptr;
    QWidget* area_ = nullptr;
    ReportView* view_ = nullptr;
    QSlider* zoomSlide_ = nullptr;
    QCalendarWidget* monthView_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QLabel* msg_ = nullptr;
    QLabel* lblPage_ = nullptr;
    CommandTable commands_;
    WindowFrame frame_;
};
