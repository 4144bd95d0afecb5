#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "store/FileSystem.h"

// A file system held in memory, for loading data files from bytes without touching the
// disk: fuzz targets run tens of thousands of loads a second on it.
class MemoryFileSystem : public FileSystem {
public:
    std::map<std::string, std::vector<std::byte>> files;
    std::set<std::string> folders;

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
    struct Open_ {
        std::string path;
        size_t position = 0;
    };
    std::map<int, Open_> open_;
    int next_ = 3;
};
