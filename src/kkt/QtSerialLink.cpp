#include "kkt/QtSerialLink.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QThread>

#include <algorithm>

#ifdef Q_OS_UNIX
#include "kkt/PosixTty.h"

#include <sys/file.h>
#endif

qint64 QtSerialLink::WriteTimeOutMs(int count, quint32 speed)
{
    // Twice the line time of the bytes (ten bits each), and never less than a second.
    const qint64 lineMs = speed > 0 ? qint64(count) * 10 * 1000 / speed : 0;
    return std::max<qint64>(1000, 2 * lineMs + 500);
}

QtSerialLink::QtSerialLink(const QString &portsFolder)
    : m_portsFolder(portsFolder)
{ }

QtSerialLink::~QtSerialLink()
{
    close();
}

bool QtSerialLink::open(const QString &name, quint32 speed, quint32 totalTimeOutMs)
{
    close();
    const QString device = PortDevicePath(name, m_portsFolder);
    if (device.isEmpty())
        return false;
#ifdef Q_OS_UNIX
    // QSerialPort sets the exclusive flag itself, and root's open passes
    // another process's: looked at before.
    if (PosixTty::HeldExclusively(device))
        return false;
#endif
    m_port = std::make_unique<QSerialPort>();
    m_port->setPortName(device);
    m_totalMs = totalTimeOutMs;
    m_speed = speed;
    // Flow control and the other line settings are left as Qt opens the port.
    if (!m_port->open(QIODevice::ReadWrite) || !lockExclusively()) {
        m_port.reset();
        return false;
    }
    const bool configured = m_port->setBaudRate(qint32(speed)) && m_port->setDataBits(QSerialPort::Data8)
        && m_port->setParity(QSerialPort::NoParity) && m_port->setStopBits(QSerialPort::OneStop);
    if (!configured) {
        close();
        return false;
    }
    return true;
}

bool QtSerialLink::lockExclusively()
{
#ifdef Q_OS_UNIX
    // QSerialPort's lock file keeps out programs that honour lock files, and its
    // TIOCEXCL does not stop root. Programs such as picocom or pyserial's
    // exclusive mode take an advisory lock on the device instead: honour it and
    // take it ourselves. It goes with the descriptor when the port closes.
    if (::flock(int(m_port->handle()), LOCK_EX | LOCK_NB) != 0) {
        m_port->close();
        return false;
    }
#endif
    return true;
}

bool QtSerialLink::isOpen() const
{
    return m_port && m_port->isOpen();
}

void QtSerialLink::purge()
{
    if (isOpen()) {
        m_port->clear(QSerialPort::AllDirections);
        m_port->readAll();
    }
    QThread::msleep(1);
}

int QtSerialLink::write(const quint8 *data, int count)
{
    if (!isOpen() || count <= 0)
        return 0;
    const qint64 accepted = m_port->write(reinterpret_cast<const char *>(data), count);
    if (accepted <= 0)
        return 0;
    // The write has a bound of its own: the read time-out, which may be 0, is the answer's business.
    const qint64 limit = WriteTimeOutMs(int(accepted), m_speed);
    QElapsedTimer timer;
    timer.start();
    while (m_port->bytesToWrite() > 0 && timer.elapsed() < limit) {
        if (!m_port->waitForBytesWritten(int(std::max<qint64>(1, limit - timer.elapsed()))))
            break;
    }
    return int(accepted - m_port->bytesToWrite());
}

int QtSerialLink::read(quint8 *data, int maxCount)
{
    if (!isOpen() || maxCount <= 0)
        return 0;
    QElapsedTimer timer;
    timer.start();
    int got = 0;
    qint64 lastByteAt = 0;
    while (got < maxCount) {
        const qint64 n = m_port->read(reinterpret_cast<char *>(data) + got, maxCount - got);
        if (n > 0) {
            got += int(n);
            lastByteAt = timer.elapsed();
            continue;
        }
        if (n < 0)
            break;
        const qint64 now = timer.elapsed();
        qint64 wait = qint64(m_totalMs) - now;
        if (got > 0)
            wait = std::min(wait, m_intervalMs - (now - lastByteAt));
        if (wait <= 0)
            break;
        if (!m_port->waitForReadyRead(int(wait)) && m_port->error() != QSerialPort::TimeoutError
            && m_port->error() != QSerialPort::NoError)
            break;
        m_port->clearError();
    }
    return got;
}

int QtSerialLink::pendingInput()
{
    if (!isOpen())
        return 0;
    // What the system holds reaches the port's buffer only when it is looked for.
    m_port->waitForReadyRead(0);
    m_port->clearError();
    return int(m_port->bytesAvailable());
}

int QtSerialLink::discardUntilQuiet(int quietMs, int maxMs)
{
    if (!isOpen())
        return 0;
    QElapsedTimer timer;
    timer.start();
    qint64 lastByteAt = 0;
    int dropped = int(m_port->readAll().size());
    for (;;) {
        const qint64 now = timer.elapsed();
        const qint64 wait = std::min<qint64>(quietMs - (now - lastByteAt), maxMs - now);
        if (wait <= 0 || !m_port->waitForReadyRead(int(wait)))
            break;
        const qsizetype n = m_port->readAll().size();
        if (n > 0) {
            dropped += int(n);
            lastByteAt = timer.elapsed();
        }
    }
    m_port->clearError();
    return dropped;
}

void QtSerialLink::close()
{
    if (m_port) {
        m_port->close();
        m_port.reset();
    }
}
