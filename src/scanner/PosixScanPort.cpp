#include "scanner/PosixScanPort.h"

#include "kkt/PosixTty.h"

#include <QSocketNotifier>

#include <cerrno>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

PosixScanPort::PosixScanPort(const QString &portsFolder)
    : m_portsFolder(portsFolder)
{ }

PosixScanPort::~PosixScanPort()
{
    close();
}

bool PosixScanPort::open(const QString &name, qint32 speed)
{
    close();
    unsigned code = 0;
    if (speed <= 0 || !PosixTty::SpeedCode(quint32(speed), code))
        return false;
    const int fd = PosixTty::OpenPort(name, m_portsFolder);
    if (fd < 0)
        return false;
    m_fd = fd;
    if (!PosixTty::TakeExclusive(fd)) {
        // Somebody else's port: their exclusive flag is not ours to clear.
        ::close(fd);
        m_fd = -1;
        return false;
    }
    if (!PosixTty::SetLine(fd, code, PosixTty::LineMode::RawKeepFlowControl)) {
        close();
        return false;
    }
    m_notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    m_notifier->setEnabled(false);
    connect(m_notifier, &QSocketNotifier::activated, this, &ScanPort::readable);
    return true;
}

void PosixScanPort::close()
{
    if (m_fd < 0)
        return;
    delete m_notifier;
    m_notifier = nullptr;
    PosixTty::Close(m_fd, true);
    m_fd = -1;
}

qint64 PosixScanPort::waiting()
{
    if (m_fd < 0)
        return -1;
    int queued = 0;
    // A hung-up terminal (a USB adapter unplugged) answers every request with EIO.
    if (::ioctl(m_fd, FIONREAD, &queued) != 0)
        return -1;
    if (queued > 0)
        return queued;
    // Nothing queued: a line that has hung up (the far end of a
    // pseudo-terminal closed) says so to poll.
    pollfd p { m_fd, POLLIN, 0 };
    int ready;
    do
        ready = ::poll(&p, 1, 0);
    while (ready < 0 && errno == EINTR);
    if (ready < 0 || (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return -1;
    return 0;
}

QByteArray PosixScanPort::read(qint64 max)
{
    QByteArray bytes;
    if (m_fd < 0 || max <= 0)
        return bytes;
    bytes.resize(max);
    ssize_t n;
    do
        n = ::read(m_fd, bytes.data(), size_t(max));
    while (n < 0 && errno == EINTR);
    // Nothing (EAGAIN), or a line that has gone: the next waiting() tells which.
    bytes.resize(n > 0 ? qsizetype(n) : 0);
    return bytes;
}

void PosixScanPort::watch(bool on)
{
    if (m_notifier)
        m_notifier->setEnabled(on);
}
