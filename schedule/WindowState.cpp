#include "schedule/WindowState.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

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
