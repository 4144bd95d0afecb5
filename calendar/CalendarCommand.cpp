#include "calendar/CalendarCommand.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <utility>

#include "calendar/CsvWriter.h"
#include "calendar/ExportSelection.h"
#include "calendar/IcsReader.h"
#include "calendar/IcsWriter.h"
#include "calendar/ImportPlan.h"
#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"
#include "store/FileIo.h"
#include "store/FileSystem.h"
#include "store/InstanceLock.h"
#include "store/StoreChanges.h"

namespace {

constexpr const char* kProgram = "tidemar: ";
// A stored moment is day * 2048 + minutes in 32 bits: the last day whose every minute fits.
constexpr int32_t kLastDay = (std::numeric_limits<int32_t>::max() - (24 * 60 - 1)) / 2048;

std::optional<int32_t> DayOf(const std::string& text) {
    int y = 0;
    int m = 0;
    int d = 0;
    char rest = 0;
    if (text.size() != 10 || std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &rest) != 3 ||
        y < 1900) {
        return std::nullopt;
    }
    const int32_t day = ClsDate::DayNumberFromCivil(y, m, d);
    int y2 = 0;
    int m2 = 0;
    int d2 = 0;
    ClsDate::CivilFromDayNumber(day, y2, m2, d2);
    if (y2 != y || m2 != m || d2 != d || day > kLastDay) {
        return std::nullopt;
    }
    return day;
}

const char* OptionOf(CalendarRequest::Kind kind) {
    switch (kind) {
    case CalendarRequest::Kind::Ics:
        return "--ics";
    case CalendarRequest::Kind::Csv:
        return "--csv";
    case CalendarRequest::Kind::Import:
        return "--import-ics";
    }
    return "";
}

// Names match as the import matches them: trimmed, ASCII letters in either case.
template <class T> int32_t Named(const Collection<T>& records, const std::string& name) {
    auto fold = [](std::string_view s) {
        const size_t first = s.find_first_not_of(' ');
        std::string out;
        if (first != std::string_view::npos) {
            out = s.substr(first, s.find_last_not_of(' ') - first + 1);
        }
        for (char& c : out) {
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        return out;
    };
    const std::string wanted = fold(name);
    for (const T& r : records) {
        if (fold(r.Name()) == wanted) {
            return r.Id();
        }
    }
    return 0;
}

// False (and told) when a data file could not be read: the store would be incomplete.
bool Readable(const ClsGlobal& store, std::ostream& errors) {
    bool readable = true;
    for (const FileProblem& p : store.LoadProblems()) {
        if (p.kind == FileProblem::Kind::Unreadable) {
            errors << kProgram << "cannot read " << (p.file.empty() ? "the data folder" : p.file)
                   << ": " << p.what << "\n";
            readable = false;
        }
    }
    return readable;
}

struct Chosen {
    int status = CalendarStatus::Done;
    int32_t resourceId = 0;
    int32_t customerId = 0;
    int32_t typeId = 0;
};

Chosen Choose(const ClsGlobal& store, const CalendarRequest& request, std::ostream& errors) {
    Chosen c;
    auto find = [&](const auto& records, const std::string& name, const char* what) {
        const int32_t id = name.empty() ? 0 : Named(records, name);
        if (!name.empty() && id == 0) {
            errors << kProgram << "there is no " << what << " named '" << name << "'\n";
            c.status = CalendarStatus::BadArguments;
        }
        return id;
    };
    c.resourceId = find(store.Resources(), request.resource, "resource");
    c.customerId = find(store.Customers(), request.customer, "customer");
    c.typeId = find(store.Types(), request.type, "type");
    return c;
}

int Export(const ProgramFolders& folders, const CalendarRequest& request, std::ostream& errors) {
    if (InDataFolder(folders.Data(), request.file)) {
        errors << kProgram << "not writing " << request.file << ": it is in the data folder "
               << folders.Data() << "\n";
        return CalendarStatus::BadArguments;
    }
    const ClsGlobal store(folders, FileSystem::Real(), StoreMode::ReadOnly);
    if (!Readable(store, errors)) {
        return CalendarStatus::Failed;
    }
    const Chosen chosen = Choose(store, request, errors);
    if (chosen.status != CalendarStatus::Done) {
        return chosen.status;
    }
    ExportSelection selection;
    if (chosen.resourceId != 0) {
        selection.kind = ExportSelection::Kind::Resource;
        selection.id = chosen.resourceId;
    } else if (chosen.customerId != 0) {
        selection.kind = ExportSelection::Kind::Customer;
        selection.id = chosen.customerId;
    }
    selection.fromDay = request.from.empty() ? selection.fromDay : *DayOf(request.from);
    selection.toDay = request.to.empty() ? selection.toDay : *DayOf(request.to);
    std::vector<int32_t> ids = SelectAppointments(store, selection);
    if (chosen.resourceId != 0 && chosen.customerId != 0) {
        std::erase_if(ids, [&](int32_t id) {
            return store.Appointments().Get(id)->CustomerId() != chosen.customerId;
        });
    }
    std::ostringstream text;
    const bool made =
        request.kind == CalendarRequest::Kind::Csv
            ? WriteCsv(store, ids, text)
            : WriteIcs(store, ids, {MachineZone(), folders.Data(), std::time(nullptr)}, text);
    const std::string bytes = std::move(text).str(); // no second copy of a large export
    const auto failed =
        made
            ? FileIo::WriteAtomic(FileSystem::Real(), request.file, std::as_bytes(std::span(bytes)))
            : std::optional<Error>(Error{ErrorNumber::OutOfMemory, "out of memory"});
    if (failed) {
        errors << kProgram << "cannot write " << request.file << ": " << failed->description
               << "\n";
        return CalendarStatus::Failed;
    }
    return CalendarStatus::Done;
}

int Import(const ProgramFolders& folders, const CalendarRequest& request, std::ostream& out,
           std::ostream& errors) {
    // A huge file is refused before it is read into memory.
    std::error_code sizeError;
    if (std::filesystem::file_size(request.file, sizeError) > kIcsMaxBytes && !sizeError) {
        errors << kProgram << request.file << ": The file is larger than " << (kIcsMaxBytes >> 20)
               << " MB.\n";
        return CalendarStatus::Failed;
    }
    ByteBlock block;
    if (const auto failed = FileIo::ReadAll(FileSystem::Real(), request.file, block)) {
        errors << kProgram << "cannot read " << request.file << ": " << failed->description << "\n";
        return CalendarStatus::Failed;
    }
    const InstanceLock lock(folders.Data());
    if (!lock.Acquired()) {
        errors << kProgram << "the planner is open on " << folders.Data()
               << ": close it and import again\n";
        return CalendarStatus::Failed;
    }
    ClsGlobal store(folders);
    if (!Readable(store, errors)) {
        return CalendarStatus::Failed;
    }
    const Chosen chosen = Choose(store, request, errors);
    if (chosen.status != CalendarStatus::Done) {
        return chosen.status;
    }
    const int32_t today = ClsDate().Today();
    const int32_t from = request.from.empty() ? today : *DayOf(request.from);
    const int32_t to = request.to.empty() ? from + 365 : *DayOf(request.to);
    const IcsReadResult read =
        ReadIcs(std::string_view(reinterpret_cast<const char*>(block.data.get()), block.size), from,
                to, MachineZone());
    if (!read.ok) {
        errors << kProgram << request.file << ": " << read.error << "\n";
        return CalendarStatus::Failed;
    }
    const auto rows =
        PlanImport(store, read.events, {chosen.resourceId, chosen.customerId, chosen.typeId});
    StoreChanges changes(store);
    const size_t booked = BookImport(changes, rows);
    const SaveResult saved = store.Save();
    if (!saved.Ok()) {
        for (size_t i = 0; i < saved.failedFiles.size(); ++i) {
            errors << kProgram << "cannot save " << saved.failedFiles[i] << ": "
                   << (i < saved.errors.size() ? saved.errors[i].description : "") << "\n";
        }
        return CalendarStatus::Failed;
    }
    for (const ImportRow& row : rows) {
        if (row.status != ImportRow::Status::Book) {
            int y = 0;
            int m = 0;
            int d = 0;
            const int32_t start = row.event.startDtTm;
            ClsDate::CivilFromDayNumber(start >> 11, y, m, d);
            char when[32] = "";
            if (row.event.problem.empty()) {
                std::snprintf(when, sizeof when, " %04d-%02d-%02d %02d:%02d", y, m, d,
                              (start & 2047) / 60, (start & 2047) % 60);
            }
            out << "skipped '" << row.event.summary << "'" << when << ": " << row.why << "\n";
        }
    }
    out << "booked " << booked << " of " << rows.size() << " events\n";
    return CalendarStatus::Done;
}

} // namespace

int CheckCalendarRequest(const CalendarRequest& request, std::ostream& errors) {
    const char* option = OptionOf(request.kind);
    if (request.file.empty()) {
        errors << kProgram << option << " needs the name of a file\n";
        return CalendarStatus::BadArguments;
    }
    if (request.kind == CalendarRequest::Kind::Import &&
        (request.resource.empty() || request.type.empty())) {
        errors << kProgram << option << " needs --resource NAME and --type NAME\n";
        return CalendarStatus::BadArguments;
    }
    if (request.kind != CalendarRequest::Kind::Import && !request.type.empty()) {
        errors << kProgram << "--type goes with --import-ics\n";
        return CalendarStatus::BadArguments;
    }
    for (const std::string* date : {&request.from, &request.to}) {
        if (!date->empty() && !DayOf(*date)) {
            errors << kProgram << "'" << *date << "' is not a date from 1900-01-01 in the form "
                   << "YYYY-MM-DD\n";
            return CalendarStatus::BadArguments;
        }
    }
    if (!request.from.empty() && !request.to.empty() && *DayOf(request.to) < *DayOf(request.from)) {
        errors << kProgram << "--to " << request.to << " is before --from " << request.from << "\n";
        return CalendarStatus::BadArguments;
    }
    return CalendarStatus::Done;
}

int RunCalendarCommand(const ProgramFolders& folders, const CalendarRequest& request,
                       std::ostream& out, std::ostream& errors) {
    if (const int status = CheckCalendarRequest(request, errors); status != CalendarStatus::Done) {
        return status;
    }
    return request.kind == CalendarRequest::Kind::Import ? Import(folders, request, out, errors)
                                                         : Export(folders, request, errors);
}
