#include "ui/WindowPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {
// Enough of the window on some screen to take hold of it.
bool OnAScreen(const QRect& place) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shared = screen->availableGeometry() & place;
        if (shared.width() >= 64 && shared.height() >= 32) {
            return true;
        }
    }
    return false;
}
} // namespace

namespace WindowState {

QRect FirstGeometry(const QRect& available, const QSize& minimum, QPoint centre) {
    const QSize size(std::max(available.width() * 3 / 4, minimum.width()),
                     std::max(available.height() * 3 / 4, minimum.height()));
    QRect place(centre - QPoint(size.width() / 2, size.height() / 2), size);
    // Within the area as far as the size allows, the top-left corner first.
    place.moveLeft(
        std::max(std::min(place.left(), available.right() + 1 - place.width()), available.left()));
    place.moveTop(
        std::max(std::min(place.top(), available.bottom() + 1 - place.height()), available.top()));
    return place;
}

void Apply(QWidget& window, const Place& place, QPoint centre) {
    // A window shown again may still be maximised from its last showing.
    window.setWindowState(window.windowState() & ~Qt::WindowMaximized);
    if (place.normal.isValid() && OnAScreen(place.normal)) {
        window.setGeometry(place.normal);
    } else if (place.normal.isValid()) {
        window.resize(place.normal.size());
    } else {
        const QScreen* screen = QGuiApplication::screenAt(centre);
        if (screen == nullptr) {
            screen = QGuiApplication::primaryScreen();
        }
        if (screen != nullptr) {
            window.setGeometry(
                FirstGeometry(screen->availableGeometry(), window.minimumSize(), centre));
        }
    }
    if (place.maximized) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    }
}

} // namespace WindowState
