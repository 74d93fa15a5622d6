#pragma once

#include <QString>

// Scanner settings as Scan.cfg keeps them, all text.
struct TScanCfg
{
    QString ModelName;
    QString ComPort;
    QString SpeedPort;
};

enum class ScanCfgRead {
    Guarded, // the start-up read: values between DEL characters lose them
    Plain, // the settings dialog's read: values as they stand
};

// Reads section "CURRENT" of the file at path (created empty when missing);
// missing keys read as empty. False with a Russian reason when the file cannot
// be created or read.
bool LoadScanCfg(const QString &path, TScanCfg &cfg, ScanCfgRead mode = ScanCfgRead::Guarded, QString *error = nullptr);

// Writes the three keys as plain values, keeping the rest of the file.
bool SaveScanCfg(const QString &path, const TScanCfg &cfg, QString *error = nullptr);
