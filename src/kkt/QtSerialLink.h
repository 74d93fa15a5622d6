#pragma once

#include "kkt/PortDiscovery.h"
#include "kkt/SerialLink.h"

#include <memory>

class QSerialPort;

// The real KKT port: QSerialPort in blocking mode. A bare port name is looked
// up in the given ports folder first (see PortDevicePath()).
class QtSerialLink final : public SerialLink
{
public:
    explicit QtSerialLink(const QString &portsFolder = PortsFolder());
    ~QtSerialLink() override;

    bool open(const QString &name, quint32 speed, quint32 totalTimeOutMs) override;
    bool isOpen() const override;
    void purge() override;
    int write(const quint8 *data, int count) override;
    int read(quint8 *data, int maxCount) override;
    void close() override;
    int pendingInput() override;
    int discardUntilQuiet(int quietMs, int maxMs) override;

    // How long a write of count bytes at speed may take before it is given up.
    static qint64 WriteTimeOutMs(int count, quint32 speed);

private:
    // Holds the port against other programs where QSerialPort alone does not.
    bool lockExclusively();

    QString m_portsFolder;
    std::unique_ptr<QSerialPort> m_port;
    quint32 m_totalMs = 3500;
    quint32 m_speed = 19200;
};
