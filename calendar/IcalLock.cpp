#include "calendar/IcalLock.h"

std::mutex& IcalLock() {
    static std::mutex lock;
    return lock;
}
