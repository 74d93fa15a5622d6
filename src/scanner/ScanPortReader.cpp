#include "scanner/ScanPortReader.h"

#include "kkt/PortDiscovery.h"

#include <QSerialPort>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {
// Windows' status word of a wait request: pending, nothing received yet.
constexpr int kIoPending = 259;
// The input kept by the port between two reads; the scanner sends codes of a
// few dozen bytes, anything beyond is noise that must not grow without end.
constexpr qint64 kReadBufferSize = 4096;

const QString kAsterisks = QString(34, u'*');
const QString kHyphens = QString(34, u'-');
} // namespace

ScanPortReader::ScanPortReader(const QString &portsFolder, TextHook log, TextHook deliver)
    : m_portsFolder(portsFolder)
    , m_log(std::move(log))
    , m_deliver(std::move(deliver))
{ }

ScanPortReader::~ScanPortReader()
{
    Disconnect();
}

bool ScanPortReader::isOpen() const
{
    return m_port && m_port->isOpen();
}

bool ScanPortReader::Init(const QString &ComName, const QString &ComSpeed)
{
    Disconnect();
    bool number = false;
    const int speed = ComSpeed.toInt(&number);
    if (!number || speed <= 0)
        return false;
    auto *port = new QSerialPort(this);
    port->setPortName(PortDevicePath(ComName, m_portsFolder));
    port->setReadBufferSize(kReadBufferSize);
    if (ComName.isEmpty() || !port->open(QIODevice::ReadWrite)) {
        delete port;
        return false;
    }
    // Only the line format is set; anything else stays as the port had it.
    port->setBaudRate(speed);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    // Bytes that came while nobody listened would reach a real port's closed
    // line no more than they reach us here.
    port->clear(QSerialPort::Input);
    connect(port, &QSerialPort::readyRead, this, &ScanPortReader::OnBytes);
    // Queued: the port is closed after it has finished reporting, not inside.
    connect(port, &QSerialPort::errorOccurred, this, &ScanPortReader::OnPortError, Qt::QueuedConnection);
    m_port = port;
    ScheduleCycle();
    return true;
}

void ScanPortReader::Disconnect()
{
    if (!m_port)
        return;
    if (m_waiting)
        m_waitEnded = true;
    m_waiting = false;
    m_port->disconnect(this);
    m_port->close();
    m_port->deleteLater();
    m_port = nullptr;
}

void ScanPortReader::setPaused(bool paused)
{
    m_paused = paused;
    if (!paused)
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
    if (m_waiting) {
        // Resumed inside a wait: bytes that came meanwhile end it now.
        if (m_port->bytesAvailable() > 0)
            QMetaObject::invokeMethod(this, &ScanPortReader::OnBytes, Qt::QueuedConnection);
        return;
    }
    const bool received = m_port->bytesAvailable() > 0 || m_port->waitForReadyRead(0);
    Log(u"ovlp.Internal = "_s + QString::number(received ? 0 : kIoPending));
    if (!received) {
        m_assembly.Reset();
        Log(kAsterisks);
    }
    m_waiting = true;
    if (received)
        QMetaObject::invokeMethod(this, &ScanPortReader::OnBytes, Qt::QueuedConnection);
}

void ScanPortReader::OnBytes()
{
    if (m_paused || !m_waiting || !isOpen())
        return;
    m_waiting = false;
    Log(kHyphens);
    ReadWaiting();
    ScheduleCycle();
}

void ScanPortReader::ReadWaiting()
{
    const qint64 btr = m_port->bytesAvailable();
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

void ScanPortReader::OnPortError(QSerialPort::SerialPortError error)
{
    if (!m_port || (error != QSerialPort::ResourceError && error != QSerialPort::ReadError))
        return;
    // The device went away (unplugged, the far end of a terminal closed) and
    // every read fails: end the wait and stay idle rather than spin on it.
    Disconnect();
    ScheduleCycle();
}
