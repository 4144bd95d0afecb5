#include "store/ResourceIndex.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "store/FileIo.h"

std::span<const ResourceSlot> ResourceIndex::Of(int32_t resourceId) const {
    auto at = lists_.Find(resourceId);
    if (!at) {
        return {};
    }
    const List& list = slots_[*at];
    return {list.data, list.size};
}

int32_t ResourceIndex::LatestEnd(int32_t resourceId) const {
    auto at = lists_.Find(resourceId);
    return at ? slots_[*at].latestEnd : INT32_MIN;
}

ResourceIndex::List& ResourceIndex::ListOf(int32_t resourceId) {
    auto at = lists_.Find(resourceId);
    if (!at) {
        at = static_cast<uint32_t>(slots_.size());
        lists_.Insert(resourceId, *at);
        slots_.emplace_back();
    }
    return slots_[*at];
}

void ResourceIndex::Add(int32_t resourceId, const ResourceSlot& slot) {
    List& list = ListOf(resourceId);
    if (list.size == list.capacity) {
        uint32_t capacity = std::max<uint32_t>(8, list.capacity * 2);
        auto grown = std::make_unique_for_overwrite<ResourceSlot[]>(capacity);
        std::copy(list.data, list.data + list.size, grown.get());
        list.own = std::move(grown);
        list.data = list.own.get();
        list.capacity = capacity;
    }
    list.data[list.size++] = slot;
    list.latestEnd = std::max(list.latestEnd, slot.endDtTm);
}

void ResourceIndex::Clear() {
    lists_.Clear();
    slots_.clear();
    block_.reset();
}

void ResourceIndex::Build(const Collection<ClsAppointment>& appointments) {
    Clear();
    for (const ClsAppointment& a : appointments) {
        ++ListOf(a.ResourceId()).capacity;
    }
    block_ = AllocateBytes(appointments.Count() * sizeof(ResourceSlot));
    auto* next = reinterpret_cast<ResourceSlot*>(block_.get());
    for (List& list : slots_) {
        list.data = next;
        next += list.capacity;
    }
    for (const ClsAppointment& a : appointments) {
        List& list = slots_[*lists_.Find(a.ResourceId())];
        list.data[list.size++] = {a.StartDtTm(), a.EndDtTm(), a.Id()};
        list.latestEnd = std::max(list.latestEnd, a.EndDtTm());
    }
}
