#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

#include "calendar/CalendarCommand.h"

// The planner's command line, read before anything else happens, so that --help, --version
// and a mistake never start a window or touch data.
struct CommandLine {
    enum class Action {
        Run,     // start the planner
        Help,    // print `text` to standard output and end with status 0
        Version, // likewise
        Error,   // print `text` to standard error and end with status 2
    };
    Action action = Action::Run;
    // The bytes to print; an argument quoted in it comes back as it was given.
    std::string text;
    // Paths byte for byte as given: a file name need not be valid text in any encoding.
    std::optional<std::string> dataFolder;
    // The report written as a PDF without a window: --pdf FILE [--view V] [--date D].
    std::optional<std::string> pdfFile;
    QString view;
    QString date;
    // A calendar file written or imported without a window: --ics, --csv or --import-ics
    // FILE with --resource, --customer, --type, --from and --to.
    std::optional<CalendarRequest> calendar;
    // One calendar server pass without a window: --sync [--server URL --user NAME]
    // [--password-file FILE].
    bool sync = false;
    QString server;
    QString user;
    std::optional<std::string> passwordFile;

    // The arguments as the program received them, its own name first.
    static CommandLine Parse(const std::vector<std::string>& arguments);
};
