#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

#include <cstdio>
#include <cstring>

#include "controls/QtWindowing.h"
#include "report/ReportCommand.h"
#include "schedule/DlgMain.h"
#include "schedule/SessionEnd.h"
#include "store/Hooks.h"
#include "store/InstanceLock.h"
#include "store/ModError.h"
#include "store/ProgramFolders.h"

namespace {
// The report and the help show no window, so they need no display.
bool WithoutWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"--pdf", "--view", "--date", "--help", "-h", "-?"}) {
            if (std::strncmp(argv[i], option, std::strlen(option)) == 0) {
                return true;
            }
        }
    }
    return false;
}

// Without a window Qt's own remarks (no runtime folder and the like) are noise on stderr;
// the program's errors are written there directly.
void QuietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}
} // namespace

int main(int argc, char** argv) {
    if (WithoutWindow(argc, argv)) {
        qInstallMessageHandler(QuietQt);
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tidemar PE");
    QApplication::setQuitOnLastWindowClosed(true);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Tidemar PE, a resource planner. Without options it opens the planner.");
    parser.addHelpOption();
    const QCommandLineOption pdf("pdf",
                                 "Write the schedule report as a PDF file and exit, without "
                                 "opening a window. Paper, orientation and colour are those "
                                 "last chosen in the print preview.",
                                 "file");
    const QCommandLineOption view("view",
                                  "With --pdf: report a day, a week (Monday to Sunday) or a "
                                  "month. Default: the view last chosen in the print preview.",
                                  "day|week|month");
    const QCommandLineOption date("date", "With --pdf: a day of the report. Default: today.",
                                  "YYYY-MM-DD");
    parser.addOptions({pdf, view, date});
    parser.process(app);

    ProgramFolders folders{QCoreApplication::applicationDirPath().toStdString()};
    ModError::SetLogFile(folders.LogFile());
    if (parser.isSet(pdf) || parser.isSet(view) || parser.isSet(date)) {
        QTextStream errors(stderr);
        if (!parser.isSet(pdf)) {
            errors << "tidemar: --view and --date go with --pdf FILE\n";
            return ReportStatus::BadArguments;
        }
        ModError::SetMessageBoxHook([&errors](const std::string& text, const std::string&) {
            errors << "tidemar: " << QString::fromStdString(text) << "\n";
        });
        return WriteReportPdf(folders, {parser.value(pdf), parser.value(view), parser.value(date)},
                              errors);
    }

    QtWindowing windowing;
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
