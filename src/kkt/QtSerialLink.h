#pragma once

#include "kkt/SerialLink.h"

#include <memory>

class QSerialPort;

// The real KKT port: QSerialPort in blocking mode.
class QtSerialLink final : public SerialLink
{
public:
    QtSerialLink();
    ~QtSerialLink() override;

    bool open(const QString &name, quint32 speed, quint32 totalTimeOutMs) override;
    bool isOpen() const override;
    void purge() override;
    int write(const quint8 *data, int count) override;
    int read(quint8 *data, int maxCount) override;
    void close() override;

    // Shorter than 1500 ms only in tests that must not wait that long.
    void setIntervalTimeOut(int ms) { m_intervalMs = ms; }

private:
    // Holds the port against other programs where QSerialPort alone does not.
    bool lockExclusively();

    std::unique_ptr<QSerialPort> m_port;
    quint32 m_totalMs = 3500;
    int m_intervalMs = kIntervalTimeOutMs;
};
