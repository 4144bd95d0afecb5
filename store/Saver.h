#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "store/ClsGlobal.h"

// When the saver writes.
struct SaverTiming {
    std::chrono::milliseconds quiet{1000};   // after the last change
    std::chrono::milliseconds longest{2000}; // after the oldest change not yet written
    std::chrono::milliseconds firstRetry{5000};
    std::chrono::milliseconds longestRetry{60000};
};

// Saves the store as the user works: a quiet moment after the last change, but never later
// than a set time after the oldest change not yet written, however the changes keep coming.
// The changed files are taken from the store (quickly, on the store's thread, so later
// changes cannot mix into them) and handed to a worker that writes them. A failed write is
// logged once, reported until a write succeeds, and tried again on its own after a pause
// that grows with each failure in a row (changes do not hurry it), and at Flush.
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

    using Timing = SaverTiming;

    // Changes the store holds already (a repair at load) count as made now.
    Saver(ClsGlobal& store, Worker worker, Clock clock, Timing timing = {});

    // The store changed.
    void Changed();
    // How long until a save is due; nothing when none is waiting (nothing to write, or a
    // write in flight).
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
    Timing timing_;
    TimePoint lastChange_;
    std::optional<TimePoint> oldestUnsaved_;
    bool busy_ = false;
    // After a failed write: when it is tried again, and the pause before the one after.
    std::optional<TimePoint> retryAt_;
    std::chrono::milliseconds nextPause_{0};
    SaveResult failure_;
    SaveResult logged_;
};
