#include "store/Saver.h"

#include "store/ModError.h"

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
} // namespace

Saver::Saver(ClsGlobal& store, Worker worker, Clock clock, std::chrono::milliseconds quiet)
    : store_(store), worker_(std::move(worker)), clock_(std::move(clock)), quiet_(quiet),
      lastChange_(clock_()) {}

void Saver::Changed() {
    lastChange_ = clock_();
    waitForChange_ = false;
}

std::optional<std::chrono::milliseconds> Saver::DueIn() const {
    if (busy_ || waitForChange_ || !store_.HasPendingChanges()) {
        return std::nullopt;
    }
    auto quietFor = std::chrono::duration_cast<std::chrono::milliseconds>(clock_() - lastChange_);
    return quietFor >= quiet_ ? std::chrono::milliseconds(0) : quiet_ - quietFor;
}

void Saver::Tick() {
    auto due = DueIn();
    if (!due || due->count() > 0) {
        return;
    }
    auto plan = std::make_shared<const SavePlan>(store_.TakePendingChanges());
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
    } else {
        // Once per failure, however often it is tried again.
        if (!SameFailure(failure_, logged_)) {
            for (size_t i = 0; i < failure_.failedFiles.size(); ++i) {
                ModError::LogError("Saver", "Write", 0, failure_.errors[i].number,
                                   failure_.failedFiles[i] + ": " + failure_.errors[i].description);
            }
            logged_ = failure_;
        }
        waitForChange_ = true;
    }
    if (onFinished) {
        onFinished();
    }
}
