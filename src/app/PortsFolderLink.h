#pragma once

#include "kkt/QtSerialLink.h"

// The real port, with names looked up in the ports folder the main window
// lists (a test or a second copy of the program may use its own folder).
class PortsFolderLink final : public SerialLink
{
public:
    explicit PortsFolderLink(const QString &portsFolder)
        : m_portsFolder(portsFolder)
    { }

    bool open(const QString &name, quint32 speed, quint32 totalTimeOutMs) override;
    bool isOpen() const override { return m_port.isOpen(); }
    void purge() override { m_port.purge(); }
    int write(const quint8 *data, int count) override { return m_port.write(data, count); }
    int read(quint8 *data, int maxCount) override { return m_port.read(data, maxCount); }
    void close() override { m_port.close(); }

private:
    QString m_portsFolder;
    QtSerialLink m_port;
};
