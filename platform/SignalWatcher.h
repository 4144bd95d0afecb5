#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the event loop, so the program
// can end as if the user chose Exit and still write its data.
class SignalWatcher : public QObject {
    Q_OBJECT

public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

signals:
    void Signalled(int signalNumber);

private:
    void Drain();
    QSocketNotifier* notifier_ = nullptr;
};
