#pragma once

#include <QColor>
#include <QPalette>

// Text colours of the program's own chrome, taken from the desktop's palette so that a dark
// theme reads as well as a light one.
namespace PaletteInk {

// True when the window background is dark (a dark theme).
bool DarkWindow(const QPalette& palette);
// A red for warnings that reads on the window background, light or dark.
QColor Alert(const QPalette& palette);
// Secondary text: the window's text colour pulled towards its background, still readable.
QColor Muted(const QPalette& palette);

} // namespace PaletteInk
