#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>

class ClsGlobal;

// How the bookings' wall-clock times are told.
struct IcsOptions {
    // An IANA zone name ("Europe/Berlin"): times carry TZID and the file its VTIMEZONE.
    // Empty: floating times, for a machine whose zone is unknown.
    std::string zone;
    // The data folder the bookings come from (ProgramFolders::Data()): their UIDs are
    // derived from it and the id, so every export and the sync must pass the same folder.
    std::string dataFolder;
    // DTSTAMP, seconds since 1970 (UTC).
    int64_t stamp = 0;
};

// The machine's zone name, from TZ, /etc/timezone or the /etc/localtime link; empty when
// none of them names one libical knows.
std::string MachineZone();

// Stable over runs and exports: the same record of the same data folder always has it.
std::string UidOf(const std::string& dataFolder, int32_t appointmentId);
// The appointment id a UID of this data folder names; 0 for any other UID.
int32_t IdOfUid(const std::string& dataFolder, const std::string& uid);

// A VCALENDAR holding one VEVENT per appointment (missing ids left out). SUMMARY is
// "customer - type", LOCATION the resource, DESCRIPTION the reference; text is UTF-8 and
// lines are folded at 75 octets. False when the stream failed.
bool WriteIcs(const ClsGlobal& store, std::span<const int32_t> ids, const IcsOptions& options,
              std::ostream& out);
// One appointment as a whole VCALENDAR object, as a CalDAV server takes it; empty when the
// id is not stored.
std::string IcsOfAppointment(const ClsGlobal& store, int32_t id, const IcsOptions& options);
