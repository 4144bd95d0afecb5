#include "calendar/IcsReader.h"

#include <libical/ical.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <tuple>

#include "calendar/IcalLock.h"
#include "datetime/ClsDate.h"

namespace {

// However long a repeat rule runs before the range, the walk to it stops here.
constexpr size_t kMaxSteps = 200000;
constexpr int kFirstYear = 1900;
constexpr int kLastYear = 9999;
// A stored moment is day * 2048 + minutes in 32 bits: the last day whose every minute fits
// (26 Nov 4770).
constexpr int32_t kLastDay = (INT32_MAX - (24 * 60 - 1)) / 2048;
constexpr int kZoneLastYear = 2200;
// Real calendars nest three deep (a zone's observance in a zone in the calendar); libical
// frees a tree by recursion, so a file nested a million deep would end the program.
constexpr int kMaxNesting = 16;

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

// The first thing libical could not parse, anywhere in the tree; empty when there is none.
std::string FirstParseError(icalcomponent* c) {
    if (icalcomponent_isa(c) == ICAL_XLICINVALID_COMPONENT) {
        return "a part of the file is not iCalendar";
    }
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY)) {
        const char* what = icalproperty_get_xlicerror(p);
        return what != nullptr && *what != '\0' ? what : "a line cannot be read";
    }
    for (icalcomponent* child = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT);
         child != nullptr; child = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT)) {
        std::string error = FirstParseError(child);
        if (!error.empty()) {
            return error;
        }
    }
    return std::string();
}

std::string Text(const char* value) {
    return value != nullptr ? value : std::string();
}

std::string Organizer(icalcomponent* event) {
    icalproperty* p = icalcomponent_get_first_property(event, ICAL_ORGANIZER_PROPERTY);
    if (p == nullptr) {
        return std::string();
    }
    if (icalparameter* cn = icalproperty_get_first_parameter(p, ICAL_CN_PARAMETER)) {
        std::string name = Text(icalparameter_get_cn(cn));
        if (!name.empty()) {
            return name;
        }
    }
    std::string address = Text(icalproperty_get_organizer(p));
    return StartsWithNoCase(address, "MAILTO:") ? address.substr(7) : address;
}

icaltimezone* ZoneOf(const icaltimetype& t) {
    if (icaltime_is_utc(t)) {
        return icaltimezone_get_utc_timezone();
    }
    return const_cast<icaltimezone*>(t.zone);
}

// libical works out a zone's changes year by year up to the year asked for, which for a
// date centuries ahead takes seconds: zones are used up to here only.
bool InZoneYears(const icaltimetype& t) {
    return t.year >= kFirstYear && t.year <= kZoneLastYear;
}

// Seconds since 1970 of a moment; floating and whole-day times, and times past the zone
// years, count as if in UTC.
int64_t SecondsOf(const icaltimetype& t) {
    icaltimezone* zone = ZoneOf(t);
    return static_cast<int64_t>(icaltime_as_timet_with_zone(
        t,
        zone != nullptr && !t.is_date && InZoneYears(t) ? zone : icaltimezone_get_utc_timezone()));
}

// Orders two times of the same zone by their fields, without asking the zone.
int CompareFields(const icaltimetype& a, const icaltimetype& b) {
    const auto key = [](const icaltimetype& t) {
        return std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second);
    };
    return key(a) < key(b) ? -1 : key(b) < key(a) ? 1 : 0;
}

// libical takes "T-13000" for an hour of -1, and lets a day run past its month.
bool Readable(const icaltimetype& t) {
    return t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= icaltime_days_in_month(t.month, t.year) && t.hour >= 0 && t.hour <= 23 &&
           t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 60;
}

// A moment as a wall-clock DtTm of the target zone; false (and why) when it has none.
bool ToDtTm(icaltimetype t, icaltimezone* target, int32_t& dtTm, std::string& problem) {
    // libical takes "T-13000" for an hour of -1.
    if (t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > icaltime_days_in_month(t.month, t.year) || t.hour < 0 || t.hour > 23 ||
        t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 60) {
        problem = "its date or time cannot be read";
        return false;
    }
    if (!t.is_date && target != nullptr && ZoneOf(t) != nullptr && ZoneOf(t) != target) {
        if (!InZoneYears(t)) {
            problem = "its date is too far ahead to place in its time zone";
            return false;
        }
        icaltimezone_convert_time(&t, ZoneOf(t), target);
    }
    if (t.year < kFirstYear || t.year > kLastYear ||
        ClsDate::DayNumberFromCivil(t.year, t.month, t.day) > kLastDay) {
        problem = "its date is before 1900 or after 4770-11-26";
        return false;
    }
    if (!t.is_date && t.second != 0) {
        problem = "its time has seconds";
        return false;
    }
    const int32_t day = ClsDate::DayNumberFromCivil(t.year, t.month, t.day);
    dtTm = day * 2048 + (t.is_date ? 0 : t.hour * 60 + t.minute);
    return true;
}

// One VEVENT as read, before its occurrences are laid out.
struct Source {
    icalcomponent* component = nullptr;
    IcsEvent fields; // the texts
    bool hasStart = false;
    icaltimetype start{};
    icaldurationtype length{};
};

Source SourceOf(icalcomponent* event) {
    Source s;
    s.component = event;
    s.fields.uid = Text(icalcomponent_get_uid(event));
    s.fields.summary = Text(icalcomponent_get_summary(event));
    s.fields.location = Text(icalcomponent_get_location(event));
    s.fields.description = Text(icalcomponent_get_description(event));
    s.fields.organizer = Organizer(event);
    s.hasStart = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY) != nullptr;
    if (!s.hasStart) {
        s.fields.problem = "it has no start";
        return s;
    }
    s.start = icalcomponent_get_dtstart(event);
    if (!Readable(s.start)) {
        s.fields.problem = "its date or time cannot be read";
        return s;
    }
    int64_t seconds = 0;
    if (icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY) != nullptr) {
        seconds = SecondsOf(icalcomponent_get_dtend(event)) - SecondsOf(s.start);
    } else if (icalproperty* d = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY)) {
        seconds = icaldurationtype_as_int(icalproperty_get_duration(d));
    } else if (s.start.is_date) {
        seconds = 86400; // a whole day
    }
    if (seconds < 0) {
        s.fields.problem = "it ends before it starts";
    }
    s.length = icaldurationtype_from_int(
        static_cast<int>(std::clamp<int64_t>(seconds, -int64_t{INT32_MAX}, int64_t{INT32_MAX})));
    return s;
}

// The event at one start, with the end its length gives.
IcsEvent Occurrence(const Source& s, const icaltimetype& start, icaltimezone* target,
                    int32_t recurrence) {
    IcsEvent e = s.fields;
    e.recurrence = recurrence;
    if (!e.problem.empty()) {
        return e;
    }
    // A zone's end is the moment the length reaches, which a change of summer time moves on
    // the wall clock; floating times and days count on the wall clock.
    icaltimezone* zone = ZoneOf(start);
    icaltimetype end = icaltime_add(start, s.length);
    if (zone != nullptr && !start.is_date && InZoneYears(start)) {
        end = icaltime_from_timet_with_zone(
            static_cast<time_t>(SecondsOf(start) + icaldurationtype_as_int(s.length)), 0, zone);
    }
    end.zone = start.zone;
    if (ToDtTm(start, target, e.startDtTm, e.problem)) {
        ToDtTm(end, target, e.endDtTm, e.problem);
    }
    return e;
}

bool Touches(const IcsEvent& e, int32_t fromDay, int32_t toDay) {
    return !e.problem.empty() || ((e.startDtTm >> 11) <= toDay && (e.endDtTm >> 11) >= fromDay);
}

bool SameMoment(const icaltimetype& occurrence, const icaltimetype& other) {
    if (other.is_date || occurrence.is_date) {
        return occurrence.year == other.year && occurrence.month == other.month &&
               occurrence.day == other.day;
    }
    return SecondsOf(occurrence) == SecondsOf(other);
}

icaltimetype DayAt(int32_t day, const icaltimetype& like) {
    int y = 0;
    int m = 0;
    int d = 0;
    ClsDate::CivilFromDayNumber(day, y, m, d);
    icaltimetype t = like;
    t.year = y;
    t.month = m;
    t.day = d;
    t.hour = t.minute = t.second = 0;
    return t;
}

// Every start of a repeating event that can reach the range (a day of slack each side
// for zones), sorted, without those its EXDATEs take away. False when a rule cannot be
// walked.
bool Starts(const Source& s, int32_t fromDay, int32_t toDay, size_t most,
            std::vector<icaltimetype>& starts) {
    icalcomponent* c = s.component;
    const icaltimetype last = DayAt(std::min(toDay, INT32_MAX / 2048 - 2) + 2, s.start);
    const icaltimetype from = DayAt(std::max(fromDay, 2), s.start);
    const icaltimetype first = DayAt(std::max(fromDay, 2) - 2, s.start);
    starts.push_back(s.start);
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(c, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype rule = icalproperty_get_rrule(p);
        icalrecur_iterator* it = icalrecur_iterator_new(rule, s.start);
        if (it == nullptr) {
            return false;
        }
        if (rule.count == 0 && CompareFields(s.start, first) < 0) {
            icalrecur_iterator_set_start(it, first);
        }
        size_t inRange = 0;
        for (size_t step = 0; step < kMaxSteps && inRange < most; ++step) {
            icaltimetype t = icalrecur_iterator_next(it);
            if (icaltime_is_null_time(t) || CompareFields(t, last) > 0) {
                break;
            }
            t.zone = s.start.zone;
            if (CompareFields(t, first) >= 0) {
                inRange += CompareFields(t, from) >= 0 ? 1 : 0;
                starts.push_back(t);
            }
        }
        icalrecur_iterator_free(it);
    }
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(c, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype rdate = icalproperty_get_rdate(p);
        icaltimetype t = icaltime_is_null_time(rdate.time)
                             ? rdate.period.start
                             : icalproperty_get_datetime_with_component(p, c);
        if (t.zone == nullptr && !icaltime_is_utc(t)) {
            t.zone = s.start.zone;
        }
        starts.push_back(t);
    }
    std::sort(starts.begin(), starts.end(), [](const icaltimetype& a, const icaltimetype& b) {
        return SecondsOf(a) < SecondsOf(b);
    });
    starts.erase(std::unique(starts.begin(), starts.end(),
                             [](const icaltimetype& a, const icaltimetype& b) {
                                 return SecondsOf(a) == SecondsOf(b);
                             }),
                 starts.end());
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_EXDATE_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(c, ICAL_EXDATE_PROPERTY)) {
        const icaltimetype ex = icalproperty_get_datetime_with_component(p, c);
        std::erase_if(starts, [&](const icaltimetype& t) { return SameMoment(t, ex); });
    }
    return true;
}

// True when no component is nested deeper than kMaxNesting.
bool ShallowEnough(std::string_view text) {
    int depth = 0;
    for (size_t at = 0; at < text.size();) {
        const std::string_view line = text.substr(at);
        if (StartsWithNoCase(line, "BEGIN:") && ++depth > kMaxNesting) {
            return false;
        }
        depth -= StartsWithNoCase(line, "END:") ? 1 : 0;
        const size_t next = text.find('\n', at);
        at = next == std::string_view::npos ? text.size() : next + 1;
    }
    return true;
}

bool Repeats(icalcomponent* c) {
    return icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY) != nullptr ||
           icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY) != nullptr;
}

IcsReadResult Refused(std::string why) {
    IcsReadResult r;
    r.error = std::move(why);
    return r;
}

} // namespace

IcsReadResult ReadIcs(std::string_view text, int32_t fromDay, int32_t toDay,
                      const std::string& zone, size_t maxOccurrences) {
    if (text.size() > kIcsMaxBytes) {
        return Refused("The file is larger than " + std::to_string(kIcsMaxBytes >> 20) + " MB.");
    }
    std::string_view body = text;
    if (body.substr(0, 3) == "\xEF\xBB\xBF") {
        body.remove_prefix(3);
    }
    body.remove_prefix(std::min(body.size(), body.find_first_not_of(" \t\r\n")));
    if (body.empty()) {
        return Refused("The file is empty.");
    }
    if (!StartsWithNoCase(body, "BEGIN:VCALENDAR")) {
        return Refused("This is not an iCalendar file: it does not begin with BEGIN:VCALENDAR.");
    }
    if (body.find('\0') != std::string_view::npos) {
        return Refused("The file holds a NUL byte, which no iCalendar file has.");
    }
    if (!ShallowEnough(body)) {
        return Refused("The file nests its parts deeper than any calendar does.");
    }
    std::lock_guard guard(IcalLock());
    icalerror_set_errors_are_fatal(0);
    Component root(icalparser_parse_string(std::string(body).c_str()));
    icalerror_clear_errno();
    if (root == nullptr) {
        return Refused("The file cannot be read as iCalendar.");
    }
    if (std::string error = FirstParseError(root.get()); !error.empty()) {
        return Refused("The file has a line that cannot be read: " + error);
    }
    std::vector<icalcomponent*> calendars;
    if (icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
        calendars.push_back(root.get());
    } else {
        for (icalcomponent* c =
                 icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT);
             c != nullptr;
             c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT)) {
            calendars.push_back(c);
        }
    }
    if (calendars.empty()) {
        return Refused("The file holds no calendar (VCALENDAR).");
    }

    icaltimezone* target = zone.empty() ? nullptr : icaltimezone_get_builtin_timezone(zone.c_str());
    std::vector<Source> sources;
    for (icalcomponent* calendar : calendars) {
        for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
             e != nullptr; e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
            sources.push_back(SourceOf(e));
        }
    }
    // Changed occurrences of repeating events, by UID.
    std::multimap<std::string, const Source*> changed;
    std::map<std::string, bool> repeating;
    for (const Source& s : sources) {
        if (icalcomponent_get_first_property(s.component, ICAL_RECURRENCEID_PROPERTY) != nullptr) {
            changed.emplace(s.fields.uid, &s);
        } else if (s.fields.problem.empty() && Repeats(s.component)) {
            repeating[s.fields.uid] = true;
        }
    }

    IcsReadResult result;
    result.ok = true;
    int32_t recurrence = 0;
    for (const Source& s : sources) {
        const bool isChange =
            icalcomponent_get_first_property(s.component, ICAL_RECURRENCEID_PROPERTY) != nullptr;
        if (isChange && repeating.count(s.fields.uid) != 0) {
            continue; // laid out with its event
        }
        if (!s.fields.problem.empty() || isChange || !Repeats(s.component)) {
            result.events.push_back(Occurrence(s, s.start, target, 0));
            continue;
        }
        std::vector<icaltimetype> starts;
        if (!Starts(s, fromDay, toDay, maxOccurrences, starts)) {
            IcsEvent e = s.fields;
            e.problem = "its repeat rule cannot be read";
            result.events.push_back(std::move(e));
            continue;
        }
        // Each repeating VEVENT is one series, also when a file gives two the same UID.
        const int32_t number = ++recurrence;
        const auto changes = changed.equal_range(s.fields.uid);
        size_t kept = 0;
        for (const icaltimetype& start : starts) {
            const Source* change = nullptr;
            for (auto c = changes.first; c != changes.second && change == nullptr; ++c) {
                icalproperty* rid = icalcomponent_get_first_property(c->second->component,
                                                                     ICAL_RECURRENCEID_PROPERTY);
                if (SameMoment(start, icalproperty_get_datetime_with_component(
                                          rid, c->second->component))) {
                    change = c->second;
                }
            }
            IcsEvent e = change != nullptr ? Occurrence(*change, change->start, target, number)
                                           : Occurrence(s, start, target, number);
            if (Touches(e, fromDay, toDay) && kept < maxOccurrences) {
                ++kept;
                result.events.push_back(std::move(e));
            }
        }
    }
    return result;
}
