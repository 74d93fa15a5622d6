#pragma once

#include "EmulatorProcess.h"

#include <QStringList>
#include <QTemporaryDir>

// Running kkt-cli as a child process, pointed at a kkt-emulator of its own.

struct CliRun
{
    int exitCode = -1; // -1 when it crashed or did not end in time
    QString out, err;
};

// Runs kkt-cli with the arguments; kills it when it has not ended within timeOutMs.
CliRun RunKktCli(const QStringList &arguments, int timeOutMs = 20000);

// Runs a program with arguments given as bytes, as a shell passes them, in the
// folder workDir (QProcess can only pass text). Unix only: elsewhere exitCode stays -1.
CliRun RunWithBytes(
    const QByteArray &program, const QList<QByteArray> &arguments, const QString &workDir, int timeOutMs = 20000);

// An emulator published in a temporary folder (files may go beside it), and
// kkt-cli runs with --port pointed at it.
struct CliBench
{
    QTemporaryDir dir;
    EmulatorProcess emulator;

    bool start(const QStringList &emulatorOptions = {});
    QString path(const QString &name) const { return dir.filePath(name); }
    CliRun run(const QStringList &arguments, int timeOutMs = 20000);
};
