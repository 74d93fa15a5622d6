#include "FuzzSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

QString FuzzFile(const char *suffix)
{
    static const QString folder = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    return folder + QStringLiteral("/kkt-fuzz-%1.%2").arg(QCoreApplication::applicationPid()).arg(QLatin1StringView(suffix));
}

QString WriteFuzzFile(const uint8_t *data, size_t size, const char *suffix)
{
    const QString path = FuzzFile(suffix);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        qFatal("cannot write the fuzz input file");
    return path;
}
