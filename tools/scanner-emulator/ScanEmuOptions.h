#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What the command line asks of the scanner imitation.
struct ScanEmuOptions
{
    QString linkPath; // the symbolic link that publishes the terminal
    QList<QByteArray> codes; // from --code and --datamatrix, in order; none: read standard input
    QByteArray suffix = "\r"; // sent after every code
    int intervalMs = 200; // idle time between two codes
    int waitMs = 0; // idle time before the first code
    int splitAt = -1; // bytes sent before the idle gap of --split; -1: no gap
    int splitMs = 0;
};

// Exit status of a command line that cannot be used (BSD sysexits EX_USAGE).
constexpr int kScanEmuUsage = 64;

// Parses the arguments (program name first). On a usage error returns false
// with a message in `error`; on --help returns false with the help text in
// `help` and an empty error.
bool ParseScanEmuOptions(const QStringList &arguments, ScanEmuOptions &options, QString &error, QString &help);

// The payload of a GS1 DataMatrix code: "01", the 14-digit GTIN, "21", the serial.
QByteArray DataMatrixPayload(const QString &gtin14, const QString &serial);
