#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "store/Collection.h"

// The records' names as a file writes them (trimmed, then escaped its own way), each made
// once: a million bookings name the same few records again and again.
template <class T, class Form> class RecordNames {
public:
    RecordNames(const Collection<T>& records, Form form) : records_(records), form_(form) {}

    const std::string& operator()(int32_t id) {
        auto at = names_.find(id);
        if (at == names_.end()) {
            const T* record = records_.Get(id);
            at = names_.emplace(id, record != nullptr ? form_(Trimmed(record->Name())) : "").first;
        }
        return at->second;
    }

private:
    // Resources hand out their whole name field, spaces and all.
    static std::string_view Trimmed(std::string_view name) {
        const size_t last = name.find_last_not_of(' ');
        return last == std::string_view::npos ? std::string_view() : name.substr(0, last + 1);
    }

    const Collection<T>& records_;
    Form form_;
    std::unordered_map<int32_t, std::string> names_;
};
