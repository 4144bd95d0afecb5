#include "store/ClsGlobal.h"

#include <algorithm>
#include <limits>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>

#include "base/ModError.h"

namespace {
constexpr const char* kClass = "ClsGlobal";
constexpr int32_t kLastId = std::numeric_limits<int32_t>::max();

void LogKeyExists(const char* procName) {
    ModError::LogError(kClass, procName, MakeError(ErrorNumber::KeyExists));
}
} // namespace

void ClsGlobal::Changed(Kind kind) {
    dirty_[kind] = true;
}

void ClsGlobal::GlobalChanged() {
    Changed(kGlobal);
    if (observer_ != nullptr) {
        observer_->SettingChanged();
    }
}

void ClsGlobal::CounterChanged(int32_t before) {
    Changed(kGlobal);
    if (observer_ != nullptr) {
        observer_->CounterMoved(before, counter_);
    }
}

template <class T> void ClsGlobal::Take(Collection<T>& collection, Kind kind, const T& stored) {
    const T record = stored; // the slot may move when the collection compacts
    const uint64_t order = collection.OrderOf(record.Id());
    collection.Remove(record.Id());
    Changed(kind);
    if (observer_ != nullptr) {
        observer_->Removed(record, order);
    }
}

int32_t ClsGlobal::NextId() {
    int32_t id = counter_ < kLastId ? counter_ + 1 : UnusedId();
    if (id == 0) {
        ModError::LogError(kClass, "NextId", MakeError(ErrorNumber::Overflow));
        return 0;
    }
    const int32_t before = counter_;
    counter_ = std::max(counter_, id);
    CounterChanged(before);
    return id;
}

bool ClsGlobal::IdInUse(int32_t id) const {
    return appointments_.Exists(id) || customers_.Exists(id) || resources_.Exists(id) ||
           types_.Exists(id);
}

// The counter has reached the last id: hand out the lowest free one past those handed out
// this way before. Each id is passed over at most once until the search wraps around.
int32_t ClsGlobal::UnusedId() {
    for (int wrapped = 0; wrapped < 2; ++wrapped) {
        for (int32_t id = unusedCursor_; id > 0 && id < kLastId; ++id) {
            if (!IdInUse(id)) {
                unusedCursor_ = id + 1;
                return id;
            }
        }
        unusedCursor_ = 1;
    }
    return IdInUse(kLastId) ? 0 : kLastId;
}

void ClsGlobal::RaiseCounterTo(int32_t id) {
    if (id > counter_) {
        const int32_t before = counter_;
        counter_ = id;
        CounterChanged(before);
    }
}

// Gives a new record its id, or keeps the caller's; 0 when no id is left.
int32_t ClsGlobal::AllocateId(int32_t& id) {
    if (id != 0) {
        // An explicit id above the counter would otherwise be handed out again later.
        RaiseCounterTo(id);
        return id;
    }
    id = NextId();
    return id;
}

void ClsGlobal::SetColor(int index, int32_t v) {
    if (index >= 0 && index < GlobalRecord::ColorCount && global_.Color(index) != v) {
        global_.SetColor(index, v);
        GlobalChanged();
    }
}

void ClsGlobal::SetOption(int index, bool v) {
    if (index >= 1 && index <= GlobalRecord::OptionCount && global_.Option(index) != v) {
        global_.SetOption(index, v);
        GlobalChanged();
    }
}

void ClsGlobal::SetDateFormat(int32_t v) {
    if (global_.DateFormat() != v) {
        global_.SetDateFormat(v);
        GlobalChanged();
    }
}

void ClsGlobal::SetResourceType(std::string_view v) {
    GlobalRecord before = global_;
    global_.SetResourceType(v);
    if (before.Bytes() != global_.Bytes()) {
        GlobalChanged();
    }
}

void ClsGlobal::SetPrintOrientation(int16_t v) {
    if (global_.PrintOrientation() != v) {
        global_.SetPrintOrientation(v);
        GlobalChanged();
    }
}

void ClsGlobal::SetPreviewViewType(int16_t v) {
    if (global_.PreviewViewType() != v) {
        global_.SetPreviewViewType(v);
        GlobalChanged();
    }
}

void ClsGlobal::SetPrintPageSize(int16_t v) {
    if (global_.PrintPageSize() != v) {
        global_.SetPrintPageSize(v);
        GlobalChanged();
    }
}

void ClsGlobal::SetPreviewZoom(int16_t v) {
    if (global_.PreviewZoom() != v) {
        global_.SetPreviewZoom(v);
        GlobalChanged();
    }
}

bool ClsGlobal::CheckForOverlap(int32_t id, int32_t resourceId, int32_t startDtTm,
                                int32_t endDtTm) const {
    return OverlappingAppointment(id, resourceId, startDtTm, endDtTm) != 0;
}

int32_t ClsGlobal::OverlappingAppointment(int32_t id, int32_t resourceId, int32_t startDtTm,
                                          int32_t endDtTm) const {
    // One that starts where all of them have ended meets none: bookings made in time order
    // (an import, a series) skip the scan.
    const int32_t latest = byResource_.LatestEnd(resourceId);
    if (endDtTm >= startDtTm &&
        (startDtTm > latest || (startDtTm == latest && endDtTm > startDtTm))) {
        return 0;
    }
    // Only the resource's own appointments can collide, and their times sit in the index.
    for (const ResourceSlot& a : AppointmentsOfResource(resourceId)) {
        int32_t s = a.startDtTm;
        int32_t e = a.endDtTm;
        if (((s <= startDtTm && startDtTm < e) || (s < endDtTm && endDtTm <= e) ||
             (startDtTm < s && endDtTm >= e)) &&
            a.id != id) {
            return a.id;
        }
    }
    return 0;
}

std::span<const ResourceSlot> ClsGlobal::AppointmentsOfResource(int32_t resourceId) const {
    return byResource_.Of(resourceId);
}

bool ClsGlobal::AddAppointment(const ClsAppointment& record) {
    if (!appointments_.Add(record)) {
        return false;
    }
    byResource_.Add(record.ResourceId(), {record.StartDtTm(), record.EndDtTm(), record.Id()});
    return true;
}

std::shared_ptr<const ClsAppointment> ClsGlobal::AppointmentLoad(int32_t id) const {
    auto found = appointments_.Find(id);
    return found ? found : std::make_shared<const ClsAppointment>();
}

int32_t ClsGlobal::AppointmentSave(int32_t& id, int32_t customerId, int32_t resourceId,
                                   int32_t typeId, int32_t startDtTm, int32_t endDtTm,
                                   std::string_view reference) {
    if (CheckForOverlap(id, resourceId, startDtTm, endDtTm)) {
        return -1;
    }
    if (id != 0) {
        RemoveAppointments(std::span(&id, 1), false); // the same booking: it keeps its series
    }
    if (AllocateId(id) == 0) {
        return 0;
    }
    ClsAppointment record{ClsAppointment::Blank{}};
    record.SetId(id);
    record.SetCustomerId(customerId);
    record.SetResourceId(resourceId);
    record.SetTypeId(typeId);
    record.SetStartDtTm(startDtTm);
    record.SetEndDtTm(endDtTm);
    record.SetReference(reference);
    if (!AddAppointment(record)) {
        LogKeyExists("AppointmentSave");
        return 0;
    }
    Changed(kAppointment);
    if (observer_ != nullptr) {
        observer_->Added(record, appointments_.OrderOf(id));
    }
    return id;
}

bool ClsGlobal::AppointmentDelete(int32_t id) {
    if (!appointments_.Exists(id)) {
        return false;
    }
    AppointmentsDelete(std::span(&id, 1));
    return true;
}

size_t ClsGlobal::AppointmentsDelete(std::span<const int32_t> ids) {
    return RemoveAppointments(ids, true);
}

size_t ClsGlobal::RemoveAppointments(std::span<const int32_t> ids, bool unlink) {
    std::unordered_set<int32_t> gone;
    gone.reserve(ids.size());
    std::unordered_set<int32_t> resources;
    // However the loop ends, the index loses exactly the records removed.
    struct IndexSync {
        ResourceIndex& index;
        const std::unordered_set<int32_t>& gone;
        const std::unordered_set<int32_t>& resources;
        ~IndexSync() {
            for (int32_t resourceId : resources) {
                index.RemoveFrom(resourceId, [&](int32_t id) { return gone.count(id) != 0; });
            }
        }
    } sync{byResource_, gone, resources};
    for (int32_t id : ids) {
        const ClsAppointment* record = appointments_.Get(id);
        if (record == nullptr) {
            continue;
        }
        resources.insert(record->ResourceId());
        gone.insert(id);
        Take(appointments_, kAppointment, *record);
        if (unlink && !series_.Empty()) {
            SetSeries(id, 0);
        }
    }
    return gone.size();
}

bool ClsGlobal::SetSeries(int32_t appointmentId, int32_t seriesId) {
    if (seriesId != 0 && !appointments_.Exists(appointmentId)) {
        return false;
    }
    const int32_t before = series_.Set(appointmentId, seriesId);
    if (before != seriesId) {
        Changed(kSeries);
        if (observer_ != nullptr) {
            observer_->SeriesChanged(appointmentId, before, seriesId);
        }
    }
    return true;
}

std::vector<int32_t> ClsGlobal::SeriesMembers(int32_t seriesId) const {
    const std::span<const int32_t> ids = series_.Members(seriesId);
    std::vector<std::pair<int32_t, int32_t>> byStart;
    byStart.reserve(ids.size());
    for (int32_t id : ids) {
        const ClsAppointment* a = appointments_.Get(id);
        byStart.emplace_back(a != nullptr ? a->StartDtTm() : 0, id);
    }
    std::sort(byStart.begin(), byStart.end());
    std::vector<int32_t> members;
    members.reserve(byStart.size());
    for (const auto& [start, id] : byStart) {
        members.push_back(id);
    }
    return members;
}

template <class Match>
static std::vector<int32_t> CollectAppointments(const Collection<ClsAppointment>& appointments,
                                                Match match) {
    std::vector<int32_t> ids;
    for (const ClsAppointment& a : appointments) {
        if (match(a)) {
            ids.push_back(a.Id());
        }
    }
    return ids;
}

std::shared_ptr<const ClsCustomer> ClsGlobal::CustomerLoad(int32_t id) const {
    auto found = customers_.Find(id);
    return found ? found : std::make_shared<const ClsCustomer>();
}

std::shared_ptr<const ClsResource> ClsGlobal::ResourceLoad(int32_t id) const {
    auto found = resources_.Find(id);
    return found ? found : std::make_shared<const ClsResource>();
}

std::shared_ptr<const ClsType> ClsGlobal::TypeLoad(int32_t id) const {
    auto found = types_.Find(id);
    return found ? found : std::make_shared<const ClsType>();
}

template <class T, class Fill>
int32_t ClsGlobal::SaveRecord(Collection<T>& collection, Kind kind, int32_t& id,
                              const char* procName, Fill fill) {
    if (id != 0) {
        if (const T* stored = collection.Get(id)) {
            Take(collection, kind, *stored);
        }
    }
    Changed(kind);
    if (AllocateId(id) == 0) {
        return 0;
    }
    T record;
    record.SetId(id);
    fill(record);
    if (!collection.Add(record)) {
        LogKeyExists(procName);
        return 0;
    }
    if (observer_ != nullptr) {
        observer_->Added(record, collection.OrderOf(id));
    }
    return id;
}

int32_t ClsGlobal::CustomerSave(int32_t& id, std::string_view name) {
    ++customersVersion_;
    return SaveRecord(customers_, kCustomer, id, "CustomerSave",
                      [&](ClsCustomer& r) { r.SetName(name); });
}

int32_t ClsGlobal::ResourceSave(int32_t& id, std::string_view name) {
    return SaveRecord(resources_, kResource, id, "ResourceSave",
                      [&](ClsResource& r) { r.SetName(name); });
}

int32_t ClsGlobal::TypeSave(int32_t& id, std::string_view name, int32_t backColor,
                            int32_t foreColor, int32_t minTime, int32_t maxTime, int32_t incTime) {
    return SaveRecord(types_, kType, id, "TypeSave", [&](ClsType& r) {
        r.SetName(name);
        r.SetBackColor(backColor);
        r.SetForeColor(foreColor);
        r.SetMinTime(minTime);
        r.SetMaxTime(maxTime);
        r.SetIncTime(incTime);
    });
}

bool ClsGlobal::CustomerDelete(int32_t id) {
    const ClsCustomer* record = customers_.Get(id);
    if (record == nullptr) {
        return false;
    }
    KeepRemoved(kCustomer, *record);
    ++customersVersion_;
    Take(customers_, kCustomer, *record);
    AppointmentsDelete(CollectAppointments(
        appointments_, [&](const ClsAppointment& a) { return a.CustomerId() == id; }));
    return true;
}

bool ClsGlobal::ResourceDelete(int32_t id) {
    const ClsResource* record = resources_.Get(id);
    if (record == nullptr) {
        return false;
    }
    KeepRemoved(kResource, *record);
    Take(resources_, kResource, *record);
    std::vector<int32_t> ids;
    for (const ResourceSlot& a : AppointmentsOfResource(id)) {
        ids.push_back(a.id);
    }
    AppointmentsDelete(ids);
    return true;
}

bool ClsGlobal::TypeDelete(int32_t id) {
    const ClsType* record = types_.Get(id);
    if (record == nullptr) {
        return false;
    }
    KeepRemoved(kType, *record);
    Take(types_, kType, *record);
    AppointmentsDelete(CollectAppointments(
        appointments_, [&](const ClsAppointment& a) { return a.TypeId() == id; }));
    return true;
}

template <class T> constexpr ClsGlobal::Kind ClsGlobal::KindOf() {
    if constexpr (std::is_same_v<T, ClsResource>) {
        return kResource;
    } else if constexpr (std::is_same_v<T, ClsCustomer>) {
        return kCustomer;
    } else if constexpr (std::is_same_v<T, ClsType>) {
        return kType;
    } else {
        return kAppointment;
    }
}

template <class T> size_t ClsGlobal::Unstore(std::span<const int32_t> ids) {
    if constexpr (std::is_same_v<T, ClsAppointment>) {
        return AppointmentsDelete(ids);
    } else {
        size_t removed = 0;
        for (int32_t id : ids) {
            if (const T* record = CollectionOf<T>().Get(id)) {
                KeepRemoved(KindOf<T>(), *record);
                customersVersion_ += std::is_same_v<T, ClsCustomer> ? 1 : 0;
                Take(CollectionOf<T>(), KindOf<T>(), *record);
                ++removed;
            }
        }
        return removed;
    }
}

template <class T>
size_t ClsGlobal::Restore(std::span<const T> records, std::span<const uint64_t> orders) {
    Collection<T>& collection = CollectionOf<T>();
    // Those absent, in collection order: the order numbers they come back with.
    std::vector<std::pair<uint64_t, const T*>> absent;
    absent.reserve(records.size());
    for (size_t i = 0; i < records.size() && i < orders.size(); ++i) {
        if (!collection.Exists(records[i].Id())) {
            absent.emplace_back(orders[i], &records[i]);
        }
    }
    const size_t restored = collection.Restore(records, orders);
    if (restored == 0) {
        return 0;
    }
    Changed(KindOf<T>());
    customersVersion_ += std::is_same_v<T, ClsCustomer> ? 1 : 0;
    if constexpr (std::is_same_v<T, ClsAppointment>) {
        // Each resource's list keeps collection order: the records come back in order among
        // those that stayed.
        std::sort(absent.begin(), absent.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        std::unordered_map<int32_t, uint32_t> firstAdded;
        for (const auto& [order, a] : absent) {
            firstAdded.try_emplace(a->ResourceId(),
                                   static_cast<uint32_t>(byResource_.Of(a->ResourceId()).size()));
            byResource_.Add(a->ResourceId(), {a->StartDtTm(), a->EndDtTm(), a->Id()});
        }
        for (const auto& [resourceId, from] : firstAdded) {
            byResource_.MergeTail(resourceId, from,
                                  [&](int32_t id) { return collection.OrderOf(id); });
        }
    }
    if (observer_ != nullptr) {
        for (const auto& [order, record] : absent) {
            observer_->Added(*record, order);
        }
    }
    return restored;
}

void ClsGlobal::SetIdCounter(int32_t value) {
    if (value != counter_) {
        const int32_t before = counter_;
        counter_ = value;
        unusedCursor_ = 1;
        CounterChanged(before);
    }
}

template size_t ClsGlobal::Unstore<ClsResource>(std::span<const int32_t>);
template size_t ClsGlobal::Unstore<ClsCustomer>(std::span<const int32_t>);
template size_t ClsGlobal::Unstore<ClsType>(std::span<const int32_t>);
template size_t ClsGlobal::Unstore<ClsAppointment>(std::span<const int32_t>);
template size_t ClsGlobal::Restore<ClsResource>(std::span<const ClsResource>,
                                                std::span<const uint64_t>);
template size_t ClsGlobal::Restore<ClsCustomer>(std::span<const ClsCustomer>,
                                                std::span<const uint64_t>);
template size_t ClsGlobal::Restore<ClsType>(std::span<const ClsType>, std::span<const uint64_t>);
template size_t ClsGlobal::Restore<ClsAppointment>(std::span<const ClsAppointment>,
                                                   std::span<const uint64_t>);
