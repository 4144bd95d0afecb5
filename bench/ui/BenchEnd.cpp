#include "bench/ui/BenchEnd.h"

#include <vector>

namespace {
std::vector<std::function<void()>>& Releases() {
    static std::vector<std::function<void()>> releases;
    return releases;
}
} // namespace

void ReleaseAtBenchEnd(std::function<void()> release) {
    Releases().push_back(std::move(release));
}

void BenchEnd() {
    auto& releases = Releases();
    while (!releases.empty()) {
        auto release = std::move(releases.back());
        releases.pop_back();
        release();
    }
}
