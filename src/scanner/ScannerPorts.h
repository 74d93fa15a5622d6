#pragma once

#include "kkt/PortDiscovery.h"

// The ports the scanner settings offer: on Windows COM1 .. COM99 as names,
// whether present or not; elsewhere the program's port list (the system's
// serial devices and the entries of the ports folder).
TArrayCom ScannerPortNames(const QString &portsFolder = PortsFolder());

// The speeds a Bee2 scanner can be set to, as decimal texts.
QStringList ScannerSpeeds();
