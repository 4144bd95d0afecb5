#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "store/ClsGlobal.h"

// Saves the store as the user works: a quiet moment after the last change, the changed
// files are taken from the store (quickly, on the store's thread, so later changes cannot
// mix into them) and handed to a worker that writes them. A failed write is logged once,
// reported until a write succeeds, and tried again at the next change and at Flush.
//
// The clock and the worker come from the owner, so tests can drive it without waiting.
class Saver {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Clock = std::function<TimePoint()>;
    using Job = std::function<BatchResult()>;
    using Done = std::function<void(const BatchResult&)>;
    // Runs the job off the store's thread, then done on the store's thread.
    using Worker = std::function<void(Job job, Done done)>;

    Saver(ClsGlobal& store, Worker worker, Clock clock,
          std::chrono::milliseconds quiet = std::chrono::seconds(1));

    // The store changed: the quiet moment starts again.
    void Changed();
    // How long until a save is due; nothing when none is waiting (nothing to write, a
    // write in flight, or a failed write waiting for the next change).
    std::optional<std::chrono::milliseconds> DueIn() const;
    // Hands the pending changes to the worker when a save is due.
    void Tick();

    // Writes whatever is pending now, on this thread, after waitForWorker has let a write in
    // flight finish (and run its done). The result names the files that failed.
    SaveResult Flush(const std::function<void()>& waitForWorker);

    // The files the last write could not replace, until a write succeeds.
    bool Failing() const { return !failure_.Ok(); }
    const SaveResult& Failure() const { return failure_; }
    // Runs after every finished write.
    std::function<void()> onFinished;

private:
    void Finished(const SavePlan& plan, const BatchResult& result);

    ClsGlobal& store_;
    Worker worker_;
    Clock clock_;
    std::chrono::milliseconds quiet_;
    TimePoint lastChange_;
    bool busy_ = false;
    bool waitForChange_ = false;
    SaveResult failure_;
    SaveResult logged_;
};
