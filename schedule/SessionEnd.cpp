#include "schedule/SessionEnd.h"

#include <QGuiApplication>
#include <QSessionManager>

#include "platform/SignalWatcher.h"
#include "schedule/DlgMain.h"

void CloseWithSessionEnd(DlgMain& window) {
    auto* watcher = new SignalWatcher(&window);
    QObject::connect(watcher, &SignalWatcher::Signalled, &window, [&window] { window.close(); });
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.close(); });
    QObject::connect(qGuiApp, &QCoreApplication::aboutToQuit, &window,
                     [&window] { window.Form_Unload(); });
}
