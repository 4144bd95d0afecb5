#include "schedule/RebuildCache.h"

#include "store/ClsGlobal.h"

void RebuildCache::Begin(const ClsGlobal& store) {
    ++generation_;
    namesSeen_ = 0;
    colors_.clear();
    customersVersion_ = store.CustomersVersion();
}

void RebuildCache::End() {
    // Names of customers this rebuild did not show go once they outnumber those it did.
    if (names_.size() > 2 * namesSeen_ + 1024) {
        std::erase_if(names_,
                      [&](const auto& entry) { return entry.second.generation != generation_; });
        namesIndex_.Clear();
        for (size_t i = 0; i < names_.size(); ++i) {
            namesIndex_.Insert(names_[i].first, static_cast<uint32_t>(i));
        }
    }
}

const QString& RebuildCache::CustomerName(const ClsGlobal& store, int32_t customerId) {
    auto slot = namesIndex_.Find(customerId);
    if (!slot) {
        slot = static_cast<uint32_t>(names_.size());
        namesIndex_.Insert(customerId, *slot);
        names_.emplace_back(customerId, Name{});
    }
    Name& name = names_[*slot].second;
    if (name.generation != generation_) {
        // While no customer changed, a name converted before is still right.
        if (name.version != customersVersion_) {
            auto record = store.CustomerLoad(customerId);
            if (record != name.record) {
                name.text = QString::fromStdString(record->Name());
                name.record = std::move(record);
            }
            name.version = customersVersion_;
        }
        name.generation = generation_;
        ++namesSeen_;
    }
    return name.text;
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
