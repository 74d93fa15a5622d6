#pragma once

#include <QString>
#include <QStringList>

// The port names found at start-up, ascending in natural order.
using TArrayCom = QStringList;

// The folder beside the executable whose entries (links to tty devices) are
// listed as ports; kkt-emulator publishes its terminal there.
QString PortsFolder();

// Fills the list with the serial devices the system reports plus the entries of
// the ports folder. Every listed name is accepted by PortDevicePath().
void GetCOM_Loop(TArrayCom &list, const QString &portsFolder = PortsFolder());

// The device to open for a port name: an entry of the ports folder, a device
// path as given, or a name the system reports (COM3, ttyUSB0). Empty when unknown.
QString PortDevicePath(const QString &name, const QString &portsFolder = PortsFolder());
