#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/Error.h"

// File operations that check every call and report the classic error numbers.
namespace FileIo {

bool Exists(const std::string& path);

// Creates the folder; an existing folder is no failure.
std::optional<Error> EnsureFolder(const std::string& path);

// Creates an empty file when none is there; an existing file is left alone.
std::optional<Error> EnsureFile(const std::string& path);

std::optional<Error> ReadAll(const std::string& path, std::vector<uint8_t>& out);

// Replaces the file so that a crash at any instant leaves it entirely old or entirely new:
// a temporary file in the same folder is written, flushed, fsynced and renamed over it,
// then the folder is fsynced.
std::optional<Error> WriteAtomic(const std::string& path, const uint8_t* data, size_t size);

// Copies a file with the same guarantee for the copy.
std::optional<Error> CopyAtomic(const std::string& from, const std::string& to);

} // namespace FileIo
