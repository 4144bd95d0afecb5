#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

#include "ui/RebuildCache.h"
#include "ui/ScheduleRows.h"

class ClsDate;
class ClsGlobal;
class ReportCanvas;

// The schedule as a paged Gantt chart: one row per schedule row, one bar per appointment of
// that row's resource that touches the range, a ruler of hours or days, a title with the
// range, and a header and footer on every page. Everything is drawn through the canvas, in
// twips, from the top-left corner of the printable area.
//
// The report procedures log failures under "DlgSchedulePrint" and return, and their caller
// carries on; ShowReport logs under "DlgPreview". A 32-bit overflow in the geometry is such a
// failure.
class ClsGanttReport {
public:
    // The report state, owned by the preview window.
    struct State {
        bool busy = false;     // while set, ShowReport does nothing
        int16_t viewType = 0;  // 0 day, 1 week, 2 month
        int32_t startDay = 0;  // first day of the range (day number)
        int32_t endDay = 0;    // last day, inclusive
        int32_t rowHeight = 0; // of the row being drawn
        int32_t nameWidth = 0; // the resource-name column, twips
        bool colorPrint = true;
    };

    ClsGanttReport(ReportCanvas& canvas, const ClsGlobal& store, const ClsDate& date);

    State state;
    // The schedule's rows and colours the next report is made of.
    void SetSchedule(ScheduleRows schedule) { schedule_ = std::move(schedule); }
    const ScheduleRows& Schedule() const { return schedule_; }
    // The resource-name column in twips for the schedule's title column in pixels: 20 twips
    // a pixel, at most 4000. An overflow throws as the report's arithmetic does.
    static int32_t NameWidthFor(int listWidth);

    // Progress for the status panel, the page label ("1/3") and a refresh of the preview once
    // the document is finished. Any may be left empty.
    std::function<void(const QString&)> onStatus;
    std::function<void(const QString&)> onPageLabel;
    std::function<void()> onRefresh;

    // Brings the range to the view (a week from its Monday, a month from its first) and
    // builds the document.
    void ShowReport();
    // True when the last ShowReport finished its document.
    bool Finished() const { return finished_; }

    // The procedures of the report, in the order they are used.
    void GanttReport();
    void PageLegends(const QString& s1, const QString& s2, const QString& s3, const QString& s4,
                     const QString& s5, const QString& s6);
    void PageBorder(const QString& text);
    void GanttShowRuler();
    void GanttShowGrid(const QString& name);
    // A bar of a series carries the series' sign at its right end when there is room, and
    // a cap when there is not.
    void GanttShowBar(const QString& text, uint32_t colour, uint32_t textColour, int32_t start,
                      int32_t end, bool series = false);
    // The series' sign in a square of that side: a circular arrow in black, on white when the
    // report prints colours, so that it reads on any bar and in black and white alike.
    void GanttShowSeriesMark(int32_t x, int32_t y, int32_t side);
    // The sign of a bar too small for the arrow: its top third filled in the text colour, in
    // black without colours, and outlined.
    void GanttShowSeriesCap(int32_t x, int32_t y, int32_t width, int32_t height,
                            uint32_t textColour);
    // The side of the sign on a bar of that height and width; 0 when the bar is too small.
    static int32_t SeriesMarkSide(int32_t barWidth, int32_t barHeight);
    // base + part * (W - base) / whole, W the printable width.
    int32_t GetPercentXpos(int32_t base, int32_t part, int32_t whole);
    // "dd/mm/yyyy", or "mm/dd/yyyy" when the date format is month-first.
    QString ShowDateVal(int32_t day);

    // The title of the range: one date, or "from to to".
    QString RangeText();
    // The longest prefix of the text whose width + 75 fits the width (empty when none does),
    // found by halving; the canvas is left having measured the result.
    QString FitText(const QString& text, int32_t width);

private:
    int32_t PrintableWidth() const;
    int32_t PrintableHeight() const;
    void Status(const QString& text);

    ReportCanvas& canvas_;
    const ClsGlobal& store_;
    const ClsDate& date_;
    ScheduleRows schedule_;
    RebuildCache names_;
    bool finished_ = false;
    // The printable width while a document is built; the canvas's paper does not change
    // meanwhile, and GetPercentXpos needs it for every position.
    std::optional<int32_t> buildWidth_;
};
