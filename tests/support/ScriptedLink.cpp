#include "ScriptedLink.h"

#include <QThread>

#include "kkt/KktFrame.h"

#include <cstring>
#include <utility>

bool ScriptedLink::open(const QString &name, quint32 speed, quint32 totalTimeOutMs)
{
    ++opens;
    openedName = name;
    openedSpeed = speed;
    openedTimeOut = totalTimeOutMs;
    m_open = !openFails;
    return m_open;
}

int ScriptedLink::write(const quint8 *data, int count)
{
    writes << QByteArray(reinterpret_cast<const char *>(data), count);
    return count;
}

void ScriptedLink::purge()
{
    ++purges;
    waiting.clear();
    if (!arriveInPause.isEmpty())
        waiting = arriveInPause.takeFirst();
}

int ScriptedLink::read(quint8 *data, int maxCount)
{
    QByteArray answer;
    if (!lateAnswer.isEmpty())
        answer = std::exchange(lateAnswer, {});
    else if (echo && !writes.isEmpty())
        answer = writes.last();
    else if (!answers.isEmpty())
        answer = answers.takeFirst();
    const int n = int(qMin<qsizetype>(answer.size(), maxCount));
    std::memcpy(data, answer.constData(), size_t(n));
    waiting += answer.mid(n); // what did not fit stays in the queue
    if (n > 0)
        waiting += std::exchange(arriveAfterAnswer, {});
    return n;
}

int ScriptedLink::discardUntilQuiet(int quietMs, int maxMs)
{
    ++quietWaits;
    lastQuietMs = quietMs;
    lastQuietMaxMs = maxMs;
    const int dropped = int(waiting.size() + lateAnswer.size());
    waiting.clear();
    lateAnswer.clear();
    return dropped;
}

void ScriptedLink::close()
{
    ++closes;
    m_open = false;
}

QByteArray MakeAnswer(int length, quint8 status, const QByteArray &payload)
{
    TBufKKT buf;
    buf.data[0] = 0x17;
    buf.data[1] = 0x02;
    buf.data[2] = 0x00;
    buf.data[3] = status;
    std::memcpy(buf.data + 4, payload.constData(), size_t(qMin<qsizetype>(payload.size(), length - 7)));
    buf.data[length - 3] = 0x19;
    buf.count = quint32(length);
    SetCheckSum(buf);
    return QByteArray(reinterpret_cast<const char *>(buf.data), length);
}

OneRegisterLink::OneRegisterLink(KktDevice &device, QString port, quint32 speed, QList<quint32> *timeOuts)
    : m_device(device)
    , m_port(std::move(port))
    , m_speed(speed)
    , m_timeOuts(timeOuts)
{ }

bool OneRegisterLink::open(const QString &name, quint32 speed, quint32 totalTimeOutMs)
{
    if (m_timeOuts)
        m_timeOuts->append(totalTimeOutMs);
    m_timeOut = totalTimeOutMs;
    m_answering = name == m_port && speed == m_speed;
    return name != QLatin1String("BUSY") && m_device.open(name, speed, totalTimeOutMs);
}

int OneRegisterLink::read(quint8 *data, int maxCount)
{
    if (m_answering)
        return m_device.read(data, maxCount);
    if (silenceTakesTime)
        QThread::msleep(m_timeOut);
    return 0;
}
