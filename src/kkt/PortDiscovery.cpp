#include "kkt/PortDiscovery.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>

QString PortsFolder()
{
    const QString base = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return base + QStringLiteral("/ports");
}

#ifdef Q_OS_WIN
// The port names a Windows user can choose: COM1 .. COM99.
static bool IsListedComName(const QString &name)
{
    static const QRegularExpression com(QStringLiteral("^COM[1-9][0-9]?$"));
    return com.match(name).hasMatch();
}
#else
static QStringList FolderPorts(const QString &portsFolder)
{
    if (portsFolder.isEmpty())
        return {};
    return QDir(portsFolder).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}
#endif

void GetCOM_Loop(TArrayCom &list, const QString &portsFolder)
{
    list.clear();
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        list << info.portName();
#ifdef Q_OS_WIN
    // Windows has no device links to keep in a folder: the list is the COM
    // ports the system finds, and only the names its users know.
    Q_UNUSED(portsFolder);
    list.removeIf([](const QString &name) { return !IsListedComName(name); });
#else
    for (const QString &entry : FolderPorts(portsFolder))
        if (!list.contains(entry))
            list << entry;
#endif
    QCollator natural;
    natural.setNumericMode(true);
    natural.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(list.begin(), list.end(), natural);
}

QString PortDevicePath(const QString &name, const QString &portsFolder)
{
    if (name.isEmpty())
        return {};
    // Open the device itself, not a link to it, so that every path to one
    // device shares one lock. An entry that leads nowhere has no canonical
    // path; the name then goes to the port as it is.
    if (!portsFolder.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))) {
        const QString target = QFileInfo(QDir(portsFolder).filePath(name)).canonicalFilePath();
        if (!target.isEmpty())
            return target;
    }
    if (QDir::isAbsolutePath(name)) {
        const QString target = QFileInfo(name).canonicalFilePath();
        return target.isEmpty() ? name : target;
    }
    return name;
}
