#include "store/FileIo.h"

#include "store/ModError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::optional<Error> WriteFully(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return ErrorFromErrno(errno);
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return std::nullopt;
}

std::optional<Error> SyncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return ErrorFromErrno(errno);
    }
    int rc = ::fsync(fd);
    int err = errno;
    ::close(fd);
    // Some file systems cannot sync a folder; the rename is then as durable as it gets.
    if (rc != 0 && err != EINVAL && err != EROFS) {
        return ErrorFromErrno(err);
    }
    return std::nullopt;
}

} // namespace

namespace FileIo {

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::optional<Error> EnsureFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) {
        return std::nullopt;
    }
    int err = errno;
    struct stat st {};
    if (err == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return std::nullopt;
    }
    return ErrorFromErrno(err);
}

std::optional<Error> EnsureFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return ErrorFromErrno(errno);
    }
    if (::close(fd) != 0) {
        return ErrorFromErrno(errno);
    }
    return std::nullopt;
}

std::optional<Error> ReadAll(const std::string& path, std::vector<uint8_t>& out) {
    out.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return ErrorFromErrno(errno);
    }
    std::optional<Error> failure;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        failure = ErrorFromErrno(errno);
    } else if (S_ISDIR(st.st_mode)) {
        failure = MakeError(ErrorNumber::PathFileAccess);
    } else {
        // Read the size fstat gave, then keep reading in case the file grew since.
        out.resize(static_cast<size_t>(st.st_size));
        size_t got = 0;
        uint8_t extra[65536];
        while (!failure) {
            bool intoBuffer = got < out.size();
            ssize_t n = intoBuffer ? ::read(fd, out.data() + got, out.size() - got)
                                   : ::read(fd, extra, sizeof extra);
            if (n < 0) {
                if (errno != EINTR) {
                    failure = ErrorFromErrno(errno);
                }
                continue;
            }
            if (n == 0) {
                break;
            }
            if (!intoBuffer) {
                out.insert(out.end(), extra, extra + n);
            }
            got += static_cast<size_t>(n);
        }
        out.resize(got);
    }
    if (::close(fd) != 0 && !failure) {
        failure = ErrorFromErrno(errno);
    }
    if (failure) {
        out.clear();
    }
    return failure;
}

std::optional<Error> WriteAtomic(const std::string& path, const uint8_t* data, size_t size) {
    std::string tmp = path + ".tmp-XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        return ErrorFromErrno(errno);
    }
    // Keep the mode of the file being replaced; a new file gets the usual 0666 less umask.
    struct stat old {};
    mode_t mode;
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        mode = old.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    std::optional<Error> failure = WriteFully(fd, data, size);
    if (!failure && ::fchmod(fd, mode) != 0) {
        failure = ErrorFromErrno(errno);
    }
    if (!failure && ::fsync(fd) != 0) {
        failure = ErrorFromErrno(errno);
    }
    if (::close(fd) != 0 && !failure) {
        failure = ErrorFromErrno(errno);
    }
    if (!failure && ::rename(tmp.c_str(), path.c_str()) != 0) {
        failure = ErrorFromErrno(errno);
    }
    if (failure) {
        ::unlink(tmp.c_str());
        return failure;
    }
    // The file already holds the new contents: a folder that will not sync is logged, not
    // reported as a failed write, which would claim the old contents were kept.
    if (auto e = SyncFolder(FolderOf(path))) {
        ModError::LogError("FileIo", "WriteAtomic", *e);
    }
    return std::nullopt;
}

std::optional<Error> CopyAtomic(const std::string& from, const std::string& to) {
    std::vector<uint8_t> bytes;
    if (auto e = ReadAll(from, bytes)) {
        return e;
    }
    return WriteAtomic(to, bytes.data(), bytes.size());
}

} // namespace FileIo
