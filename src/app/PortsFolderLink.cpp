#include "app/PortsFolderLink.h"

#include "kkt/PortDiscovery.h"

bool PortsFolderLink::open(const QString &name, quint32 speed, quint32 totalTimeOutMs)
{
    const QString device = PortDevicePath(name, m_portsFolder);
    if (device.isEmpty()) {
        m_port.close();
        return false;
    }
    return m_port.open(device, speed, totalTimeOutMs);
}
