#include "store/IdIndex.h"

#include <bit>

size_t IdIndex::Home(int32_t key) const {
    // Fibonacci hashing spreads consecutive ids across the table.
    return static_cast<size_t>(
        (static_cast<uint64_t>(static_cast<uint32_t>(key)) * 11400714819323198485ull) >> shift_);
}

size_t IdIndex::Locate(int32_t key) const {
    size_t mask = cells_.size() - 1;
    size_t i = Home(key);
    while (cells_[i].valuePlus1 != 0 && cells_[i].key != key) {
        i = (i + 1) & mask;
    }
    return i;
}

std::optional<uint32_t> IdIndex::Find(int32_t key) const {
    if (cells_.empty()) {
        return std::nullopt;
    }
    const Cell& c = cells_[Locate(key)];
    if (c.valuePlus1 == 0) {
        return std::nullopt;
    }
    return c.valuePlus1 - 1;
}

bool IdIndex::Insert(int32_t key, uint32_t value) {
    if ((size_ + 1) * 2 > cells_.size()) {
        Rehash(cells_.empty() ? 16 : cells_.size() * 2);
    }
    Cell& c = cells_[Locate(key)];
    if (c.valuePlus1 != 0) {
        return false;
    }
    c = Cell{key, value + 1};
    ++size_;
    return true;
}

void IdIndex::Update(int32_t key, uint32_t value) {
    if (cells_.empty()) {
        return;
    }
    Cell& c = cells_[Locate(key)];
    if (c.valuePlus1 != 0) {
        c.valuePlus1 = value + 1;
    }
}

bool IdIndex::Erase(int32_t key) {
    if (cells_.empty()) {
        return false;
    }
    size_t mask = cells_.size() - 1;
    size_t hole = Locate(key);
    if (cells_[hole].valuePlus1 == 0) {
        return false;
    }
    // Backward-shift deletion keeps every probe chain unbroken without tombstones.
    for (size_t j = (hole + 1) & mask; cells_[j].valuePlus1 != 0; j = (j + 1) & mask) {
        size_t home = Home(cells_[j].key);
        bool stays = hole <= j ? (hole < home && home <= j) : (hole < home || home <= j);
        if (!stays) {
            cells_[hole] = cells_[j];
            hole = j;
        }
    }
    cells_[hole].valuePlus1 = 0;
    --size_;
    return true;
}

void IdIndex::Clear() {
    cells_.clear();
    cells_.shrink_to_fit();
    size_ = 0;
    shift_ = 64;
}

void IdIndex::Reserve(size_t count) {
    size_t want = std::bit_ceil(count * 2 < 16 ? size_t{16} : count * 2);
    if (want > cells_.size()) {
        Rehash(want);
    }
}

void IdIndex::Rehash(size_t capacity) {
    std::vector<Cell> old = std::move(cells_);
    cells_.assign(capacity, Cell{0, 0});
    shift_ = 64u - static_cast<unsigned>(std::countr_zero(capacity));
    for (const Cell& c : old) {
        if (c.valuePlus1 != 0) {
            cells_[Locate(c.key)] = c;
        }
    }
}
