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
    auto tr = [](const char* text) { return QCoreApplication::translate("CommandLine", text); };
    const QCommandLineOption ics(
        "ics",
        tr("Write the bookings as an iCalendar file and exit, without opening a window: all "
           "of them, or those chosen with --resource, --customer, --from and --to."),
        "FILE");
    const QCommandLineOption csv("csv",
                                 tr("Write the bookings as a CSV file (UTF-8, a header "
                                    "row) and exit; chosen as with --ics."),
                                 "FILE");
    const QCommandLineOption importIcs(
        "import-ics",
        tr("Book the events of an iCalendar file on --resource with --type (and --customer "
           "where an event names none that exists), print those skipped and why, and exit. "
           "Repeating events are booked from --from (default today) to --to (default a year "
           "later). Refused while a planner is open on the same data."),
        "FILE");
    const QCommandLineOption resource(
        "resource", tr("With --ics, --csv, --import-ics: the resource, by name."), "NAME");
    const QCommandLineOption customer(
        "customer", tr("With --ics, --csv, --import-ics: the customer, by name."), "NAME");
    const QCommandLineOption type("type", tr("With --import-ics: the type, by name."), "NAME");
    const QCommandLineOption from("from", tr("With --ics, --csv, --import-ics: the first day."),
                                  "YYYY-MM-DD");
    const QCommandLineOption to("to", tr("With --ics, --csv, --import-ics: the last day."),
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
    parser.addOptions({help, version, data, pdf, view, date, ics, csv, importIcs, resource,
                       customer, type, from, to, sync, server, user, passwordFile});

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
    const int commands = int(parser.isSet(pdf)) + int(parser.isSet(ics)) + int(parser.isSet(csv)) +
                         int(parser.isSet(importIcs)) + int(parser.isSet(sync));
    if (commands > 1) {
        line.action = Action::Error;
        line.text = Bytes(
            QStringLiteral(
                "%1: only one of --pdf, --ics, --csv, --import-ics and --sync\nTry '%1 --help'.\n")
                .arg(program));
        return line;
    }
    if (parser.isSet(ics) || parser.isSet(csv) || parser.isSet(importIcs)) {
        CalendarRequest request;
        request.kind = parser.isSet(ics)   ? CalendarRequest::Kind::Ics
                       : parser.isSet(csv) ? CalendarRequest::Kind::Csv
                                           : CalendarRequest::Kind::Import;
        request.file = Bytes(parser.value(parser.isSet(ics)   ? ics
                                          : parser.isSet(csv) ? csv
                                                              : importIcs));
        // Names are compared with the records' UTF-8 names.
        request.resource = Text(parser.value(resource)).toStdString();
        request.customer = Text(parser.value(customer)).toStdString();
        request.type = Text(parser.value(type)).toStdString();
        request.from = Text(parser.value(from)).toStdString();
        request.to = Text(parser.value(to)).toStdString();
        line.calendar = request;
    } else if (parser.isSet(resource) || parser.isSet(customer) || parser.isSet(type) ||
               parser.isSet(from) || parser.isSet(to)) {
        line.action = Action::Error;
        line.text = Bytes(QStringLiteral("%1: --resource, --customer, --type, --from and --to go "
                                         "with --ics, --csv or --import-ics FILE\nTry '%1 "
                                         "--help'.\n")
                              .arg(program));
        return line;
    }
    if (parser.isSet(sync)) {
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
