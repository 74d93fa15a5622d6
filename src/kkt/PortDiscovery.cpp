#include "kkt/PortDiscovery.h"

#include "kkt/FileLocations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

QString PortsFolder()
{
    return FileLocations::Current().portsFolder;
}

#ifdef Q_OS_WIN
// The port names a Windows user can choose: COM1 .. COM99.
static bool IsListedComName(const QString &name)
{
    static const QRegularExpression com(QStringLiteral("^COM[1-9][0-9]?$"));
    return com.match(name).hasMatch();
}
#else
// Only entries that lead to a character device are ports: a regular file, a
// FIFO or a link to nothing left in the folder would be listed and then fail.
static bool IsCharacterDevice(const QString &path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode);
}

static QStringList FolderPorts(const QString &portsFolder)
{
    if (portsFolder.isEmpty())
        return {};
    const QDir folder(portsFolder);
    QStringList ports;
    for (const QString &entry : folder.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
        if (IsCharacterDevice(folder.filePath(entry)))
            ports << entry;
    return ports;
}
#endif

namespace {
// One run of digits or of other characters.
QStringView NextChunk(QStringView text, qsizetype from)
{
    const bool digits = text[from].isDigit();
    qsizetype end = from;
    while (end < text.size() && text[end].isDigit() == digits)
        ++end;
    return text.sliced(from, end - from);
}

// Digit runs by value, however long, whatever their leading zeros.
int CompareNumbers(QStringView a, QStringView b)
{
    while (a.size() > 1 && a.front() == u'0')
        a = a.sliced(1);
    while (b.size() > 1 && b.front() == u'0')
        b = b.sliced(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}
} // namespace

bool PortNameLess(const QString &a, const QString &b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const QStringView ca = NextChunk(a, i);
        const QStringView cb = NextChunk(b, j);
        const bool numbers = ca.front().isDigit() && cb.front().isDigit();
        const int order = numbers ? CompareNumbers(ca, cb) : ca.compare(cb, Qt::CaseInsensitive);
        if (order != 0)
            return order < 0;
        i += ca.size();
        j += cb.size();
    }
    if ((i < a.size()) != (j < b.size()))
        return j < b.size(); // the shorter name first
    return a < b; // equal but for case or zeros: still one fixed order
}

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
    // Our own order: QCollator's numeric mode is ignored under the C locale.
    std::sort(list.begin(), list.end(), PortNameLess);
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
