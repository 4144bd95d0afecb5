#include "calendar/ImportPlan.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"
#include "store/StoreChanges.h"

namespace {

// Names match without their outer spaces and without regard to the case of ASCII letters.
std::string Folded(std::string_view name) {
    const size_t first = name.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return std::string();
    }
    name = name.substr(first, name.find_last_not_of(' ') - first + 1);
    std::string out(name);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// Each name's first record in collection order.
template <class T> std::unordered_map<std::string, int32_t> NamesOf(const Collection<T>& records) {
    std::unordered_map<std::string, int32_t> names;
    for (const T& r : records) {
        names.emplace(Folded(r.Name()), r.Id());
    }
    return names;
}

int32_t Lookup(const std::unordered_map<std::string, int32_t>& names, std::string_view name) {
    auto at = names.find(Folded(name));
    return at != names.end() && !at->first.empty() ? at->second : 0;
}

std::string When(int32_t dtTm) {
    int y = 0;
    int m = 0;
    int d = 0;
    ClsDate::CivilFromDayNumber(dtTm >> 11, y, m, d);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", y, m, d, (dtTm & 2047) / 60,
                  (dtTm & 2047) % 60);
    return text;
}

// A resource's stored bookings sorted by start, with the latest end up to each, so that an
// event looks only at those that can reach it. Names what the store's own check names: the
// first in collection order.
class StoredTimes {
public:
    StoredTimes(const ClsGlobal& store, int32_t resourceId) {
        const auto list = store.AppointmentsOfResource(resourceId);
        slots_.reserve(list.size());
        for (uint32_t i = 0; i < list.size(); ++i) {
            slots_.push_back({list[i].startDtTm, list[i].endDtTm, list[i].id, i});
        }
        std::sort(slots_.begin(), slots_.end(),
                  [](const Slot& a, const Slot& b) { return a.start < b.start; });
        latestEnd_.resize(slots_.size());
        int32_t latest = INT32_MIN;
        for (size_t i = 0; i < slots_.size(); ++i) {
            latest = std::max(latest, slots_[i].end);
            latestEnd_[i] = latest;
        }
    }

    int32_t InTheWay(int32_t start, int32_t end) const {
        auto past = std::upper_bound(slots_.begin(), slots_.end(), end,
                                     [](int32_t v, const Slot& s) { return v < s.start; });
        const Slot* best = nullptr;
        for (auto i = past - slots_.begin(); i > 0 && latestEnd_[size_t(i) - 1] >= start; --i) {
            const Slot& s = slots_[size_t(i) - 1];
            const bool collides = (s.start <= start && start < s.end) ||
                                  (s.start < end && end <= s.end) ||
                                  (start < s.start && end >= s.end);
            if (collides && (best == nullptr || s.place < best->place)) {
                best = &s;
            }
        }
        return best != nullptr ? best->id : 0;
    }

private:
    struct Slot {
        int32_t start;
        int32_t end;
        int32_t id;
        uint32_t place;
    };
    std::vector<Slot> slots_;
    std::vector<int32_t> latestEnd_;
};

// The customer and type a SUMMARY names: "customer - type", or the customer alone.
void FromSummary(const std::string& summary,
                 const std::unordered_map<std::string, int32_t>& customers,
                 const std::unordered_map<std::string, int32_t>& types, int32_t& customerId,
                 int32_t& typeId) {
    for (size_t at = summary.find(" - "); at != std::string::npos;
         at = summary.find(" - ", at + 1)) {
        const int32_t customer = Lookup(customers, std::string_view(summary).substr(0, at));
        if (customer != 0) {
            customerId = customer;
            typeId = Lookup(types, std::string_view(summary).substr(at + 3));
            return;
        }
    }
    customerId = Lookup(customers, summary);
}

// Why a booking breaks its type's rules, as the appointment dialog holds them; empty when it
// keeps them.
std::string RuleBroken(const ClsType& type, int32_t start, int32_t end) {
    const int64_t minutes = ClsDate::MinuteOf(end) - ClsDate::MinuteOf(start);
    if (minutes <= 0) {
        return "it has no length";
    }
    if (minutes < type.MinTime()) {
        return "shorter than the " + std::to_string(type.MinTime()) + " minutes of " + type.Name();
    }
    if (type.MaxTime() > 0 && minutes > type.MaxTime()) {
        return "longer than the " + std::to_string(type.MaxTime()) + " minutes of " + type.Name();
    }
    const int32_t step = type.IncTime();
    if (step > 1 && ((start & 2047) % step != 0 || (end & 2047) % step != 0)) {
        return "not on the " + std::to_string(step) + "-minute steps of " + type.Name();
    }
    return std::string();
}

} // namespace

std::vector<ImportRow> PlanImport(const ClsGlobal& store, const std::vector<IcsEvent>& events,
                                  const ImportChoice& choice) {
    const auto resources = NamesOf(store.Resources());
    const auto customers = NamesOf(store.Customers());
    const auto types = NamesOf(store.Types());
    std::unordered_map<int32_t, StoredTimes> stored;
    // The rows booked so far, by resource: start to end and row. They never overlap and
    // every one lasts a minute or more, so ends rise with starts.
    std::unordered_map<int32_t, std::map<int32_t, std::pair<int32_t, size_t>>> taken;

    std::vector<ImportRow> rows;
    rows.reserve(events.size());
    for (const IcsEvent& e : events) {
        ImportRow& row = rows.emplace_back();
        row.event = e;
        if (!e.problem.empty()) {
            row.why = e.problem;
            continue;
        }
        row.resourceId = Lookup(resources, e.location);
        if (row.resourceId == 0) {
            row.resourceId = choice.resourceId;
        }
        FromSummary(e.summary, customers, types, row.customerId, row.typeId);
        if (row.customerId == 0) {
            row.customerId = Lookup(customers, e.organizer);
        }
        if (row.customerId == 0) {
            row.customerId = choice.customerId;
        }
        if (row.typeId == 0) {
            row.typeId = choice.typeId;
        }
        const ClsType* type = store.Types().Get(row.typeId);
        if (!store.Resources().Exists(row.resourceId)) {
            row.why = "no resource";
            continue;
        }
        if (!store.Customers().Exists(row.customerId)) {
            row.why = "no customer";
            continue;
        }
        if (type == nullptr) {
            row.why = "no type";
            continue;
        }
        const int32_t start = e.startDtTm;
        const int32_t end = e.endDtTm;
        row.why = end < start ? "it ends before it starts" : RuleBroken(*type, start, end);
        if (!row.why.empty()) {
            row.status = ImportRow::Status::OutsideRules;
            continue;
        }
        auto at = stored.find(row.resourceId);
        if (at == stored.end()) {
            at = stored.emplace(row.resourceId, StoredTimes(store, row.resourceId)).first;
        }
        if (int32_t other = at->second.InTheWay(start, end); other != 0) {
            row.status = ImportRow::Status::Collides;
            row.otherId = other;
            const ClsAppointment* a = store.Appointments().Get(other);
            const ClsCustomer* c = a != nullptr ? store.Customers().Get(a->CustomerId()) : nullptr;
            row.why = "collides with the booking of " + (c != nullptr ? c->Name() : "?") + " at " +
                      (a != nullptr ? When(a->StartDtTm()) : "?");
            continue;
        }
        auto& mine = taken[row.resourceId];
        auto next = mine.lower_bound(end);
        if (next != mine.begin()) {
            const auto& [s, endAndRow] = *std::prev(next);
            if (s < end && start < endAndRow.first) {
                row.status = ImportRow::Status::Collides;
                row.why = "collides with the event of " +
                          When(rows[endAndRow.second].event.startDtTm) + " in the file";
                continue;
            }
        }
        mine.emplace(start, std::pair(end, rows.size() - 1));
        row.status = ImportRow::Status::Book;
    }
    return rows;
}

size_t BookImport(StoreChanges& changes, const std::vector<ImportRow>& rows) {
    size_t booked = 0;
    changes.Batch("Import calendar", [&] {
        std::map<int32_t, std::vector<int32_t>> series; // recurrence to the bookings made
        for (const ImportRow& row : rows) {
            if (row.status != ImportRow::Status::Book) {
                continue;
            }
            std::string reference =
                row.event.description.substr(0, row.event.description.find_first_of("\r\n"));
            int32_t id = 0;
            if (changes.AppointmentSave(id, row.customerId, row.resourceId, row.typeId,
                                        row.event.startDtTm, row.event.endDtTm, reference) > 0) {
                ++booked;
                if (row.event.recurrence != 0) {
                    series[row.event.recurrence].push_back(id);
                }
            }
        }
        // A new series is named after its first booking, as the series plan names one.
        for (const auto& [recurrence, ids] : series) {
            for (size_t i = 0; ids.size() >= 2 && i < ids.size(); ++i) {
                changes.SetSeries(ids[i], ids.front());
            }
        }
    });
    return booked;
}
