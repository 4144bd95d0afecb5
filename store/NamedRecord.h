#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "store/Bytes.h"

// The 28-byte id-and-name record that customers and resources share. Only reading the
// name differs: customers trim it, resources return the whole field.
template <bool TrimName> class NamedRecord {
public:
    static constexpr size_t RecordLength = 28;
    static constexpr size_t NameWidth = 24;

    NamedRecord() { std::memset(name_, ' ', sizeof name_); }

    void SetId(int32_t v) { id_ = v; }
    void SetName(std::string_view utf8) { Bytes::SetFixedText(name_, sizeof name_, utf8); }
    int32_t Id() const { return id_; }
    std::string Name() const { return Bytes::GetFixedText(name_, sizeof name_, TrimName); }

private:
    int32_t id_ = 0;
    char name_[NameWidth];
};
