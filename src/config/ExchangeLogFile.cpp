#include "config/ExchangeLogFile.h"

#include "config/FileErrors.h"
#include "config/SafeFile.h"
#include "kkt/ExchangeLog.h"

#include <QDir>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {
QString OpenFailure(const QString &path, const QString &reason)
{
    return u"Не удалось открыть файл журнала \"%1\": %2."_s.arg(QDir::toNativeSeparators(path), reason);
}

#ifdef Q_OS_UNIX
// The log is appended to for hours, often by root (for the port's sake), in a
// folder others may write to: a symbolic link another user put in the log's
// place would have root append to whatever file it names. Such a link is not
// followed; the user's own link is. A link that turns up after the look is
// not followed either (O_NOFOLLOW), and whatever was opened must be a regular
// file. The open descriptor, or -1 with the reason.
int OpenForAppend(const QString &path, QString *reason)
{
    const QByteArray name = QFile::encodeName(path);
    int flags = O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK;
    struct stat link
    {
    };
    if (::lstat(name.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (link.st_uid != ::geteuid()) {
            *reason = u"это символическая ссылка, которую создал другой пользователь; по чужой ссылке "
                      u"журнал не пишется. Выберите другой файл"_s;
            return -1;
        }
    } else {
        flags |= O_NOFOLLOW;
    }
    const int fd = ::open(name.constData(), flags, 0666);
    if (fd < 0) {
        *reason = FileErrors::Reason(errno);
        return -1;
    }
    struct stat opened
    {
    };
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        *reason = SafeFile::NotRegularReason(path);
        return -1;
    }
    // Non-blocking only for the open: a FIFO put in place would have held it.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}
#endif
} // namespace

QString ExchangeLogFile::FrameText(const TBufKKT &buf, bool isAnswer)
{
    // As a paragraph of the log window: a blank first, its CR LF pairs as line ends, closed by a line end.
    QString text = u" "_s + LogBufText(buf, isAnswer) + u"\r\n"_s;
    return text.replace(u"\r\n"_s, u"\n"_s);
}

bool ExchangeLogFile::open(const QString &path, QString *error)
{
    close();
    m_error.clear();
    QString refused;
    if (path.isEmpty() || !SafeFile::CheckWritable(path, &refused)) {
        if (error)
            *error = path.isEmpty() ? u"не задан файл журнала."_s : refused;
        return false;
    }
    m_path = path;
    m_file.setFileName(path);
    // Text mode: the line ends of the system (CR LF on Windows).
    constexpr QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text;
#ifdef Q_OS_UNIX
    QString reason;
    const int fd = OpenForAppend(path, &reason);
    const bool opened = fd >= 0 && m_file.open(fd, mode, QFileDevice::AutoCloseHandle);
    if (fd >= 0 && !opened) {
        ::close(fd);
        reason = m_file.errorString();
    }
#else
    const bool opened = m_file.open(mode);
    const QString reason = opened ? QString() : m_file.errorString();
#endif
    if (!opened && error)
        *error = OpenFailure(path, reason);
    return opened;
}

void ExchangeLogFile::close()
{
    if (m_file.isOpen())
        m_file.close();
}

bool ExchangeLogFile::append(const TBufKKT &buf, bool isAnswer)
{
    if (!m_file.isOpen())
        return false;
    const QByteArray bytes = FrameText(buf, isAnswer).toUtf8();
    QString reason;
    if (!FileErrors::WriteAll(m_file, bytes, &reason)) {
        m_error
            = u"Не удалось записать журнал обмена в файл \"%1\": %2."_s.arg(QDir::toNativeSeparators(m_path), reason);
        m_file.close();
        return false;
    }
    return true;
}
