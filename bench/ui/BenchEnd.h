#pragma once

#include <functional>

// Windows kept for the whole run need the application while they go, but a function's
// static objects are destroyed after main has ended it. Such a window is handed over here
// when it is made, and main releases it before the application ends.
void ReleaseAtBenchEnd(std::function<void()> release);
// Releases everything handed over, the latest first.
void BenchEnd();
