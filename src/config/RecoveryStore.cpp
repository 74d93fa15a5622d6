#include "config/RecoveryStore.h"

#include "config/ConfigFile.h"
#include "config/IniFileUtil.h"
#include "config/classMyIniFile.h"

#include <QDir>
#include <QFile>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QString kSection = u"RECOVERY"_s;
const QString kKeyFile = u"File"_s;
const QString kKeyTime = u"Time"_s;

// A file in place of another, whatever was there under the new name.
bool Replace(const QString &from, const QString &to)
{
    if (!QFile::exists(from))
        return true;
    QFile::remove(to);
    return QFile::rename(from, to);
}
} // namespace

RecoveryStore::RecoveryStore(const QString &folder, const QString &name)
    : m_folder(folder)
    , m_name(name)
{ }

QString RecoveryStore::configPath() const
{
    return QDir(m_folder).filePath(m_name + u".conf"_s);
}

QString RecoveryStore::recordPath() const
{
    return QDir(m_folder).filePath(m_name + u".ini"_s);
}

bool RecoveryStore::exists() const
{
    return QFile::exists(configPath()) || QFile::exists(recordPath());
}

bool RecoveryStore::write(const TConfig &config, const RecoveryRecord &record, QString *error) const
{
    if (!SaveNewConfigFile(configPath(), config, error))
        return false;
    TmyIniFile ini(recordPath(), QByteArray());
    ini.mWriteString(kSection, kKeyFile, record.configFile);
    ini.WriteString(kSection, kKeyTime, record.savedAt.toString(Qt::ISODate));
    return ini.UpdateFile() || SetError(error, ini.errorString());
}

bool RecoveryStore::read(TConfig &config, RecoveryRecord &record, QString *error) const
{
    const TmyIniFile ini(recordPath());
    if (!ini.isLoaded())
        return SetError(error, ini.errorString());
    const QDateTime savedAt = QDateTime::fromString(ini.ReadString(kSection, kKeyTime, QString()), Qt::ISODate);
    if (!savedAt.isValid())
        return SetError(error, u"Нет записи о времени копии."_s);
    if (!QFile::exists(configPath()))
        return SetError(error, u"Нет файла копии."_s);
    auto read = std::make_unique<TConfig>();
    std::vector<MissingConfigKey> missing;
    if (!LoadConfigFile(configPath(), *read, error, nullptr, &missing))
        return false;
    if (!missing.empty())
        return SetError(error, u"В копии нет %1 параметров конфигурации."_s.arg(missing.size()));
    config.Gsm = std::move(read->Gsm);
    config.Cfg102 = std::move(read->Cfg102);
    record.configFile = ini.mReadString(kSection, kKeyFile, QString());
    record.savedAt = savedAt;
    return true;
}

void RecoveryStore::remove() const
{
    // The record first: a configuration without it is never offered.
    QFile::remove(recordPath());
    QFile::remove(configPath());
}

QString RecoveryStore::moveAside(const QString &suffix) const
{
    const RecoveryStore aside(m_folder, m_name + suffix);
    if (Replace(configPath(), aside.configPath()) && Replace(recordPath(), aside.recordPath()))
        return aside.configPath();
    remove();
    return QString();
}
