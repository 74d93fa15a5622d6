// kkt-emulator: an imitation of the KKT on a pseudo-terminal, for training,
// demonstrations and the integration tests.

#include "EmulatorOptions.h"
#include "PtyServer.h"
#include "ShutdownSignals.h"
#include "emulator/KktDevice.h"
#include "kkt/PortDiscovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
void Print(FILE *stream, const QString &text)
{
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    EmulatorOptions options;
    QString error, help;
    if (!ParseEmulatorOptions(app.arguments(), options, error, help)) {
        if (error.isEmpty()) {
            Print(stdout, help);
            return 0;
        }
        Print(stderr, u"kkt-emulator: %1\nСправка: kkt-emulator --help\n"_s.arg(error));
        return kExitUsage;
    }

    ShutdownSignals stopSignals;
    if (!stopSignals.ok()) {
        Print(stderr, u"kkt-emulator: не удалось перехватить сигналы завершения\n"_s);
        return 1;
    }
    KktDevice device(options.kktNumber);
    device.setFaults(options.faults);
    PtyServer server(device);
    // The ports folder beside the programs is ours to create; any other folder is the user's business.
    if (options.defaultLink || QFileInfo(options.linkPath).absolutePath() == QDir(PortsFolder()).absolutePath())
        QDir().mkpath(PortsFolder());
    if (!server.start(options.linkPath, error)) {
        Print(stderr, u"kkt-emulator: %1\n"_s.arg(error));
        return server.linkRefused() ? kExitUsage : 1;
    }
    Print(stdout, u"kkt-emulator: %1 -> %2\n"_s.arg(server.terminalPath(), server.linkPath()));
    if (!server.run(stopSignals.fd(), error)) {
        Print(stderr, u"kkt-emulator: %1\n"_s.arg(error));
        return 1;
    }
    return 0;
}
