#include "PtyServer.h"

#include "LineRate.h"
#include "emulator/KktDevice.h"
#include "kkt/MonotonicClock.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#include <sys/sysmacros.h>
#endif

using namespace Qt::StringLiterals;

namespace {
// A frame left incomplete this long will not be completed: the sender gave up.
constexpr int kPartialGiveUpMs = 1000;
// How long a written answer may wait for room in the terminal before it is dropped.
constexpr int kWriteRoomMs = 200;
// While a client holds the terminal exclusively, how often to look whether it is still there.
constexpr int kClientCheckMs = 250;
// Paced bytes due within this span are written together.
constexpr qint64 kPaceChunkNs = 1000000;
constexpr qint64 kNsPerMs = 1000000;
constexpr qint64 kPartialGiveUpNs = kPartialGiveUpMs * kNsPerMs;

// Whether a process other than this one has the device at path open.
bool OtherProcessHolds(const QString &path)
{
#ifdef __linux__
    const QByteArray device = QFile::encodeName(path);
    const QString self = QString::number(::getpid());
    const QDir proc(u"/proc"_s);
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (pid == self || !pid.front().isDigit())
            continue;
        const QDir fds(u"/proc/%1/fd"_s.arg(pid));
        for (const QString &fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
            char target[256];
            const ssize_t n = ::readlink(QFile::encodeName(fds.filePath(fd)).constData(), target, sizeof target - 1);
            if (n > 0 && QByteArrayView(target, n) == device)
                return true;
        }
    }
    return false;
#else
    Q_UNUSED(path);
    return true; // nothing to look with: leave the flag to its owner
#endif
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
        const int ready = ::poll(fds, 2, pollTimeOutMs());
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            error = SystemError(u"ошибка ожидания"_s);
            return false;
        }
        if (fds[1].revents)
            break;
        if (ready == 0) {
            releaseExclusiveUseOfGoneClient();
            if (!m_splitter.hasPartial() || m_frameStartNs + kPartialGiveUpNs > MonotonicNs())
                continue;
            // The partial frame will not be completed: its sender gave up, or
            // its start was stray. A request may still follow that start.
            m_splitter.abandonPartial();
            m_frameStartNs = MonotonicNs();
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

int PtyServer::pollTimeOutMs() const
{
    int timeOut = -1;
    // Counted from the first byte of the partial frame, not from the last read:
    // noise that keeps coming must not keep a frame start alive.
    if (m_splitter.hasPartial())
        timeOut = int(qBound(
            qint64(0), (m_frameStartNs + kPartialGiveUpNs - MonotonicNs()) / kNsPerMs + 1, qint64(kPartialGiveUpMs)));
#ifdef TIOCGEXCL
    // A client may set the exclusive flag and die without sending a byte: look
    // now and then even when nothing comes (one ioctl while no flag is set).
    timeOut = timeOut < 0 ? kClientCheckMs : qMin(timeOut, kClientCheckMs);
#endif
    return timeOut;
}

void PtyServer::releaseExclusiveUseOfGoneClient()
{
#ifdef TIOCGEXCL
    // A client that opened the port exclusively and was killed leaves the flag
    // set on the terminal (we hold it open ourselves, so it is never reset):
    // every later open by an ordinary user would fail. Once no other process
    // holds the terminal, the flag goes.
    int exclusive = 0;
    if (::ioctl(m_slave, TIOCGEXCL, &exclusive) != 0 || !exclusive || OtherProcessHolds(m_terminal.terminalPath()))
        return;
    ::ioctl(m_slave, TIOCNXCL);
#endif
}

void PtyServer::readRequests()
{
    char chunk[512];
    for (;;) {
        const ssize_t n = ::read(m_master, chunk, sizeof chunk);
        if (n <= 0)
            break;
        if (m_device.faults().echo) {
            send(QByteArray(chunk, n), MonotonicNs(), 0);
            continue;
        }
        if (!m_splitter.hasPartial())
            m_frameStartNs = MonotonicNs();
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
        m_frameStartNs = MonotonicNs();
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
    // The answer's line time then starts when the request's ends, however
    // late this process wakes up for it.
    qint64 lineStartNs = byteNs > 0 ? m_frameStartNs + byteNs * frame.size() : MonotonicNs();
    if (faults.delayMs > 0)
        lineStartNs = std::max(lineStartNs, MonotonicNs() + faults.delayMs * kNsPerMs);
    if (!waitUntil(lineStartNs))
        return;
    send(bytes, lineStartNs, byteNs);
    if (faults.repeatMs <= 0)
        return;
    // The same answer once more, the next request waiting meanwhile.
    const qint64 againNs = MonotonicNs() + faults.repeatMs * kNsPerMs;
    if (waitUntil(againNs))
        send(bytes, againNs, byteNs);
}

bool PtyServer::waitUntil(qint64 untilNs)
{
    for (;;) {
        const qint64 ns = untilNs - MonotonicNs();
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

void PtyServer::send(const QByteArray &bytes, qint64 lineStartNs, qint64 byteNs)
{
    // Unpaced, everything at once. Paced, no byte leaves before its line time is
    // over; bytes due within one millisecond go together, as a serial adapter
    // hands them on, so a fast line does not cost a wake-up per byte.
    const qsizetype step = byteNs > 0 ? qMax<qsizetype>(1, kPaceChunkNs / byteNs) : bytes.size();
    for (qsizetype sent = 0; sent < bytes.size();) {
        const qsizetype chunk = qMin(step, bytes.size() - sent);
        if (byteNs > 0) {
            // On time to the microsecond: a timer's wake-up alone would make
            // every answer late by the system's timer latency.
            WaitUntilNs(lineStartNs + byteNs * (sent + chunk));
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
