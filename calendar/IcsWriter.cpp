#include "calendar/IcsWriter.h"

#include <libical/ical.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "Version.h"
#include "calendar/IcalLock.h"
#include "calendar/RecordNames.h"
#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"

namespace {

constexpr size_t kFoldAt = 75;
constexpr size_t kFlushAt = size_t{1} << 20;

icaltimezone* KnownZone(const std::string& name) {
    if (name.empty()) {
        return nullptr;
    }
    std::lock_guard guard(IcalLock());
    return icaltimezone_get_builtin_timezone(name.c_str());
}

// The zone's VTIMEZONE under the plain name the events use (libical's own TZID carries a
// prefix no other program resolves); empty for UTC, zones like it and unknown zones.
std::string VTimezoneOf(const std::string& name) {
    static std::map<std::string, std::string> made;
    std::lock_guard guard(IcalLock());
    if (auto at = made.find(name); at != made.end()) {
        return at->second;
    }
    std::string text;
    icaltimezone* zone = icaltimezone_get_builtin_timezone(name.c_str());
    icalcomponent* component = zone != nullptr && zone != icaltimezone_get_utc_timezone()
                                   ? icaltimezone_get_component(zone)
                                   : nullptr;
    // Etc/UTC and its like come without observances: no valid VTIMEZONE, and the events
    // say UTC instead.
    if (component != nullptr &&
        (icalcomponent_get_first_component(component, ICAL_XSTANDARD_COMPONENT) != nullptr ||
         icalcomponent_get_first_component(component, ICAL_XDAYLIGHT_COMPONENT) != nullptr)) {
        icalcomponent* copy = icalcomponent_new_clone(component);
        if (icalproperty* tzid = icalcomponent_get_first_property(copy, ICAL_TZID_PROPERTY)) {
            icalproperty_set_tzid(tzid, name.c_str());
        }
        char* serialised = icalcomponent_as_ical_string_r(copy);
        text = serialised;
        free(serialised);
        icalcomponent_free(copy);
    }
    made.emplace(name, text);
    return text;
}

uint64_t Fnv1a(std::string_view bytes) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes) {
        h = (h ^ c) * 1099511628211ull;
    }
    return h;
}

// The same folder however it is named: absolute, links resolved, no trailing separator.
std::string FolderTag(const std::string& dataFolder) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(dataFolder, error);
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    std::string text = (error ? path.lexically_normal() : canonical).string();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    static const char* hex = "0123456789abcdef";
    const uint64_t h = Fnv1a(text);
    std::string tag(12, '0');
    for (int i = 0; i < 12; ++i) {
        tag[size_t(i)] = hex[(h >> (60 - 4 * i)) & 15];
    }
    return tag;
}

void AppendDigits(std::string& out, int64_t value, int width) {
    char digits[20];
    int n = 0;
    for (uint64_t v = value < 0 ? 0 : uint64_t(value); n < width || v != 0; v /= 10) {
        digits[n++] = char('0' + v % 10);
    }
    while (n > 0) {
        out.push_back(digits[--n]);
    }
}

// TEXT as a property value holds it: backslash, semicolon, comma and line ends escaped.
std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '\\':
        case ';':
        case ',':
            out.push_back('\\');
            out.push_back(c);
            break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                break;
            }
            [[fallthrough]];
        case '\n':
            out += "\\n";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

// Appends one content line, folded every 75 octets but never inside a UTF-8 sequence.
void AppendLine(std::string& out, std::string_view line) {
    size_t limit = kFoldAt;
    while (line.size() > limit) {
        size_t cut = limit;
        while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        limit = kFoldAt - 1;
    }
    out.append(line);
    out += "\r\n";
}

// Writes a store's bookings as events; names are escaped once per record.
class EventWriter {
public:
    EventWriter(const ClsGlobal& store, const IcsOptions& options)
        : store_(store), tag_(FolderTag(options.dataFolder)) {
        icaltimezone* zone = KnownZone(options.zone);
        if (zone != nullptr) {
            vtimezone_ = VTimezoneOf(options.zone);
        }
        if (zone != nullptr && vtimezone_.empty()) {
            suffix_ = "Z";
            startKey_ = "DTSTART:";
            endKey_ = "DTEND:";
        } else if (zone != nullptr) {
            startKey_ = "DTSTART;TZID=" + options.zone + ":";
            endKey_ = "DTEND;TZID=" + options.zone + ":";
        }
        stamp_ = "DTSTAMP:";
        const int64_t seconds = options.stamp;
        const int64_t days = (seconds >= 0 ? seconds : seconds - 86399) / 86400;
        const int64_t rest = seconds - days * 86400;
        AppendDate(stamp_, static_cast<int32_t>(days + ClsDate::DayNumberFromCivil(1970, 1, 1)));
        stamp_.push_back('T');
        AppendDigits(stamp_, rest / 3600, 2);
        AppendDigits(stamp_, rest / 60 % 60, 2);
        AppendDigits(stamp_, rest % 60, 2);
        stamp_ += "Z\r\n";
    }

    void Begin(std::string& out) const {
        out += "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Tidemar//Tidemar PE ";
        AppendDigits(out, Version::Major, 1);
        out.push_back('.');
        AppendDigits(out, Version::Minor, 1);
        out += "//EN\r\nCALSCALE:GREGORIAN\r\n";
        out += vtimezone_;
    }
    static void End(std::string& out) { out += "END:VCALENDAR\r\n"; }

    // False when the id is not stored.
    bool Event(std::string& out, int32_t id) {
        const ClsAppointment* a = store_.Appointments().Get(id);
        if (a == nullptr) {
            return false;
        }
        out += "BEGIN:VEVENT\r\nUID:";
        AppendDigits(out, id, 1);
        out.push_back('-');
        out += tag_;
        out += "@tidemar\r\n";
        out += stamp_;
        AppendMoment(out, startKey_, a->StartDtTm());
        AppendMoment(out, endKey_, a->EndDtTm());
        line_ = "SUMMARY:";
        line_ += customers_(a->CustomerId());
        line_ += " - ";
        line_ += types_(a->TypeId());
        AppendLine(out, line_);
        line_ = "LOCATION:";
        line_ += resources_(a->ResourceId());
        AppendLine(out, line_);
        const std::string reference = a->Reference();
        if (!reference.empty()) {
            AppendLine(out, "DESCRIPTION:" + Escaped(reference));
        }
        out += "END:VEVENT\r\n";
        return true;
    }

private:
    void AppendDate(std::string& out, int32_t day) {
        if (day != lastDay_) {
            int y = 0;
            int m = 0;
            int d = 0;
            ClsDate::CivilFromDayNumber(day, y, m, d);
            lastDate_.clear();
            AppendDigits(lastDate_, y, 4);
            AppendDigits(lastDate_, m, 2);
            AppendDigits(lastDate_, d, 2);
            lastDay_ = day;
        }
        out += lastDate_;
    }

    void AppendMoment(std::string& out, const std::string& key, int32_t dtTm) {
        out += key;
        AppendDate(out, dtTm >> 11);
        const int32_t minutes = dtTm & 2047;
        out.push_back('T');
        AppendDigits(out, minutes / 60, 2);
        AppendDigits(out, minutes % 60, 2);
        out += "00";
        out += suffix_;
        out += "\r\n";
    }

    const ClsGlobal& store_;
    std::string tag_;
    std::string vtimezone_;
    std::string startKey_ = "DTSTART:";
    std::string endKey_ = "DTEND:";
    std::string suffix_;
    std::string stamp_;
    std::string line_;
    std::string lastDate_;
    int32_t lastDay_ = INT32_MIN;
    using Form = std::string (*)(std::string_view);
    RecordNames<ClsCustomer, Form> customers_{store_.Customers(), &Escaped};
    RecordNames<ClsResource, Form> resources_{store_.Resources(), &Escaped};
    RecordNames<ClsType, Form> types_{store_.Types(), &Escaped};
};

std::string ZoneFromPath(const std::string& path) {
    const size_t at = path.find("zoneinfo/");
    return at == std::string::npos ? std::string() : path.substr(at + 9);
}

} // namespace

std::string MachineZone() {
    auto known = [](const std::string& name) {
        return KnownZone(name) != nullptr ? name : std::string();
    };
    if (const char* tz = std::getenv("TZ"); tz != nullptr && *tz != '\0') {
        // TZ decides when it is set, also when it names nothing libical knows.
        std::string name = tz[0] == ':' ? tz + 1 : tz;
        return known(name.find('/') == 0 ? ZoneFromPath(name) : name);
    }
    std::ifstream file("/etc/timezone");
    std::string name;
    if (file && std::getline(file, name) && !known(name).empty()) {
        return name;
    }
    std::error_code error;
    const auto target = std::filesystem::read_symlink("/etc/localtime", error);
    return error ? std::string() : known(ZoneFromPath(target.string()));
}

std::string UidOf(const std::string& dataFolder, int32_t appointmentId) {
    return std::to_string(appointmentId) + "-" + FolderTag(dataFolder) + "@tidemar";
}

int32_t IdOfUid(const std::string& dataFolder, const std::string& uid) {
    const size_t dash = uid.find('-');
    if (dash == 0 || dash == std::string::npos || dash > 10 ||
        uid.compare(dash + 1, std::string::npos, FolderTag(dataFolder) + "@tidemar") != 0) {
        return 0;
    }
    int64_t id = 0;
    for (size_t i = 0; i < dash; ++i) {
        if (uid[i] < '0' || uid[i] > '9') {
            return 0;
        }
        id = id * 10 + (uid[i] - '0');
    }
    return id > INT32_MAX ? 0 : static_cast<int32_t>(id);
}

bool WriteIcs(const ClsGlobal& store, std::span<const int32_t> ids, const IcsOptions& options,
              std::ostream& out) {
    EventWriter writer(store, options);
    std::string buffer;
    buffer.reserve(kFlushAt + 4096);
    writer.Begin(buffer);
    for (int32_t id : ids) {
        writer.Event(buffer, id);
        if (buffer.size() >= kFlushAt) {
            out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            buffer.clear();
        }
    }
    EventWriter::End(buffer);
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    out.flush();
    return static_cast<bool>(out);
}

std::string IcsOfAppointment(const ClsGlobal& store, int32_t id, const IcsOptions& options) {
    EventWriter writer(store, options);
    std::string text;
    writer.Begin(text);
    if (!writer.Event(text, id)) {
        return std::string();
    }
    EventWriter::End(text);
    return text;
}
