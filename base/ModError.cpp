#include "base/ModError.h"

#include <cerrno>
#include <cstdio>

#include "base/Ansi.h"
#include "base/Clock.h"

namespace {

std::string logPath = "Tidemar.err";
ModError::MessageBoxHook messageBox;
int16_t errorsInHandler = 0;

std::string PadOrCut(std::string_view s, size_t width) {
    std::string out(s.substr(0, width));
    out.resize(width, ' ');
    return out;
}

std::string TwoDigits(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", v % 100);
    return buf;
}

} // namespace

namespace ModError {

void SetLogFile(const std::string& path) {
    logPath = path;
}
const std::string& LogPath() {
    return logPath;
}
void SetMessageBoxHook(MessageBoxHook hook) {
    messageBox = std::move(hook);
}
int16_t ErrorsInHandler() {
    return errorsInHandler;
}
void ResetErrorsInHandler() {
    errorsInHandler = 0;
}

std::string FormatLine(std::string_view className, std::string_view procName, int32_t line,
                       int32_t number, std::string_view description) {
    Clock::LocalTime now = Clock::Now();
    std::string out = TwoDigits(now.year) + TwoDigits(now.month) + TwoDigits(now.day) + ' ' +
                      TwoDigits(now.hour) + TwoDigits(now.minute) + ' ';
    out += PadOrCut(className, 20) + ' ';
    out += PadOrCut(procName, 20) + ' ';
    std::string lineText = std::to_string(line);
    if (lineText.size() > 5) {
        lineText = lineText.substr(lineText.size() - 5);
    }
    out += std::string(5 - lineText.size(), ' ') + lineText + ' ';
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<uint32_t>(number));
    out += hex;
    out += ' ';
    out += description;
    return out;
}

void LogError(std::string_view className, std::string_view procName, int32_t line, int32_t number,
              std::string_view description) {
    std::string text =
        Ansi::FromUtf8(FormatLine(className, procName, line, number, description)) + "\r\n";
    Error failure;
    std::FILE* f = std::fopen(LogPath().c_str(), "ab");
    if (f == nullptr) {
        failure = ErrorFromErrno(errno);
    } else {
        bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
        int err = errno;
        bool closed = std::fclose(f) == 0;
        if (!written || !closed) {
            failure = ErrorFromErrno(written ? errno : err);
        }
    }
    if (failure.number == 0) {
        return;
    }
    if (errorsInHandler < 3) {
        if (messageBox) {
            messageBox(failure.description + "(" + std::to_string(failure.number) + "/0)",
                       "Error In Error Handler!");
        }
        ++errorsInHandler;
    }
}

} // namespace ModError
