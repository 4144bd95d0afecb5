#include "schedule/WindowState.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <algorithm>

#include "grid/ScheduleGrid.h"
#include "schedule/DlgMain.h"

namespace {
const QString kGeometry = QStringLiteral("MainWindow/geometry");
const QString kMaximized = QStringLiteral("MainWindow/maximized");
const QString kPreviewGeometry = QStringLiteral("Preview/geometry");
const QString kPreviewMaximized = QStringLiteral("Preview/maximized");
const QString kViewType = QStringLiteral("Schedule/viewType");
const QString kResolution = QStringLiteral("Schedule/resolution");

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

WindowState::Place Read(QSettings& settings, const QString& geometry, const QString& maximized) {
    return {settings.value(geometry).toRect(), settings.value(maximized, false).toBool()};
}

void Write(QSettings& settings, const QString& geometry, const QString& maximized,
           const WindowState::Place& place) {
    settings.setValue(geometry, place.normal);
    settings.setValue(maximized, place.maximized);
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

void Save(const DlgMain& window, QSettings& settings) {
    // The normal place of a maximised window is the one it goes back to.
    Write(settings, kGeometry, kMaximized, {window.normalGeometry(), window.isMaximized()});
    if (window.PreviewPlace().normal.isValid()) {
        Write(settings, kPreviewGeometry, kPreviewMaximized, window.PreviewPlace());
    }
    settings.setValue(kViewType, window.Sched()->TimeType());
    settings.setValue(kResolution, static_cast<int>(window.Sched()->Resolution()));
}

void Restore(DlgMain& window, QSettings& settings) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QPoint centre =
        screen != nullptr ? screen->availableGeometry().center() : window.geometry().center();
    Apply(window, Read(settings, kGeometry, kMaximized), centre);
    window.SetPreviewPlace(Read(settings, kPreviewGeometry, kPreviewMaximized));
    bool ok = false;
    const int view = settings.value(kViewType).toInt(&ok);
    if (ok && view >= 0 && view <= 2) {
        window.Sched()->SetTimeType(view);
    }
    const int resolution = settings.value(kResolution).toInt(&ok);
    if (ok) {
        window.Sched()->SetResolution(
            static_cast<int16_t>(std::clamp(resolution, int{ScheduleGrid::ResolutionMinimum()},
                                            int{ScheduleGrid::ResolutionMaximum()})));
    }
}

} // namespace WindowState
