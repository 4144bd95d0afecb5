#include "store/ClsGlobal.h"

#include <algorithm>
#include <limits>
#include <unordered_set>

#include "store/ModError.h"

namespace {
constexpr const char* kClass = "ClsGlobal";

void LogKeyExists(const char* procName) {
    ModError::LogError(kClass, procName, MakeError(ErrorNumber::KeyExists));
}
} // namespace

int32_t ClsGlobal::NextId() {
    if (counter_ == std::numeric_limits<int32_t>::max()) {
        ModError::LogError(kClass, "NextId", MakeError(ErrorNumber::Overflow));
        return 0;
    }
    return ++counter_;
}

void ClsGlobal::RaiseCounterTo(int32_t id) {
    if (id > counter_) {
        counter_ = id;
    }
}

// Gives a new record its id, or keeps the caller's; 0 when the counter is exhausted.
int32_t ClsGlobal::AllocateId(int32_t& Id) {
    if (Id != 0) {
        // An explicit id above the counter would otherwise be handed out again later.
        RaiseCounterTo(Id);
        return Id;
    }
    Id = NextId(); // 0, and logged, when the counter is exhausted
    return Id;
}

bool ClsGlobal::CheckForOverlap(int32_t Id, int32_t ResourceId, int32_t StartDtTm,
                                int32_t EndDtTm) const {
    // Only the resource's own appointments can collide; their times sit in the index, so
    // a record is read only when its times collide, to skip the candidate's own.
    for (const ResourceSlot& a : AppointmentsOfResource(ResourceId)) {
        int32_t s = a.startDtTm;
        int32_t e = a.endDtTm;
        if (((s <= StartDtTm && StartDtTm < e) || (s < EndDtTm && EndDtTm <= e) ||
             (StartDtTm < s && EndDtTm >= e)) &&
            a.record->Id() != Id) {
            return true;
        }
    }
    return false;
}

std::span<const ResourceSlot> ClsGlobal::AppointmentsOfResource(int32_t ResourceId) const {
    auto it = byResource_.find(ResourceId);
    if (it == byResource_.end()) {
        return {};
    }
    return it->second;
}

bool ClsGlobal::AddAppointment(std::shared_ptr<const ClsAppointment> record) {
    const ClsAppointment* raw = record.get();
    if (!appointments_.Add(std::move(record))) {
        return false;
    }
    byResource_[raw->ResourceId()].push_back({raw->StartDtTm(), raw->EndDtTm(), raw});
    return true;
}

std::shared_ptr<const ClsAppointment> ClsGlobal::AppointmentLoad(int32_t Id) const {
    auto found = appointments_.Find(Id);
    return found ? found : std::make_shared<const ClsAppointment>();
}

int32_t ClsGlobal::AppointmentSave(int32_t& Id, int32_t CustomerId, int32_t ResourceId,
                                   int32_t TypeId, int32_t StartDtTm, int32_t EndDtTm,
                                   std::string_view Reference) {
    if (CheckForOverlap(Id, ResourceId, StartDtTm, EndDtTm)) {
        return -1;
    }
    if (Id != 0) {
        RemoveAppointments({Id});
    }
    if (AllocateId(Id) == 0) {
        return 0;
    }
    auto record = std::make_shared<ClsAppointment>(ClsAppointment::Blank{});
    record->SetId(Id);
    record->SetCustomerId(CustomerId);
    record->SetResourceId(ResourceId);
    record->SetTypeId(TypeId);
    record->SetStartDtTm(StartDtTm);
    record->SetEndDtTm(EndDtTm);
    record->SetReference(Reference);
    if (!AddAppointment(std::move(record))) {
        LogKeyExists("AppointmentSave");
        return 0;
    }
    return Id;
}

bool ClsGlobal::AppointmentDelete(int32_t Id) {
    if (!appointments_.Exists(Id)) {
        return false;
    }
    RemoveAppointments({Id});
    return true;
}

void ClsGlobal::RemoveAppointments(const std::vector<int32_t>& ids) {
    // Each touched resource list is filtered once rather than searched once per
    // appointment, which would be quadratic for a customer with most of the bookings.
    std::unordered_set<const ClsAppointment*> doomed;
    std::unordered_set<int32_t> resources;
    for (int32_t id : ids) {
        if (auto record = appointments_.Find(id)) {
            doomed.insert(record.get());
            resources.insert(record->ResourceId());
        }
    }
    for (int32_t resourceId : resources) {
        auto it = byResource_.find(resourceId);
        if (it == byResource_.end()) {
            continue;
        }
        std::erase_if(it->second,
                      [&](const ResourceSlot& a) { return doomed.count(a.record) != 0; });
        if (it->second.empty()) {
            byResource_.erase(it);
        }
    }
    for (int32_t id : ids) {
        appointments_.Remove(id);
    }
}

template <class Match>
static std::vector<int32_t> CollectAppointments(const Collection<ClsAppointment>& appointments,
                                                Match match) {
    std::vector<int32_t> ids;
    for (const auto& a : appointments) {
        if (match(*a)) {
            ids.push_back(a->Id());
        }
    }
    return ids;
}

std::shared_ptr<const ClsCustomer> ClsGlobal::CustomerLoad(int32_t Id) const {
    auto found = customers_.Find(Id);
    return found ? found : std::make_shared<const ClsCustomer>();
}

std::shared_ptr<const ClsResource> ClsGlobal::ResourceLoad(int32_t Id) const {
    auto found = resources_.Find(Id);
    return found ? found : std::make_shared<const ClsResource>();
}

std::shared_ptr<const ClsType> ClsGlobal::TypeLoad(int32_t Id) const {
    auto found = types_.Find(Id);
    return found ? found : std::make_shared<const ClsType>();
}

namespace {
// Steps 2 to 4 of every save but the appointment's: replace or allocate, fill, append.
template <class T, class Fill>
int32_t SaveRecord(Collection<T>& collection, int32_t& Id, int32_t allocated, const char* procName,
                   Fill fill) {
    if (allocated == 0) {
        return 0;
    }
    auto record = std::make_shared<T>();
    record->SetId(Id);
    fill(*record);
    if (!collection.Add(std::move(record))) {
        LogKeyExists(procName);
        return 0;
    }
    return Id;
}
} // namespace

int32_t ClsGlobal::CustomerSave(int32_t& Id, std::string_view Name) {
    ++customersVersion_;
    if (Id != 0) {
        customers_.Remove(Id);
    }
    return SaveRecord(customers_, Id, AllocateId(Id), "CustomerSave",
                      [&](ClsCustomer& r) { r.SetName(Name); });
}

int32_t ClsGlobal::ResourceSave(int32_t& Id, std::string_view Name) {
    if (Id != 0) {
        resources_.Remove(Id);
    }
    return SaveRecord(resources_, Id, AllocateId(Id), "ResourceSave",
                      [&](ClsResource& r) { r.SetName(Name); });
}

int32_t ClsGlobal::TypeSave(int32_t& Id, std::string_view Name, int32_t BackColor,
                            int32_t ForeColor, int32_t MinTime, int32_t MaxTime, int32_t IncTime) {
    if (Id != 0) {
        types_.Remove(Id);
    }
    return SaveRecord(types_, Id, AllocateId(Id), "TypeSave", [&](ClsType& r) {
        r.SetName(Name);
        r.SetBackColor(BackColor);
        r.SetForeColor(ForeColor);
        r.SetMinTime(MinTime);
        r.SetMaxTime(MaxTime);
        r.SetIncTime(IncTime);
    });
}

bool ClsGlobal::CustomerDelete(int32_t Id) {
    if (!customers_.Remove(Id)) {
        return false;
    }
    ++customersVersion_;
    RemoveAppointments(CollectAppointments(
        appointments_, [&](const ClsAppointment& a) { return a.CustomerId() == Id; }));
    return true;
}

bool ClsGlobal::ResourceDelete(int32_t Id) {
    if (!resources_.Remove(Id)) {
        return false;
    }
    std::vector<int32_t> ids;
    for (const ResourceSlot& a : AppointmentsOfResource(Id)) {
        ids.push_back(a.record->Id());
    }
    RemoveAppointments(ids);
    return true;
}

bool ClsGlobal::TypeDelete(int32_t Id) {
    if (!types_.Remove(Id)) {
        return false;
    }
    RemoveAppointments(CollectAppointments(
        appointments_, [&](const ClsAppointment& a) { return a.TypeId() == Id; }));
    return true;
}
