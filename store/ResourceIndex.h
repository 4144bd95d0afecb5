#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "store/ClsAppointment.h"
#include "store/Collection.h"
#include "store/IdIndex.h"

// One appointment in the per-resource index, with its times, so scans over a resource's
// bookings read one small contiguous array instead of the records.
struct ResourceSlot {
    int32_t startDtTm;
    int32_t endDtTm;
    int32_t id;
};

// Each resource's appointments in collection order. A load lays every list out in one
// block, sized exactly; a list that grows later moves to memory of its own.
class ResourceIndex {
public:
    std::span<const ResourceSlot> Of(int32_t resourceId) const;
    // The latest end of the resource's slots; INT32_MIN for a resource without slots.
    int32_t LatestEnd(int32_t resourceId) const;
    void Add(int32_t resourceId, const ResourceSlot& slot);
    // Removes from one resource's list the slots whose id the predicate names.
    template <class Doomed> void RemoveFrom(int32_t resourceId, Doomed doomed) {
        if (auto at = lists_.Find(resourceId)) {
            List& list = slots_[*at];
            ResourceSlot* end = std::remove_if(list.data, list.data + list.size,
                                               [&](const ResourceSlot& s) { return doomed(s.id); });
            list.size = static_cast<uint32_t>(end - list.data);
            list.latestEnd = INT32_MIN;
            for (const ResourceSlot* slot = list.data; slot != end; ++slot) {
                list.latestEnd = std::max(list.latestEnd, slot->endDtTm);
            }
        }
    }
    // After Adds that did not come last in collection order: puts the list's slots from
    // `from` on, themselves in order, back among the others. order gives a slot's place.
    template <class Order> void MergeTail(int32_t resourceId, uint32_t from, Order order) {
        if (auto at = lists_.Find(resourceId)) {
            List& list = slots_[*at];
            if (from == 0 || from >= list.size ||
                order(list.data[from - 1].id) < order(list.data[from].id)) {
                return;
            }
            std::inplace_merge(list.data, list.data + from, list.data + list.size,
                               [&](const ResourceSlot& a, const ResourceSlot& b) {
                                   return order(a.id) < order(b.id);
                               });
        }
    }
    void Clear();
    void Build(const Collection<ClsAppointment>& appointments);

private:
    struct List {
        ResourceSlot* data = nullptr;
        uint32_t size = 0;
        uint32_t capacity = 0;
        int32_t latestEnd = INT32_MIN;
        std::unique_ptr<ResourceSlot[]> own; // set once the list has outgrown the block
    };
    List& ListOf(int32_t resourceId);

    IdIndex lists_; // resource id -> position in slots_
    std::vector<List> slots_;
    std::shared_ptr<std::byte[]> block_;
};
