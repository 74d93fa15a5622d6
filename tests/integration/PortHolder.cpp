// Test helper: another program that holds a serial port. Opens the port given
// as its last argument, says "held" (or "refused"), and keeps the port until
// its standard input closes or it is terminated.
//   port_holder PORT          the way our own programs open a port
//   port_holder --flock PORT  the way picocom or pyserial (exclusive) do:
//                             a plain open and an advisory lock, no lock file

#include "kkt/PortDiscovery.h"
#include "kkt/QtSerialLink.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
bool HoldWithFlock(const QString &port)
{
    const int fd = ::open(QFile::encodeName(PortDevicePath(port)).constData(), O_RDWR | O_NOCTTY);
    return fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool flockMode = args.size() == 2 && args.first() == QLatin1String("--flock");
    if (args.size() != 1 && !flockMode) {
        std::fputs("usage: port_holder [--flock] PORT\n", stderr);
        return 64;
    }
    QtSerialLink link;
    const bool held = flockMode ? HoldWithFlock(args.last()) : link.open(args.last(), 19200, 1000);
    std::puts(held ? "held" : "refused");
    std::fflush(stdout);
    if (!held)
        return 1;
    while (std::getchar() != EOF) { }
    return 0;
}
