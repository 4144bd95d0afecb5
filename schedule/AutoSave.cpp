#include "schedule/AutoSave.h"

#include <chrono>
#include <memory>

AutoSave::AutoSave(ClsGlobal& store, StoreChanges& changes, QObject* parent)
    : QObject(parent), store_(store),
      saver_(
          store, [this](Saver::Job job, Saver::Done done) { RunOnWorker(std::move(job), done); },
          [] { return std::chrono::steady_clock::now(); }) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
        saver_.Tick();
        Schedule();
    });
    saver_.onFinished = [this] {
        emit Finished();
        Schedule();
    };
    changes_ = changes.Subscribe([this](const ChangeSet&) {
        saver_.Changed();
        Schedule();
    });
    // What the load repaired is pending from the start.
    Schedule();
}

AutoSave::~AutoSave() {
    changes_.Reset();
    saver_.onFinished = nullptr;
    Join();
}

std::optional<std::chrono::milliseconds> AutoSave::NextSaveIn() const {
    if (!timer_.isActive()) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(timer_.remainingTime());
}

void AutoSave::Schedule() {
    if (auto due = saver_.DueIn()) {
        timer_.start(*due);
    } else {
        timer_.stop();
    }
}

void AutoSave::RunOnWorker(Saver::Job job, Saver::Done done) {
    Join();
    auto result = std::make_shared<BatchResult>();
    finish_ = [result, done] { done(*result); };
    worker_ = std::thread([this, job = std::move(job), result] {
        *result = job();
        // Back on this object's thread; dropped if the object is gone by then.
        QMetaObject::invokeMethod(
            this, [this] { Join(); }, Qt::QueuedConnection);
    });
}

void AutoSave::Join() {
    if (worker_.joinable()) {
        worker_.join();
    }
    if (auto finish = std::exchange(finish_, nullptr)) {
        finish();
    }
}

SaveResult AutoSave::Flush() {
    timer_.stop();
    return saver_.Flush([this] { Join(); });
}
