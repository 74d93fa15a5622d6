#include "kkt/KktTransaction.h"

#include <QThread>

#include <algorithm>
#include <cstring>

namespace {
bool BuildRequest(TBufKKT &buf, const KktConnection &conn, const KktCommand &command, const KktBuildData &build)
{
    const int length = command.requestLength;
    std::memset(buf.data, 0, sizeof buf.data);
    buf.data[0] = KktFrame::kStart0;
    buf.data[1] = KktFrame::kStart1;
    KktFrame::WriteUnsigned(buf.data + 2, quint32(conn.NumKKT), 4);
    buf.data[6] = command.code;
    buf.data[7] = quint8(length);
    if (build && !build(buf.data))
        return false;
    buf.data[length - 3] = KktFrame::kEnd;
    buf.count = quint32(length);
    SetCheckSum(buf);
    return true;
}

// Zero bytes sum to a zero checksum and read as status 0: a line held in
// break state would pass for a successful answer.
bool AllZero(const TBufKKT &buf)
{
    return std::all_of(buf.data, buf.data + buf.count, [](quint8 b) { return b == 0; });
}

struct Round
{
    quint8 outcome;
    bool answered; // a checked answer arrived and the outcome is its status
};

// One write and read.
Round ExchangeOnce(KktChannel &channel, const KktCommand &command)
{
    SerialLink &link = channel.link();
    TBufKKT &buf = channel.buf();
    link.purge();
    buf.count = quint32(qMax(0, link.write(buf.data, int(buf.count))));
    channel.log(false);
    buf.count = 0;
    buf.count = quint32(qMax(0, link.read(buf.data, qMin(command.answerLength, TBufKKT::kSize))));
    channel.log(true);
    // The answer was read over the request: what did not arrive must not pass for answer data.
    std::memset(buf.data + buf.count, 0, TBufKKT::kSize - buf.count);
    if (buf.count == 0)
        return { KktOutcome::NoAnswer, false };
    if (buf.count < quint32(KktFrame::kMinAnswer) || TestCheckSum(buf) != 0 || AllZero(buf))
        return { KktOutcome::ChecksumError, false };
    return { buf.data[KktFrame::kStatusOffset], true };
}
} // namespace

quint8 RunTransaction(KktChannel &channel, const KktConnection &conn, const KktCommand &command,
    const KktBuildData &build, const KktTakeAnswer &take)
{
    if (conn.Pause > 0)
        QThread::msleep(conn.Pause);
    SerialLink &link = channel.link();
    if (!link.open(conn.Name, conn.Speed, conn.TimeOut))
        return KktOutcome::PortNotOpened;

    quint8 outcome = KktOutcome::NoAnswer;
    for (int attempt = 1; attempt <= KktOutcome::kMaxAttempts; ++attempt) {
        if (!BuildRequest(channel.buf(), conn, command, build)) {
            outcome = KktOutcome::BadNumber;
            break;
        }
        const Round round = ExchangeOnce(channel, command);
        outcome = round.outcome;
        if (!round.answered)
            break;
        if (KktOutcome::IsBusy(outcome))
            continue;
        if (take)
            take(channel.buf().data, channel.buf().count);
        break;
    }
    link.close();
    return outcome;
}
