#include "kkt/PortDiscovery.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>

QString PortsFolder()
{
    const QString base = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return base + QStringLiteral("/ports");
}

static QStringList FolderPorts(const QString &portsFolder)
{
    if (portsFolder.isEmpty())
        return {};
    return QDir(portsFolder).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

void GetCOM_Loop(TArrayCom &list, const QString &portsFolder)
{
    list.clear();
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        list << info.portName();
    for (const QString &entry : FolderPorts(portsFolder))
        if (!list.contains(entry))
            list << entry;
    QCollator natural;
    natural.setNumericMode(true);
    natural.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(list.begin(), list.end(), natural);
}

QString PortDevicePath(const QString &name, const QString &portsFolder)
{
    if (name.isEmpty())
        return {};
    if (!portsFolder.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))) {
        const QFileInfo entry(QDir(portsFolder).filePath(name));
        if (entry.exists()) {
            // Open the device itself so that every path to one device shares one lock.
            const QString target = entry.canonicalFilePath();
            return target.isEmpty() ? entry.absoluteFilePath() : target;
        }
    }
    if (QDir::isAbsolutePath(name)) {
        const QString target = QFileInfo(name).canonicalFilePath();
        return target.isEmpty() ? name : target;
    }
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        if (info.portName() == name)
            return info.systemLocation();
    // A name the system does not list yet (a device plugged in since start-up):
    // leave it to the port to find, as the open of a missing port then fails.
    return name;
}
