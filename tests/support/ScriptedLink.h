#pragma once

#include "kkt/SerialLink.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A fake port that records every write and plays prepared answers, one per
// read. An empty answer (or none left) is silence. Open can be made to fail.
class ScriptedLink final : public SerialLink
{
public:
    bool openFails = false;
    QList<QByteArray> answers; // played in order
    QList<QByteArray> writes; // every frame written
    int opens = 0, closes = 0, purges = 0;
    QString openedName;
    quint32 openedSpeed = 0, openedTimeOut = 0;

    bool open(const QString &name, quint32 speed, quint32 totalTimeOutMs) override;
    bool isOpen() const override { return m_open; }
    void purge() override { ++purges; }
    int write(const quint8 *data, int count) override;
    int read(quint8 *data, int maxCount) override;
    void close() override;

private:
    bool m_open = false;
};

// A valid answer frame of the given length: the status at offset 3, payload
// bytes copied from offset 4 on, 0x19 before the checksum, checksum last.
QByteArray MakeAnswer(int length, quint8 status, const QByteArray &payload = {});
