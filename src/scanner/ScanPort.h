#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

// The scanner's serial port as the reader uses it: opened for this process
// alone at a speed with 8 data bits, no parity and one stop bit; asked how
// many bytes are waiting without reading them; read; and watched for bytes.
// Lives in the reader's thread.
class ScanPort : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens the port; false when it is missing, held by another process or
    // refuses the settings. An open port is closed first.
    virtual bool open(const QString &name, qint32 speed) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The bytes waiting in the input queue, left there; -1 when the device has
    // gone (unplugged, the far end of a terminal closed).
    virtual qint64 waiting() = 0;
    // At most max of the waiting bytes; empty when none are waiting.
    virtual QByteArray read(qint64 max) = 0;
    // While watched, readable() follows the arrival of bytes and the loss of
    // the device. It may also come when nothing is waiting: ask waiting().
    virtual void watch(bool on) = 0;

signals:
    void readable();
};

// The port of this platform: the terminal device itself on Unix, QSerialPort elsewhere.
std::unique_ptr<ScanPort> MakeScanPort(const QString &portsFolder);
