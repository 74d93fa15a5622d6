#include "CliProcess.h"

#include <QDebug>
#include <QProcess>

using namespace Qt::StringLiterals;

CliRun RunKktCli(const QStringList &arguments, int timeOutMs)
{
    QProcess process;
    process.start(QStringLiteral(KKT_CLI_PATH), arguments);
    process.closeWriteChannel();
    CliRun run;
    if (!process.waitForFinished(timeOutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

bool CliBench::start(const QStringList &emulatorOptions)
{
    const bool ok = emulator.start(QStringLiteral(KKT_EMULATOR_PATH), dir.filePath(u"KKT-EMU"_s), emulatorOptions);
    if (!ok)
        qWarning() << emulator.error();
    return ok;
}

CliRun CliBench::run(const QStringList &arguments, int timeOutMs)
{
    return RunKktCli(QStringList { u"--port"_s, emulator.linkPath() } + arguments, timeOutMs);
}
