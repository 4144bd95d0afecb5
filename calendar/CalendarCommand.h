#pragma once

#include <ostream>
#include <string>

struct ProgramFolders;

// A calendar file written or read from the command line, without a window:
//   --ics FILE / --csv FILE [--resource NAME] [--customer NAME] [--from D] [--to D]
//   --import-ics FILE --resource NAME --type NAME [--customer NAME] [--from D] [--to D]
// Names and dates (YYYY-MM-DD) as given; empty when not given.
struct CalendarRequest {
    enum class Kind { Ics, Csv, Import };
    Kind kind = Kind::Ics;
    std::string file; // byte for byte as given
    std::string resource;
    std::string customer;
    std::string type;
    std::string from;
    std::string to;
};

// Exit statuses of RunCalendarCommand.
namespace CalendarStatus {
inline constexpr int Done = 0;
inline constexpr int Failed = 1; // the file refused, the folder in use, a write that failed
inline constexpr int BadArguments = 2;
} // namespace CalendarStatus

// Checks the request's own values (the file named, the options its kind needs, the dates)
// without reading or making anything, so that a mistake is told before a folder is chosen.
int CheckCalendarRequest(const CalendarRequest& request, std::ostream& errors);

// Exports read the store without writing to the data folder or taking its lock, and replace
// the file named atomically (never one inside the data folder). The import takes the data
// folder's lock (refused while a planner is open on it), books every event that is free as
// one change, saves, and tells on `out` each event it skipped and why, then how many it
// booked; repeating events are laid out from --from (default today) to --to (default a year
// later). Errors go to `errors`, one line each; the result is one of CalendarStatus.
int RunCalendarCommand(const ProgramFolders& folders, const CalendarRequest& request,
                       std::ostream& out, std::ostream& errors);
