#pragma once

#include <cstdint>
#include <string>

// A trapped failure: the classic runtime error number and its description, so that
// log lines read as they always have.
struct Error {
    int32_t number = 0;
    std::string description;
};

namespace ErrorNumber {
inline constexpr int32_t InvalidCall = 5;
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t OutOfMemory = 7;
inline constexpr int32_t TypeMismatch = 13;
inline constexpr int32_t FileNotFound = 53;
inline constexpr int32_t DeviceIo = 57;
inline constexpr int32_t BadRecordLength = 59;
inline constexpr int32_t DiskFull = 61;
inline constexpr int32_t PermissionDenied = 70;
inline constexpr int32_t PathFileAccess = 75;
inline constexpr int32_t KeyExists = 457;
} // namespace ErrorNumber

// The standard description of a classic error number.
std::string ErrorDescription(int32_t number);

// An Error built from a classic number with its standard description.
Error MakeError(int32_t number);

// Maps an errno value of a failed file operation to the classic number.
Error ErrorFromErrno(int err);
