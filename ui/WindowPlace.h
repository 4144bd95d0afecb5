#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where a window stands between its showings and between runs (kept by the main window's
// state, schedule/WindowState.h).
namespace WindowState {

// A window's place in its normal state, and whether it was maximised; an invalid place means
// the window has none yet.
struct Place {
    QRect normal;
    bool maximized = false;
};

// A window's first place: about three quarters of the available area, never below the
// minimum, centred on the given point and kept within the area.
QRect FirstGeometry(const QRect& available, const QSize& minimum, QPoint centre);

// Puts the window at its place. Without one it takes its first place on the screen around
// `centre`; a place that lies on no screen keeps only its size.
void Apply(QWidget& window, const Place& place, QPoint centre);

} // namespace WindowState
