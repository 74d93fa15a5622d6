// kkt-cli: the KKT from the command line, over the same link and requests as
// the program (diagnostics, scripting, programming many registers alike).

#include "CliDispatcher.h"
#include "ConfigCommands.h"
#include "DeviceCommands.h"
#include "FindCommand.h"
#include "config/HeapTuning.h"
#include "config/SystemNames.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    KeepFreedMemory();
    // Before Qt turns the arguments into text: a name that does not survive it would name another file.
    if (const std::optional<QByteArray> bad = SystemNames::FirstUndecodableArgument(argc, argv)) {
        std::fputs(u"kkt-cli: %1\nСправка: kkt-cli --help\n"_s.arg(SystemNames::UndecodableArgumentMessage(*bad))
                       .toUtf8()
                       .constData(),
            stderr);
        return CliDispatcher::kExitUsage;
    }
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);

    CliDispatcher dispatcher;
    AddDeviceCommands(dispatcher);
    AddFindCommand(dispatcher);
    AddConfigCommands(dispatcher);
    const int status = dispatcher.run(app.arguments(), out, err);
    out.flush();
    err.flush();
    return status;
}
