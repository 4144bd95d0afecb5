#include "base/Hooks.h"

#include <chrono>

namespace {
std::function<void()> doEventsHook;
std::chrono::steady_clock::time_point lastRun;
constexpr auto kInterval = std::chrono::milliseconds(5);
} // namespace

namespace Hooks {

void SetDoEvents(std::function<void()> hook) {
    doEventsHook = std::move(hook);
}

void DoEvents() {
    if (!doEventsHook) {
        return;
    }
    auto now = std::chrono::steady_clock::now();
    if (now - lastRun < kInterval) {
        return;
    }
    lastRun = now;
    doEventsHook();
}

} // namespace Hooks
