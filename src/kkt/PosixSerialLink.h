#pragma once

#include "kkt/PortDiscovery.h"
#include "kkt/SerialLink.h"

// The KKT port on Unix, straight on the terminal device. A transaction opens
// and closes the port every time, so this adapter does just the steps the
// protocol needs: open (non-blocking, no controlling terminal), exclusive use
// (an advisory lock plus the terminal's exclusive flag), one tcsetattr for raw
// mode at the speed with 8N1, and close. It writes no lock file and keeps no
// settings to restore.
class PosixSerialLink final : public SerialLink
{
public:
    explicit PosixSerialLink(const QString &portsFolder = PortsFolder());
    ~PosixSerialLink() override;
    PosixSerialLink(const PosixSerialLink &) = delete;
    PosixSerialLink &operator=(const PosixSerialLink &) = delete;

    bool open(const QString &name, quint32 speed, quint32 totalTimeOutMs) override;
    bool isOpen() const override { return m_fd >= 0; }
    void purge() override;
    int write(const quint8 *data, int count) override;
    int read(quint8 *data, int maxCount) override;
    void close() override;
    int pendingInput() override;
    int discardUntilQuiet(int quietMs, int maxMs) override;

private:
    // Waits until the bytes handed over have left the output queue, at most
    // until deadlineMs on the monotonic clock; the bytes still queued then.
    int drain(qint64 deadlineMs);

    QString m_portsFolder;
    int m_fd = -1;
    bool m_exclusive = false; // the terminal's exclusive flag is ours to clear
    quint32 m_speed = 0;
    quint32 m_totalMs = 3500;
};
