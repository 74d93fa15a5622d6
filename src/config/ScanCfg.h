#pragma once

#include <QString>

// Scanner settings as Scan.cfg keeps them, all text.
struct TScanCfg
{
    QString ModelName;
    QString ComPort;
    QString SpeedPort;
    // After a code lands in a barcode cell, the selection goes to the next row's
    // barcode cell, so that a pile of goods is scanned row after row.
    bool NextRow = true;
};

enum class ScanCfgRead {
    Guarded, // the start-up read: values between DEL characters lose them
    Plain, // the settings dialog's read: values as they stand
};

// Reads section "CURRENT" of the file at path (created empty when missing);
// missing keys read as empty. False with a Russian reason when the file cannot
// be created or read.
bool LoadScanCfg(const QString &path, TScanCfg &cfg, ScanCfgRead mode = ScanCfgRead::Guarded, QString *error = nullptr);

// Writes the keys as plain values, keeping the rest of the file. "NextRow" is
// "0" or "1"; absent, as in files of earlier versions, it reads as "1" and is
// written only once it is "0" or there already.
bool SaveScanCfg(const QString &path, const TScanCfg &cfg, QString *error = nullptr);
