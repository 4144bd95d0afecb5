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
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(data);

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
