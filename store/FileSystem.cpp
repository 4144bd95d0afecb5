#include "store/FileSystem.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

int Result(int rc) {
    return rc < 0 ? -errno : rc;
}

ssize_t Result(ssize_t rc) {
    return rc < 0 ? -errno : rc;
}

class PosixFileSystem final : public FileSystem {
public:
    int Open(const std::string& path, int flags, mode_t mode) override {
        return Result(::open(path.c_str(), flags | O_CLOEXEC, mode));
    }
    ssize_t Read(int fd, void* buffer, size_t size) override {
        return Result(::read(fd, buffer, size));
    }
    ssize_t Write(int fd, const void* data, size_t size) override {
        return Result(::write(fd, data, size));
    }
    int Fstat(int fd, struct stat& st) override { return Result(::fstat(fd, &st)); }
    int Fchmod(int fd, mode_t mode) override { return Result(::fchmod(fd, mode)); }
    int Fsync(int fd) override { return Result(::fsync(fd)); }
    int Close(int fd) override { return Result(::close(fd)); }
    int Stat(const std::string& path, struct stat& st) override {
        return Result(::stat(path.c_str(), &st));
    }
    int Lstat(const std::string& path, struct stat& st) override {
        return Result(::lstat(path.c_str(), &st));
    }
    int ReadLink(const std::string& path, std::string& target) override {
        target.clear();
        std::vector<char> buffer(256);
        for (;;) {
            ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
            if (n < 0) {
                return -errno;
            }
            if (static_cast<size_t>(n) < buffer.size()) {
                target.assign(buffer.data(), static_cast<size_t>(n));
                return 0;
            }
            buffer.resize(buffer.size() * 2);
        }
    }
    int Access(const std::string& path, int mode) override {
        return Result(::access(path.c_str(), mode));
    }
    int Mkdir(const std::string& path, mode_t mode) override {
        return Result(::mkdir(path.c_str(), mode));
    }
    int Rename(const std::string& from, const std::string& to) override {
        return Result(::rename(from.c_str(), to.c_str()));
    }
    int Unlink(const std::string& path) override { return Result(::unlink(path.c_str())); }
    int SyncFolder(const std::string& path) override {
        int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            return -errno;
        }
        int rc = Result(::fsync(fd));
        ::close(fd);
        return rc;
    }
    std::vector<std::string> List(const std::string& path) override {
        std::vector<std::string> names;
        DIR* dir = ::opendir(path.c_str());
        if (dir == nullptr) {
            return names;
        }
        while (const dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(std::move(name));
            }
        }
        ::closedir(dir);
        return names;
    }
};

} // namespace

FileSystem& FileSystem::Real() {
    static PosixFileSystem real;
    return real;
}
