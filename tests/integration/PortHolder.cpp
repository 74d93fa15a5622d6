// Test helper: another program that holds a serial port. Opens the port given
// as its last argument, says "held" (or "refused"), and keeps the port until
// its standard input closes or it is terminated.
//   port_holder PORT          the way our own programs open a port
//   port_holder --qt PORT     through QSerialPort, with its lock file
//   port_holder --flock PORT  the way picocom or pyserial (exclusive) do:
//                             a plain open and an advisory lock, no lock file
//   port_holder --excl PORT   a plain open and the terminal's exclusive flag alone

#include "kkt/PortDiscovery.h"
#include "kkt/SerialLinkFactory.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
bool HoldWithFlock(const QString &port)
{
    const int fd = ::open(QFile::encodeName(PortDevicePath(port)).constData(), O_RDWR | O_NOCTTY);
    return fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

bool HoldWithExclusiveFlag(const QString &port)
{
    const int fd = ::open(QFile::encodeName(PortDevicePath(port)).constData(), O_RDWR | O_NOCTTY);
    return fd >= 0 && ::ioctl(fd, TIOCEXCL) == 0;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString mode = args.size() == 2 ? args.first() : QString();
    if (args.isEmpty() || args.size() > 2
        || (args.size() == 2 && mode != QLatin1String("--flock") && mode != QLatin1String("--qt")
            && mode != QLatin1String("--excl"))) {
        std::fputs("usage: port_holder [--flock | --qt | --excl] PORT\n", stderr);
        return 64;
    }
    const std::unique_ptr<SerialLink> link
        = mode == QLatin1String("--qt") ? MakeSerialLink(SerialLinkKind::Qt) : MakeSerialLink();
    const bool held = mode == QLatin1String("--flock") ? HoldWithFlock(args.last())
        : mode == QLatin1String("--excl")              ? HoldWithExclusiveFlag(args.last())
                                                       : link->open(args.last(), 19200, 1000);
    std::puts(held ? "held" : "refused");
    std::fflush(stdout);
    if (!held)
        return 1;
    while (std::getchar() != EOF) { }
    return 0;
}
