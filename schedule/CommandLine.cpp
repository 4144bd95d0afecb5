#include "schedule/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include "schedule/DlgAbout.h"

CommandLine CommandLine::Parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine", "Tidemar PE, a resource planner: book rooms, "
                                                   "people and equipment for your customers."));
    const QCommandLineOption help({"h", "help"},
                                  QCoreApplication::translate("CommandLine", "Show this help."));
    const QCommandLineOption version(
        {"v", "version"}, QCoreApplication::translate("CommandLine", "Show the version."));
    const QCommandLineOption data(
        "data",
        QCoreApplication::translate("CommandLine",
                                    "Keep the data in FOLDER/Data and the error log in FOLDER "
                                    "(made when missing), instead of beside the program or in "
                                    "~/.local/share/tidemar."),
        "FOLDER");
    const QCommandLineOption pdf(
        "pdf",
        QCoreApplication::translate("CommandLine",
                                    "Write the schedule report as a PDF file and exit, without "
                                    "opening a window. Paper, orientation and colour are those "
                                    "last chosen in the print preview."),
        "FILE");
    const QCommandLineOption view(
        "view",
        QCoreApplication::translate("CommandLine",
                                    "With --pdf: report a day, a week (Monday to Sunday) or a "
                                    "month. Default: the view last chosen in the print preview."),
        "day|week|month");
    const QCommandLineOption date("date",
                                  QCoreApplication::translate("CommandLine",
                                                              "With --pdf: a day of the report. "
                                                              "Default: today."),
                                  "YYYY-MM-DD");
    parser.addOptions({help, version, data, pdf, view, date});

    CommandLine line;
    const QString program =
        arguments.isEmpty() ? QStringLiteral("tidemar") : QFileInfo(arguments.first()).fileName();
    if (!parser.parse(arguments)) {
        line.action = Action::Error;
        line.text = QStringLiteral("%1: %2\nTry '%1 --help'.\n").arg(program, parser.errorText());
        return line;
    }
    if (!parser.positionalArguments().isEmpty()) {
        line.action = Action::Error;
        line.text = QStringLiteral("%1: unexpected argument '%2'\nTry '%1 --help'.\n")
                        .arg(program, parser.positionalArguments().first());
        return line;
    }
    if (parser.isSet(help)) {
        line.action = Action::Help;
        // Qt names the program only once an application object exists; name it here.
        line.text = parser.helpText();
        line.text.replace(0, line.text.indexOf(QStringLiteral(" [options]")),
                          QStringLiteral("Usage: ") + program);
        return line;
    }
    if (parser.isSet(version)) {
        line.action = Action::Version;
        line.text = QStringLiteral("Tidemar PE %1\n").arg(DlgAbout::ProgramVersion());
        return line;
    }
    if (parser.isSet(pdf)) {
        line.pdfFile = parser.value(pdf);
        line.view = parser.value(view);
        line.date = parser.value(date);
    } else if (parser.isSet(view) || parser.isSet(date)) {
        line.action = Action::Error;
        line.text = QStringLiteral("%1: --view and --date go with --pdf FILE\nTry '%1 --help'.\n")
                        .arg(program);
        return line;
    }
    if (parser.isSet(data)) {
        line.dataFolder = parser.value(data);
        if (line.dataFolder->isEmpty()) {
            line.action = Action::Error;
            line.text =
                QStringLiteral("%1: --data needs a folder\nTry '%1 --help'.\n").arg(program);
        }
    }
    return line;
}
