#pragma once

#include <string>
#include <string_view>

// Windows-1252, the code page of the data files and the error log.
namespace Ansi {

// Characters outside the code page become '?', as the platform's conversion substitutes them.
std::string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::string_view ansi);

} // namespace Ansi
