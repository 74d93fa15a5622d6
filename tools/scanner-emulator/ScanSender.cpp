#include "ScanSender.h"

#include "kkt/MonotonicClock.h"
#include "PseudoTerminal.h"

#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// How long a code may wait for room in the terminal before it is dropped.
constexpr int kWriteRoomMs = 200;

int Poll(pollfd *fds, nfds_t count, int waitMs)
{
    int ready;
    do
        ready = ::poll(fds, count, waitMs);
    while (ready < 0 && errno == EINTR);
    return ready;
}
} // namespace

bool ScanSender::stopRequested(int waitMs)
{
    if (m_stopped)
        return true;
    pollfd stop { m_stopFd, POLLIN, 0 };
    m_stopped = Poll(&stop, 1, waitMs) > 0;
    return m_stopped;
}

bool ScanSender::idle(int ms)
{
    return !stopRequested(ms);
}

void ScanSender::waitForStop()
{
    stopRequested(-1);
}

bool ScanSender::write(const QByteArray &bytes, QString &error)
{
    for (qsizetype sent = 0; sent < bytes.size();) {
        const ssize_t n = ::write(m_terminal.master(), bytes.constData() + sent, size_t(bytes.size() - sent));
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            error = SystemError(u"ошибка записи в терминал"_s);
            return false;
        }
        pollfd fds[2] = { { m_terminal.master(), POLLOUT, 0 }, { m_stopFd, POLLIN, 0 } };
        const int ready = Poll(fds, 2, kWriteRoomMs);
        if (fds[1].revents) {
            m_stopped = true;
            return false;
        }
        if (ready <= 0 || !(fds[0].revents & POLLOUT)) {
            error = u"терминал не принимает данные: программа не читает порт"_s;
            return false;
        }
    }
    return true;
}

bool ScanSender::send(const QByteArray &bytes, int splitAt, int splitMs, QString &error)
{
    const qsizetype first = splitAt < 0 ? bytes.size() : qMin<qsizetype>(splitAt, bytes.size());
    if (!write(bytes.first(first), error))
        return false;
    if (first < bytes.size()) {
        if (!idle(splitMs))
            return false;
        if (!write(bytes.sliced(first), error))
            return false;
    }
    // The moment of the last byte, on the clock every process of this machine shares.
    std::printf(
        "scanner-emulator: отправлено %lld байт, t=%lld нс\n", qlonglong(bytes.size()), qlonglong(MonotonicNs()));
    std::fflush(stdout);
    return true;
}

bool ScanSender::readLine(QByteArray &line)
{
    for (;;) {
        const qsizetype end = m_input.indexOf('\n');
        if (end >= 0) {
            line = m_input.first(end);
            m_input.remove(0, end + 1);
            if (line.endsWith('\r'))
                line.chop(1);
            return true;
        }
        if (m_inputEnded) {
            line = m_input;
            m_input.clear();
            return !line.isEmpty();
        }
        pollfd fds[2] = { { STDIN_FILENO, POLLIN, 0 }, { m_stopFd, POLLIN, 0 } };
        if (Poll(fds, 2, -1) < 0 || fds[1].revents) {
            m_stopped = true;
            return false;
        }
        char chunk[512];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            m_inputEnded = true;
        else
            m_input.append(chunk, n);
    }
}
