#include "store/Bytes.h"

#include "base/Ansi.h"

namespace Bytes {

void SetFixedText(char* field, size_t width, std::string_view utf8) {
    // One code-page byte per character, so cutting the converted text cuts characters.
    std::string ansi = Ansi::FromUtf8(utf8);
    size_t n = ansi.size() < width ? ansi.size() : width;
    std::memcpy(field, ansi.data(), n);
    std::memset(field + n, ' ', width - n);
}

std::string GetFixedText(const char* field, size_t width, bool trim) {
    std::string_view v(field, width);
    if (trim) {
        size_t first = v.find_first_not_of(' ');
        if (first == std::string_view::npos) {
            return {};
        }
        v = v.substr(first, v.find_last_not_of(' ') - first + 1);
    }
    return Ansi::ToUtf8(v);
}

} // namespace Bytes
