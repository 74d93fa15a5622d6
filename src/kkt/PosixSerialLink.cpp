#include "kkt/PosixSerialLink.h"

#include "kkt/MonotonicClock.h"
#include "kkt/PosixTty.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
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

// One read on the non-blocking descriptor, waiting until deadlineNs for bytes
// to come: how many were read, or 0 when none came in time or the line hung up.
int ReadBefore(int fd, quint8 *data, int maxCount, qint64 deadlineNs)
{
    for (;;) {
        const ssize_t n = ::read(fd, data, size_t(maxCount));
        if (n > 0)
            return int(n);
        if (n < 0 && errno == EINTR)
            continue;
        // 0 with data asked for: the device hung up. Anything but "no data yet" ends the read.
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            return 0;
        if (MonotonicNs() >= deadlineNs || PollOne(fd, POLLIN, deadlineNs) <= 0)
            return 0;
    }
}
} // namespace

PosixSerialLink::PosixSerialLink(const QString &portsFolder)
    : m_portsFolder(portsFolder)
{ }

PosixSerialLink::~PosixSerialLink()
{
    close();
}

bool PosixSerialLink::open(const QString &name, quint32 speed, quint32 totalTimeOutMs)
{
    close();
    m_totalMs = totalTimeOutMs;
    unsigned code = 0;
    if (!PosixTty::SpeedCode(speed, code))
        return false;
    m_fd = PosixTty::OpenPort(name, m_portsFolder);
    if (m_fd < 0)
        return false;
    // Another program keeps the port by an advisory lock or by the terminal's
    // exclusive flag (the open above then fails with EBUSY).
    if (!PosixTty::TakeExclusive(m_fd)) {
        close();
        return false;
    }
    m_exclusive = true;
    if (!PosixTty::SetLine(m_fd, code, PosixTty::LineMode::Raw)) {
        close();
        return false;
    }
    m_speed = speed;
    return true;
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
        const int n = ReadBefore(m_fd, data + got, maxCount - got, end);
        if (n <= 0)
            break;
        got += n;
        end = std::min(totalEnd, MonotonicNs() + qint64(m_intervalMs) * kNsPerMs);
    }
    return got;
}

int PosixSerialLink::pendingInput()
{
    int waiting = 0;
    return isOpen() && ::ioctl(m_fd, FIONREAD, &waiting) == 0 ? waiting : 0;
}

int PosixSerialLink::discardUntilQuiet(int quietMs, int maxMs)
{
    if (!isOpen())
        return 0;
    const qint64 giveUp = MonotonicNs() + qint64(std::max(maxMs, 0)) * kNsPerMs;
    const auto quietFromNow = [&] { return std::min(giveUp, MonotonicNs() + qint64(std::max(quietMs, 0)) * kNsPerMs); };
    qint64 quietEnd = quietFromNow();
    int dropped = 0;
    quint8 scratch[256];
    for (int n; (n = ReadBefore(m_fd, scratch, int(sizeof scratch), quietEnd)) > 0; quietEnd = quietFromNow())
        dropped += n;
    return dropped;
}

void PosixSerialLink::close()
{
    if (m_fd < 0)
        return;
    PosixTty::Close(m_fd, m_exclusive);
    m_exclusive = false;
    m_fd = -1;
}
