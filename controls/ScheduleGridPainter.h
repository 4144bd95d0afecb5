#pragma once

#include <QColor>
#include <QDate>
#include <QFont>
#include <QRect>
#include <QString>

#include <cstdint>

class QPainter;
class ScheduleGrid;

// Draws a ScheduleGrid's viewport: the ruler, the title cell, the row titles and the
// data area with its bars. Only what lies in view is visited: the visible days, the
// visible rows and, per row, the bars the model finds in the visible time span.
class ScheduleGridPainter {
public:
    explicit ScheduleGridPainter(const ScheduleGrid& grid);

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
    static bool IsWeekend(int32_t day, int weekendMask);
    // Black or white, whichever reads better on the background.
    static QColor Contrast(const QColor& background);
    static QColor Blend(const QColor& from, const QColor& to, double amount);

private:
    void PaintData(QPainter& painter);
    void PaintLines(QPainter& painter);
    int PaintBars(QPainter& painter);
    void PaintDrag(QPainter& painter);
    void PaintRuler(QPainter& painter);
    void PaintHours(QPainter& painter, const QRect& band, const QColor& text, const QColor& tick);
    void PaintTitle(QPainter& painter);
    void PaintList(QPainter& painter);
    // The longest day label that fits a day's width; -1 when none does.
    int DayLabelLength() const;
    int TimeLabelStep() const;
    int DayX(int dayIndex) const;
    int OffsetX(int64_t offset) const;

    const ScheduleGrid& grid_;
    QFont font_;
    QFont bold_;
    QRect data_;
    int scrollX_ = 0;
    int firstDay_ = 0; // indices into the axis' days, inclusive
    int lastDay_ = -1;
    int firstRow_ = 1;
    int lastRow_ = 0;
};
