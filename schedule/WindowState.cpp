#include "schedule/WindowState.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>

#include "controls/ScheduleGrid.h"
#include "schedule/DlgMain.h"

namespace {
const QString kGeometry = QStringLiteral("MainWindow/geometry");
const QString kMaximized = QStringLiteral("MainWindow/maximized");
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
} // namespace

namespace WindowState {

void Save(const DlgMain& window, QSettings& settings) {
    settings.setValue(kGeometry, window.normalGeometry());
    settings.setValue(kMaximized, window.isMaximized());
    settings.setValue(kViewType, window.Sched()->TimeType());
    settings.setValue(kResolution, static_cast<int>(window.Sched()->Resolution()));
}

void Restore(DlgMain& window, QSettings& settings) {
    const QRect place = settings.value(kGeometry).toRect();
    if (place.isValid()) {
        if (OnAScreen(place)) {
            window.setGeometry(place);
        } else {
            window.resize(place.size());
        }
    }
    if (settings.value(kMaximized, false).toBool()) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    }
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
