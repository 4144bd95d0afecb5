#include "store/SeriesPlan.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"
#include "store/StoreChanges.h"

namespace {

// The store's own rule, as a save applies it: the stored booking s..e against the new one.
bool Collide(int64_t s, int64_t e, int64_t start, int64_t end) {
    return (s <= start && start < e) || (s < end && end <= e) || (start < s && end >= e);
}

PlanCheck::Rule RuleBroken(const ClsGlobal& store, const PlannedBooking& b) {
    if (b.endDtTm < b.startDtTm) {
        return PlanCheck::Rule::EndBeforeStart;
    }
    const auto type = store.TypeLoad(b.typeId);
    const int64_t minutes = ClsDate::MinuteOf(b.endDtTm) - ClsDate::MinuteOf(b.startDtTm);
    if (type->MinTime() > 0 && minutes < type->MinTime()) {
        return PlanCheck::Rule::TooShort;
    }
    if (type->MaxTime() > 0 && minutes > type->MaxTime()) {
        return PlanCheck::Rule::TooLong;
    }
    return PlanCheck::Rule::None;
}

// A resource's stored bookings sorted by start, with the latest end up to each, so that a
// planned booking looks only at those that can reach it.
struct Sorted {
    struct Slot {
        int32_t start;
        int32_t end;
        int32_t id;
        uint32_t place; // in the resource's list: the lowest is the one the store names
    };
    std::vector<Slot> slots;
    std::vector<int32_t> latestEnd;

    // The stored booking a save would name, 0 when none.
    int32_t InTheWay(int32_t start, int32_t end) const {
        // Every clause of the rule needs s <= end and e >= start.
        auto past = std::upper_bound(slots.begin(), slots.end(), end,
                                     [](int32_t v, const Slot& s) { return v < s.start; });
        const Slot* best = nullptr;
        for (auto i = past - slots.begin(); i > 0 && latestEnd[size_t(i) - 1] >= start; --i) {
            const Slot& s = slots[size_t(i) - 1];
            if (Collide(s.start, s.end, start, end) && (best == nullptr || s.place < best->place)) {
                best = &s;
            }
        }
        return best != nullptr ? best->id : 0;
    }
};

Sorted SortedOf(const ClsGlobal& store, int32_t resourceId,
                const std::unordered_set<int32_t>& moving) {
    Sorted r;
    const auto list = store.AppointmentsOfResource(resourceId);
    r.slots.reserve(list.size());
    for (uint32_t i = 0; i < list.size(); ++i) {
        if (moving.empty() || moving.count(list[i].id) == 0) {
            r.slots.push_back({list[i].startDtTm, list[i].endDtTm, list[i].id, i});
        }
    }
    std::sort(r.slots.begin(), r.slots.end(),
              [](const Sorted::Slot& a, const Sorted::Slot& b) { return a.start < b.start; });
    r.latestEnd.resize(r.slots.size());
    int32_t latest = INT32_MIN;
    for (size_t i = 0; i < r.slots.size(); ++i) {
        latest = std::max(latest, r.slots[i].end);
        r.latestEnd[i] = latest;
    }
    return r;
}

// One pass: every booking of the plan not in `staying` moves.
std::vector<PlanCheck> CheckOnce(const ClsGlobal& store, std::span<const PlannedBooking> plan,
                                 const std::vector<bool>& staying) {
    std::unordered_set<int32_t> moving;
    for (size_t i = 0; i < plan.size(); ++i) {
        if (plan[i].id != 0 && !staying[i]) {
            moving.insert(plan[i].id);
        }
    }
    std::unordered_map<int32_t, Sorted> resources;
    std::unordered_map<int32_t, std::vector<size_t>> taken; // free ones so far, by resource
    std::vector<PlanCheck> checks(plan.size());
    for (size_t i = 0; i < plan.size(); ++i) {
        const PlannedBooking& b = plan[i];
        PlanCheck& c = checks[i];
        if (staying[i]) {
            c.state = PlanCheck::State::Collides;
            continue;
        }
        c.rule = RuleBroken(store, b);
        if (c.rule != PlanCheck::Rule::None) {
            c.state = PlanCheck::State::OutsideRules;
            continue;
        }
        auto at = resources.find(b.resourceId);
        if (at == resources.end()) {
            at = resources.emplace(b.resourceId, SortedOf(store, b.resourceId, moving)).first;
        }
        if (int32_t other = at->second.InTheWay(b.startDtTm, b.endDtTm); other != 0) {
            c.state = PlanCheck::State::Collides;
            c.otherId = other;
            continue;
        }
        std::vector<size_t>& earlier = taken[b.resourceId];
        for (size_t j : earlier) {
            if (Collide(plan[j].startDtTm, plan[j].endDtTm, b.startDtTm, b.endDtTm)) {
                c.state = PlanCheck::State::Collides;
                c.otherIndex = static_cast<int>(j);
                break;
            }
        }
        if (c.state == PlanCheck::State::Free) {
            earlier.push_back(i);
        }
    }
    return checks;
}

} // namespace

std::vector<PlanCheck> SeriesPlan::Check(const ClsGlobal& store,
                                         std::span<const PlannedBooking> plan) {
    // A stored booking of the plan that cannot move stays where it is, where it may be in
    // the way of one that can: check again until no more have to stay. Each that stays
    // keeps the reason found when it had to.
    std::vector<bool> staying(plan.size(), false);
    std::vector<PlanCheck> why(plan.size());
    for (;;) {
        std::vector<PlanCheck> checks = CheckOnce(store, plan, staying);
        bool more = false;
        for (size_t i = 0; i < plan.size(); ++i) {
            if (staying[i]) {
                checks[i] = why[i];
            } else if (plan[i].id != 0 && checks[i].state != PlanCheck::State::Free) {
                staying[i] = true;
                why[i] = checks[i];
                more = true;
            }
        }
        if (!more) {
            return checks;
        }
    }
}

SeriesPlan::Booked SeriesPlan::Book(StoreChanges& changes, std::span<const PlannedBooking> plan,
                                    std::string_view what, int32_t series) {
    Booked booked;
    booked.ids.assign(plan.size(), 0);
    changes.Batch(what, [&] {
        const ClsGlobal& store = changes.Store();
        booked.checks = Check(store, plan);
        // Those that move leave first, so none stands in the old place of another.
        std::vector<int32_t> moving;
        std::unordered_map<int32_t, int32_t> seriesOf;
        for (size_t i = 0; i < plan.size(); ++i) {
            if (plan[i].id != 0 && booked.checks[i].state == PlanCheck::State::Free) {
                moving.push_back(plan[i].id);
                seriesOf[plan[i].id] = store.SeriesOf(plan[i].id);
            }
        }
        changes.AppointmentsDelete(moving);
        std::vector<int32_t> made;
        for (size_t i = 0; i < plan.size(); ++i) {
            if (booked.checks[i].state != PlanCheck::State::Free) {
                continue;
            }
            const PlannedBooking& b = plan[i];
            int32_t id = b.id;
            if (changes.AppointmentSave(id, b.customerId, b.resourceId, b.typeId, b.startDtTm,
                                        b.endDtTm, b.reference) > 0) {
                booked.ids[i] = id;
                made.push_back(id);
            }
        }
        int32_t link = series;
        if (series == kNewSeries) {
            // Named after the first made whose id no other series still holds: a stored
            // booking taken out of the series it founded would otherwise join it again.
            link = 0;
            const std::unordered_set<int32_t> ours(made.begin(), made.end());
            for (size_t i = 0; made.size() >= 2 && i < made.size() && link == 0; ++i) {
                const auto members = store.Series().Members(made[i]);
                if (std::all_of(members.begin(), members.end(),
                                [&](int32_t m) { return ours.count(m) != 0; })) {
                    link = made[i];
                }
            }
        }
        for (int32_t id : made) {
            auto was = seriesOf.find(id);
            changes.SetSeries(id, series != 0 ? link : was != seriesOf.end() ? was->second : 0);
        }
    });
    return booked;
}
