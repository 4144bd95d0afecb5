#pragma once

#include <QColor>
#include <QDate>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QString>

#include <cstdint>

#include "grid/ScheduleGridGeometry.h"

class QPainter;
class ScheduleGridModel;
class ScheduleGridTextCache;

// What the painter may see of a schedule grid: a read-only picture of its state.
struct ScheduleGridView {
    ScheduleGridGeometry geometry;
    const ScheduleGridModel* model = nullptr;
    QColor back, titleBack, ruler, listBack, weekend;
    int weekendMask = 0x41; // bit 0 Sunday .. bit 6 Saturday
    bool timeLines = true;
    bool ruler24Hour = false;
    QString listTitle;
    int currentRow = 0;
    int selectedRow = 0; // the selected bar, 0 when none
    int selectedBar = 0;
    bool focused = false;  // the grid has the keyboard focus
    bool dragging = false; // a bar being drawn on dragRow between two axis offsets
    int dragRow = 0;
    int64_t dragFrom = 0;
    int64_t dragTo = 0;
    bool ghost = false; // a bar being dragged, drawn where it would go
    int ghostRow = 0;
    int64_t ghostFrom = 0; // axis offsets
    int64_t ghostTo = 0;
    QColor ghostColor;
    bool ghostBlocked = false; // it would collide there
    QPalette palette;
    QFont font;
    // Shaped texts kept between paints: the one thing painting may change.
    ScheduleGridTextCache* texts = nullptr;
    ScheduleGridTextCache* boldTexts = nullptr;
};

// Draws a schedule grid's viewport: the ruler, the title cell, the row titles and the
// data area with its bars. Only what lies in view is visited: the visible days, the
// visible rows and, per row, the bars the model finds in the visible time span.
class ScheduleGridPainter {
public:
    explicit ScheduleGridPainter(const ScheduleGridView& view);

    struct Stats {
        int drawn = 0;    // bars the model handed out for the view
        int examined = 0; // bars the model looked at to find them
    };
    Stats Paint(QPainter& painter, const QRect& dirty);

    static QDate DateOf(int32_t day);
    // Day label in one of four lengths: 0 "Mon 07 Dec 2026", 1 "Mon 07 Dec", 2 "Mon 07",
    // 3 "07".
    static QString DayLabel(int32_t day, int length);
    // "9am", "2:30pm" or "09:00", "14:30".
    static QString TimeLabel(int minute, bool twentyFourHour);
    // "Mon 07 Dec 9am": a moment with its day; minutes past the day's end count into the
    // days after.
    static QString MomentLabel(int32_t day, int minute, bool twentyFourHour);
    // "9am – 11am" within a day, with the days when the span crosses midnight.
    static QString SpanLabel(int32_t startDay, int startMinute, int32_t endDay, int endMinute,
                             bool twentyFourHour);
    static bool IsWeekend(int32_t day, int weekendMask);
    // Black or white, whichever reads better on the background.
    static QColor Contrast(const QColor& background);
    // The bar's own text colour where it reads on the bar (a contrast ratio of at least 3:1),
    // else black or white: the stored colours stay as the user chose them.
    static QColor ReadableInk(const QColor& background, const QColor& ink);
    static QColor Blend(const QColor& from, const QColor& to, double amount);

private:
    void PaintData(QPainter& painter);
    void PaintLines(QPainter& painter);
    int PaintBars(QPainter& painter);
    void PaintDrag(QPainter& painter);
    void PaintGhost(QPainter& painter);
    void PaintRuler(QPainter& painter);
    void PaintHours(QPainter& painter, const QRect& band, const QColor& text, const QColor& tick);
    void PaintTitle(QPainter& painter);
    void PaintList(QPainter& painter);
    void PaintFocus(QPainter& painter);
    // The longest day label that fits a day's width; -1 when none does.
    int DayLabelLength() const;
    int TimeLabelStep() const;
    int DayX(int dayIndex) const;
    int OffsetX(int64_t offset) const;

    const ScheduleGridView& view_;
    const ScheduleTimeAxis& axis_;
    QFont font_;
    QFont bold_;
    QRect data_;
    int scrollX_ = 0;
    int firstDay_ = 0; // indices into the axis' days, inclusive
    int lastDay_ = -1;
    int firstRow_ = 1;
    int lastRow_ = 0;
};
