#include "store/StoreChanges.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <iterator>
#include <stdexcept>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/ModError.h"

namespace {
constexpr const char* kClass = "StoreChanges";

using Refusal = StoreChanges::Refusal;

template <class T> const EditStep::Side<T>& Leaving(const EditStep& step, bool undo) {
    return undo ? step.Of<T>().after : step.Of<T>().before;
}
template <class T> const EditStep::Side<T>& Coming(const EditStep& step, bool undo) {
    return undo ? step.Of<T>().before : step.Of<T>().after;
}

template <class T> std::vector<int32_t> IdsOf(const std::vector<T>& records) {
    std::vector<int32_t> ids;
    ids.reserve(records.size());
    for (const T& r : records) {
        ids.push_back(r.Id());
    }
    return ids;
}

// The records the step takes away must be stored as it left them, and those it puts back
// must be absent unless they replace one of those.
template <class T>
std::optional<Refusal> CheckRecords(const ClsGlobal& store, const EditStep& step, bool undo) {
    const Collection<T>& collection = store.Records<T>();
    std::unordered_set<int32_t> leaving;
    for (const T& record : Leaving<T>(step, undo).records) {
        const T* stored = collection.Get(record.Id());
        if (stored == nullptr || std::memcmp(stored, &record, sizeof(T)) != 0) {
            return Refusal{Refusal::Reason::Changed, record.Id(), 0};
        }
        leaving.insert(record.Id());
    }
    for (const T& record : Coming<T>(step, undo).records) {
        if (collection.Exists(record.Id()) && leaving.count(record.Id()) == 0) {
            return Refusal{Refusal::Reason::Present, record.Id(), 0};
        }
    }
    return std::nullopt;
}

// The bookings put back against those that stay, resource by resource: each stored booking
// is compared only with those put back that start near it.
std::optional<Refusal> CheckCollisions(const ClsGlobal& store, const EditStep& step, bool undo) {
    struct Booking {
        int64_t start;
        int64_t end;
        int32_t id;
    };
    struct OnResource {
        std::vector<Booking> coming;
        int64_t longest = 0;
        bool ordered = true; // every end after its start
    };
    const auto& comingRecords = Coming<ClsAppointment>(step, undo).records;
    if (comingRecords.empty()) {
        return std::nullopt;
    }
    std::unordered_map<int32_t, OnResource> resources;
    for (const ClsAppointment& a : comingRecords) {
        OnResource& r = resources[a.ResourceId()];
        r.coming.push_back({a.StartDtTm(), a.EndDtTm(), a.Id()});
        r.longest = std::max<int64_t>(r.longest, int64_t{a.EndDtTm()} - a.StartDtTm());
        r.ordered = r.ordered && a.EndDtTm() >= a.StartDtTm();
    }
    std::unordered_set<int32_t> leaving;
    for (const ClsAppointment& a : Leaving<ClsAppointment>(step, undo).records) {
        leaving.insert(a.Id());
    }
    for (auto& [resourceId, r] : resources) {
        std::sort(r.coming.begin(), r.coming.end(),
                  [](const Booking& a, const Booking& b) { return a.start < b.start; });
        for (const ResourceSlot& slot : store.AppointmentsOfResource(resourceId)) {
            if (!leaving.empty() && leaving.count(slot.id) != 0) {
                continue;
            }
            const int64_t s = slot.startDtTm;
            const int64_t e = slot.endDtTm;
            // The store's own rule, as a save applies it.
            auto first = r.coming.begin();
            auto last = r.coming.end();
            if (r.ordered) {
                first = std::lower_bound(first, last, s - r.longest,
                                         [](const Booking& c, int64_t v) { return c.start < v; });
                last = std::upper_bound(first, last, e,
                                        [](int64_t v, const Booking& c) { return v < c.start; });
            }
            for (auto c = first; c != last; ++c) {
                if ((s <= c->start && c->start < e) || (s < c->end && c->end <= e) ||
                    (c->start < s && c->end >= e)) {
                    return Refusal{Refusal::Reason::Collides, c->id, slot.id};
                }
            }
        }
    }
    return std::nullopt;
}

template <class T> void TakeAway(ClsGlobal& store, const EditStep& step, bool undo) {
    const auto& records = Leaving<T>(step, undo).records;
    if (!records.empty()) {
        store.Unstore<T>(IdsOf(records));
    }
}

template <class T> void PutBack(ClsGlobal& store, const EditStep& step, bool undo) {
    const auto& side = Coming<T>(step, undo);
    if (!side.records.empty()) {
        store.Restore<T>(side.records, side.orders);
    }
}
} // namespace

StoreChanges::Subscription& StoreChanges::Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        Reset();
        entries_ = std::move(other.entries_);
        entry_ = std::move(other.entry_);
    }
    return *this;
}

void StoreChanges::Subscription::Reset() {
    if (!entry_) {
        return;
    }
    entry_->active = false; // a set being told skips it from now on
    if (auto entries = entries_.lock()) {
        std::erase(*entries, entry_);
    }
    entry_.reset();
    entries_.reset();
}

StoreChanges::StoreChanges(ClsGlobal& store)
    : store_(store), listeners_(std::make_shared<Subscription::Entries>()) {
    if (StoreObserver* earlier = store_.SetObserver(this); earlier != nullptr) {
        store_.SetObserver(earlier);
        throw std::logic_error("the store's changes go through another StoreChanges");
    }
}

StoreChanges::~StoreChanges() {
    if (StoreObserver* current = store_.SetObserver(nullptr); current != this) {
        store_.SetObserver(current);
    }
}

StoreChanges::Subscription StoreChanges::Subscribe(Listener listener) {
    Subscription subscription;
    subscription.entry_ = std::make_shared<Subscription::Entry>();
    subscription.entry_->listener = std::move(listener);
    subscription.entries_ = listeners_;
    listeners_->push_back(subscription.entry_);
    return subscription;
}

template <class Op> auto StoreChanges::Run(Op op) -> decltype(op()) {
    ++depth_;
    try {
        if constexpr (std::is_void_v<decltype(op())>) {
            op();
            Close();
        } else {
            auto result = op();
            Close();
            return result;
        }
    } catch (...) {
        // Close throws only after it closed: then there is nothing left to close.
        if (depth_ > 0) {
            CloseAfterFailure();
        }
        throw;
    }
}

void StoreChanges::Close() {
    if (--depth_ > 0) {
        return;
    }
    if (std::any_of(std::begin(entries_), std::end(entries_),
                    [](const Entries& e) { return e.dropped; })) {
        const auto gone = [](const auto& c) { return !c.before && !c.after; };
        std::erase_if(building_.resources, gone);
        std::erase_if(building_.customers, gone);
        std::erase_if(building_.types, gone);
        std::erase_if(building_.appointments, gone);
    }
    for (Entries& entries : entries_) {
        entries = {};
    }
    seriesEntries_.clear();
    std::erase_if(building_.series, [](const SeriesChange& c) { return c.before == c.after; });
    ChangeSet set = std::exchange(building_, {});
    set.what = std::exchange(what_, {});
    if (!set.Empty()) {
        Tell(std::move(set));
    }
}

void StoreChanges::CloseAfterFailure() noexcept {
    depth_ = 1;
    try {
        Close();
    } catch (const std::exception& e) {
        ModError::LogError(kClass, "Tell", 0, ErrorNumber::InvalidCall, e.what());
    } catch (...) {
        ModError::LogError(kClass, "Tell", MakeError(ErrorNumber::InvalidCall));
    }
}

void StoreChanges::Tell(ChangeSet set) {
    queue_.push_back(std::move(set));
    if (telling_) {
        return;
    }
    telling_ = true;
    std::exception_ptr first;
    for (size_t next = 0; next < queue_.size(); ++next) {
        const ChangeSet told = std::move(queue_[next]);
        // Those who subscribe while a set is told hear from the next one on.
        const Subscription::Entries listeners = *listeners_;
        for (const auto& entry : listeners) {
            if (!entry->active) {
                continue;
            }
            try {
                entry->listener(told);
            } catch (...) {
                if (!first) {
                    first = std::current_exception();
                }
            }
        }
    }
    queue_.clear();
    telling_ = false;
    if (first) {
        std::rethrow_exception(first);
    }
}

void StoreChanges::Batch(const std::function<void()>& changes) {
    Run([&] { changes(); });
}

void StoreChanges::Batch(std::string_view what, const std::function<void()>& changes) {
    Run([&] {
        if (what_.empty()) {
            what_ = what;
        }
        changes();
    });
}

template <class T> StoreChanges::Entries& StoreChanges::EntriesOf() {
    if constexpr (std::is_same_v<T, ClsResource>) {
        return entries_[0];
    } else if constexpr (std::is_same_v<T, ClsCustomer>) {
        return entries_[1];
    } else if constexpr (std::is_same_v<T, ClsType>) {
        return entries_[2];
    } else {
        return entries_[3];
    }
}

// The latest entry of the record, or nullptr.
template <class T> RecordChange<T>* StoreChanges::Find(int32_t id) {
    auto& list = building_.Of<T>();
    Entries& entries = EntriesOf<T>();
    if (!entries.indexed) {
        entries.index.reserve(list.size() * 2);
        for (size_t i = 0; i < list.size(); ++i) {
            entries.index[list[i].id] = i;
        }
        entries.indexed = true;
    }
    auto found = entries.index.find(id);
    return found == entries.index.end() ? nullptr : &list[found->second];
}

template <class T> void StoreChanges::Append(RecordChange<T> change) {
    auto& list = building_.Of<T>();
    Entries& entries = EntriesOf<T>();
    list.push_back(std::move(change));
    ++(list.back().after ? entries.withAfter : entries.withoutAfter);
    if (entries.indexed) {
        entries.index[list.back().id] = list.size() - 1;
    }
}

template <class T> void StoreChanges::NoteRemoved(const T& record, uint64_t order) {
    Run([&] {
        Entries& entries = EntriesOf<T>();
        if (entries.withAfter > 0) {
            if (RecordChange<T>* at = Find<T>(record.Id()); at && at->after) {
                at->after.reset();
                at->afterOrder = 0;
                --entries.withAfter;
                ++entries.withoutAfter;
                entries.dropped = entries.dropped || !at->before;
                return;
            }
        }
        Append<T>({record.Id(), record, std::nullopt, order, 0});
    });
}

template <class T> void StoreChanges::NoteAdded(const T& record, uint64_t order) {
    Run([&] {
        Entries& entries = EntriesOf<T>();
        if (entries.withoutAfter > 0) {
            if (RecordChange<T>* at = Find<T>(record.Id()); at && !at->after) {
                at->after = record;
                at->afterOrder = order;
                --entries.withoutAfter;
                ++entries.withAfter;
                return;
            }
        }
        Append<T>({record.Id(), std::nullopt, record, 0, order});
    });
}

void StoreChanges::SettingChanged() {
    Run([&] { building_.settings = true; });
}
void StoreChanges::CounterMoved(int32_t from, int32_t to) {
    Run([&] {
        if (!building_.counter) {
            building_.counter = true;
            building_.counterFrom = from;
        }
        building_.counterTo = to;
    });
}

void StoreChanges::SeriesChanged(int32_t appointmentId, int32_t before, int32_t after) {
    Run([&] {
        auto [at, fresh] = seriesEntries_.try_emplace(appointmentId, building_.series.size());
        if (fresh) {
            building_.series.push_back({appointmentId, before, after});
        } else {
            building_.series[at->second].after = after;
        }
    });
}

bool StoreChanges::SetSeries(int32_t appointmentId, int32_t seriesId) {
    return Run([&] { return store_.SetSeries(appointmentId, seriesId); });
}

int32_t StoreChanges::AppointmentSave(int32_t& id, int32_t customerId, int32_t resourceId,
                                      int32_t typeId, int32_t startDtTm, int32_t endDtTm,
                                      std::string_view reference) {
    return Run([&] {
        return store_.AppointmentSave(id, customerId, resourceId, typeId, startDtTm, endDtTm,
                                      reference);
    });
}

bool StoreChanges::AppointmentDelete(int32_t id) {
    return Run([&] { return store_.AppointmentDelete(id); });
}

size_t StoreChanges::AppointmentsDelete(std::span<const int32_t> ids) {
    return Run([&] {
        // Room for them all at once, rather than growing the list as they go.
        auto& list = building_.appointments;
        if (list.capacity() < list.size() + ids.size()) {
            list.reserve(std::max(list.size() + ids.size(), 2 * list.capacity()));
        }
        return store_.AppointmentsDelete(ids);
    });
}

int32_t StoreChanges::CustomerSave(int32_t& id, std::string_view name) {
    return Run([&] { return store_.CustomerSave(id, name); });
}

bool StoreChanges::CustomerDelete(int32_t id) {
    return Run([&] { return store_.CustomerDelete(id); });
}

int32_t StoreChanges::ResourceSave(int32_t& id, std::string_view name) {
    return Run([&] { return store_.ResourceSave(id, name); });
}

bool StoreChanges::ResourceDelete(int32_t id) {
    return Run([&] { return store_.ResourceDelete(id); });
}

int32_t StoreChanges::TypeSave(int32_t& id, std::string_view name, int32_t backColor,
                               int32_t foreColor, int32_t minTime, int32_t maxTime,
                               int32_t incTime) {
    return Run(
        [&] { return store_.TypeSave(id, name, backColor, foreColor, minTime, maxTime, incTime); });
}

bool StoreChanges::TypeDelete(int32_t id) {
    return Run([&] { return store_.TypeDelete(id); });
}

void StoreChanges::SetColor(int index, int32_t v) {
    Run([&] { store_.SetColor(index, v); });
}
void StoreChanges::SetOption(int index, bool v) {
    Run([&] { store_.SetOption(index, v); });
}
void StoreChanges::SetDateFormat(int32_t v) {
    Run([&] { store_.SetDateFormat(v); });
}
void StoreChanges::SetResourceType(std::string_view v) {
    Run([&] { store_.SetResourceType(v); });
}
void StoreChanges::SetPrintOrientation(int16_t v) {
    Run([&] { store_.SetPrintOrientation(v); });
}
void StoreChanges::SetPreviewViewType(int16_t v) {
    Run([&] { store_.SetPreviewViewType(v); });
}
void StoreChanges::SetPrintPageSize(int16_t v) {
    Run([&] { store_.SetPrintPageSize(v); });
}
void StoreChanges::SetPreviewZoom(int16_t v) {
    Run([&] { store_.SetPreviewZoom(v); });
}

std::optional<StoreChanges::Refusal> StoreChanges::Check(const EditStep& step, bool undo) const {
    std::optional<Refusal> refusal = CheckRecords<ClsResource>(store_, step, undo);
    if (!refusal) {
        refusal = CheckRecords<ClsCustomer>(store_, step, undo);
    }
    if (!refusal) {
        refusal = CheckRecords<ClsType>(store_, step, undo);
    }
    if (!refusal) {
        refusal = CheckRecords<ClsAppointment>(store_, step, undo);
    }
    if (!refusal) {
        refusal = CheckCollisions(store_, step, undo);
    }
    return refusal;
}

std::optional<StoreChanges::Refusal> StoreChanges::Put(const EditStep& step, bool undo) {
    if (auto refusal = Check(step, undo)) {
        return refusal;
    }
    Run([&] {
        building_.origin = undo ? ChangeSet::Origin::Undo : ChangeSet::Origin::Redo;
        if (what_.empty()) {
            what_ = step.What();
        }
        // Room for the bookings' entries at once, as a bulk delete makes it.
        const auto& bookings = step.Of<ClsAppointment>();
        building_.appointments.reserve(building_.appointments.size() +
                                       bookings.before.records.size() +
                                       bookings.after.records.size());
        // A booking that is replaced keeps its series; one that leaves loses it, and the
        // step's own links are put back once every booking is in place.
        std::vector<std::pair<int32_t, int32_t>> kept;
        if (!store_.Series().Empty()) {
            std::unordered_set<int32_t> coming;
            for (const ClsAppointment& a : Coming<ClsAppointment>(step, undo).records) {
                coming.insert(a.Id());
            }
            for (const ClsAppointment& a : Leaving<ClsAppointment>(step, undo).records) {
                if (const int32_t series = store_.SeriesOf(a.Id());
                    series != 0 && coming.count(a.Id()) != 0) {
                    kept.emplace_back(a.Id(), series);
                }
            }
        }
        // Bookings leave before what they name, which comes back before them.
        TakeAway<ClsAppointment>(store_, step, undo);
        TakeAway<ClsType>(store_, step, undo);
        TakeAway<ClsCustomer>(store_, step, undo);
        TakeAway<ClsResource>(store_, step, undo);
        PutBack<ClsResource>(store_, step, undo);
        PutBack<ClsCustomer>(store_, step, undo);
        PutBack<ClsType>(store_, step, undo);
        PutBack<ClsAppointment>(store_, step, undo);
        for (const auto& [id, series] : kept) {
            store_.SetSeries(id, series);
        }
        for (const SeriesChange& c : step.Series()) {
            store_.SetSeries(c.appointmentId, undo ? c.before : c.after);
        }
        if (step.Counter()) {
            store_.SetIdCounter(undo ? step.CounterFrom() : step.CounterTo());
        }
    });
    return std::nullopt;
}

std::optional<StoreChanges::Refusal> StoreChanges::Undo(const EditStep& step) {
    return Put(step, true);
}

std::optional<StoreChanges::Refusal> StoreChanges::Redo(const EditStep& step) {
    return Put(step, false);
}
