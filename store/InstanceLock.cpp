#include "store/InstanceLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "store/FileIo.h"
#include "store/FileSystem.h"

InstanceLock::InstanceLock(const std::string& dataFolder) {
    FileIo::EnsureFolder(FileSystem::Real(), dataFolder);
    fd_ = ::open(dataFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        // Without a folder to lock there is nothing a second copy could harm more than the
        // first; the store reports the folder's problems itself.
        acquired_ = true;
        return;
    }
    acquired_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}
