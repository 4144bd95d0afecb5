#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "store/IdIndex.h"

class ClsCustomer;
class ClsGlobal;

// What a rebuild of the schedule looks up about each bar. Customer names are converted
// once and kept between rebuilds for as long as no customer changes; type colours are
// looked up once per rebuild.
class RebuildCache {
public:
    void Begin(const ClsGlobal& store);
    void End();
    const QString& CustomerName(const ClsGlobal& store, int32_t customerId);
    // Back and text colour of a type.
    std::pair<uint32_t, uint32_t> TypeColors(const ClsGlobal& store, int32_t typeId);

private:
    struct Name {
        std::shared_ptr<const ClsCustomer> record; // held, so its address cannot be reused
        QString text;
        uint32_t generation = 0;         // the last rebuild that showed it
        uint64_t version = ~uint64_t{0}; // the customers' version it was checked against
    };

    uint32_t generation_ = 0;
    size_t namesSeen_ = 0;
    // Customer id -> position in names_; a lookup per bar, so the store's flat index.
    IdIndex namesIndex_;
    std::vector<std::pair<int32_t, Name>> names_;
    struct TypeColor {
        int32_t typeId;
        std::pair<uint32_t, uint32_t> colors;
    };
    std::vector<TypeColor> colors_;
    uint64_t customersVersion_ = 0;
};
