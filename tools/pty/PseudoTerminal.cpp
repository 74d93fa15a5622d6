#include "PseudoTerminal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

QString SystemError(const QString &what)
{
    return what + u": "_s + QString::fromLocal8Bit(std::strerror(errno));
}

namespace {
// A link to nothing: what a tool that did not get to clean up leaves behind
// (a pseudo-terminal goes with the last holder of its master).
bool IsDanglingLink(const QFileInfo &link)
{
    struct stat st
    {
    };
    return link.isSymLink() && ::stat(QFile::encodeName(link.absoluteFilePath()).constData(), &st) != 0
        && (errno == ENOENT || errno == ENOTDIR);
}

// Whether the entry is a character device of the pseudo-terminal kind.
bool IsTerminal(const QFileInfo &entry)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(entry.absoluteFilePath()).constData(), &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
#ifdef __linux__
    // Unix98 pseudo-terminal slaves have the majors 136 to 143.
    return major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
#else
    return entry.symLinkTarget().startsWith(u"/dev/pts/"_s);
#endif
}
} // namespace

void MakeOwnPortsFolder(const QString &linkPath, const QString &portsFolder)
{
    if (QFileInfo(linkPath).absolutePath() == QDir(portsFolder).absolutePath())
        QDir().mkpath(portsFolder);
}

PseudoTerminal::~PseudoTerminal()
{
    unpublish();
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

bool PseudoTerminal::open(const QString &linkPath, QString &error)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        error = SystemError(u"не удалось создать псевдотерминал"_s);
        return false;
    }
    const char *name = ::ptsname(m_master);
    m_slavePath = name ? QString::fromLocal8Bit(name) : QString();
    m_slave = name ? ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
    termios raw {};
    if (m_slave < 0 || ::tcgetattr(m_slave, &raw) != 0) {
        error = SystemError(u"не удалось открыть псевдотерминал"_s);
        return false;
    }
    ::cfmakeraw(&raw);
    ::cfsetspeed(&raw, B19200);
    if (::tcsetattr(m_slave, TCSANOW, &raw) != 0) {
        error = SystemError(u"не удалось настроить псевдотерминал"_s);
        return false;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);

    const QFileInfo link(linkPath);
    if (!QFileInfo(link.absolutePath()).isDir()) {
        error = u"нет папки %1 для ссылки на терминал"_s.arg(link.absolutePath());
        m_linkRefused = true;
        return false;
    }
    // Only a link to nothing, left by a tool that did not get to clean up, is
    // replaced. A pseudo-terminal that is there is held by the program that
    // made it (another emulator, socat): taking its name would take its
    // clients. A user's own link or file is kept too.
    if (link.isSymLink() || link.exists()) {
        if (!IsDanglingLink(link)) {
            error = link.isSymLink() && IsTerminal(link)
                ? u"%1 ведёт на терминал %2, который держит другая программа (другой эмулятор, socat): "
                  u"не заменяю; если он больше не нужен, удалите ссылку"_s.arg(
                      link.absoluteFilePath(), link.symLinkTarget())
                : u"%1 уже существует и ведёт не на псевдотерминал: не заменяю"_s.arg(link.absoluteFilePath());
            m_linkRefused = true;
            return false;
        }
        QFile::remove(link.absoluteFilePath());
    }
    if (::symlink(name, QFile::encodeName(link.absoluteFilePath()).constData()) != 0) {
        error = SystemError(u"не удалось создать ссылку %1"_s.arg(link.absoluteFilePath()));
        return false;
    }
    m_linkPath = link.absoluteFilePath();
    return true;
}

void PseudoTerminal::unpublish()
{
    if (m_linkPath.isEmpty())
        return;
    // Only our own link: another tool may have published the same name since.
    if (QFileInfo(m_linkPath).symLinkTarget() == m_slavePath)
        QFile::remove(m_linkPath);
    m_linkPath.clear();
}
