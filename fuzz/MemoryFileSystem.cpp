#include "fuzz/MemoryFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>

namespace {
std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}
} // namespace

int MemoryFileSystem::Open(const std::string& path, int flags, mode_t) {
    if (folders.count(path) != 0) {
        if ((flags & O_ACCMODE) != O_RDONLY) {
            return -EISDIR;
        }
        open_[next_] = {path, 0};
        return next_++;
    }
    auto it = files.find(path);
    if (it == files.end()) {
        if ((flags & O_CREAT) == 0) {
            return -ENOENT;
        }
        if (folders.count(FolderOf(path)) == 0) {
            return -ENOENT;
        }
        files[path];
    } else if ((flags & O_CREAT) != 0 && (flags & O_EXCL) != 0) {
        return -EEXIST;
    }
    if ((flags & O_TRUNC) != 0) {
        files[path].clear();
    }
    open_[next_] = {path, 0};
    return next_++;
}

ssize_t MemoryFileSystem::Read(int fd, void* buffer, size_t size) {
    auto it = open_.find(fd);
    if (it == open_.end()) {
        return -EBADF;
    }
    auto file = files.find(it->second.path);
    if (file == files.end()) {
        return -EISDIR;
    }
    const auto& bytes = file->second;
    size_t n = std::min(size, bytes.size() - std::min(bytes.size(), it->second.position));
    if (n > 0) {
        std::memcpy(buffer, bytes.data() + it->second.position, n);
    }
    it->second.position += n;
    return static_cast<ssize_t>(n);
}

ssize_t MemoryFileSystem::Write(int fd, const void* data, size_t size) {
    auto it = open_.find(fd);
    if (it == open_.end()) {
        return -EBADF;
    }
    auto& bytes = files[it->second.path];
    bytes.resize(std::max(bytes.size(), it->second.position + size));
    if (size > 0) {
        std::memcpy(bytes.data() + it->second.position, data, size);
    }
    it->second.position += size;
    return static_cast<ssize_t>(size);
}

int MemoryFileSystem::Fstat(int fd, struct stat& st) {
    auto it = open_.find(fd);
    if (it == open_.end()) {
        return -EBADF;
    }
    return Stat(it->second.path, st);
}

int MemoryFileSystem::Fchmod(int fd, mode_t) {
    return open_.count(fd) != 0 ? 0 : -EBADF;
}

int MemoryFileSystem::Fsync(int fd) {
    return open_.count(fd) != 0 ? 0 : -EBADF;
}

int MemoryFileSystem::Close(int fd) {
    return open_.erase(fd) != 0 ? 0 : -EBADF;
}

int MemoryFileSystem::Stat(const std::string& path, struct stat& st) {
    st = {};
    if (folders.count(path) != 0) {
        st.st_mode = S_IFDIR | 0755;
        return 0;
    }
    auto it = files.find(path);
    if (it == files.end()) {
        return -ENOENT;
    }
    st.st_mode = S_IFREG | 0644;
    st.st_size = static_cast<off_t>(it->second.size());
    return 0;
}

// No links here: every name is what it says.
int MemoryFileSystem::Lstat(const std::string& path, struct stat& st) {
    return Stat(path, st);
}

int MemoryFileSystem::ReadLink(const std::string& path, std::string& target) {
    target.clear();
    return folders.count(path) != 0 || files.count(path) != 0 ? -EINVAL : -ENOENT;
}

int MemoryFileSystem::Access(const std::string& path, int) {
    return folders.count(path) != 0 || files.count(path) != 0 ? 0 : -ENOENT;
}

int MemoryFileSystem::Mkdir(const std::string& path, mode_t) {
    if (folders.count(path) != 0 || files.count(path) != 0) {
        return -EEXIST;
    }
    folders.insert(path);
    return 0;
}

int MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
    auto it = files.find(from);
    if (it == files.end()) {
        return -ENOENT;
    }
    if (folders.count(to) != 0) {
        return -EISDIR;
    }
    files[to] = std::move(it->second);
    files.erase(from);
    return 0;
}

int MemoryFileSystem::Unlink(const std::string& path) {
    return files.erase(path) != 0 ? 0 : -ENOENT;
}

int MemoryFileSystem::SyncFolder(const std::string& path) {
    return folders.count(path) != 0 ? 0 : -ENOENT;
}

std::vector<std::string> MemoryFileSystem::List(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : files) {
        if (FolderOf(name) == path) {
            names.push_back(name.substr(path.size() + 1));
        }
    }
    return names;
}
