#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#include "store/Saver.h"
#include "store/StoreChanges.h"

// Saves the store as the user works, when the saver says a save is due (a quiet second after
// the last change, two seconds after the oldest unsaved one at most, or a retry after a failed
// write). The changed files are taken on this thread and written on a worker thread, so the
// window never waits for the disk.
class AutoSave : public QObject {
    Q_OBJECT

public:
    AutoSave(ClsGlobal& store, StoreChanges& changes, QObject* parent = nullptr);
    // Lets a write in flight finish; what is still pending is for Flush.
    ~AutoSave() override;

    // Writes what is still pending and waits for it: for the end of the program.
    SaveResult Flush();
    const Saver& State() const { return saver_; }
    // When the timer will next offer a save; nothing when none is waiting.
    std::optional<std::chrono::milliseconds> NextSaveIn() const;

signals:
    // A write finished, well or not: State() tells.
    void Finished();

private:
    void Schedule();
    void RunOnWorker(Saver::Job job, Saver::Done done);
    // Waits for the worker and runs the finish of its write.
    void Join();

    ClsGlobal& store_;
    Saver saver_;
    QTimer timer_;
    std::thread worker_;
    std::function<void()> finish_;
    StoreChanges::Subscription changes_;
};
