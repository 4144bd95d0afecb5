#pragma once

#include <QString>
#include <QStringList>

#include <optional>

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
    QString text;
    std::optional<QString> dataFolder;
    // The report written as a PDF without a window: --pdf FILE [--view V] [--date D].
    std::optional<QString> pdfFile;
    QString view;
    QString date;

    static CommandLine Parse(const QStringList& arguments);
};
