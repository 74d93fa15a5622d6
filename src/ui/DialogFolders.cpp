#include "ui/DialogFolders.h"

#include <QFileInfo>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace {
QString &Store()
{
    static QString path;
    return path;
}

QString Key(const QString &kind)
{
    return u"Folders/"_s + (kind.isEmpty() ? u"any"_s : kind);
}
} // namespace

namespace DialogFolders {
void SetStore(const QString &iniPath)
{
    Store() = iniPath;
}

QString Last(const QString &kind)
{
    if (Store().isEmpty())
        return {};
    const QString folder = QSettings(Store(), QSettings::IniFormat).value(Key(kind)).toString();
    // A folder removed since is no place to open in.
    return QFileInfo(folder).isDir() ? folder : QString();
}

void Remember(const QString &kind, const QString &chosenFile)
{
    if (Store().isEmpty() || chosenFile.isEmpty())
        return;
    QSettings(Store(), QSettings::IniFormat).setValue(Key(kind), QFileInfo(chosenFile).absolutePath());
}
} // namespace DialogFolders
