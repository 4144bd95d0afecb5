#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// Little-endian integers and fixed-width Windows-1252 text, as the data files hold them.
namespace Bytes {

inline int32_t GetI32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 |
                                static_cast<uint32_t>(p[3]) << 24);
}

inline void PutI32(uint8_t* p, int32_t v) {
    auto u = static_cast<uint32_t>(v);
    p[0] = static_cast<uint8_t>(u);
    p[1] = static_cast<uint8_t>(u >> 8);
    p[2] = static_cast<uint8_t>(u >> 16);
    p[3] = static_cast<uint8_t>(u >> 24);
}

inline int16_t GetI16(const uint8_t* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8));
}

inline void PutI16(uint8_t* p, int16_t v) {
    auto u = static_cast<uint16_t>(v);
    p[0] = static_cast<uint8_t>(u);
    p[1] = static_cast<uint8_t>(u >> 8);
}

// Stores a UTF-8 text in an N-byte Windows-1252 field: cut to N characters, padded with spaces.
void SetFixedText(char* field, size_t width, std::string_view utf8);

// The field as UTF-8; trimmed of leading and trailing spaces when asked.
std::string GetFixedText(const char* field, size_t width, bool trim);

} // namespace Bytes
