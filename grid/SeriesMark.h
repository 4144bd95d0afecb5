#pragma once

#include <QColor>
#include <QRect>

class QPainter;

// The sign on a bar whose booking repeats in a series: a circular arrow at the right end of
// the bar, drawn in the bar's text colour so that it reads wherever the text does. A bar too
// narrow for the arrow gets a wedge in its top right corner instead, and one too narrow for a
// wedge (a short booking at a small zoom) a cap: the top third of its inside in that colour.
class SeriesMark {
public:
    enum class Shape { Arrow, Wedge, Cap };

    // The side of the arrow's square on a bar of that inner height, in pixels.
    static int ArrowSize(int innerHeight);
    // Which sign fits a bar drawn in the box (its outline included).
    static Shape ShapeFor(const QRect& box);
    // The part of the box the sign takes.
    static QRect Area(const QRect& box);
    // Paints the sign on the bar; returns how many pixels at the right of the box the text
    // must leave to it (0 for the wedge and the cap, on bars too narrow for text).
    static int Paint(QPainter& painter, const QRect& box, const QColor& ink);
};
