#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/Error.h"

// The one place failures go: a line appended to the error log, Tidemar.err.
namespace ModError {

// Shows a message with an exclamation icon and an OK button; set by the user interface.
using MessageBoxHook = std::function<void(const std::string& text, const std::string& title)>;

// The log file; the program sets it once from its folders, tests point it at their own.
void SetLogFile(const std::string& path);
const std::string& LogPath();

void SetMessageBoxHook(MessageBoxHook hook);

void LogError(std::string_view className, std::string_view procName, int32_t line, int32_t number,
              std::string_view description);
inline void LogError(std::string_view className, std::string_view procName, const Error& e) {
    LogError(className, procName, 0, e.number, e.description);
}

// The log line without its line end, as LogError writes it.
std::string FormatLine(std::string_view className, std::string_view procName, int32_t line,
                       int32_t number, std::string_view description);

int16_t ErrorsInHandler();
void ResetErrorsInHandler();

} // namespace ModError
