#include "PtyServer.h"

#include "LineRate.h"
#include "emulator/KktDevice.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

using namespace Qt::StringLiterals;

namespace {
// A frame left incomplete this long will not be completed: the sender gave up.
constexpr int kPartialGiveUpMs = 1000;
// How long a written answer may wait for room in the terminal before it is dropped.
constexpr int kWriteRoomMs = 200;
// Paced bytes due within this span are written together.
constexpr qint64 kPaceChunkNs = 1000000;

timespec Now()
{
    timespec t {};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return t;
}

timespec Plus(timespec t, qint64 ns)
{
    const qint64 total = t.tv_nsec + ns;
    t.tv_sec += time_t(total / 1000000000);
    t.tv_nsec = long(total % 1000000000);
    return t;
}

qint64 NsUntil(const timespec &until)
{
    const timespec now = Now();
    return (qint64(until.tv_sec) - now.tv_sec) * 1000000000 + (until.tv_nsec - now.tv_nsec);
}
} // namespace

bool PtyServer::start(const QString &linkPath, QString &error)
{
    if (!m_terminal.open(linkPath, error))
        return false;
    m_master = m_terminal.master();
    m_slave = m_terminal.slave();
    return true;
}

bool PtyServer::run(int stopFd, QString &error)
{
#ifdef __linux__
    // Paced bytes are due at exact times; the default 50 us timer slack would
    // make every byte late by up to that much.
    ::prctl(PR_SET_TIMERSLACK, 1UL);
#endif
    m_stopFd = stopFd;
    while (!m_stopping) {
        pollfd fds[2] = { { m_master, POLLIN, 0 }, { stopFd, POLLIN, 0 } };
        const int ready = ::poll(fds, 2, m_splitter.hasPartial() ? kPartialGiveUpMs : -1);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            error = SystemError(u"ошибка ожидания"_s);
            return false;
        }
        if (fds[1].revents)
            break;
        if (ready == 0) {
            // The partial frame will not be completed: its sender gave up, or
            // its start was stray. A request may still follow that start.
            m_splitter.abandonPartial();
            answerFrames();
            continue;
        }
        // A hang-up cannot come while we hold the terminal ourselves; should it
        // come anyway, stop rather than spin on it.
        if ((fds[0].revents & (POLLERR | POLLNVAL)) || (fds[0].revents & (POLLHUP | POLLIN)) == POLLHUP) {
            error = u"псевдотерминал закрыт"_s;
            return false;
        }
        if (fds[0].revents & POLLIN)
            readRequests();
    }
    m_terminal.unpublish();
    return true;
}

void PtyServer::readRequests()
{
    char chunk[512];
    for (;;) {
        const ssize_t n = ::read(m_master, chunk, sizeof chunk);
        if (n <= 0)
            break;
        if (!m_splitter.hasPartial())
            m_frameStart = Now();
        m_splitter.feed(QByteArrayView(chunk, n));
        answerFrames();
        if (m_stopping)
            return;
    }
}

void PtyServer::answerFrames()
{
    while (auto frame = m_splitter.next()) {
        answer(*frame);
        if (m_stopping)
            return;
        m_frameStart = Now();
    }
}

void PtyServer::answer(const QByteArray &frame)
{
    const QByteArray bytes = m_device.answer(frame);
    if (bytes.isEmpty())
        return;
    const KktDeviceFaults &faults = m_device.faults();
    const qint64 byteNs = faults.pace ? ByteTimeNs(TerminalBaud(m_slave)) : 0;
    // Paced, the request itself takes its line time too: the answer cannot
    // start before the request's last byte would have arrived.
    const timespec requestEnd = Plus(m_frameStart, byteNs * frame.size());
    if (faults.delayMs > 0 && !waitUntil(Plus(Now(), qint64(faults.delayMs) * 1000000)))
        return;
    if (byteNs > 0 && !waitUntil(requestEnd))
        return;
    send(bytes, Now(), byteNs);
}

bool PtyServer::waitUntil(const timespec &until)
{
    for (;;) {
        const qint64 ns = NsUntil(until);
        if (ns <= 0)
            return true;
        pollfd stop { m_stopFd, POLLIN, 0 };
        const timespec wait { time_t(ns / 1000000000), long(ns % 1000000000) };
        const int ready = ::ppoll(&stop, 1, &wait, nullptr);
        if (ready > 0) {
            m_stopping = true;
            return false;
        }
    }
}

void PtyServer::send(const QByteArray &bytes, const timespec &lineStart, qint64 byteNs)
{
    // Unpaced, everything at once. Paced, no byte leaves before its line time is
    // over; bytes due within one millisecond go together, as a serial adapter
    // hands them on, so a fast line does not cost a wake-up per byte.
    const qsizetype step = byteNs > 0 ? qMax<qsizetype>(1, kPaceChunkNs / byteNs) : bytes.size();
    for (qsizetype sent = 0; sent < bytes.size();) {
        const qsizetype chunk = qMin(step, bytes.size() - sent);
        if (byteNs > 0) {
            const timespec due = Plus(lineStart, byteNs * (sent + chunk));
            ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr);
        }
        const ssize_t n = ::write(m_master, bytes.constData() + sent, size_t(chunk));
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // Any other failure than a full terminal will not pass: drop the answer.
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            return;
        // No room: nobody reads the terminal. Wait a little, then drop the rest;
        // the next client purges before it writes anyway.
        if (!waitForRoom())
            return;
    }
}

bool PtyServer::waitForRoom()
{
    pollfd room { m_master, POLLOUT, 0 };
    int ready;
    do
        ready = ::poll(&room, 1, kWriteRoomMs);
    while (ready < 0 && errno == EINTR);
    // An error or hang-up also ends the wait at once; only room is worth a retry.
    return ready > 0 && (room.revents & (POLLOUT | POLLERR | POLLHUP | POLLNVAL)) == POLLOUT;
}
