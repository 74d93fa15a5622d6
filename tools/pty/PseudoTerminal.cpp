#include "PseudoTerminal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

QString SystemError(const QString &what)
{
    return what + u": "_s + QString::fromLocal8Bit(std::strerror(errno));
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
    if (!QDir().mkpath(link.absolutePath())) {
        error = u"не удалось создать папку %1"_s.arg(link.absolutePath());
        return false;
    }
    // A link left by a tool that did not get to clean up is replaced; anything else is kept.
    if (link.isSymLink())
        QFile::remove(link.absoluteFilePath());
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
