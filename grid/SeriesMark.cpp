#include "grid/SeriesMark.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kSmallestArrow = 7;
// A wedge narrower than this is a blot; the cap reads better.
constexpr int kNarrowestWedge = 5;
constexpr int kLargestArrow = 14;
// Space kept between the arrow and the bar's right edge, and between the text and the arrow.
constexpr int kRightPad = 2;
constexpr int kTextGap = 3;
// The arc leaves a gap at the top, where its head points into it.
constexpr double kArcStart = 70.0;
constexpr double kArcSweep = -290.0;

double Radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

} // namespace

int SeriesMark::ArrowSize(int innerHeight) {
    return std::min(innerHeight - 2, kLargestArrow);
}

SeriesMark::Shape SeriesMark::ShapeFor(const QRect& box) {
    const QRect inner = box.adjusted(1, 1, -1, -1);
    const int size = ArrowSize(inner.height());
    if (size >= kSmallestArrow && inner.width() >= size + 2 * kRightPad) {
        return Shape::Arrow;
    }
    return inner.width() >= kNarrowestWedge ? Shape::Wedge : Shape::Cap;
}

QRect SeriesMark::Area(const QRect& box) {
    const QRect inner = box.adjusted(1, 1, -1, -1);
    switch (ShapeFor(box)) {
    case Shape::Arrow: {
        const int size = ArrowSize(inner.height());
        return QRect(inner.right() - kRightPad - size + 1,
                     inner.top() + (inner.height() - size) / 2, size, size);
    }
    case Shape::Wedge: {
        const int side = std::min({inner.width(), inner.height() / 2 + 1, 8});
        return QRect(inner.right() - side + 1, inner.top(), side, side);
    }
    case Shape::Cap:
        break;
    }
    // Inside the outline: on the grid's background a cap in a light text colour would vanish.
    return QRect(inner.left(), inner.top(), inner.width(), std::max(2, inner.height() / 3));
}

int SeriesMark::Paint(QPainter& painter, const QRect& box, const QColor& ink) {
    const Shape shape = ShapeFor(box);
    const QRect area = Area(box);
    if (shape == Shape::Cap) {
        painter.fillRect(area, ink);
        return 0;
    }
    painter.save();
    if (shape == Shape::Wedge) {
        // Whole pixels, no smoothing: at a few pixels a blurred wedge would vanish.
        for (int i = 0; i < area.height(); ++i) {
            painter.fillRect(QRect(area.left() + i, area.top() + i, area.width() - i, 1), ink);
        }
        painter.restore();
        return 0;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const double size = area.width();
    const double pen = std::max(1.5, size / 7.0);
    const double head = std::max(3.0, size * 0.42);
    const QRectF circle = QRectF(area).adjusted(pen / 2 + head / 4, pen / 2 + head / 4,
                                                -pen / 2 - head / 4, -pen / 2 - head / 4);
    QPainterPath arc;
    arc.arcMoveTo(circle, kArcStart);
    arc.arcTo(circle, kArcStart, kArcSweep);
    painter.setPen(QPen(ink, pen, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(arc);
    // The head points on along the arc, clockwise on screen.
    const double end = Radians(kArcStart + kArcSweep);
    const QPointF tip = arc.currentPosition();
    const QPointF along(std::sin(end), std::cos(end));
    const QPointF out(std::cos(end), -std::sin(end));
    const QPolygonF triangle{tip + along * (head * 0.6),
                             tip - along * (head * 0.3) + out * (head * 0.55),
                             tip - along * (head * 0.3) - out * (head * 0.55)};
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPolygon(triangle);
    painter.restore();
    return area.width() + kRightPad + kTextGap;
}
