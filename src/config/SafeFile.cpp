#include "config/SafeFile.h"

#include "config/FileErrors.h"
#include "config/InPlaceWrite.h"
#include "config/SystemNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {
bool Fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

QString Native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString NotRegular(const QFileInfo &info)
{
    return SafeFile::NotRegularReason(info.filePath());
}

QString Megabytes(qint64 bytes)
{
    return QString::number((bytes + 1024 * 1024 - 1) / (1024 * 1024));
}

QString LossyName()
{
    return u"в имени есть знак \uFFFD, которым показаны байты имени, не читаемые как текст; под этим именем "
           u"был бы записан другой файл. Переименуйте файл."_s;
}

QString TooLarge(const QString &path)
{
    return SafeFile::TooLargeToWrite(path, u"больше %1 МБ"_s.arg(Megabytes(SafeFile::kMaxReadSize)));
}

// Owner, group and others as the mode holds them. The "user" flags tell what
// whoever asks may do, root anything: written back they would add rights.
constexpr QFileDevice::Permissions kModeBits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
    | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
    | QFileDevice::WriteOther | QFileDevice::ExeOther;

// The new file takes the place of the old one as it was: its mode, and, where
// the system lets us (root saving a user's file), its owner and group.
void KeepOwnerAndMode(QSaveFile &file, const QFileInfo &old)
{
    file.setPermissions(old.permissions() & kModeBits);
#ifdef Q_OS_UNIX
    if (::fchown(int(file.handle()), old.ownerId(), old.groupId()) != 0)
        ::fchown(int(file.handle()), uid_t(-1), old.groupId()); // the group alone, or nothing
#endif
}

// The folder a save really writes into: that of the file a link leads to.
QString TargetFolder(const QString &path)
{
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    return QFileInfo(target).absolutePath();
}

// The system's reason for a failed write. Qt says "Unknown error" for some
// failures it sees only at commit; a full disk is told as such.
QString WriteReason(const QString &path, qint64 needed, const QString &qtReason, int savedErrno)
{
    if (savedErrno == ENOSPC)
        return FileErrors::Reason(ENOSPC);
    const QStorageInfo storage(TargetFolder(path));
    if (storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < needed)
        return FileErrors::Reason(ENOSPC);
    if (!qtReason.isEmpty() && qtReason != u"Unknown error"_s)
        return qtReason;
    if (savedErrno != 0)
        return FileErrors::Reason(savedErrno);
    return u"причина не сообщена системой"_s;
}
} // namespace

namespace SafeFile {
QString NotRegularReason(const QString &path)
{
    QString kind = u"не файл"_s;
    if (QFileInfo(path).isDir())
        kind = u"папка"_s;
#ifdef Q_OS_UNIX
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        if (S_ISFIFO(st.st_mode))
            kind = u"именованный канал (FIFO)"_s;
        else if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
            kind = u"устройство"_s;
        else if (S_ISSOCK(st.st_mode))
            kind = u"сокет"_s;
    }
#endif
    return u"не является обычным файлом: это "_s + kind;
}

namespace {
// The save of a file whose folder takes no temporary file; see InPlaceWrite.
bool WriteInPlace(
    const QString &path, const QString &target, const std::function<bool(const PieceSink &)> &produce, QString *error)
{
    QByteArray bytes;
    bool tooLarge = false;
    produce([&](QByteArrayView piece) {
        tooLarge = bytes.size() + piece.size() > kMaxReadSize;
        if (!tooLarge)
            bytes.append(piece);
        return !tooLarge;
    });
    if (tooLarge)
        return Fail(error, TooLarge(path));
    const InPlaceWrite::Result result = InPlaceWrite::Write(target, bytes, kMaxReadSize);
    if (result.ok)
        return true;
    return Fail(error,
        u"Не удалось записать файл \"%1\": %2; %3."_s.arg(Native(path), FileErrors::Reason(result.error),
            result.restored ? u"прежний файл не изменён"_s : u"файл мог быть повреждён"_s));
}
} // namespace

QString TooLargeToWrite(const QString &path, const QString &howLarge)
{
    return u"Не удалось записать файл \"%1\": он вышел бы %2, а такой файл программа не прочтёт; "
           u"ничего не записано."_s.arg(Native(path), howLarge);
}

bool CheckReadable(const QString &path, QString *error, qint64 maxSize)
{
    const QFileInfo info(path); // follows links: a link to a regular file is fine
    const QString opening = u"Не удалось открыть файл \"%1\": "_s.arg(Native(path));
    if (!info.exists())
        return Fail(error, opening + u"файл не найден."_s);
    if (!info.isFile())
        return Fail(error, opening + NotRegular(info) + u'.');
    if (info.size() > maxSize)
        return Fail(error,
            opening
                + u"файл слишком велик (%1 МБ, допустимо не больше %2 МБ)."_s.arg(
                    Megabytes(info.size()), Megabytes(maxSize)));
    return true;
}

std::optional<QByteArray> ReadAll(const QString &path, QString *error, qint64 maxSize)
{
    if (!CheckReadable(path, error, maxSize))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(error, u"Не удалось открыть файл \"%1\": %2"_s.arg(Native(path), file.errorString()));
        return std::nullopt;
    }
    // The size was checked before the open; a file that grows meanwhile is cut
    // off just past the limit, not read on. Read in chunks: QIODevice::read(n)
    // would allocate all n bytes at once.
    QByteArray bytes;
    bytes.reserve(qsizetype(qMin(file.size(), maxSize) + 1));
    char chunk[64 * 1024];
    qint64 got = 0;
    while (bytes.size() <= maxSize
        && (got = file.read(chunk, qMin<qint64>(qint64(sizeof chunk), maxSize + 1 - bytes.size()))) > 0)
        bytes.append(chunk, qsizetype(got));
    if (got < 0) {
        Fail(error, u"Не удалось прочитать файл \"%1\": %2"_s.arg(Native(path), file.errorString()));
        return std::nullopt;
    }
    if (bytes.size() > maxSize) {
        Fail(error,
            u"Не удалось открыть файл \"%1\": файл слишком велик (больше %2 МБ)."_s.arg(
                Native(path), Megabytes(maxSize)));
        return std::nullopt;
    }
    return bytes;
}

bool CheckWritable(const QString &path, QString *error)
{
    const QFileInfo info(path);
    const QString writing = u"Не удалось записать файл \"%1\": "_s.arg(Native(path));
    if (SystemNames::IsLossy(path))
        return Fail(error, writing + LossyName());
    if (info.isSymLink() && !info.exists())
        return Fail(error, writing + u"это ссылка на несуществующий файл."_s);
    if (info.exists() && !info.isFile())
        return Fail(error, writing + NotRegular(info) + u"; он не изменён."_s);
    // Root may write anything: a file nobody may write is kept as it is all the same.
    if (info.exists()
        && !(info.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther)))
        return Fail(error, writing + u"файл только для чтения; он не изменён."_s);
    return true;
}

bool WriteAll(const QString &path, const QByteArray &bytes, QString *error)
{
    return WritePieces(
        path, [&](const PieceSink &put) { return put(bytes); }, error);
}

bool WritePieces(const QString &path, const std::function<bool(const PieceSink &)> &produce, QString *error)
{
    if (!CheckWritable(path, error))
        return false;
    const QFileInfo info(path);
    // A link is kept: the file it leads to is replaced.
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    if (info.exists() && !QFileInfo(QFileInfo(target).absolutePath()).isWritable())
        return WriteInPlace(path, target, produce, error);
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    errno = 0;
    // Unbuffered, so that a failing write is seen at the write with its reason.
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (ok && info.exists())
        KeepOwnerAndMode(file, info);
    qint64 written = 0;
    int savedErrno = errno;
    QString qtReason = file.errorString();
    bool tooLarge = false;
    ok = ok && produce([&](QByteArrayView piece) {
        // Whatever the program writes, it can read back.
        if (written + piece.size() > kMaxReadSize) {
            tooLarge = true;
            return false;
        }
        if (file.write(piece.data(), piece.size()) != piece.size()) {
            savedErrno = errno;
            qtReason = file.errorString();
            return false;
        }
        written += piece.size();
        return true;
    });
    if (ok && file.commit())
        return true;
    if (tooLarge) {
        file.cancelWriting();
        return Fail(error, TooLarge(path));
    }
    const QString reason
        = WriteReason(target, written + 1, ok ? file.errorString() : qtReason, ok ? errno : savedErrno);
    file.cancelWriting();
    return Fail(error, u"Не удалось записать файл \"%1\": %2."_s.arg(Native(path), reason));
}

bool CreateIfMissing(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (info.exists())
        return true; // what it is, the read that follows tells
    if (info.isSymLink())
        return Fail(error, u"Не удалось создать файл \"%1\": это ссылка на несуществующий файл."_s.arg(Native(path)));
    if (SystemNames::IsLossy(path))
        return Fail(error, u"Не удалось создать файл \"%1\": "_s.arg(Native(path)) + LossyName());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return Fail(error, u"Не удалось создать файл \"%1\": %2"_s.arg(Native(path), file.errorString()));
    return true;
}
} // namespace SafeFile
