#pragma once

#include <QColor>
#include <QRect>

class QPainter;

// The sign on a bar whose booking repeats in a series: a circular arrow at the right end of
// the bar, drawn in the bar's text colour so that it reads wherever the text does. A bar too
// narrow for the arrow gets a wedge in its top right corner instead, down to the narrowest bar.
class SeriesMark {
public:
    enum class Shape { None, Arrow, Wedge };

    // The side of the arrow's square on a bar of that inner height, in pixels.
    static int ArrowSize(int innerHeight);
    // Which sign fits the inside of a bar.
    static Shape ShapeFor(const QRect& inner);
    // The part of the bar's inside the sign takes, empty for none.
    static QRect Area(const QRect& inner);
    // Paints the sign inside the bar; returns how many pixels at the right of the inside the
    // text must leave to it (0 when it paints nothing or only the wedge, where no text fits).
    static int Paint(QPainter& painter, const QRect& inner, const QColor& ink);
};
