#pragma once

#include <QMutex>
#include <QObject>
#include <QWaitCondition>

#include <deque>
#include <functional>

// Calls between a worker thread and the interface thread in both directions,
// each side waiting for the other, without a deadlock: while the interface
// thread waits for the worker, it runs the calls the worker hands it.
//
// Lives in the interface thread. A call handed over from the worker must not
// itself wait for the worker (the worker is waiting for it).
class UiHandover : public QObject
{
    Q_OBJECT
public:
    explicit UiHandover(QObject *parent = nullptr);
    ~UiHandover() override;

    // Worker side: runs fn on the interface thread and waits until it is done.
    // False without running it once shutDown() has been called.
    bool runOnUi(const std::function<void()> &fn);

    // Interface side: runs fn on the worker object's thread and waits until it
    // is done, serving the worker's calls meanwhile. False when the worker's
    // thread does not run.
    bool runOnWorker(QObject *worker, const std::function<void()> &fn);

    // From now on the worker's calls are dropped, those still queued too, and
    // the worker no longer waits for them: what they would reach may be going away.
    void shutDown();

private:
    struct Pending
    {
        const std::function<void()> *fn;
        bool done = false;
    };
    // Runs the worker's queued calls; the mutex is held on entry and exit.
    void serveLocked();
    void serve();

    QMutex m_mutex;
    QWaitCondition m_changed;
    std::deque<Pending *> m_queue;
    bool m_shutDown = false;
};
