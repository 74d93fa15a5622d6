#pragma once

#include "emulator/KktDevice.h"

#include <QString>
#include <QStringList>

// What the command line asks of the emulator.
struct EmulatorOptions
{
    QString linkPath; // the symbolic link that publishes the terminal
    bool defaultLink = false; // linkPath is ports/KKT-EMU beside the program, whose folder is ours to create
    quint32 kktNumber = 0;
    KktDeviceFaults faults;
};

// Exit status of a command line that cannot be used (BSD sysexits EX_USAGE).
constexpr int kExitUsage = 64;

// Parses the arguments (program name first). On a usage error returns false
// with a message in `error`; on --help returns false with the help text in
// `help` and an empty error.
bool ParseEmulatorOptions(const QStringList &arguments, EmulatorOptions &options, QString &error, QString &help);
