#include "schedule/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include "schedule/DlgAbout.h"

namespace {

// The parser works on QStrings. Latin-1 maps every byte to one character and back, so an
// argument that is not valid text in the locale's encoding still reaches us byte for byte.
QString Carried(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string Bytes(const QString& carried) {
    return carried.toLatin1().toStdString();
}

// Values that are text, not paths, read as the locale says.
QString Text(const QString& carried) {
    return QString::fromLocal8Bit(carried.toLatin1());
}

} // namespace

CommandLine CommandLine::Parse(const std::vector<std::string>& argumentBytes) {
    QStringList arguments;
    for (const std::string& argument : argumentBytes) {
        arguments << Carried(argument);
    }
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
    const QCommandLineOption sync(
        "sync", QCoreApplication::translate("CommandLine",
                                            "Run one pass with the calendar server and exit, "
                                            "without opening a window."));
    const QCommandLineOption server(
        "server",
        QCoreApplication::translate("CommandLine",
                                    "With --sync: the calendar server's address (https://, or "
                                    "http:// to this computer), kept for later passes."),
        "URL");
    const QCommandLineOption user(
        "user",
        QCoreApplication::translate("CommandLine",
                                    "With --sync: the user name on the server, kept for later "
                                    "passes."),
        "NAME");
    const QCommandLineOption passwordFile(
        "password-file",
        QCoreApplication::translate("CommandLine",
                                    "With --sync: read the password from FILE, which only its "
                                    "owner may read and write (mode 600). Default: the "
                                    "desktop's secret store."),
        "FILE");
    parser.addOptions({help, version, data, pdf, view, date, sync, server, user, passwordFile});

    CommandLine line;
    const QString program =
        arguments.isEmpty() ? QStringLiteral("tidemar") : QFileInfo(arguments.first()).fileName();
    if (!parser.parse(arguments)) {
        line.action = Action::Error;
        line.text =
            Bytes(QStringLiteral("%1: %2\nTry '%1 --help'.\n").arg(program, parser.errorText()));
        return line;
    }
    if (!parser.positionalArguments().isEmpty()) {
        line.action = Action::Error;
        line.text = Bytes(QStringLiteral("%1: unexpected argument '%2'\nTry '%1 --help'.\n")
                              .arg(program, parser.positionalArguments().first()));
        return line;
    }
    if (parser.isSet(help)) {
        line.action = Action::Help;
        // Qt names the program only once an application object exists; name it here.
        QString text = parser.helpText();
        text.replace(0, text.indexOf(QStringLiteral(" [options]")),
                     QStringLiteral("Usage: ") + program);
        line.text = Bytes(text);
        return line;
    }
    if (parser.isSet(version)) {
        line.action = Action::Version;
        line.text = Bytes(QStringLiteral("Tidemar PE %1\n").arg(DlgAbout::ProgramVersion()));
        return line;
    }
    if (parser.isSet(sync)) {
        if (parser.isSet(pdf)) {
            line.action = Action::Error;
            line.text =
                Bytes(QStringLiteral("%1: --sync and --pdf do not go together\nTry '%1 --help'.\n")
                          .arg(program));
            return line;
        }
        line.sync = true;
        line.server = Text(parser.value(server));
        line.user = Text(parser.value(user));
        if (parser.isSet(passwordFile)) {
            line.passwordFile = Bytes(parser.value(passwordFile));
        }
    } else if (parser.isSet(server) || parser.isSet(user) || parser.isSet(passwordFile)) {
        line.action = Action::Error;
        line.text = Bytes(QStringLiteral("%1: --server, --user and --password-file go with "
                                         "--sync\nTry '%1 --help'.\n")
                              .arg(program));
        return line;
    }
    if (parser.isSet(pdf)) {
        line.pdfFile = Bytes(parser.value(pdf));
        line.view = Text(parser.value(view));
        line.date = Text(parser.value(date));
    } else if (parser.isSet(view) || parser.isSet(date)) {
        line.action = Action::Error;
        line.text =
            Bytes(QStringLiteral("%1: --view and --date go with --pdf FILE\nTry '%1 --help'.\n")
                      .arg(program));
        return line;
    }
    if (parser.isSet(data)) {
        line.dataFolder = Bytes(parser.value(data));
        if (line.dataFolder->empty()) {
            line.action = Action::Error;
            line.text =
                Bytes(QStringLiteral("%1: --data needs a folder\nTry '%1 --help'.\n").arg(program));
        }
    }
    return line;
}
