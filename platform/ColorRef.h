#pragma once

#include <QColor>

#include <cstdint>

// The records' and settings' colours are colour references 0x00BBGGRR, red in the low byte.
// The top byte is ignored on the way in and zero on the way out.
inline QColor ColorRefToQColor(uint32_t colorRef) {
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

inline uint32_t QColorToColorRef(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<uint32_t>(rgb.red()) | (static_cast<uint32_t>(rgb.green()) << 8) |
           (static_cast<uint32_t>(rgb.blue()) << 16);
}
