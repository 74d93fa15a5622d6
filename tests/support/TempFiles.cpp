#include "TempFiles.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool MakeNonRegular(const QString &path, const QString &kind)
{
    if (kind == QLatin1String("folder"))
        return QDir().mkdir(path);
#ifdef Q_OS_UNIX
    if (kind == QLatin1String("FIFO"))
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    return QFile::link(QStringLiteral("/dev/null"), path);
#else
    return false;
#endif
}

QString NonRegularName(const QString &kind)
{
    if (kind == QLatin1String("folder"))
        return QStringLiteral("папка");
    return kind == QLatin1String("FIFO") ? QStringLiteral("именованный канал (FIFO)") : QStringLiteral("устройство");
}

#ifdef Q_OS_UNIX
FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead of killing the test
    rlimit lim {};
    getrlimit(RLIMIT_FSIZE, &lim);
    m_previous = qint64(lim.rlim_cur);
    lim.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &lim);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit lim {};
    getrlimit(RLIMIT_FSIZE, &lim);
    lim.rlim_cur = rlim_t(m_previous);
    setrlimit(RLIMIT_FSIZE, &lim);
}

bool FileSizeLimit::supported()
{
    return true;
}
#else
FileSizeLimit::FileSizeLimit(qint64) { }
FileSizeLimit::~FileSizeLimit() { }
bool FileSizeLimit::supported()
{
    return false;
}
#endif
