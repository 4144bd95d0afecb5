#include "support/FaultyFileSystem.h"

#include <algorithm>

int FaultyFileSystem::Count(Op op, const std::string& pathPart) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const Call& c) {
        return c.op == op && c.path.find(pathPart) != std::string::npos;
    }));
}

int FaultyFileSystem::Check(Op op, const std::string& path) {
    calls.push_back({op, path});
    if (beforeCall) {
        const Call call = calls.back(); // the hook may make calls of its own
        beforeCall(call);
    }
    for (Fault& f : faults) {
        if (f.op == op && path.find(f.pathPart) != std::string::npos) {
            ++f.seen;
            if (f.nth == 0 || f.seen == f.nth) {
                return -f.error;
            }
        }
    }
    return 0;
}

std::string FaultyFileSystem::PathOf(int fd) const {
    for (const auto& [open, path] : open_) {
        if (open == fd) {
            return path;
        }
    }
    return {};
}

int FaultyFileSystem::Open(const std::string& path, int flags, mode_t mode) {
    if (int e = Check(Op::Open, path)) {
        return e;
    }
    int fd = Real().Open(path, flags, mode);
    if (fd >= 0) {
        open_.emplace_back(fd, path);
    }
    return fd;
}

ssize_t FaultyFileSystem::Read(int fd, void* buffer, size_t size) {
    if (int e = Check(Op::Read, PathOf(fd))) {
        return e;
    }
    return Real().Read(fd, buffer, size);
}

ssize_t FaultyFileSystem::Write(int fd, const void* data, size_t size) {
    if (int e = Check(Op::Write, PathOf(fd))) {
        return e;
    }
    return Real().Write(fd, data, size);
}

int FaultyFileSystem::Fstat(int fd, struct stat& st) {
    if (int e = Check(Op::Fstat, PathOf(fd))) {
        return e;
    }
    return Real().Fstat(fd, st);
}

int FaultyFileSystem::Fchmod(int fd, mode_t mode) {
    if (int e = Check(Op::Fchmod, PathOf(fd))) {
        return e;
    }
    return Real().Fchmod(fd, mode);
}

int FaultyFileSystem::Fsync(int fd) {
    if (int e = Check(Op::Fsync, PathOf(fd))) {
        return e;
    }
    return Real().Fsync(fd);
}

int FaultyFileSystem::Close(int fd) {
    std::string path = PathOf(fd);
    std::erase_if(open_, [fd](const auto& entry) { return entry.first == fd; });
    int rc = Real().Close(fd); // a failed close has still released the descriptor
    if (int e = Check(Op::Close, path)) {
        return e;
    }
    return rc;
}

int FaultyFileSystem::Stat(const std::string& path, struct stat& st) {
    if (int e = Check(Op::Stat, path)) {
        return e;
    }
    return Real().Stat(path, st);
}

int FaultyFileSystem::Lstat(const std::string& path, struct stat& st) {
    if (int e = Check(Op::Lstat, path)) {
        return e;
    }
    return Real().Lstat(path, st);
}

int FaultyFileSystem::ReadLink(const std::string& path, std::string& target) {
    if (int e = Check(Op::ReadLink, path)) {
        return e;
    }
    return Real().ReadLink(path, target);
}

int FaultyFileSystem::Access(const std::string& path, int mode) {
    if (int e = Check(Op::Access, path)) {
        return e;
    }
    return Real().Access(path, mode);
}

int FaultyFileSystem::Mkdir(const std::string& path, mode_t mode) {
    if (int e = Check(Op::Mkdir, path)) {
        return e;
    }
    return Real().Mkdir(path, mode);
}

int FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
    if (int e = Check(Op::Rename, to)) {
        return e;
    }
    return Real().Rename(from, to);
}

int FaultyFileSystem::Unlink(const std::string& path) {
    if (int e = Check(Op::Unlink, path)) {
        return e;
    }
    return Real().Unlink(path);
}

int FaultyFileSystem::SyncFolder(const std::string& path) {
    if (int e = Check(Op::SyncFolder, path)) {
        return e;
    }
    return Real().SyncFolder(path);
}

std::vector<std::string> FaultyFileSystem::List(const std::string& path) {
    if (Check(Op::List, path) != 0) {
        return {};
    }
    return Real().List(path);
}
