#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// Map from record id to a position. Ids come from one counter, so a collection's ids mostly
// fill a range: those sit in a plain array over that range (4 bytes an id), found with no
// hashing. Ids far outside it go to a small open-addressing table (8 bytes a cell).
class IdIndex {
public:
    std::optional<uint32_t> Find(int32_t key) const;
    // False when the key is present already.
    bool Insert(int32_t key, uint32_t value);
    // Changes the value of a present key.
    void Update(int32_t key, uint32_t value);
    bool Erase(int32_t key);
    void Clear();
    // Room for count keys between lowest and highest without growing.
    void Reserve(size_t count, int32_t lowest, int32_t highest);
    size_t Size() const { return denseSize_ + sparseSize_; }

private:
    struct Cell {
        int32_t key;
        uint32_t valuePlus1; // 0 marks an empty cell
    };
    bool InDense(int32_t key) const {
        return key >= base_ &&
               static_cast<int64_t>(key) - base_ < static_cast<int64_t>(dense_.size());
    }
    // Grows the dense range to take the key, when the range stays well filled.
    bool GrowDenseFor(int32_t key);
    size_t Home(int32_t key) const;
    size_t Locate(int32_t key) const; // the key's cell, or the empty cell where it would go
    bool InsertSparse(int32_t key, uint32_t value);
    bool EraseSparse(int32_t key);
    void Rehash(size_t capacity);

    int32_t base_ = 0;
    std::vector<uint32_t> dense_; // value + 1 for id base_ + i; 0 when absent
    size_t denseSize_ = 0;
    std::vector<Cell> cells_;
    size_t sparseSize_ = 0;
    unsigned shift_ = 64;
};
