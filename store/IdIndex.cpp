#include "store/IdIndex.h"

#include <algorithm>
#include <bit>

namespace {
// The dense range may hold at most this many slots per key it holds (plus some slack), so a
// stray id far away cannot make it huge.
constexpr int64_t kSlotsPerKey = 4;
constexpr int64_t kSlack = 64;
} // namespace

std::optional<uint32_t> IdIndex::Find(int32_t key) const {
    if (InDense(key)) {
        uint32_t v = dense_[static_cast<size_t>(static_cast<int64_t>(key) - base_)];
        if (v == 0) {
            return std::nullopt;
        }
        return v - 1;
    }
    if (cells_.empty()) {
        return std::nullopt;
    }
    const Cell& c = cells_[Locate(key)];
    if (c.valuePlus1 == 0) {
        return std::nullopt;
    }
    return c.valuePlus1 - 1;
}

bool IdIndex::GrowDenseFor(int32_t key) {
    if (dense_.empty() && denseSize_ == 0) {
        base_ = key;
        dense_.assign(64, 0);
        return true;
    }
    if (key < base_) {
        return false;
    }
    int64_t needed = static_cast<int64_t>(key) - base_ + 1;
    int64_t allowed = kSlotsPerKey * static_cast<int64_t>(denseSize_ + 1) + kSlack;
    if (needed > allowed) {
        return false;
    }
    int64_t grown = std::max<int64_t>(needed, static_cast<int64_t>(dense_.size()) * 3 / 2);
    dense_.resize(static_cast<size_t>(std::min(grown, allowed)), 0);
    // Keys the range now covers move in from the table, so each key has one home.
    std::vector<Cell> moving;
    for (const Cell& c : cells_) {
        if (c.valuePlus1 != 0 && InDense(c.key)) {
            moving.push_back(c);
        }
    }
    for (const Cell& c : moving) {
        EraseSparse(c.key);
        dense_[static_cast<size_t>(static_cast<int64_t>(c.key) - base_)] = c.valuePlus1;
        ++denseSize_;
    }
    return true;
}

bool IdIndex::Insert(int32_t key, uint32_t value) {
    if (InDense(key) || (Find(key) == std::nullopt && GrowDenseFor(key))) {
        uint32_t& slot = dense_[static_cast<size_t>(static_cast<int64_t>(key) - base_)];
        if (slot != 0) {
            return false;
        }
        slot = value + 1;
        ++denseSize_;
        return true;
    }
    return InsertSparse(key, value);
}

bool IdIndex::InsertSparse(int32_t key, uint32_t value) {
    if ((sparseSize_ + 1) * 2 > cells_.size()) {
        Rehash(cells_.empty() ? 16 : cells_.size() * 2);
    }
    Cell& c = cells_[Locate(key)];
    if (c.valuePlus1 != 0) {
        return false;
    }
    c = Cell{key, value + 1};
    ++sparseSize_;
    return true;
}

void IdIndex::Update(int32_t key, uint32_t value) {
    if (InDense(key)) {
        uint32_t& slot = dense_[static_cast<size_t>(static_cast<int64_t>(key) - base_)];
        if (slot != 0) {
            slot = value + 1;
        }
        return;
    }
    if (cells_.empty()) {
        return;
    }
    Cell& c = cells_[Locate(key)];
    if (c.valuePlus1 != 0) {
        c.valuePlus1 = value + 1;
    }
}

bool IdIndex::Erase(int32_t key) {
    if (InDense(key)) {
        uint32_t& slot = dense_[static_cast<size_t>(static_cast<int64_t>(key) - base_)];
        if (slot == 0) {
            return false;
        }
        slot = 0;
        --denseSize_;
        return true;
    }
    return EraseSparse(key);
}

bool IdIndex::EraseSparse(int32_t key) {
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
    --sparseSize_;
    return true;
}

void IdIndex::Clear() {
    *this = IdIndex();
}

void IdIndex::Reserve(size_t count, int32_t lowest, int32_t highest) {
    if (count == 0 || highest < lowest) {
        return;
    }
    int64_t range = static_cast<int64_t>(highest) - lowest + 1;
    if (Size() == 0 && range <= kSlotsPerKey * static_cast<int64_t>(count) + kSlack) {
        base_ = lowest;
        dense_.assign(static_cast<size_t>(range), 0);
        return;
    }
    size_t want = std::bit_ceil(std::max<size_t>((sparseSize_ + count) * 2, 16));
    if (want > cells_.size()) {
        Rehash(want);
    }
}

size_t IdIndex::Home(int32_t key) const {
    // Fibonacci hashing spreads neighbouring ids across the table.
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
