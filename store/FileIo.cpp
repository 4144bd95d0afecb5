#include "store/FileIo.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/mman.h>
#include <thread>

#include "store/FileSystem.h"

namespace {

constexpr const char* kTempMark = ".tmp-";
constexpr size_t kTempSuffix = 6;
constexpr const char kTempChars[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// Pieces below this size are gathered before they are written, so a collection full of
// holes does not cost a call per record.
constexpr size_t kGatherBelow = 64 * 1024;
constexpr size_t kGatherBuffer = 1024 * 1024;
// No data file comes near this; a link to a device or a runaway file must not eat memory.
constexpr uint64_t kMaxFileBytes = uint64_t{1} << 36;

Error FromErrno(long negativeErrno) {
    return ErrorFromErrno(static_cast<int>(-negativeErrno));
}

ssize_t ReadRetrying(FileSystem& fs, int fd, void* buffer, size_t size) {
    for (;;) {
        ssize_t n = fs.Read(fd, buffer, size);
        if (n != -EINTR) {
            return n;
        }
    }
}

std::optional<Error> WriteFully(FileSystem& fs, int fd, const std::byte* data, size_t size) {
    while (size > 0) {
        ssize_t n = fs.Write(fd, data, size);
        if (n == -EINTR) {
            continue;
        }
        if (n < 0) {
            return FromErrno(n);
        }
        if (n == 0) {
            return MakeError(ErrorNumber::DeviceIo);
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return std::nullopt;
}

std::optional<Error> WritePieces(FileSystem& fs, int fd, const FileImage& image) {
    std::vector<std::byte> gather;
    auto flush = [&]() -> std::optional<Error> {
        auto e = WriteFully(fs, fd, gather.data(), gather.size());
        gather.clear();
        return e;
    };
    auto put = [&](std::span<const std::byte> piece) -> std::optional<Error> {
        if (piece.size() >= kGatherBelow) {
            if (auto e = flush()) {
                return e;
            }
            return WriteFully(fs, fd, piece.data(), piece.size());
        }
        if (gather.size() + piece.size() > kGatherBuffer) {
            if (auto e = flush()) {
                return e;
            }
        }
        if (gather.capacity() == 0) {
            gather.reserve(std::min(kGatherBuffer, image.Size()));
        }
        gather.insert(gather.end(), piece.begin(), piece.end());
        return std::nullopt;
    };
    if (!image.owned.empty()) {
        if (auto e = put(image.owned)) {
            return e;
        }
    }
    for (const auto& piece : image.pieces) {
        if (auto e = put(piece)) {
            return e;
        }
    }
    return flush();
}

std::string TempName(const std::string& path) {
    thread_local std::mt19937 rng(static_cast<uint32_t>(
        std::hash<std::thread::id>()(std::this_thread::get_id()) ^
        static_cast<size_t>(std::chrono::steady_clock::now().time_since_epoch().count())));
    std::string name = path + kTempMark;
    for (size_t i = 0; i < kTempSuffix; ++i) {
        name += kTempChars[rng() % (sizeof kTempChars - 1)];
    }
    return name;
}

// Writes the image to a new temporary file beside it and fsyncs it. The temporary file is
// created with 0666 so the umask applies as for any new file; a file being replaced passes
// its own mode on.
std::optional<Error> WriteTemporary(FileSystem& fs, const FileImage& image, std::string& temp) {
    int fd = -EEXIST;
    for (int attempt = 0; attempt < 100 && fd == -EEXIST; ++attempt) {
        temp = TempName(image.path);
        fd = fs.Open(temp, O_WRONLY | O_CREAT | O_EXCL, 0666);
    }
    if (fd < 0) {
        temp.clear();
        return FromErrno(fd);
    }
    std::optional<Error> failure = WritePieces(fs, fd, image);
    struct stat old {};
    if (!failure && fs.Stat(image.path, old) == 0 && S_ISREG(old.st_mode)) {
        if (int rc = fs.Fchmod(fd, old.st_mode & 07777); rc < 0) {
            failure = FromErrno(rc);
        }
    }
    if (!failure) {
        if (int rc = fs.Fsync(fd); rc < 0) {
            failure = FromErrno(rc);
        }
    }
    if (int rc = fs.Close(fd); rc < 0 && !failure) {
        failure = FromErrno(rc);
    }
    if (failure) {
        fs.Unlink(temp);
        temp.clear();
    }
    return failure;
}

constexpr size_t kHugePage = 2 * 1024 * 1024;
constexpr size_t kMapFrom = 4 * 1024 * 1024;
std::atomic<size_t> mappedBytes{0};

} // namespace

std::shared_ptr<std::byte[]> AllocateBytes(size_t size) {
    if (size < kMapFrom) {
        return std::shared_ptr<std::byte[]>(new std::byte[std::max<size_t>(size, 1)]);
    }
    // Over-map by a huge page so that the block can start on a huge-page boundary.
    const size_t length = (size + kHugePage - 1) / kHugePage * kHugePage;
    void* mapped = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    auto* raw = static_cast<std::byte*>(mapped);
    auto* start = reinterpret_cast<std::byte*>((reinterpret_cast<uintptr_t>(raw) + kHugePage - 1) /
                                               kHugePage * kHugePage);
    const size_t before = static_cast<size_t>(start - raw);
    if (before > 0) {
        ::munmap(raw, before);
    }
    if (kHugePage - before > 0) {
        ::munmap(start + length, kHugePage - before);
    }
    ::madvise(start, length, MADV_HUGEPAGE); // only advice: ignored where unsupported
    mappedBytes += length;
    return std::shared_ptr<std::byte[]>(start, [length](std::byte* p) {
        ::munmap(p, length);
        mappedBytes -= length;
    });
}

size_t MappedBytesInUse() {
    return mappedBytes;
}

size_t FileImage::Size() const {
    size_t size = owned.size();
    for (const auto& piece : pieces) {
        size += piece.size();
    }
    return size;
}

bool BatchResult::Ok() const {
    return std::none_of(errors.begin(), errors.end(), [](const auto& e) { return e.has_value(); });
}

namespace FileIo {

bool Exists(FileSystem& fs, const std::string& path) {
    struct stat st {};
    return fs.Lstat(path, st) != -ENOENT;
}

std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

Presence Probe(FileSystem& fs, const std::string& path) {
    Presence found;
    found.writePath = path;
    struct stat st {};
    if (int rc = fs.Lstat(path, st); rc == -ENOENT) {
        return found;
    } else if (rc < 0) {
        found.state = Presence::State::Unreachable;
        found.error = FromErrno(rc);
        return found;
    }
    found.state = Presence::State::Present;
    if (!S_ISLNK(st.st_mode)) {
        return found;
    }
    if (int rc = fs.ReadLink(path, found.linkTarget); rc < 0) {
        found.state = Presence::State::Unreachable;
        found.error = FromErrno(rc);
        return found;
    }
    // A link to a drive not mounted yet is no missing file: nothing may be made in its place.
    if (int rc = fs.Stat(path, st); rc < 0) {
        found.state = Presence::State::Unreachable;
        found.error = FromErrno(rc);
        return found;
    }
    std::string at = path;
    std::string target = found.linkTarget;
    for (int hop = 0; hop < 40; ++hop) {
        at = !target.empty() && target.front() == '/' ? target : FolderOf(at) + "/" + target;
        if (fs.Lstat(at, st) < 0 || !S_ISLNK(st.st_mode) || fs.ReadLink(at, target) < 0) {
            break;
        }
    }
    found.writePath = at;
    return found;
}

std::optional<Error> EnsureFolder(FileSystem& fs, const std::string& path) {
    int rc = fs.Mkdir(path, 0777);
    if (rc == 0) {
        return std::nullopt;
    }
    struct stat st {};
    if (rc == -EEXIST && fs.Stat(path, st) == 0 && S_ISDIR(st.st_mode)) {
        return std::nullopt;
    }
    return FromErrno(rc == -EEXIST ? -ENOTDIR : rc);
}

std::optional<Error> EnsureFile(FileSystem& fs, const std::string& path) {
    // Exclusive, so that a link (even one that leads nowhere) is never followed to make a
    // file somewhere else.
    int fd = fs.Open(path, O_WRONLY | O_CREAT | O_EXCL | O_NONBLOCK, 0666);
    if (fd == -EEXIST) {
        return std::nullopt;
    }
    if (fd < 0) {
        return FromErrno(fd);
    }
    if (int rc = fs.Close(fd); rc < 0) {
        return FromErrno(rc);
    }
    return std::nullopt;
}

std::optional<Error> ReadAll(FileSystem& fs, const std::string& path, ByteBlock& out) {
    out = {};
    // Non-blocking, so that opening a pipe returns at once; it is refused just below.
    int fd = fs.Open(path, O_RDONLY | O_NONBLOCK, 0);
    if (fd < 0) {
        return FromErrno(fd);
    }
    std::optional<Error> failure;
    struct stat st {};
    if (int rc = fs.Fstat(fd, st); rc < 0) {
        failure = FromErrno(rc);
    } else if (!S_ISREG(st.st_mode)) {
        failure = Error{ErrorNumber::PathFileAccess,
                        S_ISDIR(st.st_mode) ? "A folder, not a file" : "Not a regular file"};
    } else if (static_cast<uint64_t>(st.st_size) > kMaxFileBytes) {
        failure = MakeError(ErrorNumber::OutOfMemory);
    } else {
        try {
            // The size fstat gave; a file that grows meanwhile is read on to its end.
            size_t capacity = static_cast<size_t>(st.st_size);
            std::shared_ptr<std::byte[]> data = AllocateBytes(capacity);
            size_t got = 0;
            for (;;) {
                std::byte probe[4096];
                const bool full = got == capacity;
                ssize_t n = full ? ReadRetrying(fs, fd, probe, sizeof probe)
                                 : ReadRetrying(fs, fd, data.get() + got, capacity - got);
                if (n < 0) {
                    failure = FromErrno(n);
                    break;
                }
                if (n == 0) {
                    break;
                }
                if (full) {
                    if (capacity + static_cast<size_t>(n) > kMaxFileBytes) {
                        failure = MakeError(ErrorNumber::OutOfMemory);
                        break;
                    }
                    size_t grown = std::max(capacity * 2, capacity + static_cast<size_t>(n));
                    std::shared_ptr<std::byte[]> bigger = AllocateBytes(grown);
                    std::memcpy(bigger.get(), data.get(), got);
                    std::memcpy(bigger.get() + got, probe, static_cast<size_t>(n));
                    data = std::move(bigger);
                    capacity = grown;
                }
                got += static_cast<size_t>(n);
            }
            if (!failure) {
                out.data = std::move(data);
                out.size = got;
            }
        } catch (const std::bad_alloc&) {
            failure = MakeError(ErrorNumber::OutOfMemory);
        }
    }
    if (int rc = fs.Close(fd); rc < 0 && !failure) {
        failure = FromErrno(rc);
    }
    if (failure) {
        out = {};
    }
    return failure;
}

std::optional<Error> WriteAtomic(FileSystem& fs, const std::string& path,
                                 std::span<const std::byte> bytes) {
    FileImage image;
    image.path = path;
    image.pieces.push_back(bytes);
    BatchResult result = WriteBatch(fs, {image});
    return result.errors.front();
}

BatchResult WriteBatch(FileSystem& fs, const std::vector<FileImage>& files) {
    BatchResult result;
    result.errors.resize(files.size());
    std::vector<std::string> temps(files.size());
    auto discardFrom = [&](size_t first, const Error& e) {
        for (size_t j = first; j < files.size(); ++j) {
            if (!temps[j].empty()) {
                fs.Unlink(temps[j]);
                temps[j].clear();
            }
            if (!result.errors[j]) {
                result.errors[j] = e;
            }
        }
    };
    for (size_t i = 0; i < files.size(); ++i) {
        if (auto e = WriteTemporary(fs, files[i], temps[i])) {
            result.errors[i] = e;
            discardFrom(0, *e);
            return result;
        }
    }
    std::vector<std::string> folders;
    for (size_t i = 0; i < files.size(); ++i) {
        if (int rc = fs.Rename(temps[i], files[i].path); rc < 0) {
            discardFrom(i, FromErrno(rc));
            break;
        }
        temps[i].clear();
        std::string folder = FolderOf(files[i].path);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
            folders.push_back(std::move(folder));
        }
    }
    for (const std::string& folder : folders) {
        int rc = fs.SyncFolder(folder);
        // Some file systems cannot sync a folder; the renames are then as durable as they get.
        if (rc < 0 && rc != -EINVAL && rc != -EROFS && !result.folderSync) {
            result.folderSync = FromErrno(rc);
        }
    }
    return result;
}

bool IsTemporaryOf(const std::string& name, const std::string& fileName) {
    const size_t mark = fileName.size();
    if (name.size() != mark + std::strlen(kTempMark) + kTempSuffix ||
        name.compare(0, mark, fileName) != 0 ||
        name.compare(mark, std::strlen(kTempMark), kTempMark) != 0) {
        return false;
    }
    for (size_t i = mark + std::strlen(kTempMark); i < name.size(); ++i) {
        if (std::strchr(kTempChars, name[i]) == nullptr) {
            return false;
        }
    }
    return true;
}

bool IsOwnTemporary(const std::string& name) {
    size_t mark = name.rfind(kTempMark);
    if (mark == std::string::npos || !IsTemporaryOf(name, name.substr(0, mark))) {
        return false;
    }
    std::string base = name.substr(0, mark);
    // A data file, or a backup of one: "Appointment.bin", "Type.bin.bak", "Global.bin.bak.3".
    for (const char* file :
         {"Global.bin", "Resource.bin", "Customer.bin", "Type.bin", "Appointment.bin"}) {
        std::string stem = file;
        if (base == stem || base == stem + ".bak") {
            return true;
        }
        std::string numbered = stem + ".bak.";
        if (base.size() > numbered.size() && base.compare(0, numbered.size(), numbered) == 0 &&
            base.find_first_not_of("0123456789", numbered.size()) == std::string::npos) {
            return true;
        }
    }
    return false;
}

} // namespace FileIo
