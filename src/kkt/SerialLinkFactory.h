#pragma once

#include "kkt/PortDiscovery.h"
#include "kkt/SerialLink.h"

#include <QList>

#include <memory>

// Which serial adapter carries the KKT link. The program, kkt-cli, the tests
// and the benchmarks all make their link here.
enum class SerialLinkKind {
    Posix, // our own, straight on the terminal device (Unix only)
    Qt, // QSerialPort in blocking mode
};

// The adapter the program uses on this system: our own on Unix, QSerialPort elsewhere.
SerialLinkKind DefaultSerialLinkKind();
// Every adapter built on this system, the default first.
QList<SerialLinkKind> BuiltSerialLinkKinds();
// "posix" or "qt".
QString SerialLinkKindName(SerialLinkKind kind);

// A link of the given kind (the default one when the kind is not built here).
std::unique_ptr<SerialLink> MakeSerialLink(SerialLinkKind kind, const QString &portsFolder = PortsFolder());
inline std::unique_ptr<SerialLink> MakeSerialLink(const QString &portsFolder = PortsFolder())
{
    return MakeSerialLink(DefaultSerialLinkKind(), portsFolder);
}
