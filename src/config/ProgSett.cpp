#include "config/ProgSett.h"

#include "config/IniFileUtil.h"
#include "config/classMyIniFile.h"

using namespace Qt::StringLiterals;

namespace {
const QString kSectionPort = u"COM_PORT"_s;
const QString kSectionCommon = u"COMMON"_s;
const QString kKeyName = u"Name"_s;
const QString kKeySpeed = u"Speed"_s;
const QString kKeyTimeOut = u"TimeOut"_s;
const QString kKeyNumKKT = u"NumKKT"_s;

// Speed and time-out are unsigned: a negative number in the file is as invalid as text.
quint32 ReadUnsigned(const TmyIniFile &ini, const QString &key, quint32 defaultValue)
{
    const qint32 value = ini.ReadInteger(kSectionPort, key, qint32(defaultValue));
    return value < 0 ? defaultValue : quint32(value);
}
} // namespace

bool LoadIniSettings(const QString &path, TStructSetting &sett, QString *error)
{
    if (!CreateIfMissing(path, error))
        return false;
    const TmyIniFile ini(path);
    if (!ini.isLoaded())
        return SetError(error, ini.errorString());
    sett.PortSett.Name = ini.mReadString(kSectionPort, kKeyName, QString());
    sett.PortSett.Speed = ReadUnsigned(ini, kKeySpeed, ProgSett::kDefaultSpeed);
    sett.PortSett.TimeOut = ReadUnsigned(ini, kKeyTimeOut, ProgSett::kDefaultTimeOut);
    sett.NumKKT = ini.ReadInteger(kSectionCommon, kKeyNumKKT, ProgSett::kDefaultNumKKT);
    return true;
}

bool SaveIniSettings(const QString &path, const TStructSetting &sett, QString *error)
{
    TmyIniFile ini(path);
    if (!ini.isLoaded())
        return SetError(error, ini.errorString());
    ini.mWriteString(kSectionPort, kKeyName, sett.PortSett.Name);
    ini.WriteString(kSectionPort, kKeySpeed, QString::number(sett.PortSett.Speed));
    ini.WriteString(kSectionPort, kKeyTimeOut, QString::number(sett.PortSett.TimeOut));
    ini.WriteInteger(kSectionCommon, kKeyNumKKT, sett.NumKKT);
    if (!ini.UpdateFile())
        return SetError(error, ini.errorString());
    return true;
}

KktConnection MakeKktConnection(const TStructSetting &sett)
{
    KktConnection conn;
    conn.Name = sett.PortSett.Name;
    conn.Speed = sett.PortSett.Speed;
    conn.TimeOut = sett.PortSett.TimeOut;
    conn.NumKKT = sett.NumKKT;
    conn.Pause = 0;
    return conn;
}
