#include "kkt/UiHandover.h"

#include <QMetaObject>
#include <QThread>

#include <memory>

UiHandover::UiHandover(QObject *parent)
    : QObject(parent)
{ }

UiHandover::~UiHandover()
{
    shutDown();
}

bool UiHandover::runOnUi(const std::function<void()> &fn)
{
    if (QThread::currentThread() == thread()) {
        fn();
        return true;
    }
    Pending pending { &fn };
    QMutexLocker lock(&m_mutex);
    if (m_shutDown)
        return false;
    m_queue.push_back(&pending);
    // Served by the interface thread's event loop, or at once when that thread is waiting for us.
    QMetaObject::invokeMethod(this, &UiHandover::serve, Qt::QueuedConnection);
    m_changed.wakeAll();
    while (!pending.done && !m_shutDown)
        m_changed.wait(&m_mutex);
    return pending.done;
}

void UiHandover::serve()
{
    QMutexLocker lock(&m_mutex);
    serveLocked();
}

void UiHandover::serveLocked()
{
    while (!m_queue.empty() && !m_shutDown) {
        Pending *pending = m_queue.front();
        m_queue.pop_front();
        m_mutex.unlock();
        (*pending->fn)();
        m_mutex.lock();
        pending->done = true;
        m_changed.wakeAll();
    }
}

bool UiHandover::runOnWorker(QObject *worker, const std::function<void()> &fn)
{
    // Shared with the queued call, which may outlive this wait after a shut-down.
    struct Request
    {
        std::function<void()> fn;
        bool done = false;
    };
    const auto request = std::make_shared<Request>(Request { fn });
    if (!worker->thread()->isRunning())
        return false;
    QMetaObject::invokeMethod(
        worker,
        [this, request] {
            request->fn();
            QMutexLocker lock(&m_mutex);
            request->done = true;
            m_changed.wakeAll();
        },
        Qt::QueuedConnection);
    QMutexLocker lock(&m_mutex);
    for (;;) {
        serveLocked();
        if (request->done)
            break;
        m_changed.wait(&m_mutex);
    }
    return request->done;
}

void UiHandover::shutDown()
{
    QMutexLocker lock(&m_mutex);
    m_shutDown = true;
    m_queue.clear();
    m_changed.wakeAll();
}
