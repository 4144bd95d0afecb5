#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "store/FileIo.h"
#include "store/IdIndex.h"

// Records of one kind in insertion order, found by id.
//
// Records live by value in a few large blocks laid out exactly as the data file, so a file
// loads by adopting its bytes and saves by writing runs of them. A stored record is never
// changed in place: a save appends a new one and a removal only marks the slot empty, so
// what a lookup handed out, and what a save in progress is writing, stays as it was. When
// empty slots outnumber records, the live ones move to a fresh block.
template <class T> class Collection {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T> &&
                      std::is_standard_layout_v<T> && sizeof(T) == T::RecordLength,
                  "a record must be its file record, byte for byte");

public:
    using Ptr = std::shared_ptr<const T>;
    static constexpr size_t kBlockRecords = 1024;

    size_t Count() const { return live_; }
    bool Exists(int32_t id) const { return index_.Find(id).has_value(); }

    // The stored record, shared with its block, or nullptr.
    Ptr Find(int32_t id) const {
        auto slot = index_.Find(id);
        if (!slot) {
            return nullptr;
        }
        const Block& b = blocks_[BlockOf(*slot)];
        return Ptr(b.bytes, &b.records[*slot - b.first]);
    }
    // The stored record or nullptr; valid until the collection next changes.
    const T* Get(int32_t id) const {
        auto slot = index_.Find(id);
        return slot ? &At(*slot) : nullptr;
    }

    // Appends a copy at the end; false (and nothing stored) when the key is present.
    bool Add(const T& record) { return Append(record, nextOrder_); }

    // Where a stored record stands in the collection's order: each record stored gets a
    // larger number than any before it, and keeps it while it stays. 0 when absent.
    uint64_t OrderOf(int32_t id) const {
        auto slot = index_.Find(id);
        return slot ? OrderAt(*slot) : 0;
    }

    // Puts records back where their order numbers place them among the records stored, as
    // they stood when they had those numbers; records whose id is present are left out.
    // Returns how many were put back.
    size_t Restore(std::span<const T> records, std::span<const uint64_t> orders) {
        size_t restored = 0;
        std::vector<std::pair<uint64_t, const T*>> inside;
        for (size_t i = 0; i < records.size() && i < orders.size(); ++i) {
            const T& record = records[i];
            if (record.Id() == 0 || index_.Find(record.Id())) {
                continue;
            }
            const size_t at = LowerBound(orders[i]);
            if (at == end_) {
                restored += Append(record, orders[i]) ? 1 : 0;
            } else if (OrderAt(at) == orders[i] && !IsAlive(at) &&
                       std::memcmp(&At(at), &record, sizeof(T)) == 0) {
                // Its old slot still holds it, untouched: bring it back to life.
                index_.Insert(record.Id(), static_cast<uint32_t>(at));
                SetAlive(at);
                ++live_;
                ++restored;
            } else {
                inside.emplace_back(orders[i], &record);
            }
        }
        if (!inside.empty()) {
            // Its slot went with a compaction: rebuild once with them all in place.
            std::sort(inside.begin(), inside.end(),
                      [](const auto& a, const auto& b) { return a.first < b.first; });
            inside.erase(std::unique(inside.begin(), inside.end(),
                                     [](const auto& a, const auto& b) {
                                         return a.second->Id() == b.second->Id();
                                     }),
                         inside.end());
            Rebuild(inside);
            restored += inside.size();
        }
        return restored;
    }

    bool Remove(int32_t id) {
        auto slot = index_.Find(id);
        if (!slot) {
            return false;
        }
        index_.Erase(id);
        alive_[*slot / 64] &= ~(uint64_t{1} << (*slot % 64));
        --live_;
        if (end_ > 64 && end_ - live_ > live_) {
            Compact();
        }
        return true;
    }

    void Clear() {
        blocks_.clear();
        alive_.clear();
        index_.Clear();
        end_ = 0;
        live_ = 0;
        nextOrder_ = 1;
    }

    // How a file's records fared when the collection took them over.
    struct Adopted {
        size_t zeroIds = 0;    // records with id 0, which mean nothing stored
        size_t duplicates = 0; // records whose id came earlier in the file
    };
    // Takes a file's whole records as the collection's contents, in file order, without
    // copying them. Records with id 0 or an id met before are left out. tick runs every
    // few thousand records.
    template <class Tick> Adopted Adopt(ByteBlock block, size_t records, Tick tick) {
        Clear();
        Adopted result;
        if (records == 0) {
            return result;
        }
        Block b;
        b.bytes = std::move(block.data);
        b.records = std::launder(reinterpret_cast<T*>(b.bytes.get()));
        b.first = 0;
        b.capacity = records;
        b.orders.resize(records);
        for (size_t i = 0; i < records; ++i) {
            b.orders[i] = i + 1;
        }
        nextOrder_ = records + 1;
        blocks_.push_back(std::move(b));
        alive_.assign((records + 63) / 64, 0);
        end_ = records;
        int32_t lowest = 0;
        int32_t highest = 0;
        for (size_t i = 0; i < records; ++i) {
            int32_t id = At(i).Id();
            if (id != 0 && (lowest == 0 || id < lowest)) {
                lowest = id;
            }
            if (id != 0 && (highest == 0 || id > highest)) {
                highest = id;
            }
        }
        index_.Reserve(records, lowest, highest);
        for (size_t i = 0; i < records; ++i) {
            if (i % 4096 == 4095) {
                tick();
            }
            int32_t id = At(i).Id();
            if (id == 0) {
                ++result.zeroIds;
            } else if (!index_.Insert(id, static_cast<uint32_t>(i))) {
                ++result.duplicates;
            } else {
                SetAlive(i);
                ++live_;
            }
        }
        return result;
    }

    // The file this collection makes, as runs of its blocks; the image keeps the blocks
    // alive, so it may be written on another thread while the collection changes.
    FileImage Image(std::string path) const {
        FileImage image;
        image.path = std::move(path);
        for (const Block& b : blocks_) {
            size_t last = std::min(b.first + b.capacity, end_);
            bool used = false;
            for (size_t i = NextAlive(b.first); i < last;) {
                size_t run = NextEmpty(i, last);
                image.pieces.push_back(
                    std::as_bytes(std::span<const T>(&b.records[i - b.first], run - i)));
                used = true;
                i = NextAlive(run);
            }
            if (used) {
                image.keepAlive.push_back(b.bytes);
            }
        }
        return image;
    }

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T*;
        using reference = const T&;

        const_iterator() = default;
        const_iterator(const Collection* c, size_t at) : c_(c), at_(at) { Skip(); }
        reference operator*() const { return c_->At(at_); }
        pointer operator->() const { return &c_->At(at_); }
        const_iterator& operator++() {
            ++at_;
            Skip();
            return *this;
        }
        const_iterator operator++(int) {
            auto copy = *this;
            ++*this;
            return copy;
        }
        bool operator==(const const_iterator& o) const { return at_ == o.at_; }

    private:
        void Skip() { at_ = c_->NextAlive(at_); }
        const Collection* c_ = nullptr;
        size_t at_ = 0;
    };

    // Iteration runs in insertion order; changing the collection invalidates iterators.
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, end_); }

private:
    struct Block {
        std::shared_ptr<std::byte[]> bytes;
        T* records = nullptr;
        size_t first = 0; // position of records[0]
        size_t capacity = 0;
        std::vector<uint64_t> orders; // each slot's order number, rising with the position
    };

    size_t Capacity() const {
        return blocks_.empty() ? 0 : blocks_.back().first + blocks_.back().capacity;
    }
    // Every block after the first holds kBlockRecords.
    size_t BlockOf(size_t position) const {
        size_t first = blocks_.front().capacity;
        return position < first ? 0 : (position - first) / kBlockRecords + 1;
    }
    const T& At(size_t position) const {
        const Block& b = blocks_[BlockOf(position)];
        return b.records[position - b.first];
    }
    T& Slot(size_t position) {
        const Block& b = blocks_[BlockOf(position)];
        return b.records[position - b.first];
    }
    uint64_t OrderAt(size_t position) const {
        const Block& b = blocks_[BlockOf(position)];
        return b.orders[position - b.first];
    }
    void SetOrderAt(size_t position, uint64_t order) {
        Block& b = blocks_[BlockOf(position)];
        b.orders[position - b.first] = order;
    }
    bool IsAlive(size_t position) const { return (alive_[position / 64] >> (position % 64)) & 1; }
    // The first slot, live or not, whose order number is not below the one given.
    size_t LowerBound(uint64_t order) const {
        size_t low = 0;
        size_t high = end_;
        while (low < high) {
            size_t mid = low + (high - low) / 2;
            if (OrderAt(mid) < order) {
                low = mid + 1;
            } else {
                high = mid;
            }
        }
        return low;
    }
    bool Append(const T& record, uint64_t order) {
        if (end_ == Capacity()) {
            AddBlock(kBlockRecords);
        }
        if (!index_.Insert(record.Id(), static_cast<uint32_t>(end_))) {
            return false;
        }
        new (&Slot(end_)) T(record);
        SetOrderAt(end_, order);
        SetAlive(end_);
        ++end_;
        ++live_;
        nextOrder_ = std::max(nextOrder_, order + 1);
        return true;
    }
    void SetAlive(size_t position) { alive_[position / 64] |= uint64_t{1} << (position % 64); }
    size_t NextAlive(size_t position) const {
        while (position < end_) {
            uint64_t word = alive_[position / 64] >> (position % 64);
            if (word != 0) {
                return std::min(end_, position + static_cast<size_t>(std::countr_zero(word)));
            }
            position = (position / 64 + 1) * 64;
        }
        return end_;
    }
    size_t NextEmpty(size_t position, size_t limit) const {
        while (position < limit) {
            uint64_t word = ~alive_[position / 64] >> (position % 64);
            if (word != 0) {
                return std::min(limit, position + static_cast<size_t>(std::countr_zero(word)));
            }
            position = (position / 64 + 1) * 64;
        }
        return limit;
    }

    static Block MakeBlock(size_t capacity, size_t first) {
        Block b;
        b.bytes = AllocateBytes(capacity * sizeof(T));
        b.records = std::launder(reinterpret_cast<T*>(b.bytes.get()));
        b.first = first;
        b.capacity = capacity;
        b.orders.resize(capacity);
        return b;
    }
    void AddBlock(size_t capacity) {
        Block b = MakeBlock(capacity, Capacity());
        alive_.resize((b.first + capacity + 63) / 64, 0);
        blocks_.push_back(std::move(b));
    }

    void Compact() { Rebuild({}); }

    // The live records, and those given (sorted by order number), in one fresh block.
    void Rebuild(const std::vector<std::pair<uint64_t, const T*>>& extra) {
        // Everything new is allocated first: if memory runs out, the collection stays as it
        // was.
        std::vector<Block> freshBlocks;
        freshBlocks.push_back(MakeBlock(std::max(live_ + extra.size(), size_t{1}), 0));
        std::vector<uint64_t> freshAlive((freshBlocks.front().capacity + 63) / 64, 0);
        for (const auto& [order, record] : extra) {
            if (!index_.Insert(record->Id(), 0)) {
                for (const auto& [o, done] : extra) {
                    if (done == record) {
                        break;
                    }
                    index_.Erase(done->Id());
                }
                throw std::logic_error("a record put back is present already");
            }
        }
        std::vector<Block> old = std::exchange(blocks_, std::move(freshBlocks));
        std::vector<uint64_t> oldAlive = std::exchange(alive_, std::move(freshAlive));
        size_t oldEnd = end_;
        end_ = 0;
        size_t out = 0;
        auto next = extra.begin();
        const auto put = [&](const T& record, uint64_t order) {
            new (&Slot(out)) T(record);
            SetOrderAt(out, order);
            index_.Update(record.Id(), static_cast<uint32_t>(out));
            SetAlive(out);
            ++out;
            end_ = out;
        };
        for (const Block& b : old) {
            for (size_t i = b.first; i < std::min(b.first + b.capacity, oldEnd); ++i) {
                if ((oldAlive[i / 64] >> (i % 64)) & 1) {
                    const uint64_t order = b.orders[i - b.first];
                    for (; next != extra.end() && next->first < order; ++next) {
                        put(*next->second, next->first);
                    }
                    put(b.records[i - b.first], order);
                }
            }
        }
        for (; next != extra.end(); ++next) {
            put(*next->second, next->first);
        }
        live_ = out;
        if (!extra.empty()) {
            nextOrder_ = std::max(nextOrder_, extra.back().first + 1);
        }
    }

    std::vector<Block> blocks_;
    std::vector<uint64_t> alive_;
    size_t end_ = 0;
    size_t live_ = 0;
    uint64_t nextOrder_ = 1;
    IdIndex index_;
};
