#pragma once

#include <QString>
#include <QStringList>

// The one scanner model the program knows, as Scan.cfg names it.
inline const QString kModelBee2 = QStringLiteral("Bee2 (RS-232)");

// The model list of the scanner settings: the list position is the model's index.
inline QStringList ScannerModelNames()
{
    return { QStringLiteral("Не использовать сканер"), kModelBee2 };
}
