#pragma once

#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

#include "store/IdIndex.h"

class ClsGlobal;

// What a rebuild of the schedule looks up about each bar. Customer names are converted
// once and kept between rebuilds until a customer changes; type colours are looked up
// once per rebuild.
class RebuildCache {
public:
    void Begin(const ClsGlobal& store);
    const QString& CustomerName(const ClsGlobal& store, int32_t customerId);
    // Back and text colour of a type.
    std::pair<uint32_t, uint32_t> TypeColors(const ClsGlobal& store, int32_t typeId);

private:
    // Customer id -> position in names_; a lookup per bar, so the store's flat index.
    IdIndex namesIndex_;
    std::vector<QString> names_;
    uint64_t customersVersion_ = ~uint64_t{0};
    struct TypeColor {
        int32_t typeId;
        std::pair<uint32_t, uint32_t> colors;
    };
    std::vector<TypeColor> colors_;
};
