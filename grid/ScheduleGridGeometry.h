#pragma once

#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QSize>

#include <cstdint>
#include <optional>

#include "grid/ScheduleGridModel.h"
#include "grid/ScheduleTimeAxis.h"

// Where things lie in a schedule grid's viewport, worked out from its metrics, axis and
// scroll position. A plain value: asking it changes nothing, and the grid's queries and its
// painting read the same one, so they agree to the pixel.
struct ScheduleGridGeometry {
    const ScheduleTimeAxis* axis = nullptr;
    QSize viewport;
    int listWidth = 120;
    int rowHeight = 24;
    int rulerHeight = 40;
    int scrollX = 0;
    int scrollY = 0;

    // The area right of the row titles and below the ruler.
    QRect DataRect() const;
    int RowTop(int row) const;
    // The row at a viewport height, which may lie outside the rows.
    int RowAt(int viewportY) const;
    // Content x (0 = the first day's left edge) of a viewport x.
    double ContentX(int viewportX) const;
    // A moment on the middle line of a row.
    QPoint PointFor(int32_t day, int minute, int row) const;
    // Where a bar is drawn before clipping to the view; nothing when it lies in hidden time.
    std::optional<QRectF> BarRectF(int row, const ScheduleGridBar& bar) const;
    // The band of a row between two axis offsets, at least a pixel wide.
    QRectF SpanRect(int row, int64_t fromOffset, int64_t toOffset) const;
};
