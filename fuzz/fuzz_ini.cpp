// The INI store: loading any bytes, then reading, writing and serialising.
#include "FuzzSupport.h"

#include "config/classMyIniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = WriteFuzzFile(data, size, "ini");
    TmyIniFile ini(path);
    if (!ini.isLoaded())
        return 0;
    const QString section = QStringLiteral("COM_PORT");
    (void)ini.mReadString(section, QStringLiteral("Name"), QString());
    (void)ini.ReadInteger(section, QStringLiteral("Speed"), 19200);
    ini.mWriteString(section, QStringLiteral("Name"), QStringLiteral(" COM1 "));
    ini.WriteInteger(QStringLiteral("COMMON"), QStringLiteral("NumKKT"), 7);
    // What the store writes must load again to the same store.
    const QByteArray bytes = ini.toBytes();
    const QString again = WriteFuzzFile(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()), "ini2");
    TmyIniFile reloaded(again);
    if (!reloaded.isLoaded() || reloaded.toBytes() != bytes
        || reloaded.mReadString(section, QStringLiteral("Name"), QString()) != QStringLiteral(" COM1 "))
        qFatal("the INI store does not read back what it wrote");
    return 0;
}
