#pragma once

#include "kkt/SerialLink.h"

#include <QByteArray>

#include <atomic>

class KktDevice;

// A port wired straight to a KktDevice in the same process, for fast runs
// without a terminal. Every write is taken as one whole request frame; its
// answer (the request itself for an echoing device, the answer twice for a
// repeating one) waits to be read until the next purge. Nothing here sleeps
// unless asked to (setReadPauseMs, for a run that must last a while): a silent
// device reads as 0 bytes at once, and an answer delayed (device fault
// delayMs) beyond the total time-out given to open() reads as 0 bytes too,
// as a real port would report it after waiting. The counters may be read
// from another thread than the run's.
class DeviceLink final : public SerialLink
{
public:
    explicit DeviceLink(KktDevice &device)
        : m_device(&device)
    { }

    // Any name opens, unless told to fail (a port that is absent or held).
    void setOpenFails(bool fails) { m_openFails = fails; }
    // Every read that brings an answer first waits this long.
    void setReadPauseMs(int ms) { m_readPauseMs = ms; }

    bool open(const QString &name, quint32 speed, quint32 totalTimeOutMs) override;
    bool isOpen() const override { return m_open; }
    void purge() override { m_pending.clear(); }
    int write(const quint8 *data, int count) override;
    int read(quint8 *data, int maxCount) override;
    void close() override;
    int pendingInput() override { return int(m_pending.size()); }

    KktDevice &device() { return *m_device; }
    // Counters for tests that look at the traffic.
    int opens() const { return m_opens; }
    int writes() const { return m_writes; }
    QString openedName() const { return m_name; }
    quint32 openedTimeOut() const { return m_totalTimeOutMs; }

private:
    KktDevice *m_device;
    QByteArray m_pending;
    QString m_name;
    quint32 m_totalTimeOutMs = 0;
    bool m_openFails = false;
    bool m_open = false;
    int m_readPauseMs = 0;
    std::atomic_int m_opens = 0;
    std::atomic_int m_writes = 0;
};
