#include "config/IniFileUtil.h"

#include "config/SafeFile.h"

using namespace Qt::StringLiterals;

bool CreateIfMissing(const QString &path, QString *error)
{
    return SafeFile::CreateIfMissing(path, error);
}
