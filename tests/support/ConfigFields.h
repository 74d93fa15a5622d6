#pragma once

#include "config/Config.h"

#include <QStringList>

// Every text field of cfg.Gsm and cfg.Cfg102 in declaration order, for
// comparing whole configurations and for filling them with test values.
QList<QString *> ConfigFields(TConfig &cfg);
QStringList ConfigTexts(const TConfig &cfg);
// Gives every field a distinct awkward value: blanks at the ends, Cyrillic,
// "=", ";" and brackets inside.
void FillDistinct(TConfig &cfg, const QString &salt = {});
