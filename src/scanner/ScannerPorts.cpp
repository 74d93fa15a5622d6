#include "scanner/ScannerPorts.h"

TArrayCom ScannerPortNames(const QString &portsFolder)
{
    TArrayCom ports;
#ifdef Q_OS_WIN
    Q_UNUSED(portsFolder);
    for (int i = 1; i <= 99; ++i)
        ports << QStringLiteral("COM") + QString::number(i);
#else
    GetCOM_Loop(ports, portsFolder);
#endif
    return ports;
}

QStringList ScannerSpeeds()
{
    return { QStringLiteral("600"), QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("4800"),
        QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"), QStringLiteral("57600"),
        QStringLiteral("115200") };
}
