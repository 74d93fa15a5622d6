#include "kkt/SerialLinkFactory.h"

#include "kkt/QtSerialLink.h"
#ifdef Q_OS_UNIX
#include "kkt/PosixSerialLink.h"
#endif

SerialLinkKind DefaultSerialLinkKind()
{
#ifdef Q_OS_UNIX
    return SerialLinkKind::Posix;
#else
    return SerialLinkKind::Qt;
#endif
}

QList<SerialLinkKind> BuiltSerialLinkKinds()
{
#ifdef Q_OS_UNIX
    return { SerialLinkKind::Posix, SerialLinkKind::Qt };
#else
    return { SerialLinkKind::Qt };
#endif
}

QString SerialLinkKindName(SerialLinkKind kind)
{
    return kind == SerialLinkKind::Posix ? QStringLiteral("posix") : QStringLiteral("qt");
}

std::unique_ptr<SerialLink> MakeSerialLink(SerialLinkKind kind, const QString &portsFolder)
{
#ifdef Q_OS_UNIX
    if (kind == SerialLinkKind::Posix)
        return std::make_unique<PosixSerialLink>(portsFolder);
#else
    Q_UNUSED(kind);
#endif
    return std::make_unique<QtSerialLink>(portsFolder);
}
