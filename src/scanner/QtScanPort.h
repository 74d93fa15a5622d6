#pragma once

#include "scanner/ScanPort.h"

#include <QSerialPort>

// The scanner's port through QSerialPort, where the system has no terminal
// devices of ours to open. QSerialPort reads in the background into its own
// buffer; the waiting bytes are those.
class QtScanPort final : public ScanPort
{
    Q_OBJECT
public:
    explicit QtScanPort(const QString &portsFolder);

    bool open(const QString &name, qint32 speed) override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }
    qint64 waiting() override;
    QByteArray read(qint64 max) override;
    void watch(bool on) override { m_watched = on; }

private:
    QString m_portsFolder;
    QSerialPort m_port;
    bool m_watched = false;
    bool m_gone = false;
};
