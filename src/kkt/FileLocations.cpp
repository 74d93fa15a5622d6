#include "kkt/FileLocations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

// The build names the helper folder of an installed tree (the install rules put it there).
#ifndef KKT_HELPER_FROM_BIN
#error "KKT_HELPER_FROM_BIN is set by the build"
#endif

namespace {
const QString kFolderName = u"kktconf"_s;

// A folder this process may create files in. QFileInfo::isWritable reads only
// the mode bits; a try tells the truth on read-only mounts and under ACLs too.
bool CanWriteIn(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    // A name of its own: several programs of one folder may start at once.
    QTemporaryFile probe(QDir(folder).filePath(u".kktconf-XXXXXX"_s));
    return probe.open();
}

QString ProgramFolder()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
}
} // namespace

QString InstalledHelperFolder(const QString &programFolder)
{
    return QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral(KKT_HELPER_FROM_BIN)));
}

FileLocations FileLocations::Decide(
    const QString &programFolder, const QString &userConfigFolder, const QString &userDataFolder)
{
    FileLocations where;
    const QString helper = InstalledHelperFolder(programFolder);
    const bool installed = QFileInfo(helper).isDir();
    where.portable = !installed && CanWriteIn(programFolder);
    if (where.portable) {
        where.settingsFolder = programFolder;
        where.portsFolder = QDir(programFolder).filePath(u"ports"_s);
        where.dataFolder = programFolder;
        return where;
    }
    where.settingsFolder = QDir(userConfigFolder).filePath(kFolderName);
    where.dataFolder = QDir(userDataFolder).filePath(kFolderName);
    where.portsFolder = QDir(where.dataFolder).filePath(u"ports"_s);
    where.helperFolder = installed ? helper : QString();
    return where;
}

const FileLocations &FileLocations::Current()
{
    // The generic folders, not the application's own: kkt-cli and the
    // emulators are other applications, yet they share the program's folders.
    static const FileLocations current
        = Decide(ProgramFolder(), QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    return current;
}

bool FileLocations::createSettingsFolder(QString *error) const
{
    if (QDir().mkpath(settingsFolder))
        return true;
    if (error)
        *error = u"не удалось создать папку настроек \"%1\""_s.arg(QDir::toNativeSeparators(settingsFolder));
    return false;
}

QString FileLocations::describe() const
{
    const QString where = portable ? u"переносная копия, файлы рядом с программой"_s
                                   : u"установленная программа, файлы в папках пользователя"_s;
    return u"Файлы программы: %1. Настройки: %2. Порты: %3."_s.arg(
        where, QDir::toNativeSeparators(settingsFolder), QDir::toNativeSeparators(portsFolder));
}
