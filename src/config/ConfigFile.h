#pragma once

#include "config/Config.h"

#include <QString>

#include <vector>

// The configuration file (*.conf): every value of TConfig except the scanner
// settings, guarded, in fixed sections and keys.

// Key names of the "GSM" section and of the agent section; empty text for an
// entry that has no key. Agent entry 11 (the payment agent's operation) is
// carried under keys of its own after the eleven original pairs.
QString GetGsmKeyName(int n);
QString GetAgentValueKeyName(int n);
QString GetAgentFontKeyName(int n);

// Writes cfg.Gsm and cfg.Cfg102 into the file at path, keeping whatever else
// the file holds. On failure the previous file stays whole and *error tells why.
bool SaveConfigFile(const QString &path, const TConfig &cfg, QString *error = nullptr);
// The same into a file of the configuration alone: whatever the file at path
// held is replaced, not read (a copy of the program's own, written often).
bool SaveNewConfigFile(const QString &path, const TConfig &cfg, QString *error = nullptr);

// Reads cfg.Gsm and cfg.Cfg102 from the file at path; absent keys read as empty
// text, font keys as "Узкий"; a missing file reads as all defaults. cfg.Scan is
// never touched. On failure cfg stays as it was. *keysFound, when asked for,
// tells how many of the configuration's keys the file holds (0: a file of
// another kind, or an empty one); *missing, when asked for, gets the keys it
// lacks (see MissingConfigKey), found in the same pass.
struct MissingConfigKey;
bool LoadConfigFile(const QString &path, TConfig &cfg, QString *error = nullptr, int *keysFound = nullptr,
    std::vector<MissingConfigKey> *missing = nullptr);

class TmyIniFile;
// One value of a configuration file: the place of its key in writing order
// (0 for the first GSM key) and its text.
struct ConfigValue
{
    int place;
    QStringView text; // in the store's text, unguarded: valid while the store lives
};
// The values the reads of every key of the configuration find in a loaded
// store, ordered by place.
std::vector<ConfigValue> ParseConfigFile(const TmyIniFile &ini);

// The parts of the file, in its order; each is one table of the pages.
enum class ConfigPart { Gsm, Oper, Goods, Usl, Klishe, Agent, Factory, Station };
// A key of the configuration a file lacks, in writing order (a file cut in
// the middle lacks the keys of its end): its part, section and name. Files
// written before the twelfth agent entry existed lack its keys: that is no
// damage, and they are not listed.
struct MissingConfigKey
{
    ConfigPart part;
    QString section;
    QString key;
};
