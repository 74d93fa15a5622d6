#include "scanner/ScanPortReader.h"

#include "scanner/ScanPort.h"

#include <QThread>

using namespace Qt::StringLiterals;

namespace {
// Windows' status word of a wait request: pending, nothing received yet.
constexpr int kIoPending = 259;
constexpr int kReopenMs = 1000;

const QString kAsterisks = QString(34, u'*');
const QString kHyphens = QString(34, u'-');
} // namespace

ScanPortReader::ScanPortReader(const QString &portsFolder, TextHook log, TextHook deliver, StateHook state)
    : m_log(std::move(log))
    , m_deliver(std::move(deliver))
    , m_state(std::move(state))
    , m_port(MakeScanPort(portsFolder))
    , m_reopen(this)
{
    // Children, so that both move into the reader's thread with it.
    m_port->setParent(this);
    connect(m_port.get(), &ScanPort::readable, this, &ScanPortReader::OnReadable);
    m_reopen.setInterval(kReopenMs);
    connect(&m_reopen, &QTimer::timeout, this, &ScanPortReader::TryReopen);
}

ScanPortReader::~ScanPortReader()
{
    Disconnect();
}

bool ScanPortReader::isOpen() const
{
    return m_port->isOpen();
}

bool ScanPortReader::Init(const QString &ComName, const QString &ComSpeed)
{
    Disconnect();
    bool number = false;
    const int speed = ComSpeed.toInt(&number);
    if (!number || speed <= 0 || ComName.isEmpty())
        return false;
    if (!m_port->open(ComName, speed))
        return false;
    m_name = ComName;
    m_speed = speed;
    ScheduleCycle();
    return true;
}

void ScanPortReader::Disconnect()
{
    m_reopen.stop();
    if (!m_port->isOpen())
        return;
    if (m_waiting)
        m_waitEnded = true;
    m_waiting = false;
    m_port->close();
}

void ScanPortReader::setPaused(bool paused)
{
    m_paused = paused;
    if (paused)
        m_port->watch(false);
    else
        ScheduleCycle();
}

void ScanPortReader::ScheduleCycle()
{
    if (m_cycleQueued)
        return;
    m_cycleQueued = true;
    // Queued, so that requests of the interface thread get in between two cycles.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_cycleQueued = false;
            StartCycle();
        },
        Qt::QueuedConnection);
}

void ScanPortReader::StartCycle()
{
    if (m_paused)
        return;
    if (m_waitEnded) {
        // The wait that closing its port ended: it ends without a read.
        m_waitEnded = false;
        Log(kHyphens);
    }
    if (!isOpen())
        return;
    const qint64 queued = m_port->waiting();
    if (queued < 0) {
        PortLost();
        return;
    }
    if (m_waiting) {
        // Resumed inside a wait: bytes that came meanwhile end it now.
        if (queued > 0)
            QMetaObject::invokeMethod(this, &ScanPortReader::OnBytes, Qt::QueuedConnection);
        else
            m_port->watch(true);
        return;
    }
    const bool received = queued > 0;
    Log(u"ovlp.Internal = "_s + QString::number(received ? 0 : kIoPending));
    if (!received) {
        m_assembly.Reset();
        Log(kAsterisks);
    }
    m_waiting = true;
    if (received)
        QMetaObject::invokeMethod(this, &ScanPortReader::OnBytes, Qt::QueuedConnection);
    else
        m_port->watch(true);
}

void ScanPortReader::OnReadable()
{
    if (m_paused || !m_waiting || !isOpen()) {
        m_port->watch(false);
        return;
    }
    const qint64 queued = m_port->waiting();
    if (queued < 0)
        PortLost();
    else if (queued > 0)
        OnBytes();
    // Nothing waiting: somebody else's wake-up (another read took the bytes
    // first, an event dispatcher that reports once too often). The wait goes on.
}

void ScanPortReader::OnBytes()
{
    if (m_paused || !m_waiting || !isOpen())
        return;
    m_port->watch(false);
    m_waiting = false;
    Log(kHyphens);
    ReadWaiting();
    ScheduleCycle();
}

void ScanPortReader::ReadWaiting()
{
    const qint64 btr = qMax<qint64>(m_port->waiting(), 0);
    Log(u"btr = "_s + QString::number(btr));
    if (btr == 0)
        return;
    const QByteArray bytes = m_port->read(qMin<qint64>(btr, TScanAssembly::kBufSize));
    const QString text = TScanAssembly::BufToLogStr(bytes);
    if (text.isEmpty())
        return;
    Log(u"buf = "_s + text);
    QThread::msleep(m_burstPauseMs);
    const TScanAssembly::Step step = m_assembly.Collect(bytes);
    for (const QString &line : step.trace)
        Log(line);
    if (step.code)
        m_deliver(*step.code);
}

void ScanPortReader::PortLost()
{
    const bool waited = m_waiting;
    m_waiting = false;
    m_port->close();
    // The wait ends without a read, as when the port is closed under it.
    if (waited)
        Log(kHyphens);
    if (m_state)
        m_state(false);
    m_reopen.start();
}

void ScanPortReader::TryReopen()
{
    if (m_port->isOpen() || !m_port->open(m_name, m_speed))
        return;
    m_reopen.stop();
    if (m_state)
        m_state(true);
    ScheduleCycle();
}
