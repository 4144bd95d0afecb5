#include "grid/ScheduleGridGeometry.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kMinBarWidth = 3;
} // namespace

QRect ScheduleGridGeometry::DataRect() const {
    return QRect(listWidth, rulerHeight, std::max(0, viewport.width() - listWidth),
                 std::max(0, viewport.height() - rulerHeight));
}

int ScheduleGridGeometry::RowTop(int row) const {
    return rulerHeight + (row - 1) * rowHeight - scrollY;
}

int ScheduleGridGeometry::RowAt(int viewportY) const {
    int offset = viewportY - rulerHeight + scrollY;
    return offset < 0 ? 0 : offset / std::max(1, rowHeight) + 1;
}

double ScheduleGridGeometry::ContentX(int viewportX) const {
    return scrollX + viewportX - listWidth;
}

QPoint ScheduleGridGeometry::PointFor(int32_t day, int minute, int row) const {
    const auto x = std::llround(axis->XOf(axis->OffsetOf(day, minute)));
    return QPoint(listWidth + static_cast<int>(x) - scrollX, RowTop(row) + rowHeight / 2);
}

std::optional<QRectF> ScheduleGridGeometry::BarRectF(int row, const ScheduleGridBar& bar) const {
    const int64_t lo = axis->OffsetOfAbsolute(bar.Lo());
    const int64_t hi = axis->OffsetOfAbsolute(bar.Hi());
    if (lo == hi) {
        // Either a bar of no length, shown when its moment is on the axis, or a bar that
        // lies wholly in hidden time.
        const ScheduleTimeAxis::Moment at = axis->MomentAt(lo, false);
        const ScheduleTimeAxis::Moment atEnd = axis->MomentAt(lo, true);
        const int64_t moment = bar.Lo();
        const bool onAxis =
            bar.Hi() == moment && (int64_t{at.day} * 1440 + at.minute == moment ||
                                   int64_t{atEnd.day} * 1440 + atEnd.minute == moment);
        if (!onAxis) {
            return std::nullopt;
        }
    }
    QRectF box = SpanRect(row, lo, hi);
    box.setWidth(std::max(box.width(), double{kMinBarWidth}));
    return box;
}

QRectF ScheduleGridGeometry::SpanRect(int row, int64_t fromOffset, int64_t toOffset) const {
    // Whole pixels, so that painting and hit-testing agree to the pixel.
    const double left = listWidth + std::round(axis->XOf(fromOffset)) - scrollX;
    const double right = listWidth + std::round(axis->XOf(toOffset)) - scrollX;
    return QRectF(left, RowTop(row) + 3, std::max(right - left, 1.0), std::max(4, rowHeight - 7));
}
