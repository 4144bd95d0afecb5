#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>
#include <limits>

namespace {

enum class Axis { X, Y };

double LogicalDpi(const QWidget* widget, Axis axis) {
    if (widget != nullptr) {
        int dpi = axis == Axis::X ? widget->logicalDpiX() : widget->logicalDpiY();
        if (dpi > 0) {
            return dpi;
        }
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        double dpi =
            axis == Axis::X ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
        if (dpi > 0) {
            return dpi;
        }
    }
    return 96.0;
}

std::optional<int> TryToPixels(double twips, const QWidget* widget, Axis axis) {
    double pixels = std::nearbyint(twips * LogicalDpi(widget, axis) / TwipsPerInch);
    if (!(pixels >= std::numeric_limits<int>::min() && pixels <= std::numeric_limits<int>::max())) {
        return std::nullopt;
    }
    return static_cast<int>(pixels);
}

int ToPixels(double twips, const QWidget* widget, Axis axis) {
    if (std::optional<int> pixels = TryToPixels(twips, widget, axis)) {
        return *pixels;
    }
    if (std::isnan(twips)) {
        return 0;
    }
    return twips < 0 ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
}

} // namespace

int TwipsToPixelsX(double twips, const QWidget* widget) {
    return ToPixels(twips, widget, Axis::X);
}
int TwipsToPixelsY(double twips, const QWidget* widget) {
    return ToPixels(twips, widget, Axis::Y);
}

std::optional<int> TryTwipsToPixelsX(double twips, const QWidget* widget) {
    return TryToPixels(twips, widget, Axis::X);
}
std::optional<int> TryTwipsToPixelsY(double twips, const QWidget* widget) {
    return TryToPixels(twips, widget, Axis::Y);
}

double PixelsToTwipsX(int pixels, const QWidget* widget) {
    return pixels * TwipsPerInch / LogicalDpi(widget, Axis::X);
}
double PixelsToTwipsY(int pixels, const QWidget* widget) {
    return pixels * TwipsPerInch / LogicalDpi(widget, Axis::Y);
}
