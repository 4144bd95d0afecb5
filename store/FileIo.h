#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/Error.h"

class FileSystem;

// Uninitialised memory for a block of records. Large blocks are mapped in huge pages where
// the system allows it, so filling them takes a handful of page faults instead of thousands.
std::shared_ptr<std::byte[]> AllocateBytes(size_t size);
// Bytes of such blocks mapped now (the heap's own figures do not see them).
size_t MappedBytesInUse();

// A file's bytes held in one block that record collections can adopt as their storage.
struct ByteBlock {
    std::shared_ptr<std::byte[]> data;
    size_t size = 0;
};

// The new contents of one file: pieces written one after the other. The pieces point into
// memory that keepAlive owns, so the bytes stay put while a worker writes them.
struct FileImage {
    std::string path;
    std::vector<std::span<const std::byte>> pieces;
    std::vector<std::shared_ptr<const void>> keepAlive;
    // Bytes of a small image that owns its contents.
    std::vector<std::byte> owned;

    size_t Size() const;
};

// What a batch write did with each file, in the order given.
struct BatchResult {
    std::vector<std::optional<Error>> errors;
    // The folder would not sync after the renames: the files hold their new bytes all the
    // same, so this is logged and not reported as a failed write.
    std::optional<Error> folderSync;

    bool Ok() const;
};

// What stands under a file's name before it is read.
struct Presence {
    enum class State {
        Present,     // something is there to be read (it may still turn out not to be a file)
        Missing,     // nothing of that name, not even a link: the only case a file may be made
        Unreachable, // a name that cannot be looked at, or a link that leads nowhere
    };
    State state = State::Missing;
    Error error;            // why it is unreachable
    std::string linkTarget; // what a symbolic link of that name says; empty for anything else
    // Where a replacement goes: the file at the end of the links, so a linked file is
    // written through rather than replaced by a plain one.
    std::string writePath;
};

// File operations that check every call and report the classic error numbers.
namespace FileIo {

// True unless the name is certainly free: something is there, whatever it is (a link that
// leads nowhere too), or the name cannot be looked at.
bool Exists(FileSystem& fs, const std::string& path);

Presence Probe(FileSystem& fs, const std::string& path);

// The folder part of a path ("." when it has none).
std::string FolderOf(const std::string& path);

// Creates the folder; an existing folder is no failure.
std::optional<Error> EnsureFolder(FileSystem& fs, const std::string& path);

// Creates an empty file when nothing is there; whatever is there (a link too) is left alone.
std::optional<Error> EnsureFile(FileSystem& fs, const std::string& path);

// Reads a regular file whole. Anything else (a folder, a pipe, a device) is refused with
// error 75 and never opened for reading, so a pipe cannot hang the program.
std::optional<Error> ReadAll(FileSystem& fs, const std::string& path, ByteBlock& out);

// Replaces the file so that a crash at any instant leaves it entirely old or entirely new.
std::optional<Error> WriteAtomic(FileSystem& fs, const std::string& path,
                                 std::span<const std::byte> bytes);

// Replaces several files so that only the renames can be cut short: every temporary copy
// is written beside its file and fsynced first, then they are renamed in the order given
// and their folders are synced. When any copy fails nothing is renamed; a failed rename
// stops the run. Files that were not replaced keep their old bytes and report an error.
// A path may come twice: each of its images replaces the file in turn.
BatchResult WriteBatch(FileSystem& fs, const std::vector<FileImage>& files);

// The temporary files this program creates while replacing a file in the data folder.
bool IsOwnTemporary(const std::string& name);
// A temporary file made while replacing the file of that name.
bool IsTemporaryOf(const std::string& name, const std::string& fileName);

} // namespace FileIo
