#include "kkt/KktTransaction.h"

#include <QThread>

#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

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

// The answer is the request, whole or its beginning: a line that sends back
// what it gets (a modem's echo, a loopback plug, a wrong cable).
bool IsEcho(const TBufKKT &answer, const QByteArray &request)
{
    return answer.count >= quint32(KktFrame::kMinAnswer) && answer.count <= quint32(request.size())
        && std::memcmp(answer.data, request.constData(), answer.count) == 0;
}

QString EchoText()
{
    return u"пришёл обратно сам запрос: линия возвращает отправленное (эхо модема, заглушка-петля или не тот "
           u"кабель), ККТ не ответила"_s;
}

QString TooShortText(quint32 count)
{
    return u"пришло всего %1 байт, а ответ ККТ не бывает короче %2 байт"_s.arg(count).arg(KktLine::kMinWholeAnswer);
}

QString StrayText()
{
    return u"на линии лишние байты после полного ответа на прошлый запрос (ответ повторяется или линия "
           u"зашумлена); запрос не отправлен"_s;
}

QString UnaskedText()
{
    return u"байты пришли, когда ККТ ни о чём не спрашивали (линия зашумлена); запрос не отправлен"_s;
}

QString MoreText()
{
    return u"после полного ответа пришли ещё байты: ответ повторяется или это не ответ на запрос"_s;
}

struct Round
{
    quint8 outcome;
    bool answered; // a checked answer arrived and the outcome is its status
};

// One transaction's view of its line: the channel and the port it talks to.
struct Line
{
    KktChannel &channel;
    const QString &port;

    SerialLink &link() { return channel.link(); }
    Round fault(const QString &text)
    {
        channel.setLastFault(text);
        channel.setLineState(port, LineState::Suspect);
        return { KktOutcome::NoAnswer, false };
    }
    Round failed(quint8 outcome)
    {
        channel.setLineState(port, LineState::Suspect);
        return { outcome, false };
    }
};

// Before the first request: after a transaction that got no whole answer its
// answer may still be on the way; wait until the line is quiet and drop it.
// Bytes left from before this program's first transaction go the same way.
void SettleLine(Line &line)
{
    const LineState state = line.channel.lineState(line.port);
    if (state == LineState::Clean || (state == LineState::Unknown && line.link().pendingInput() == 0))
        return;
    const int interval = line.link().intervalTimeOut();
    line.link().discardUntilQuiet(std::min(interval, KktLine::kQuietMs), interval);
}

// One purge, write and read.
Round ExchangeOnce(Line &line, const KktCommand &command, const KktCheckAnswer &check)
{
    SerialLink &link = line.link();
    TBufKKT &buf = line.channel.buf();
    // After a whole answer nothing is owed: whatever waits now, or comes in
    // the pause while nothing is asked, belongs to no request.
    const bool answered = line.channel.lineState(line.port) == LineState::Clean;
    const int waiting = link.pendingInput();
    link.purge();
    if (answered && waiting > 0)
        return line.fault(StrayText());
    if (link.pendingInput() > 0)
        return line.fault(UnaskedText());

    const QByteArray request(reinterpret_cast<const char *>(buf.data), qsizetype(buf.count));
    buf.count = quint32(qMax(0, link.write(buf.data, int(buf.count))));
    line.channel.log(false);
    buf.count = 0;
    buf.count = quint32(qMax(0, link.read(buf.data, qMin(command.answerLength, TBufKKT::kSize))));
    line.channel.log(true);
    // The answer was read over the request: what did not arrive must not pass for answer data.
    std::memset(buf.data + buf.count, 0, TBufKKT::kSize - buf.count);
    if (buf.count == 0)
        return line.failed(KktOutcome::NoAnswer);
    if (IsEcho(buf, request))
        return line.fault(EchoText());
    if (buf.count < quint32(KktFrame::kMinAnswer) || TestCheckSum(buf) != 0 || AllZero(buf))
        return line.failed(KktOutcome::ChecksumError);
    if (buf.count < quint32(KktLine::kMinWholeAnswer))
        return line.fault(TooShortText(buf.count));
    if (buf.count == quint32(command.answerLength) && link.pendingInput() > 0)
        return line.fault(MoreText());
    const quint8 status = buf.data[KktFrame::kStatusOffset];
    if (status == KktOutcome::Ok && check) {
        const QString refused = check(buf.data, buf.count);
        if (!refused.isEmpty())
            return line.fault(refused);
    }
    line.channel.setLineState(line.port, LineState::Clean);
    return { status, true };
}
} // namespace

quint8 RunTransaction(KktChannel &channel, const KktConnection &conn, const KktCommand &command,
    const KktBuildData &build, const KktTakeAnswer &take, const KktCheckAnswer &check)
{
    channel.setLastFault({});
    if (conn.Pause > 0)
        QThread::msleep(conn.Pause);
    SerialLink &link = channel.link();
    if (!link.open(conn.Name, conn.Speed, conn.TimeOut))
        return KktOutcome::PortNotOpened;

    Line line { channel, conn.Name };
    quint8 outcome = KktOutcome::NoAnswer;
    for (int attempt = 1; attempt <= KktOutcome::kMaxAttempts; ++attempt) {
        if (!BuildRequest(channel.buf(), conn, command, build)) {
            outcome = KktOutcome::BadNumber;
            break;
        }
        if (attempt == 1)
            SettleLine(line);
        const Round round = ExchangeOnce(line, command, check);
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
