#pragma once

#include <QString>
#include <QtGlobal>

// The byte pipe a KKT transaction talks through. The real adapter wraps a serial
// port; tests plug in fakes that answer in-process.
//
// Read semantics every implementation keeps: wait for the first byte up to the
// total time-out given to open(); then return as soon as maxCount bytes arrived,
// when the interval time-out passes after a byte without a further one, or when
// the total time-out, counted from the start of the read, is over.
class SerialLink
{
public:
    static constexpr int kIntervalTimeOutMs = 1500;

    virtual ~SerialLink() = default;

    // Opens exclusively and sets speed, 8 data bits, no parity, 1 stop bit.
    // An already open port is closed first. False when absent, busy or refusing the settings.
    virtual bool open(const QString &name, quint32 speed, quint32 totalTimeOutMs) = 0;
    virtual bool isOpen() const = 0;
    // Drops pending output and unread input, then waits 1 ms.
    virtual void purge() = 0;
    // Writes the bytes; returns how many went out (0 on failure).
    virtual int write(const quint8 *data, int count) = 0;
    // Reads up to maxCount bytes with the semantics above; returns how many arrived.
    virtual int read(quint8 *data, int maxCount) = 0;
    virtual void close() = 0;

    // Bytes received and not read yet; 0 also where the adapter cannot tell.
    // Asked around every purge: bytes that come when nothing was asked belong
    // to no request.
    virtual int pendingInput() { return 0; }
    // Reads and drops whatever comes until the line has been quiet for quietMs,
    // for at most maxMs in all; the bytes dropped. Adapters that cannot wait
    // drop nothing.
    virtual int discardUntilQuiet(int quietMs, int maxMs)
    {
        Q_UNUSED(quietMs);
        Q_UNUSED(maxMs);
        return 0;
    }

    // Shorter than 1500 ms only in tests that must not wait that long.
    void setIntervalTimeOut(int ms) { m_intervalMs = ms; }
    int intervalTimeOut() const { return m_intervalMs; }

protected:
    int m_intervalMs = kIntervalTimeOutMs;
};
