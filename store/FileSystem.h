#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

// Every file-system call the core makes, one virtual per call, so that tests can fail any
// one of them and fuzz targets can load from memory. Calls follow POSIX but report a
// failure as -errno instead of -1 and errno, so an implementation needs no global state.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // A descriptor, or -errno.
    virtual int Open(const std::string& path, int flags, mode_t mode) = 0;
    // Bytes moved, or -errno.
    virtual ssize_t Read(int fd, void* buffer, size_t size) = 0;
    virtual ssize_t Write(int fd, const void* data, size_t size) = 0;
    // 0, or -errno.
    virtual int Fstat(int fd, struct stat& st) = 0;
    virtual int Fchmod(int fd, mode_t mode) = 0;
    virtual int Fsync(int fd) = 0;
    virtual int Close(int fd) = 0;
    virtual int Stat(const std::string& path, struct stat& st) = 0;
    // As Stat, but a symbolic link is described itself rather than followed.
    virtual int Lstat(const std::string& path, struct stat& st) = 0;
    // The text a symbolic link holds, or -errno in the result (EINVAL: not a link).
    virtual int ReadLink(const std::string& path, std::string& target) = 0;
    // 0 when the calling user may use the path that way (R_OK, W_OK, X_OK), or -errno.
    virtual int Access(const std::string& path, int mode) = 0;
    virtual int Mkdir(const std::string& path, mode_t mode) = 0;
    virtual int Rename(const std::string& from, const std::string& to) = 0;
    virtual int Unlink(const std::string& path) = 0;
    // Makes the names in a folder durable: open it and fsync it.
    virtual int SyncFolder(const std::string& path) = 0;
    // The names in a folder, without "." and ".."; empty when it cannot be read.
    virtual std::vector<std::string> List(const std::string& path) = 0;

    // The real file system of the machine.
    static FileSystem& Real();
};
