#include "pages/RunWorker.h"

#include <QEventLoop>

#include <exception>

RunWorker::RunWorker(QObject *parent)
    : QObject(parent)
    , m_context(new QObject)
{
    m_thread.setObjectName(QStringLiteral("KktRun"));
    m_context->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
    m_thread.start();
}

RunWorker::~RunWorker()
{
    // No job runs now: run() does not return before its job has ended.
    m_handover.shutDown();
    m_thread.quit();
    m_thread.wait();
}

void RunWorker::run(const std::function<void()> &job)
{
    Q_ASSERT(QThread::currentThread() == thread());
    Q_ASSERT(!m_running);
    m_stop = false;
    m_running = true;
    QEventLoop loop;
    bool done = false;
    std::exception_ptr error;
    QMetaObject::invokeMethod(
        m_context,
        [&] {
            try {
                job();
            } catch (...) {
                error = std::current_exception();
            }
            // After everything the job posted: the window has it all when run() returns.
            QMetaObject::invokeMethod(
                this,
                [&] {
                    done = true;
                    loop.quit();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    while (!done)
        loop.exec();
    m_running = false;
    if (error)
        std::rethrow_exception(error);
}

void RunWorker::onUi(const std::function<void()> &fn)
{
    m_handover.runOnUi(fn);
}

void RunWorker::post(std::function<void()> fn)
{
    QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}
