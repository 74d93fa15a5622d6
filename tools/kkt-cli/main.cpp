// kkt-cli: the KKT from the command line, over the same link and requests as
// the program (diagnostics, scripting, programming many registers alike).

#include "CliDispatcher.h"
#include "ConfigCommands.h"
#include "DeviceCommands.h"
#include "FindCommand.h"
#include "config/HeapTuning.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    KeepFreedMemory();
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
