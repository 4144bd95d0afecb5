#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <thread>

#include "store/Saver.h"

// Saves the store a quiet second after the user's last change. The changed files are taken
// on this thread and written on a worker thread, so the window never waits for the disk.
class AutoSave : public QObject {
    Q_OBJECT

public:
    explicit AutoSave(ClsGlobal& store, QObject* parent = nullptr);
    // Lets a write in flight finish; what is still pending is for Flush.
    ~AutoSave() override;

    // Writes what is still pending and waits for it: for the end of the program.
    SaveResult Flush();
    const Saver& State() const { return saver_; }

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
};
