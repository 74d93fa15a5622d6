#pragma once

#include "kkt/SerialLink.h"

#include <atomic>

// A port in front of another that cannot be opened once, at its failAt-th
// open (a cable pulled for a moment): the transaction then ends with outcome
// 1, and every open before and after goes through. Counted from any thread.
class FailOnceLink final : public SerialLink
{
public:
    FailOnceLink(SerialLink &inner, int failAt)
        : m_inner(inner)
        , m_failAt(failAt)
    { }

    bool open(const QString &name, quint32 speed, quint32 totalTimeOutMs) override
    {
        if (++m_opens == m_failAt)
            return false;
        return m_inner.open(name, speed, totalTimeOutMs);
    }
    bool isOpen() const override { return m_inner.isOpen(); }
    void purge() override { m_inner.purge(); }
    int write(const quint8 *data, int count) override { return m_inner.write(data, count); }
    int read(quint8 *data, int maxCount) override { return m_inner.read(data, maxCount); }
    void close() override { m_inner.close(); }

    int opens() const { return m_opens; }

private:
    SerialLink &m_inner;
    int m_failAt;
    std::atomic_int m_opens = 0;
};
