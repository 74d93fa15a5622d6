#include "kkt/PosixSerialLink.h"

#include "kkt/MonotonicClock.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {
// A write that cannot get its bytes out (a line held by hardware flow control,
// an adapter that stalls) gives up after twice its line time and this margin.
constexpr qint64 kWriteMarginMs = 1000;
constexpr long kNsPerMs = 1000000;

// Milliseconds for poll, rounded up so that a wait never ends before its deadline.
int PollMs(qint64 ns)
{
    return ns <= 0 ? 0 : int(std::min<qint64>((ns + kNsPerMs - 1) / kNsPerMs, 1 << 30));
}

// Time the bytes need on the line: a start bit, 8 data bits, a stop bit each.
qint64 LineTimeMs(int bytes, quint32 baud)
{
    return baud == 0 ? 0 : (qint64(bytes) * 10 * 1000 + baud - 1) / baud;
}

// The pause after every purge, to the microsecond.
void PauseOneMs()
{
    WaitUntilNs(MonotonicNs() + kNsPerMs);
}

// poll on one descriptor, resumed after a signal with the time that is left.
int PollOne(int fd, short events, qint64 deadlineNs)
{
    for (;;) {
        pollfd p { fd, events, 0 };
        const int ready = ::poll(&p, 1, PollMs(deadlineNs - MonotonicNs()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return ready;
        return (p.revents & events) ? 1 : -1; // hang-up or error without the event asked for
    }
}

int OpenDevice(const QByteArray &path)
{
    int fd;
    do
        fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    return fd;
}

struct SpeedEntry
{
    quint32 baud;
    speed_t code;
};

// The speeds of the terminal interface; a port cannot be set to any other.
constexpr SpeedEntry kSpeeds[] = {
    { 50, B50 },
    { 75, B75 },
    { 110, B110 },
    { 134, B134 },
    { 150, B150 },
    { 200, B200 },
    { 300, B300 },
    { 600, B600 },
    { 1200, B1200 },
    { 1800, B1800 },
    { 2400, B2400 },
    { 4800, B4800 },
    { 9600, B9600 },
    { 19200, B19200 },
    { 38400, B38400 },
#ifdef B57600
    { 57600, B57600 },
#endif
#ifdef B115200
    { 115200, B115200 },
#endif
#ifdef B230400
    { 230400, B230400 },
#endif
#ifdef B460800
    { 460800, B460800 },
#endif
#ifdef B500000
    { 500000, B500000 },
#endif
#ifdef B576000
    { 576000, B576000 },
#endif
#ifdef B921600
    { 921600, B921600 },
#endif
#ifdef B1000000
    { 1000000, B1000000 },
#endif
#ifdef B1152000
    { 1152000, B1152000 },
#endif
#ifdef B1500000
    { 1500000, B1500000 },
#endif
#ifdef B2000000
    { 2000000, B2000000 },
#endif
#ifdef B2500000
    { 2500000, B2500000 },
#endif
#ifdef B3000000
    { 3000000, B3000000 },
#endif
#ifdef B3500000
    { 3500000, B3500000 },
#endif
#ifdef B4000000
    { 4000000, B4000000 },
#endif
};
} // namespace

PosixSerialLink::PosixSerialLink(const QString &portsFolder)
    : m_portsFolder(portsFolder)
{ }

PosixSerialLink::~PosixSerialLink()
{
    close();
}

int PosixSerialLink::OpenPort(const QString &name, const QString &portsFolder)
{
    if (name.isEmpty())
        return -1;
    // An entry of the ports folder first. The open follows its link to the
    // device, and the lock and the exclusive flag belong to the device, not to
    // the path, so no path needs resolving beforehand. A link to nothing, or
    // no entry at all, passes the name on, as for any other name.
    if (!portsFolder.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))) {
        const int fd = OpenDevice(QFile::encodeName(portsFolder + QLatin1Char('/') + name));
        if (fd >= 0 || (errno != ENOENT && errno != ENOTDIR))
            return fd;
    }
    // As QSerialPort takes names: a path from the root or from here as it is,
    // any other name under /dev (ttyUSB0, pts/3).
    if (QDir::isAbsolutePath(name) || name.startsWith(QLatin1String("./")) || name.startsWith(QLatin1String("../")))
        return OpenDevice(QFile::encodeName(name));
    return OpenDevice(QFile::encodeName(QStringLiteral("/dev/") + name));
}

bool PosixSerialLink::SpeedCode(quint32 baud, unsigned &code)
{
    const auto *entry
        = std::find_if(std::begin(kSpeeds), std::end(kSpeeds), [baud](const SpeedEntry &e) { return e.baud == baud; });
    if (entry == std::end(kSpeeds))
        return false;
    code = unsigned(entry->code);
    return true;
}

bool PosixSerialLink::open(const QString &name, quint32 speed, quint32 totalTimeOutMs)
{
    close();
    m_totalMs = totalTimeOutMs;
    unsigned code = 0;
    if (!SpeedCode(speed, code))
        return false;
    m_fd = OpenPort(name, m_portsFolder);
    if (m_fd < 0)
        return false;
    // Another program keeps the port by an advisory lock (picocom, pyserial's
    // exclusive mode, another instance of ours) or by the terminal's exclusive
    // flag (the open above then fails with EBUSY). Take both ourselves.
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(m_fd, TIOCEXCL) != 0) {
        close();
        return false;
    }
    m_exclusive = true;
    if (!configure(code)) {
        close();
        return false;
    }
    m_speed = speed;
    return true;
}

bool PosixSerialLink::configure(unsigned speedCode)
{
    termios t {};
    if (::tcgetattr(m_fd, &t) != 0)
        return false; // not a terminal
    // Raw bytes both ways, 8 data bits, no parity, one stop bit; the modem
    // lines and hardware flow control stay as the port has them.
    ::cfmakeraw(&t);
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    // With the descriptor non-blocking, a read of an empty queue then fails
    // with EAGAIN and only a hung-up line reads as 0 (VMIN 0 would read 0 for both).
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    if (::cfsetispeed(&t, speed_t(speedCode)) != 0 || ::cfsetospeed(&t, speed_t(speedCode)) != 0)
        return false;
    int result;
    do
        result = ::tcsetattr(m_fd, TCSANOW, &t);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

void PosixSerialLink::purge()
{
    if (isOpen())
        ::tcflush(m_fd, TCIOFLUSH);
    PauseOneMs();
}

int PosixSerialLink::write(const quint8 *data, int count)
{
    if (!isOpen() || count <= 0)
        return 0;
    // Bounded by the line time of the bytes, never by the read time-out.
    const qint64 deadlineMs = MonotonicNs() / kNsPerMs + 2 * LineTimeMs(count, m_speed) + kWriteMarginMs;
    int sent = 0;
    while (sent < count) {
        const ssize_t n = ::write(m_fd, data + sent, size_t(count - sent));
        if (n > 0) {
            sent += int(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            break;
        if (PollOne(m_fd, POLLOUT, deadlineMs * kNsPerMs) <= 0)
            break;
    }
    return sent - drain(deadlineMs);
}

int PosixSerialLink::drain(qint64 deadlineMs)
{
    // tcdrain alone could wait for ever on a line that flow control holds, so
    // the queue is watched first and tcdrain only waits out the last bytes
    // in the hardware once the queue is empty.
    for (;;) {
        int queued = 0;
        if (::ioctl(m_fd, TIOCOUTQ, &queued) != 0)
            return 0;
        if (queued <= 0)
            break;
        const qint64 leftMs = deadlineMs - MonotonicNs() / kNsPerMs;
        if (leftMs <= 0)
            return queued;
        SleepUntilNs(MonotonicNs() + std::clamp<qint64>(LineTimeMs(queued, m_speed), 1, leftMs) * kNsPerMs);
    }
    while (::tcdrain(m_fd) != 0 && errno == EINTR) { }
    return 0;
}

int PosixSerialLink::read(quint8 *data, int maxCount)
{
    if (!isOpen() || maxCount <= 0)
        return 0;
    const qint64 start = MonotonicNs();
    const qint64 totalEnd = start + qint64(m_totalMs) * kNsPerMs;
    qint64 end = totalEnd; // until the first byte, the total time-out alone
    int got = 0;
    while (got < maxCount) {
        const ssize_t n = ::read(m_fd, data + got, size_t(maxCount - got));
        if (n > 0) {
            got += int(n);
            end = std::min(totalEnd, MonotonicNs() + qint64(m_intervalMs) * kNsPerMs);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // 0 with data asked for: the device hung up. Anything but "no data yet" ends the read.
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            break;
        if (MonotonicNs() >= end || PollOne(m_fd, POLLIN, end) <= 0)
            break;
    }
    return got;
}

void PosixSerialLink::close()
{
    if (m_fd < 0)
        return;
    // The exclusive flag stays on the terminal while anyone else has it open
    // (a pseudo-terminal's server does): clear it. The lock goes with the descriptor.
    if (m_exclusive)
        ::ioctl(m_fd, TIOCNXCL);
    m_exclusive = false;
    ::close(m_fd);
    m_fd = -1;
}
