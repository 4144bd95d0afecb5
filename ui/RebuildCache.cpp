#include "ui/RebuildCache.h"

#include "store/ClsGlobal.h"

void RebuildCache::Begin(const ClsGlobal& store) {
    colors_.clear();
    if (store.CustomersVersion() != customersVersion_) {
        customersVersion_ = store.CustomersVersion();
        names_.clear();
        namesIndex_.Clear();
    }
}

const QString& RebuildCache::CustomerName(const ClsGlobal& store, int32_t customerId) {
    if (auto slot = namesIndex_.Find(customerId)) {
        return names_[*slot];
    }
    namesIndex_.Insert(customerId, static_cast<uint32_t>(names_.size()));
    names_.push_back(QString::fromStdString(store.CustomerLoad(customerId)->Name()));
    return names_.back();
}

std::pair<uint32_t, uint32_t> RebuildCache::TypeColors(const ClsGlobal& store, int32_t typeId) {
    // A handful of types: a short list beats hashing.
    for (const TypeColor& c : colors_) {
        if (c.typeId == typeId) {
            return c.colors;
        }
    }
    auto type = store.TypeLoad(typeId);
    colors_.push_back(
        {typeId,
         {static_cast<uint32_t>(type->BackColor()), static_cast<uint32_t>(type->ForeColor())}});
    return colors_.back().colors;
}
