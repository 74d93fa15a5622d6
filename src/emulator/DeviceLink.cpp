#include "emulator/DeviceLink.h"

#include "emulator/KktDevice.h"

#include <QThread>

#include <cstring>

bool DeviceLink::open(const QString &name, quint32, quint32 totalTimeOutMs)
{
    close();
    ++m_opens;
    m_name = name;
    m_totalTimeOutMs = totalTimeOutMs;
    m_open = !m_openFails;
    return m_open;
}

int DeviceLink::write(const quint8 *data, int count)
{
    if (!m_open || count <= 0)
        return 0;
    ++m_writes;
    const QByteArrayView request(reinterpret_cast<const char *>(data), count);
    if (m_device->faults().echo) {
        m_pending += request;
        return count;
    }
    const QByteArray answer = m_device->answer(request);
    m_pending += answer;
    if (m_device->faults().repeatMs > 0)
        m_pending += answer;
    return count;
}

int DeviceLink::read(quint8 *data, int maxCount)
{
    const int delayMs = m_device->faults().delayMs;
    if (!m_open || maxCount <= 0 || (delayMs > 0 && quint32(delayMs) >= m_totalTimeOutMs)) {
        m_pending.clear();
        return 0;
    }
    if (m_readPauseMs > 0 && !m_pending.isEmpty())
        QThread::msleep(m_readPauseMs);
    const int n = int(qMin<qsizetype>(m_pending.size(), maxCount));
    std::memcpy(data, m_pending.constData(), size_t(n));
    m_pending.remove(0, n);
    return n;
}

void DeviceLink::close()
{
    m_open = false;
    m_pending.clear();
}
