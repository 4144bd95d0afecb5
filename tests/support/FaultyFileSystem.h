#pragma once

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "store/FileSystem.h"

// The real file system with calls made to fail on purpose: each armed fault fails the
// n-th call (counted from 1) of one operation whose path contains a text, with an errno.
// Calls are recorded, so tests can also see what was done.
class FaultyFileSystem : public FileSystem {
public:
    enum class Op {
        Open,
        Read,
        Write,
        Fstat,
        Fchmod,
        Fsync,
        Close,
        Stat,
        Lstat,
        ReadLink,
        Access,
        Mkdir,
        Rename,
        Unlink,
        SyncFolder,
        List
    };
    struct Fault {
        Op op;
        std::string pathPart; // "" matches every path
        int nth = 1;          // 0 fails every matching call
        int error = EIO;
        int seen = 0;
    };
    struct Call {
        Op op;
        std::string path;
    };

    std::vector<Fault> faults;
    std::vector<Call> calls;
    // Runs at each call before it is made, as another process acting at that moment would.
    std::function<void(const Call&)> beforeCall;

    // Calls of one operation whose path contains the text.
    int Count(Op op, const std::string& pathPart = "") const;

    int Open(const std::string& path, int flags, mode_t mode) override;
    ssize_t Read(int fd, void* buffer, size_t size) override;
    ssize_t Write(int fd, const void* data, size_t size) override;
    int Fstat(int fd, struct stat& st) override;
    int Fchmod(int fd, mode_t mode) override;
    int Fsync(int fd) override;
    int Close(int fd) override;
    int Stat(const std::string& path, struct stat& st) override;
    int Lstat(const std::string& path, struct stat& st) override;
    int ReadLink(const std::string& path, std::string& target) override;
    int Access(const std::string& path, int mode) override;
    int Mkdir(const std::string& path, mode_t mode) override;
    int Rename(const std::string& from, const std::string& to) override;
    int Unlink(const std::string& path) override;
    int SyncFolder(const std::string& path) override;
    std::vector<std::string> List(const std::string& path) override;

private:
    // -errno when this call is to fail, 0 otherwise; records the call.
    int Check(Op op, const std::string& path);
    std::string PathOf(int fd) const;

    std::vector<std::pair<int, std::string>> open_;
};
