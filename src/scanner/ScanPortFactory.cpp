#include "scanner/ScanPort.h"

#ifdef Q_OS_UNIX
#include "scanner/PosixScanPort.h"
#else
#include "scanner/QtScanPort.h"
#endif

std::unique_ptr<ScanPort> MakeScanPort(const QString &portsFolder)
{
#ifdef Q_OS_UNIX
    return std::make_unique<PosixScanPort>(portsFolder);
#else
    return std::make_unique<QtScanPort>(portsFolder);
#endif
}
