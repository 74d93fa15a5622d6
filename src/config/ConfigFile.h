#pragma once

#include "config/Config.h"

#include <QString>

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

// Reads cfg.Gsm and cfg.Cfg102 from the file at path; absent keys read as empty
// text, font keys as "Узкий"; a missing file reads as all defaults. cfg.Scan is
// never touched. On failure cfg stays as it was. *keysFound, when asked for,
// tells how many of the configuration's keys the file holds (0: a file of
// another kind, or an empty one).
bool LoadConfigFile(const QString &path, TConfig &cfg, QString *error = nullptr, int *keysFound = nullptr);
