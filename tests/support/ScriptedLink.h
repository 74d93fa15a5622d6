#pragma once

#include "emulator/DeviceLink.h"
#include "kkt/SerialLink.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A fake port that records every write and plays prepared answers, one per
// read. An empty answer (or none left) is silence. Open can be made to fail.
// Bytes that come when nothing was asked are told by when they come.
class ScriptedLink final : public SerialLink
{
public:
    bool openFails = false;
    QList<QByteArray> answers; // played in order
    QList<QByteArray> writes; // every frame written
    int opens = 0, closes = 0, purges = 0;
    QString openedName;
    quint32 openedSpeed = 0, openedTimeOut = 0;

    bool echo = false; // every read returns the frame last written, as a loopback plug does
    QByteArray waiting; // in the receive queue already: seen by pendingInput(), dropped by a purge
    QList<QByteArray> arriveInPause; // one per purge, coming in the pause after it
    QByteArray arriveAfterAnswer; // comes right after the next answer is read (a repeated answer)
    // Still on its way (an answer later than its time-out): a quiet wait drops
    // it, or else the next read takes it for its answer.
    QByteArray lateAnswer;
    int quietWaits = 0; // calls of discardUntilQuiet()
    int lastQuietMs = 0, lastQuietMaxMs = 0;

    bool open(const QString &name, quint32 speed, quint32 totalTimeOutMs) override;
    bool isOpen() const override { return m_open; }
    void purge() override;
    int write(const quint8 *data, int count) override;
    int read(quint8 *data, int maxCount) override;
    void close() override;
    int pendingInput() override { return int(waiting.size()); }
    int discardUntilQuiet(int quietMs, int maxMs) override;

private:
    bool m_open = false;
};

// A valid answer frame of the given length: the status at offset 3, payload
// bytes copied from offset 4 on, 0x19 before the checksum, checksum last.
QByteArray MakeAnswer(int length, quint8 status, const QByteArray &payload = {});

// Ports on which one register answers, at one speed; every other port at
// every speed opens and stays silent (a dead line), except "BUSY", which will
// not open (held by another program). A silent read returns at once unless
// silenceTakesTime: then it waits its total time-out, as a real port does.
class OneRegisterLink final : public SerialLink
{
public:
    OneRegisterLink(KktDevice &device, QString port, quint32 speed, QList<quint32> *timeOuts = nullptr);
    bool silenceTakesTime = false;

    bool open(const QString &name, quint32 speed, quint32 totalTimeOutMs) override;
    bool isOpen() const override { return m_device.isOpen(); }
    void purge() override { m_device.purge(); }
    int write(const quint8 *data, int count) override { return m_device.write(data, count); }
    int read(quint8 *data, int maxCount) override;
    void close() override { m_device.close(); }

private:
    DeviceLink m_device;
    QString m_port;
    quint32 m_speed;
    QList<quint32> *m_timeOuts;
    quint32 m_timeOut = 0;
    bool m_answering = false;
};
