#pragma once

#include "widgets/LookupListModel.h"

// A lookup list's entries from a store collection: every record with an id, in stored order.
template <class Records> LookupListModel::Items RecordItems(const Records& records) {
    LookupListModel::Items items;
    items.Reserve(records.Count(), records.Count() * 24);
    for (const auto& r : records) {
        if (r.Id() != 0) {
            items.Add(r.Name(), r.Id());
        }
    }
    return items;
}
