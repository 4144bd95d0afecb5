#pragma once

#include <cctype>
#include <charconv>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/IdIndex.h"

// Records of one kind in insertion order, keyed by decimal id + the kind's letter ("17A").
// Lookup, append and remove are O(1): removed records leave an empty slot that a later
// compaction reclaims. Stored records are shared read-only; changes go through the store.
template <class T> class Collection {
public:
    using Ptr = std::shared_ptr<const T>;

    explicit Collection(char letter) : letter_(letter) {}

    char Letter() const { return letter_; }
    std::string Key(int32_t id) const { return std::to_string(id) + letter_; }

    // The id a key names in this collection; keys compare without regard to case.
    std::optional<int32_t> IdOfKey(std::string_view key) const {
        if (key.size() < 2 || std::toupper(static_cast<unsigned char>(key.back())) !=
                                  std::toupper(static_cast<unsigned char>(letter_))) {
            return std::nullopt;
        }
        std::string_view digits = key.substr(0, key.size() - 1);
        int32_t id = 0;
        auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
        if (ec != std::errc() || end != digits.data() + digits.size() ||
            std::to_string(id) != digits) {
            return std::nullopt;
        }
        return id;
    }

    size_t Count() const { return live_; }
    bool Exists(int32_t id) const { return index_.Find(id).has_value(); }

    // The stored record, or nullptr.
    Ptr Find(int32_t id) const {
        auto slot = index_.Find(id);
        return slot ? slots_[*slot] : nullptr;
    }
    Ptr Item(std::string_view key) const {
        auto id = IdOfKey(key);
        return id ? Find(*id) : nullptr;
    }

    // Appends at the end; false (and nothing stored) when the key is present.
    bool Add(Ptr record) {
        if (!index_.Insert(record->Id(), static_cast<uint32_t>(slots_.size()))) {
            return false;
        }
        slots_.push_back(std::move(record));
        ++live_;
        return true;
    }

    bool Remove(int32_t id) {
        auto slot = index_.Find(id);
        if (!slot) {
            return false;
        }
        index_.Erase(id);
        slots_[*slot].reset();
        --live_;
        while (!slots_.empty() && !slots_.back()) {
            slots_.pop_back();
        }
        if (slots_.size() > 64 && slots_.size() - live_ > live_) {
            Compact();
        }
        return true;
    }

    void Clear() {
        slots_.clear();
        slots_.shrink_to_fit();
        index_.Clear();
        live_ = 0;
    }

    void Reserve(size_t count) {
        slots_.reserve(count);
        index_.Reserve(count);
    }

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Ptr;
        using difference_type = std::ptrdiff_t;
        using pointer = const Ptr*;
        using reference = const Ptr&;

        const_iterator() = default;
        const_iterator(const Ptr* p, const Ptr* end) : p_(p), end_(end) { Skip(); }
        reference operator*() const { return *p_; }
        pointer operator->() const { return p_; }
        const_iterator& operator++() {
            ++p_;
            Skip();
            return *this;
        }
        const_iterator operator++(int) {
            auto copy = *this;
            ++*this;
            return copy;
        }
        bool operator==(const const_iterator& o) const { return p_ == o.p_; }

    private:
        void Skip() {
            while (p_ != end_ && !*p_) {
                ++p_;
            }
        }
        const Ptr* p_ = nullptr;
        const Ptr* end_ = nullptr;
    };

    // Iteration runs in insertion order; changing the collection invalidates iterators.
    const_iterator begin() const {
        return const_iterator(slots_.data(), slots_.data() + slots_.size());
    }
    const_iterator end() const {
        return const_iterator(slots_.data() + slots_.size(), slots_.data() + slots_.size());
    }

private:
    void Compact() {
        size_t out = 0;
        for (size_t in = 0; in < slots_.size(); ++in) {
            if (slots_[in]) {
                if (out != in) {
                    slots_[out] = std::move(slots_[in]);
                    index_.Update(slots_[out]->Id(), static_cast<uint32_t>(out));
                }
                ++out;
            }
        }
        slots_.resize(out);
    }

    char letter_;
    std::vector<Ptr> slots_;
    size_t live_ = 0;
    IdIndex index_;
};
