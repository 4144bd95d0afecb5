#include "platform/PaletteInk.h"

namespace PaletteInk {

bool DarkWindow(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

QColor Alert(const QPalette& palette) {
    // A deep red vanishes on a dark grey; a pale one on white.
    return DarkWindow(palette) ? QColor(0xFF, 0x8A, 0x80) : QColor(0xB0, 0x00, 0x20);
}

QColor Muted(const QPalette& palette) {
    const QColor text = palette.color(QPalette::WindowText).toRgb();
    const QColor back = palette.color(QPalette::Window).toRgb();
    // A quarter of the way to the background keeps well above the contrast small text needs.
    const auto mix = [](int a, int b) { return (a * 3 + b) / 4; };
    return QColor(mix(text.red(), back.red()), mix(text.green(), back.green()),
                  mix(text.blue(), back.blue()));
}

} // namespace PaletteInk
