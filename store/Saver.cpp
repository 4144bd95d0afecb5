#include "store/Saver.h"

#include <algorithm>

#include "base/ModError.h"

namespace {
bool SameFailure(const SaveResult& a, const SaveResult& b) {
    if (a.failedFiles != b.failedFiles || a.errors.size() != b.errors.size()) {
        return false;
    }
    for (size_t i = 0; i < a.errors.size(); ++i) {
        if (a.errors[i].number != b.errors[i].number) {
            return false;
        }
    }
    return true;
}

std::chrono::milliseconds Until(Saver::TimePoint now, Saver::TimePoint at) {
    return at <= now ? std::chrono::milliseconds(0)
                     : std::chrono::ceil<std::chrono::milliseconds>(at - now);
}
} // namespace

Saver::Saver(ClsGlobal& store, Worker worker, Clock clock, Timing timing)
    : store_(store), worker_(std::move(worker)), clock_(std::move(clock)), timing_(timing),
      lastChange_(clock_()), nextPause_(timing.firstRetry) {
    if (store_.HasPendingChanges()) {
        oldestUnsaved_ = lastChange_;
    }
}

void Saver::Changed() {
    lastChange_ = clock_();
    if (!oldestUnsaved_) {
        oldestUnsaved_ = lastChange_;
    }
}

std::optional<std::chrono::milliseconds> Saver::DueIn() const {
    if (busy_ || !store_.HasPendingChanges()) {
        return std::nullopt;
    }
    const TimePoint now = clock_();
    if (retryAt_) {
        return Until(now, *retryAt_);
    }
    TimePoint due = lastChange_ + timing_.quiet;
    if (oldestUnsaved_) {
        due = std::min(due, *oldestUnsaved_ + timing_.longest);
    }
    return Until(now, due);
}

void Saver::Tick() {
    auto due = DueIn();
    if (!due || due->count() > 0) {
        return;
    }
    auto plan = std::make_shared<const SavePlan>(store_.TakePendingChanges());
    oldestUnsaved_.reset();
    busy_ = true;
    FileSystem& fs = store_.Files();
    worker_([plan, &fs] { return plan->Write(fs); },
            [this, plan](const BatchResult& result) { Finished(*plan, result); });
}

SaveResult Saver::Flush(const std::function<void()>& waitForWorker) {
    if (busy_ && waitForWorker) {
        waitForWorker();
    }
    SavePlan plan = store_.TakePendingChanges();
    oldestUnsaved_.reset();
    if (plan.Empty()) {
        return failure_;
    }
    Finished(plan, plan.Write(store_.Files()));
    return failure_;
}

void Saver::Finished(const SavePlan& plan, const BatchResult& result) {
    busy_ = false;
    if (result.folderSync) {
        ModError::LogError("FileIo", "WriteBatch", *result.folderSync);
    }
    failure_ = store_.WriteFailed(plan, result);
    if (failure_.Ok()) {
        logged_ = {};
        retryAt_.reset();
        nextPause_ = timing_.firstRetry;
    } else {
        // Once per failure, however often it is tried again.
        if (!SameFailure(failure_, logged_)) {
            for (size_t i = 0; i < failure_.failedFiles.size(); ++i) {
                ModError::LogError("Saver", "Write", 0, failure_.errors[i].number,
                                   failure_.failedFiles[i] + ": " + failure_.errors[i].description);
            }
            logged_ = failure_;
        }
        retryAt_ = clock_() + nextPause_;
        nextPause_ = std::min(nextPause_ * 2, timing_.longestRetry);
    }
    if (onFinished) {
        onFinished();
    }
}
