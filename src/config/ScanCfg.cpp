#include "config/ScanCfg.h"

#include "config/IniFileUtil.h"
#include "config/classMyIniFile.h"

using namespace Qt::StringLiterals;

namespace {
const QString kSection = u"CURRENT"_s;
const QString kKeyModel = u"ModelName"_s;
const QString kKeyPort = u"ComPort"_s;
const QString kKeySpeed = u"SpeedPort"_s;
const QString kKeyNextRow = u"NextRow"_s;

} // namespace

bool LoadScanCfg(const QString &path, TScanCfg &cfg, ScanCfgRead mode, QString *error)
{
    if (!CreateIfMissing(path, error))
        return false;
    const TmyIniFile ini(path);
    if (!ini.isLoaded())
        return SetError(error, ini.errorString());
    const auto read = [&](const QString &key) {
        return mode == ScanCfgRead::Guarded ? ini.mReadString(kSection, key, QString())
                                            : ini.ReadString(kSection, key, QString());
    };
    cfg.ModelName = read(kKeyModel);
    cfg.ComPort = read(kKeyPort);
    cfg.SpeedPort = read(kKeySpeed);
    cfg.NextRow = read(kKeyNextRow).trimmed() != u"0"_s;
    return true;
}

bool SaveScanCfg(const QString &path, const TScanCfg &cfg, QString *error)
{
    TmyIniFile ini(path);
    if (!ini.isLoaded())
        return SetError(error, ini.errorString());
    ini.WriteString(kSection, kKeyModel, cfg.ModelName);
    ini.WriteString(kSection, kKeyPort, cfg.ComPort);
    ini.WriteString(kSection, kKeySpeed, cfg.SpeedPort);
    // Written once the user turned it off: a file of an earlier version stays as it was.
    if (!cfg.NextRow || ini.ValueExists(kSection, kKeyNextRow))
        ini.WriteString(kSection, kKeyNextRow, cfg.NextRow ? u"1"_s : u"0"_s);
    return ini.UpdateFile() || SetError(error, ini.errorString());
}
