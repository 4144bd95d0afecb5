#include "fuzz/FuzzEntry.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "base/ModError.h"
#include "calendar/IcsReader.h"
#include "datetime/ClsDate.h"
#include "fuzz/MemoryFileSystem.h"
#include "store/ClsGlobal.h"

namespace {

const ProgramFolders kFolders{"/program"};

void Check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

template <class T> std::vector<std::byte> Bytes(const Collection<T>& collection) {
    std::vector<std::byte> out;
    for (const T& record : collection) {
        auto b = std::as_bytes(std::span(&record, 1));
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

std::vector<std::byte> Everything(const ClsGlobal& store) {
    std::vector<std::byte> all = Bytes(store.Resources());
    for (const auto& part :
         {Bytes(store.Customers()), Bytes(store.Types()), Bytes(store.Appointments())}) {
        all.insert(all.end(), part.begin(), part.end());
    }
    const std::vector<std::byte> links = store.Series().Bytes();
    all.insert(all.end(), links.begin(), links.end());
    return all;
}

// Every link names a stored booking, and a series' members are the bookings linked to it.
void CheckLinks(const ClsGlobal& store) {
    for (int32_t id : store.Series().Linked()) {
        const int32_t series = store.SeriesOf(id);
        Check(series > 0 && store.Appointments().Exists(id));
        const std::vector<int32_t> members = store.SeriesMembers(series);
        Check(std::find(members.begin(), members.end(), id) != members.end());
        for (int32_t member : members) {
            Check(store.SeriesOf(member) == series);
        }
    }
}

// Bookings 1 to 8 for the links of a fuzzed Series.bin to name.
std::vector<std::byte> SomeBookings() {
    std::vector<std::byte> bytes;
    for (int32_t id = 1; id <= 8; ++id) {
        ClsAppointment a{ClsAppointment::Blank{}};
        a.SetId(id);
        a.SetResourceId(9);
        a.SetStartDtTm(100 * id);
        a.SetEndDtTm(100 * id + 50);
        const auto b = std::as_bytes(std::span(&a, 1));
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    return bytes;
}

void CheckIndexes(const ClsGlobal& store) {
    size_t slots = 0;
    for (const ClsAppointment& a : store.Appointments()) {
        bool found = false;
        for (const ResourceSlot& s : store.AppointmentsOfResource(a.ResourceId())) {
            found = found ||
                    (s.id == a.Id() && s.startDtTm == a.StartDtTm() && s.endDtTm == a.EndDtTm());
        }
        Check(found);
        Check(store.AppointmentLoad(a.Id())->Id() == a.Id());
    }
    for (const ClsResource& r : store.Resources()) {
        slots += store.AppointmentsOfResource(r.Id()).size();
        Check(store.ResourceLoad(r.Id())->Id() == r.Id());
    }
    Check(slots <= store.Appointments().Count());
}

} // namespace

void FuzzDataFile(const std::string& fileName, const uint8_t* data, size_t size) {
    ModError::SetLogFile("/dev/null");
    MemoryFileSystem files;
    files.folders = {kFolders.program, kFolders.Data()};
    const std::string path = kFolders.Data() + "/" + fileName;
    const auto* bytes = reinterpret_cast<const std::byte*>(data);
    files.files[path].assign(bytes, bytes + size);
    if (fileName == "Series.bin") {
        files.files[kFolders.Data() + "/Appointment.bin"] = SomeBookings();
    }

    ClsGlobal store(kFolders, files);
    CheckIndexes(store);
    CheckLinks(store);
    const std::vector<std::byte> loaded = Everything(store);
    const int32_t format = store.DateFormat();
    const std::string word = store.ResourceType();

    // Whatever was repaired or created is written, and then loads as it was, cleanly.
    Check(store.Save().Ok());
    Check(!store.HasPendingChanges());
    ClsGlobal again(kFolders, files);
    for (const FileProblem& problem : again.LoadProblems()) {
        Check(problem.kind == FileProblem::Kind::Noted); // bookings without their resource
    }
    Check(Everything(again) == loaded);
    Check(again.DateFormat() == format && again.ResourceType() == word);

    // A new id is above 0 and held by no record; a new record can always be made.
    int32_t id = again.NextId();
    Check(id > 0);
    Check(!again.Customers().Exists(id) && !again.Resources().Exists(id) &&
          !again.Types().Exists(id) && !again.Appointments().Exists(id));
    int32_t customer = 0;
    Check(again.CustomerSave(customer, "Fuzz") > 0);
    int32_t appointment = 0;
    int32_t saved = again.AppointmentSave(appointment, customer, 1, 0, 100, 200, "F");
    Check(saved > 0 || saved == -1);
    CheckIndexes(again);
    // A booking deleted leaves its series; the links stay true.
    if (!again.Series().Empty()) {
        again.AppointmentDelete(again.Series().Linked().front());
    }
    CheckLinks(again);
}

void FuzzDateTexts(const uint8_t* data, size_t size) {
    ModError::SetLogFile("/dev/null");
    ClsDate date;
    const std::string text(reinterpret_cast<const char*>(data), size);
    date.TimeToMinutes(text);
    date.MinutesSinceMidnight(text);
    date.SecondsSinceMidnight(text);
    int32_t n[4] = {};
    if (size > 0) {
        std::memcpy(n, data, std::min(size, sizeof n));
    }
    const int32_t month = date.FirstDayOfMonth(n[0]);
    const int32_t last = date.LastDayOfMonth(n[0]);
    if (month != 0 || last != 0) {
        Check(month <= n[0] && n[0] <= last && last - month < 31);
        Check(date.DaysInMonth(n[0]) == last - month + 1);
    }
    const int32_t adjusted = date.MinutesAdjust(n[1], n[2]);
    Check(adjusted == 0 || date.SplitTimeVal(adjusted) < 1440);
    date.MinutesBetween(n[1], n[3]);
    int32_t granularity = n[3];
    const int32_t rounded = date.Granularise(n[2], granularity);
    Check(granularity >= 1);
    Check(rounded < 1 || rounded % granularity == 0 || rounded == n[2] + granularity / 2);
    date.MinutesToTime(n[2]);
    date.SecondsToTime(n[2]);
    date.MilitaryTime(static_cast<int16_t>(n[3]));
    date.DateAndTimeString(n[0], n[1] & 2047);
    date.DateToLong(static_cast<double>(n[0]) + n[1] / 1e9);
    date.LongToDate(n[0]);
}

void FuzzIcs(const uint8_t* data, size_t size) {
    constexpr size_t kMost = 50;
    const int32_t from = ClsDate::DayNumberFromCivil(2026, 1, 1);
    const IcsReadResult r = ReadIcs(std::string_view(reinterpret_cast<const char*>(data), size),
                                    from, from + 365, "Europe/Berlin", kMost);
    Check(r.ok == r.error.empty());
    Check(r.ok || r.events.empty());
    std::vector<size_t> perRecurrence;
    for (const IcsEvent& e : r.events) {
        Check(e.recurrence >= 0);
        if (e.recurrence > 0) {
            perRecurrence.resize(std::max(perRecurrence.size(), size_t(e.recurrence) + 1));
            Check(++perRecurrence[size_t(e.recurrence)] <= kMost);
        }
        if (e.problem.empty()) {
            Check((e.startDtTm & 2047) < 1440 && (e.endDtTm & 2047) < 1440);
            Check(e.startDtTm >= 0 && e.endDtTm >= 0);
        }
    }
}
