#include "kkt/PosixTty.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {
int OpenDevice(const QByteArray &path)
{
    int fd;
    do
        fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    return fd;
}

struct SpeedEntry
{
    quint32 baud;
    speed_t code;
};

// The speeds of the terminal interface; a port cannot be set to any other.
constexpr SpeedEntry kSpeeds[] = {
    { 50, B50 },
    { 75, B75 },
    { 110, B110 },
    { 134, B134 },
    { 150, B150 },
    { 200, B200 },
    { 300, B300 },
    { 600, B600 },
    { 1200, B1200 },
    { 1800, B1800 },
    { 2400, B2400 },
    { 4800, B4800 },
    { 9600, B9600 },
    { 19200, B19200 },
    { 38400, B38400 },
#ifdef B57600
    { 57600, B57600 },
#endif
#ifdef B115200
    { 115200, B115200 },
#endif
#ifdef B230400
    { 230400, B230400 },
#endif
#ifdef B460800
    { 460800, B460800 },
#endif
#ifdef B500000
    { 500000, B500000 },
#endif
#ifdef B576000
    { 576000, B576000 },
#endif
#ifdef B921600
    { 921600, B921600 },
#endif
#ifdef B1000000
    { 1000000, B1000000 },
#endif
#ifdef B1152000
    { 1152000, B1152000 },
#endif
#ifdef B1500000
    { 1500000, B1500000 },
#endif
#ifdef B2000000
    { 2000000, B2000000 },
#endif
#ifdef B2500000
    { 2500000, B2500000 },
#endif
#ifdef B3000000
    { 3000000, B3000000 },
#endif
#ifdef B3500000
    { 3500000, B3500000 },
#endif
#ifdef B4000000
    { 4000000, B4000000 },
#endif
};
} // namespace

namespace PosixTty {

int OpenPort(const QString &name, const QString &portsFolder)
{
    if (name.isEmpty()) {
        errno = ENOENT;
        return -1;
    }
    // An entry of the ports folder first. The open follows its link to the
    // device, and the lock and the exclusive flag belong to the device, not to
    // the path, so no path needs resolving beforehand. A link to nothing, or
    // no entry at all, passes the name on, as for any other name.
    if (!portsFolder.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))) {
        const int fd = OpenDevice(QFile::encodeName(portsFolder + QLatin1Char('/') + name));
        if (fd >= 0 || (errno != ENOENT && errno != ENOTDIR))
            return fd;
    }
    // As QSerialPort takes names: a path from the root or from here as it is,
    // any other name under /dev (ttyUSB0, pts/3).
    if (QDir::isAbsolutePath(name) || name.startsWith(QLatin1String("./")) || name.startsWith(QLatin1String("../")))
        return OpenDevice(QFile::encodeName(name));
    return OpenDevice(QFile::encodeName(QStringLiteral("/dev/") + name));
}

bool TakeExclusive(int fd)
{
    // The advisory lock first, before the line is touched. Root's open passes
    // another process's exclusive flag, which an ordinary user's would meet
    // as "busy": the terminal's word that it is held is taken as such.
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 && !HeldExclusively(fd) && ::ioctl(fd, TIOCEXCL) == 0;
}

bool HeldExclusively(int fd)
{
#ifdef TIOCGEXCL
    int exclusive = 0;
    return ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
#else
    Q_UNUSED(fd);
    return false;
#endif
}

bool HeldExclusively(const QString &device)
{
    const int fd = OpenDevice(QFile::encodeName(device));
    if (fd < 0)
        return false; // the open that follows tells why
    const bool held = HeldExclusively(fd);
    ::close(fd);
    return held;
}

void Close(int fd, bool exclusive)
{
    if (fd < 0)
        return;
    if (exclusive)
        ::ioctl(fd, TIOCNXCL);
    ::close(fd);
}

bool SetLine(int fd, unsigned speedCode, LineMode mode)
{
    termios t {};
    if (::tcgetattr(fd, &t) != 0)
        return false; // not a terminal
    if (mode == LineMode::Raw) {
        ::cfmakeraw(&t);
    } else {
        // Every byte as it comes: no line editing, no echo back to the
        // device, CR kept as CR, no signals from the line.
        t.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL);
        t.c_oflag &= ~tcflag_t(OPOST);
        t.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    }
    // 8N1. The modem lines are ignored, as a Windows port ignores them:
    // otherwise a device that leaves DCD low hangs the line up. Hardware flow
    // control stays as the port has it.
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    // VMIN 0 would read 0 both for an empty queue and for a hung-up line.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    if (::cfsetispeed(&t, speed_t(speedCode)) != 0 || ::cfsetospeed(&t, speed_t(speedCode)) != 0)
        return false;
    int result;
    do
        result = ::tcsetattr(fd, TCSANOW, &t);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

bool SpeedCode(quint32 baud, unsigned &code)
{
    const auto *entry
        = std::find_if(std::begin(kSpeeds), std::end(kSpeeds), [baud](const SpeedEntry &e) { return e.baud == baud; });
    if (entry == std::end(kSpeeds))
        return false;
    code = unsigned(entry->code);
    return true;
}

} // namespace PosixTty
