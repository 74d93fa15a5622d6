#include "config/InPlaceWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {
// Room that a file system without reservations must have left beyond the
// growth: the blocks of its own bookkeeping.
constexpr qint64 kSpareBytes = 64 * 1024;

// Takes the disk's room for size bytes of the file without changing it.
// Where the system reserves nothing, the free room must hold the growth.
int Reserve(QFile &file, qint64 size)
{
#ifdef Q_OS_LINUX
    if (::fallocate(file.handle(), FALLOC_FL_KEEP_SIZE, 0, size) == 0)
        return 0;
    if (errno != EOPNOTSUPP && errno != ENOSYS)
        return errno;
#endif
    const qint64 growth = size - file.size();
    const QStorageInfo storage(QFileInfo(file).absolutePath());
    if (growth > 0 && storage.isValid() && storage.bytesAvailable() >= 0
        && storage.bytesAvailable() < growth + kSpareBytes)
        return ENOSPC;
    return 0;
}

// Writes bytes over the file from its start and cuts it there; the system's
// error number, or 0.
int Overwrite(QFile &file, const QByteArray &bytes)
{
    errno = 0;
    if (!file.seek(0) || file.write(bytes) != bytes.size() || !file.resize(bytes.size()) || !file.flush())
        return errno != 0 ? errno : EIO;
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0)
        return errno;
#endif
    return 0;
}
} // namespace

namespace InPlaceWrite {
Result Write(const QString &target, const QByteArray &bytes, qint64 keepUpTo)
{
    QFile file(target);
    errno = 0;
    // ReadWrite: opened without cutting the file.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return { false, errno != 0 ? errno : EACCES, true };
    const bool keep = file.size() <= keepUpTo;
    const QByteArray old = keep ? file.readAll() : QByteArray();
    if (const int error = Reserve(file, bytes.size()))
        return { false, error, true };
    const int error = Overwrite(file, bytes);
    if (error == 0)
        return { true, 0, false };
    return { false, error, keep && Overwrite(file, old) == 0 };
}
} // namespace InPlaceWrite
