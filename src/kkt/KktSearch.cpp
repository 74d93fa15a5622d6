#include "kkt/KktSearch.h"

#include "kkt/ComPort.h"

namespace {
// Bits of a byte on the line: start, 8 data, stop.
constexpr quint32 kBitsPerByte = 10;
} // namespace

KktSearch::KktSearch(LinkMaker makeLink)
    : m_makeLink(std::move(makeLink))
{ }

QList<quint32> KktSearch::Speeds()
{
    return { 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200 };
}

QList<quint32> KktSearch::SpeedOrder()
{
    QList<quint32> order { 115200 };
    for (quint32 speed : Speeds())
        if (speed != 115200)
            order << speed;
    return order;
}

quint32 KktSearch::TimeOutMs(quint32 speed, quint32 waitMs)
{
    const quint32 bytes = quint32(KktCommands::TestLink.requestLength + KktCommands::TestLink.answerLength);
    const quint32 lineMs = (bytes * kBitsPerByte * 1000 + speed - 1) / qMax<quint32>(speed, 1);
    return lineMs + waitMs;
}

KktSearchResult KktSearch::run(const QStringList &ports, qint32 numKkt, const std::atomic_bool &cancel,
    const std::function<void(const KktSearchStep &)> &progress) const
{
    KktSearchResult result;
    if (ports.isEmpty())
        return result;
    const std::unique_ptr<SerialLink> link = m_makeLink();
    KktChannel channel(*link);
    const QList<quint32> speeds = SpeedOrder();
    const int total = int(ports.size() * speeds.size());
    for (quint32 speed : speeds) {
        for (const QString &port : ports) {
            if (cancel.load()) {
                result.cancelled = true;
                return result;
            }
            if (progress)
                progress({ port, speed, result.tries, total });
            ++result.tries;
            KktConnection conn;
            conn.Name = port;
            conn.Speed = speed;
            conn.TimeOut = TimeOutMs(speed, m_waitMs);
            conn.NumKKT = numKkt;
            TTestLinkAnswer answer;
            if (RequestTestLink(channel, conn, answer) == KktOutcome::Ok) {
                result.found = true;
                result.port = port;
                result.speed = speed;
                return result;
            }
        }
    }
    return result;
}
