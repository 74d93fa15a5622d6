#pragma once

#include <QString>
#include <QStringList>

// The port names found at start-up, ascending in natural order.
using TArrayCom = QStringList;

// The folder whose entries (links to tty devices) are listed as ports;
// kkt-emulator publishes its terminal there. Beside the executable in a
// portable copy, in the user's data folder when installed (FileLocations).
QString PortsFolder();

// Fills the list with the serial devices the system reports plus the entries of
// the ports folder; on Windows with the system's COM1..COM99 alone. Every
// listed name is accepted by the open of the port.
void GetCOM_Loop(TArrayCom &list, const QString &portsFolder = PortsFolder());

// The order of the port list: names compared piece by piece, runs of digits
// by their value (COM2 before COM10), other text without regard to case. The
// same under every locale.
bool PortNameLess(const QString &a, const QString &b);

// What to hand QSerialPort for a port name: the device an entry of the ports
// folder leads to, a device path as given, or else the name itself, which the
// port turns into its device (ttyUSB0 -> /dev/ttyUSB0, COM3 -> \\.\COM3).
// Empty for an empty name. Runs on every open, so it asks the file system as
// little as it can and never enumerates the system's ports.
QString PortDevicePath(const QString &name, const QString &portsFolder = PortsFolder());
