// kkt-emulator: an imitation of the KKT on a pseudo-terminal, for training,
// demonstrations and the integration tests.

#include "EmulatorOptions.h"
#include "PtyServer.h"
#include "ShutdownSignals.h"
#include "ToolOutput.h"
#include "config/SystemNames.h"
#include "emulator/KktDevice.h"
#include "kkt/PortDiscovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    // Before Qt turns the arguments into text: a link path that does not survive it would be another path.
    if (const std::optional<QByteArray> bad = SystemNames::FirstUndecodableArgument(argc, argv))
        return AnswerCommandLine(u"kkt-emulator"_s, SystemNames::UndecodableArgumentMessage(*bad), {}, kExitUsage);
    QCoreApplication app(argc, argv);
    EmulatorOptions options;
    QString error, help;
    if (!ParseEmulatorOptions(app.arguments(), options, error, help)) {
        return AnswerCommandLine(u"kkt-emulator"_s, error, help, kExitUsage);
    }

    ShutdownSignals stopSignals;
    if (!stopSignals.ok()) {
        Print(stderr, u"kkt-emulator: не удалось перехватить сигналы завершения\n"_s);
        return 1;
    }
    KktDevice device(options.kktNumber);
    device.setFaults(options.faults);
    PtyServer server(device);
    MakeOwnPortsFolder(options.linkPath, PortsFolder());
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
