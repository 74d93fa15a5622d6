// scanner-emulator: a serial barcode scanner on a pseudo-terminal, for trying
// the scanner without one, demonstrations and the tests.

#include "PseudoTerminal.h"
#include "ScanEmuOptions.h"
#include "ScanSender.h"
#include "ShutdownSignals.h"
#include "ToolOutput.h"
#include "config/SystemNames.h"
#include "kkt/PortDiscovery.h"

#include <QCoreApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
// Sends one code with its suffix; a code that cannot go out is reported and the next one tried.
bool SendCode(ScanSender &sender, const ScanEmuOptions &options, const QByteArray &code, bool first)
{
    if (!sender.idle(first ? options.waitMs : options.intervalMs))
        return false;
    QString error;
    if (!sender.send(code + options.suffix, options.splitAt, options.splitMs, error) && !error.isEmpty())
        Print(stderr, u"scanner-emulator: %1\n"_s.arg(error));
    return sender.idle(0);
}
} // namespace

int main(int argc, char *argv[])
{
    // Before Qt turns the arguments into text: a link path that does not survive it would be another path.
    if (const std::optional<QByteArray> bad = SystemNames::FirstUndecodableArgument(argc, argv))
        return AnswerCommandLine(
            u"scanner-emulator"_s, SystemNames::UndecodableArgumentMessage(*bad), {}, kScanEmuUsage);
    QCoreApplication app(argc, argv);
    ScanEmuOptions options;
    QString error, help;
    if (!ParseScanEmuOptions(app.arguments(), options, error, help)) {
        return AnswerCommandLine(u"scanner-emulator"_s, error, help, kScanEmuUsage);
    }

    ShutdownSignals stopSignals;
    if (!stopSignals.ok()) {
        Print(stderr, u"scanner-emulator: не удалось перехватить сигналы завершения\n"_s);
        return 1;
    }
    PseudoTerminal terminal;
    MakeOwnPortsFolder(options.linkPath, PortsFolder());
    if (!terminal.open(options.linkPath, error)) {
        Print(stderr, u"scanner-emulator: %1\n"_s.arg(error));
        return terminal.linkRefused() ? kScanEmuUsage : 1;
    }
    Print(stdout, u"scanner-emulator: %1 -> %2\n"_s.arg(terminal.terminalPath(), terminal.linkPath()));

    ScanSender sender(terminal, stopSignals.fd());
    bool first = true;
    bool running = true;
    for (const QByteArray &code : std::as_const(options.codes)) {
        if (!(running = SendCode(sender, options, code, first)))
            break;
        first = false;
    }
    if (running && options.codes.isEmpty()) {
        QByteArray line;
        while (running && sender.readLine(line)) {
            if (line.isEmpty())
                continue;
            running = SendCode(sender, options, line, first);
            first = false;
        }
    }
    // The terminal stays until a stop request, so the program never sees its
    // scanner vanish after the last code.
    if (running)
        sender.waitForStop();
    return 0;
}
