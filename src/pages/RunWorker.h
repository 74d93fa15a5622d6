#pragma once

#include "kkt/UiHandover.h"

#include <QObject>
#include <QThread>

#include <atomic>
#include <functional>

// The thread the KKT runs go on, so that the window never waits for the line:
// it repaints, answers a screen reader, opens a dialog and takes "Стоп" while
// a run works through its requests.
//
// Lives in the interface thread, which starts one job at a time and waits for
// it in an event loop of its own. From the job, progress and the like are
// posted to the interface thread in order, and a message the user must close
// before the run goes on is shown there while the job waits.
class RunWorker : public QObject
{
    Q_OBJECT
public:
    explicit RunWorker(QObject *parent = nullptr);
    ~RunWorker() override;

    // Runs job on the worker thread and returns once it has ended, running the
    // interface thread's events meanwhile. An exception that escapes the job
    // comes out of run(). Clears a stop request left from an earlier run.
    void run(const std::function<void()> &job);
    bool running() const { return m_running; }

    // From the job: runs fn on the interface thread and waits until it is done.
    void onUi(const std::function<void()> &fn);
    // From the job: runs fn on the interface thread later, after everything
    // posted before it.
    void post(std::function<void()> fn);

    // From the interface thread: the job is asked to end at its next request.
    void requestStop() { m_stop = true; }
    bool stopRequested() const { return m_stop; }

private:
    QThread m_thread;
    QObject *m_context; // lives in the worker thread; the jobs run as its calls
    UiHandover m_handover;
    std::atomic_bool m_stop { false };
    bool m_running = false;
};
