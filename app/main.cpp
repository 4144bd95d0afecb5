#include <QApplication>
#include <QSettings>
#include <QTextStream>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "base/Hooks.h"
#include "base/ModError.h"
#include "calendar/CalendarCommand.h"
#include "platform/QtWindowing.h"
#include "report/ReportCommand.h"
#include "schedule/CommandLine.h"
#include "schedule/DlgMain.h"
#include "schedule/SessionEnd.h"
#include "schedule/WindowState.h"
#include "store/FileSystem.h"
#include "store/FolderChoice.h"
#include "store/InstanceLock.h"
#include "sync/PasswordStore.h"
#include "sync/SyncCommand.h"

namespace {

// The folder of the executable, without asking Qt: the command line is dealt with before any
// window system is touched.
std::string ProgramFolder(const char* argv0) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        exe = std::filesystem::absolute(argv0, ec);
    }
    return exe.parent_path().string();
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Without a window Qt's own remarks (no runtime folder and the like) are noise on stderr;
// the program's errors are written there directly.
void QuietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

void Print(const std::string& text, FILE* stream) {
    if (std::fwrite(text.data(), 1, text.size(), stream) != text.size()) {
        std::perror("tidemar");
    }
}

} // namespace

int main(int argc, char** argv) {
    // The arguments stay bytes: a path that is not valid text must still name its file.
    const CommandLine line = CommandLine::Parse(std::vector<std::string>(argv, argv + argc));
    switch (line.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
        Print(line.text, stdout);
        return 0;
    case CommandLine::Action::Error:
        Print(line.text, stderr);
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    std::optional<ReportRequest> report;
    if (line.pdfFile) {
        report = ReportRequest{*line.pdfFile, line.view, line.date};
        QTextStream errors(stderr);
        if (const int status = CheckReportRequest(*report, errors);
            status != ReportStatus::Written) {
            return status;
        }
    }
    if (line.calendar) {
        if (const int status = CheckCalendarRequest(*line.calendar, std::cerr);
            status != CalendarStatus::Done) {
            return status;
        }
    }
    // The report and the exports only read: they make no folder, not even the data folder.
    const bool onlyReads = report.has_value() ||
                           (line.calendar && line.calendar->kind != CalendarRequest::Kind::Import);
    const std::string programFolder = ProgramFolder(argv[0]);
    const FolderChoice choice = ChooseFolders(
        FileSystem::Real(), {programFolder, line.dataFolder, Environment("XDG_DATA_HOME"),
                             Environment("HOME"), !onlyReads});
    if (!choice.folders && (line.dataFolder || report || line.calendar || line.sync)) {
        std::fprintf(stderr, "tidemar: %s\n", choice.error.c_str());
        return 2;
    }
    if (line.calendar) {
        // Plain C++ all the way: no application object, no display.
        ModError::SetLogFile(choice.folders->LogFile());
        ModError::SetMessageBoxHook([](const std::string& text, const std::string&) {
            std::cerr << "tidemar: " << text << "\n";
        });
        return RunCalendarCommand(*choice.folders, *line.calendar, std::cout, std::cerr);
    }
    if (line.sync) {
        qInstallMessageHandler(QuietQt);
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName("Tidemar PE");
        QCoreApplication::setOrganizationName("Tidemar");
        const ProgramFolders& folders = *choice.folders;
        ModError::SetLogFile(folders.LogFile());
        QTextStream errors(stderr);
        ModError::SetMessageBoxHook([&errors](const std::string& text, const std::string&) {
            errors << "tidemar: " << QString::fromStdString(text) << "\n";
        });
        const SyncRequest request{line.server, line.user, line.passwordFile};
        // Without --password-file: the desktop's secret store, and why not when it has none.
        const auto secretStore = [&errors](const SyncSettings& s) -> std::optional<QString> {
            const PasswordStore::Result stored = PasswordStore::ReadNow(
                QString::fromStdString(s.user), QString::fromStdString(s.server));
            if (stored.outcome != PasswordStore::Outcome::Done) {
                errors << "tidemar: " << stored.error << "\n";
                return std::nullopt;
            }
            return stored.password;
        };
        return SyncCommand::Run(folders, request, secretStore, errors);
    }
    if (report) {
        // The report shows no window, so it needs no display.
        qInstallMessageHandler(QuietQt);
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("Tidemar PE");
    QApplication::setOrganizationName("Tidemar");
    QApplication::setDesktopFileName("tidemar");
    QApplication::setQuitOnLastWindowClosed(true);
    if (report) {
        const ProgramFolders& folders = *choice.folders;
        ModError::SetLogFile(folders.LogFile());
        QTextStream errors(stderr);
        ModError::SetMessageBoxHook([&errors](const std::string& text, const std::string&) {
            errors << "tidemar: " << QString::fromStdString(text) << "\n";
        });
        return WriteReportPdf(folders, *report, errors);
    }

    QtWindowing windowing;
    if (!choice.folders) {
        windowing.MessageBox(nullptr,
                             QObject::tr("Tidemar PE has nowhere to keep its data: %1.")
                                 .arg(QString::fromStdString(choice.error)),
                             "Tidemar PE", IWindowing::Icon::Critical, IWindowing::Buttons::Ok);
        return 1;
    }
    const ProgramFolders& folders = *choice.folders;
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
    QSettings settings;
    WindowState::Restore(window, settings);
    CloseWithSessionEnd(window);
    window.show();
    // On an X server without a window manager nobody else gives the new window the keyboard,
    // and its shortcuts (Ctrl+Q among them) would go unheard until a click.
    window.activateWindow();
    const int status = app.exec();
    WindowState::Save(window, settings);
    return status;
}
