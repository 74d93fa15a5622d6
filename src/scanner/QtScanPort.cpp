#include "scanner/QtScanPort.h"

#include "kkt/PortDiscovery.h"

QtScanPort::QtScanPort(const QString &portsFolder)
    : m_portsFolder(portsFolder)
{
    connect(&m_port, &QSerialPort::readyRead, this, [this] {
        if (m_watched)
            emit readable();
    });
    // Only a device that has gone is an error here; a read that brings nothing is none.
    connect(
        &m_port, &QSerialPort::errorOccurred, this,
        [this](QSerialPort::SerialPortError error) {
            if (error != QSerialPort::ResourceError || !m_port.isOpen())
                return;
            m_gone = true;
            if (m_watched)
                emit readable();
        },
        Qt::QueuedConnection);
}

bool QtScanPort::open(const QString &name, qint32 speed)
{
    close();
    if (name.isEmpty() || speed <= 0)
        return false;
    m_port.setPortName(PortDevicePath(name, m_portsFolder));
    if (!m_port.open(QIODevice::ReadWrite))
        return false;
    m_port.setBaudRate(speed);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    return true;
}

void QtScanPort::close()
{
    if (m_port.isOpen())
        m_port.close();
    m_gone = false;
    m_watched = false;
}

qint64 QtScanPort::waiting()
{
    if (!m_port.isOpen() || m_gone)
        return -1;
    return m_port.bytesAvailable();
}

QByteArray QtScanPort::read(qint64 max)
{
    return m_port.isOpen() ? m_port.read(max) : QByteArray();
}
