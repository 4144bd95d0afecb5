#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One event of an iCalendar file, in the machine's wall-clock time. A recurring event
// gives one IcsEvent per occurrence inside the range asked for, all with the same
// recurrence number.
struct IcsEvent {
    std::string uid;
    std::string summary;
    std::string location;
    std::string organizer; // the common name, else the address without "mailto:"
    std::string description;
    int32_t startDtTm = 0;
    int32_t endDtTm = 0;
    // 0: a single event; else the same number for all occurrences of one recurring event.
    int32_t recurrence = 0;
    // Why the event cannot be booked, in words (no start, an end before its start, a date
    // or time that cannot be read or stored, seconds, a repeat rule that cannot be walked);
    // empty when it can.
    std::string problem;
};

struct IcsReadResult {
    // False when the input is refused as a whole (not iCalendar, broken lines, too big);
    // then error says why and events is empty.
    bool ok = false;
    std::string error;
    std::vector<IcsEvent> events;
};

inline constexpr size_t kIcsMaxBytes = 64u * 1024u * 1024u;

// Reads every VEVENT of the text. Recurring events are expanded over the days
// fromDay..toDay (inclusive day numbers); at most maxOccurrences per event. zone is the
// machine's zone name (see MachineZone), empty for none: times in other zones and in UTC
// are converted into it; floating times, times in a zone neither the file nor libical
// knows, and all times when zone is empty are taken as they stand. A whole-day event
// (DATE values) runs from 00:00 of its first day to 00:00 after its last. Events that do
// not repeat are read whatever their dates; a changed occurrence (RECURRENCE-ID) takes the
// place of the one it changes.
IcsReadResult ReadIcs(std::string_view text, int32_t fromDay, int32_t toDay,
                      const std::string& zone, size_t maxOccurrences = 1000);
