#pragma once

#include "scanner/ScanPort.h"

class QSocketNotifier;

// The scanner's port on Unix, straight on the terminal device, locked as the
// KKT link locks its port. Only the line format is set (speed, 8 data bits,
// no parity, one stop bit) plus what a terminal needs to pass a scanner's
// bytes as they come: raw input, no echo, the modem lines ignored. Flow
// control and the special characters stay as the port had them; nothing is
// purged.
class PosixScanPort final : public ScanPort
{
    Q_OBJECT
public:
    explicit PosixScanPort(const QString &portsFolder);
    ~PosixScanPort() override;

    bool open(const QString &name, qint32 speed) override;
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    qint64 waiting() override;
    QByteArray read(qint64 max) override;
    void watch(bool on) override;

private:
    QString m_portsFolder;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
};
