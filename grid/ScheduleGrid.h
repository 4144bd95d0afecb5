#pragma once

#include "grid/IBarPlacer.h"
#include "grid/ScheduleGridGeometry.h"
#include "grid/ScheduleGridModel.h"
#include "grid/ScheduleGridTextCache.h"
#include "grid/ScheduleTimeAxis.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QEvent;
class QFocusEvent;
class QFont;
class QFontMetrics;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;
class QResizeEvent;
class QWheelEvent;

// The schedule grid: a column of row titles on the left, a time ruler across the top and
// coloured bars on the rows. Days are day numbers (days since 1 Jan 1900, a Monday),
// times minutes since midnight; rows and the bars of a row are numbered from 1.
//
// Resolution is the zoom in pixels per hour, from ResolutionMinimum() to
// ResolutionMaximum(); the initial one leaves room for a customer's name in an hour's bar.
// Changing it keeps the moment at the left edge of the view in place.
//
// Day lines are always drawn in the data area; TimeLines adds the lines of the ruler's
// time labels. The user draws a bar by dragging across an empty part of a row: the
// new bar is appended to the row as AddBar would, then BarAdded(row, bar, 0, 0) is
// raised.
//
// With a bar placer set, a bar can be dragged: by its middle along its row or to another
// row, by either end to resize it. At every step the placer says where the bar would go and
// whether it collides; the grid draws it there (a collision hatched in red) and raises
// BarDragNote with the placer's note. The drop changes no bar: it raises BarDropped with the
// place shown and whether Ctrl was held (a copy), and the owner changes what the bar stands
// for and rebuilds. Escape cancels the drag. BarPreSelect, BarPreDrop and BarChanged are
// never raised and the four *Action/BarEventBegin calls do nothing.
//
// ItemMove is raised when the row or bar under the pointer changes (0, 0 when it leaves
// the grid). A new DateFirst scrolls the view back to the first day.
//
// With the grid focused, Tab and Shift+Tab select the next or previous bar in time order,
// row after row (BarKeySelect); only past the last or first bar does the focus move on.
// Enter and Delete on the selected bar raise BarKeyEdit and BarKeyDelete.
//
// Colours are colour references 0x00BBGGRR (red in the low byte). Geometry queries
// (PointFor, HitTest, BarRect) work in viewport coordinates (the widget that receives the
// mouse events is viewport()) and change nothing: they describe what is on screen.
class ScheduleGrid : public QAbstractScrollArea {
    Q_OBJECT

public:
    // row 0: over no row; bar 0: over no bar.
    struct Hit {
        int row = 0;
        int bar = 0;
        bool operator==(const Hit&) const = default;
    };

    // A bar dropped after a drag; times in minutes since day 0, 00:00, as the placer gave.
    struct Drop {
        int row = 0; // where the bar was
        int bar = 0;
        int toRow = 0;
        int64_t start = 0;
        int64_t end = 0;
        IBarPlacer::Edge edge = IBarPlacer::Edge::Whole;
        bool copy = false;
    };

    explicit ScheduleGrid(QWidget* parent = nullptr);

    // Bars can be dragged only while a placer is set; the grid does not own it.
    void SetBarPlacer(const IBarPlacer* placer) { placer_ = placer; }
    bool BarDragging() const { return barDrag_.active; }

    static constexpr int16_t ResolutionMinimum() { return 1; }
    static constexpr int16_t ResolutionMaximum() { return 240; }
    static constexpr int16_t ResolutionInitial() { return 60; }
    // The weekend days, bit 0 Sunday .. bit 6 Saturday; the grid offers no other.
    static constexpr int kWeekendMask = 0x41;

    // Black or white, whichever reads better on a background.
    static uint32_t ForeColorOn(uint32_t backColorRef);
    // The row-title column's width in pixels for the list title and the row texts in a font:
    // the title measured bold, the rows trimmed, the widest of them with a margin and within
    // bounds. Built up row by row as AddRow does, or all at once where no grid is shown.
    static int TitleTextWidth(const QFont& font, const QString& title);
    static int RowTextWidth(const QFontMetrics& metrics, const QString& text);
    static int ListWidthFor(int titleTextWidth, int widestRowText);

    // View type 0, 1 or 2; the grid keeps it for the program and does not act on it.
    int TimeType() const { return timeType_; }
    void SetTimeType(int value);
    int32_t DateFirst() const { return dateFirst_; }
    void SetDateFirst(int32_t day);
    int32_t DateLast() const { return dateLast_; }
    void SetDateLast(int32_t day);
    int DayStartMinute() const { return dayStartMinute_; }
    void SetDayStartMinute(int minute);
    int DayEndMinute() const { return dayEndMinute_; }
    void SetDayEndMinute(int minute);
    int16_t Resolution() const { return resolution_; }
    void SetResolution(int16_t pixelsPerHour);
    QString ListTitle() const { return listTitle_; }
    void SetListTitle(const QString& title);

    uint32_t BackColor() const { return backColor_; }
    void SetBackColor(uint32_t colorRef);
    uint32_t TitleBackColor() const { return titleBackColor_; }
    void SetTitleBackColor(uint32_t colorRef);
    uint32_t RulerColor() const { return rulerColor_; }
    void SetRulerColor(uint32_t colorRef);
    uint32_t ListBackColor() const { return listBackColor_; }
    void SetListBackColor(uint32_t colorRef);
    uint32_t WeekendColor() const { return weekendColor_; }
    void SetWeekendColor(uint32_t colorRef);
    // Black or white, whichever reads better on the matching background.
    uint32_t TitleForeColor() const;
    uint32_t ListForeColor() const;
    int WeekendMask() const { return kWeekendMask; }

    bool TimeLines() const { return timeLines_; }
    void SetTimeLines(bool on);
    bool Ruler24Hour() const { return ruler24Hour_; }
    void SetRuler24Hour(bool on);

    // The selected row, 0 when none. After ClearAll the selection follows the row whose
    // RowData is set to the value the selected row had.
    int CurrentRow() const;
    void SetCurrentRow(int row);
    int RowCount() const { return model_.RowCount(); }
    // Width in pixels of the row-title column.
    int ListWidth() const { return listWidth_; }

    QString RowText(int row) const { return model_.RowText(row); }
    int32_t RowData(int row) const { return model_.RowData(row); }
    void SetRowData(int row, int32_t value);
    int BarCount(int row) const { return model_.BarCount(row); }

    // Reads of a missing bar give 0 or ""; writes to one are ignored.
    int32_t BarStartDate(int row, int bar) const { return Field(row, bar, &Bar::startDay); }
    int BarStartMinute(int row, int bar) const { return Field(row, bar, &Bar::startMinute); }
    int32_t BarEndDate(int row, int bar) const { return Field(row, bar, &Bar::endDay); }
    int BarEndMinute(int row, int bar) const { return Field(row, bar, &Bar::endMinute); }
    QString BarText(int row, int bar) const { return Field(row, bar, &Bar::text); }
    void SetBarText(int row, int bar, const QString& text) { SetField(row, bar, &Bar::text, text); }
    uint32_t BarColor(int row, int bar) const { return Field(row, bar, &Bar::color); }
    void SetBarColor(int row, int bar, uint32_t ref) { SetField(row, bar, &Bar::color, ref); }
    uint32_t BarTextColor(int row, int bar) const { return Field(row, bar, &Bar::textColor); }
    void SetBarTextColor(int row, int bar, uint32_t ref) {
        SetField(row, bar, &Bar::textColor, ref);
    }
    int32_t BarData(int row, int bar) const { return Field(row, bar, &Bar::data); }
    void SetBarData(int row, int bar, int32_t value) { SetField(row, bar, &Bar::data, value); }
    // A bar of a series carries a sign of it (see SeriesMark).
    bool BarSeries(int row, int bar) const { return Field(row, bar, &Bar::series); }
    void SetBarSeries(int row, int bar, bool on) { SetField(row, bar, &Bar::series, on); }
    // A last line for the tooltip of a bar of a series, from the bar's data; asked only when
    // the tooltip is, so that a rebuild need not work it out for every bar. Empty for none.
    using SeriesNote = std::function<QString(int32_t barData)>;
    void SetSeriesNote(SeriesNote note) { seriesNote_ = std::move(note); }
    // The series note of a bar of a series; empty for any other bar.
    QString BarSeriesNote(int row, int bar) const;
    // What a screen reader says of a bar after its row and times, from the bar's data (the
    // owner knows more than the bar's text); asked only when a reader asks. Without it the
    // bar's text is said.
    using BarSpeech = std::function<QString(int32_t barData)>;
    void SetBarSpeech(BarSpeech speech) { barSpeech_ = std::move(speech); }
    QString BarSpoken(int row, int bar) const;
    // Goes up with every change of the rows or bars, so a reader of them knows when what it
    // holds is out of date.
    uint64_t StructureVersion() const { return structure_; }

    // The bar marked as selected: set by a left, double or right click on a bar and by the
    // program; {0, 0} when none. ClearAll clears it.
    Hit SelectedBar() const { return selectedBar_; }
    void SetSelectedBar(int row, int bar);

    // Where the last left click on a row fell: its row and the moment under the pointer.
    // Kept through ClearAll, so a rebuild of the same rows leaves it meaning the same place.
    struct Spot {
        int row = 0;
        int32_t day = 0;
        int minute = 0;
        bool operator==(const Spot&) const = default;
    };
    std::optional<Spot> LastClick() const { return lastClick_; }
    // Scrolls so that the bar's row and start are in view, and its end as far as that keeps
    // the start in view; nothing when they are.
    void ScrollToBar(int row, int bar);

    void ClearAll();
    // Removes the row's bars, to add them again; the selected bar goes with them.
    void ClearBars(int row);
    int AddRow(const QString& text);
    // Returns the bar's number on the row, 0 when the row does not exist.
    int AddBar(int row, int startMinute, int endMinute, int32_t startDay, int32_t endDay);
    // Scrolls horizontally so that the moment sits a third of the way into the view.
    void ScrollToTime(int32_t day, int minute);

    void BarEventBegin() {}
    void BarPreSelectAction() {}
    void BarPreDropAction() {}
    void BarChangeAction() {}

    // The viewport point of a moment on the middle line of a row (outside the viewport
    // when the moment or the row is scrolled away).
    QPoint PointFor(int32_t day, int minute, int row) const;
    Hit HitTest(QPoint viewportPos) const;
    // Where the bar is drawn; empty when it is not shown.
    QRect BarRect(int row, int bar) const;
    // The text of a bar's tooltip: its text, then its start and end with their days, and for
    // a bar of a series the series note.
    QString BarToolTip(int row, int bar) const;
    int RowHeight() const { return rowHeight_; }
    int RulerHeight() const { return rulerHeight_; }
    // Bars the last paint drew, and bars it looked at to find them: both stay small
    // however many bars lie out of view.
    int PaintedBarCount() const { return paintStats_.drawn; }
    int ExaminedBarCount() const { return paintStats_.examined; }
    const ScheduleGridModel& Model() const { return model_; }

signals:
    void BarAdded(int row, int bar, int value1, int value2);
    void BarLeftClick(int row, int bar);
    void BarDblClick(int row, int bar);
    void BarRightClick(int row, int bar);
    void ItemMove(int row, int bar);
    void BarPreSelect(int value, int flag);
    void BarPreDrop(int value1, int value2, int value3, int value4, int value5, int value6,
                    int value7, int flag);
    void BarChanged(int value1, int value2, int value3, int value4, int value5, int value6,
                    int value7);
    // First shown day, first shown minute and first shown row, after each scroll.
    void ScrollTrack(int day, int minute, int row);
    void GotFocus();
    void BarKeySelect(int row, int bar);
    void BarKeyEdit(int row, int bar);
    void BarKeyDelete(int row, int bar);
    void BarDropped(const ScheduleGrid::Drop& drop);
    // Why the bar cannot stay where it is dragged; empty when it can, or the drag ended.
    void BarDragNote(const QString& note);

protected:
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    struct Drag {
        bool active = false;
        int row = 0;
        int64_t anchor = 0; // axis offsets
        int64_t current = 0;
    };

    struct BarDrag {
        bool pressed = false; // held on a bar, not yet moved far enough
        bool active = false;
        Hit from;
        QPoint pressPos;
        IBarPlacer::Edge edge = IBarPlacer::Edge::Whole;
        int64_t grab = 0; // pointer minute minus the bar's start
        int row = 0;
        IBarPlacer::Place place;
        bool copy = false;
    };

    using Bar = ScheduleGridBar;
    template <typename T> T Field(int row, int bar, T Bar::*field) const {
        const Bar* b = model_.Bar(row, bar);
        return b ? b->*field : T{};
    }
    template <typename T> void SetField(int row, int bar, T Bar::*field, const T& value) {
        if (Bar* b = model_.Bar(row, bar)) {
            b->*field = value;
            RequestPaint();
        }
    }
    template <typename T> void SetAndPaint(T& field, const T& value) {
        field = value;
        RequestPaint();
    }

    ScheduleGridGeometry Geometry() const;
    // Brings the scroll ranges up to date with the rows and the axis. Changes only mark
    // them stale, so a rebuild (clear, then rows again) keeps the view where it was.
    void SyncLayout();
    void RequestPaint();
    // Row height, ruler height and the row-title column, from the font and the titles.
    void UpdateMetrics();
    void AxisChanged();
    void RowsChanged();
    void EnsureRowVisible(int row);
    void UpdateDrag(QPoint viewportPos);
    void FinishDrag();
    void ReportMove(Hit hit);
    // The minute nearest a viewport x, clamped into the shown range.
    int64_t MinuteAtX(int viewportX) const;
    IBarPlacer::Edge EdgeAt(Hit hit, QPoint viewportPos) const;
    void UpdateBarDrag(QPoint viewportPos, bool copy);
    void FinishBarDrag();
    void CancelBarDrag();
    void ShowDragCursor(Hit hit, QPoint viewportPos);
    void EmitScrollTrack();
    // The bar after (or before) the selected one in time order, row after row; from the
    // current row's edge when none is selected. {0, 0} when there is none.
    Hit NextBar(bool forward) const;
    void NoteClick(Hit hit, QPoint viewportPos);
    void SelectByKey(Hit hit);
    // Rows or bars were added, or with removed, taken away.
    void StructureChanged(bool removed);

    ScheduleGridModel model_;
    ScheduleTimeAxis axis_;

    int timeType_ = 0;
    int32_t dateFirst_ = 0;
    int32_t dateLast_ = 6;
    int dayStartMinute_ = 0;
    int dayEndMinute_ = 1440;
    int16_t resolution_ = ResolutionInitial();
    QString listTitle_;
    uint32_t backColor_ = 0x00FFFFFF;
    uint32_t titleBackColor_ = 0x00E6DCD2;
    uint32_t rulerColor_ = 0x00F2ECE6;
    uint32_t listBackColor_ = 0x00FAF8F6;
    uint32_t weekendColor_ = 0x00EEEEEE;
    bool timeLines_ = true;
    bool ruler24Hour_ = false;

    int currentRow_ = 0;
    std::optional<int32_t> pendingSelection_;
    Hit selectedBar_;
    Hit rightPress_;
    Hit lastMove_{-1, -1};
    Drag drag_;
    std::optional<Spot> lastClick_;
    BarDrag barDrag_;
    const IBarPlacer* placer_ = nullptr;
    SeriesNote seriesNote_;
    BarSpeech barSpeech_;
    uint64_t structure_ = 0;
    bool reorderPending_ = false;
    struct {
        int drawn = 0;
        int examined = 0;
    } paintStats_;

    bool paintRequested_ = false;
    bool layoutStale_ = true;
    ScheduleGridTextCache texts_;
    ScheduleGridTextCache boldTexts_;
    int rowHeight_ = 24;
    int rulerHeight_ = 40;
    int titleWidth_ = 0; // the list title's width
    int widestRow_ = 0;  // the widest row title's width
    int listWidth_ = 120;
};

Q_DECLARE_METATYPE(ScheduleGrid::Drop)
