#pragma once

#include <mutex>

// libical loads its builtin zones lazily into tables shared by the whole process, without a
// lock of its own: every use of them holds this one.
std::mutex& IcalLock();
