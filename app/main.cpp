#include <QApplication>

#include "controls/QtWindowing.h"
#include "schedule/DlgMain.h"
#include "schedule/SessionEnd.h"
#include "store/Hooks.h"
#include "store/InstanceLock.h"
#include "store/ModError.h"
#include "store/ProgramFolders.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tidemar PE");
    QApplication::setQuitOnLastWindowClosed(true);
    QtWindowing windowing;

    ProgramFolders folders{QCoreApplication::applicationDirPath().toStdString()};
    ModError::SetLogFile(folders.LogFile());
    ModError::SetMessageBoxHook([&windowing](const std::string& text, const std::string& title) {
        windowing.MessageBox(nullptr, QString::fromStdString(text), QString::fromStdString(title),
                             IWindowing::Icon::Exclamation, IWindowing::Buttons::Ok);
    });
    Hooks::SetDoEvents([] { QCoreApplication::processEvents(); });

    InstanceLock lock(folders.Data());
    if (!lock.Acquired()) {
        windowing.MessageBox(nullptr,
                             QObject::tr("Tidemar PE is already open on this data:\n%1\n\nSwitch "
                                         "to the planner that is running.")
                                 .arg(QString::fromStdString(folders.Data())),
                             "Tidemar PE", IWindowing::Icon::Information, IWindowing::Buttons::Ok);
        return 1;
    }

    DlgMain window(windowing, folders);
    if (!window.Loaded()) {
        windowing.MessageBox(nullptr,
                             QObject::tr("Tidemar PE could not start. The details are in %1.")
                                 .arg(QString::fromStdString(folders.LogFile())),
                             "Tidemar PE", IWindowing::Icon::Critical, IWindowing::Buttons::Ok);
        return 1;
    }
    CloseWithSessionEnd(window);
    window.show();
    return app.exec();
}
