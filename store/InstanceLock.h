#pragma once

#include <string>

// Keeps a second copy of the program off the same data folder: the folder itself is
// locked (no lock file is left behind), and the lock goes with the process.
class InstanceLock {
public:
    explicit InstanceLock(const std::string& dataFolder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another process holds the folder.
    bool Acquired() const { return acquired_; }

private:
    int fd_ = -1;
    bool acquired_ = false;
};
