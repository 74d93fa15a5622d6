#include "scanner/ScanThread.h"

#include "kkt/UiHandover.h"
#include "scanner/ScanPortReader.h"

#include <QThread>

TScanThread::TScanThread(const QString &portsFolder, QObject *parent)
    : QObject(parent)
    , m_handover(new UiHandover(this))
    , m_thread(new QThread(this))
{
    m_thread->setObjectName(QStringLiteral("ScanThread"));
    m_reader = new ScanPortReader(
        portsFolder, [this](const QString &line) { m_handover->runOnUi([this, &line] { LogScan(line); }); },
        [this](const QString &value) { m_handover->runOnUi([this, &value] { DoScanEvent(value); }); },
        [this](bool connected) { m_handover->runOnUi([this, connected] { PortState(connected); }); });
    m_reader->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_reader, &QObject::deleteLater);
    m_thread->start();
}

TScanThread::~TScanThread()
{
    // Trace lines and codes still on their way are dropped: the windows they
    // would reach may be going away. Then the port is closed in the reader's
    // own thread, and the thread ends.
    m_handover->shutDown();
    Ask([reader = m_reader] {
        reader->setPaused(true);
        reader->Disconnect();
    });
    m_thread->quit();
    m_thread->wait();
}

void TScanThread::Ask(const std::function<void()> &fn)
{
    m_handover->runOnWorker(m_reader, fn);
}

bool TScanThread::Init(const QString &ComName, const QString &ComSpeed)
{
    bool ok = false;
    Ask([&] { ok = m_reader->Init(ComName, ComSpeed); });
    return ok;
}

void TScanThread::Disconnect()
{
    Ask([this] { m_reader->Disconnect(); });
}

void TScanThread::Suspend()
{
    Ask([this] { m_reader->setPaused(true); });
    m_suspended = true;
}

void TScanThread::Resume()
{
    Ask([this] { m_reader->setPaused(false); });
    m_suspended = false;
}

void TScanThread::setBurstPauseMs(int ms)
{
    Ask([this, ms] { m_reader->setBurstPauseMs(ms); });
}

void TScanThread::LogScan(const QString &line)
{
    if (OnLogScan)
        OnLogScan(line);
}

void TScanThread::setReopenMs(int ms)
{
    Ask([this, ms] { m_reader->setReopenMs(ms); });
}

void TScanThread::PortState(bool connected)
{
    if (OnPortState)
        OnPortState(connected);
}

void TScanThread::DoScanEvent(const QString &value)
{
    if (FOnScanEvent)
        FOnScanEvent(value);
}
