#include "config/IniFileUtil.h"

#include <QFile>

using namespace Qt::StringLiterals;

bool CreateIfMissing(const QString &path, QString *error)
{
    if (QFile::exists(path))
        return true;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return SetError(error, u"Не удалось создать файл \"%1\": %2"_s.arg(path, file.errorString()));
    return true;
}
