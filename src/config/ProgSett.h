#pragma once

#include "kkt/KktTransaction.h"

#include <QString>

// KKT port settings. Handle is the slot of the open port while the program
// runs; it is never stored.
struct TPortSett
{
    QString Name;
    quint32 Speed = 19200;
    quint32 TimeOut = 3500; // ms
    quintptr Handle = 0;
};

struct TStructSetting
{
    qint32 NumKKT = 0;
    TPortSett PortSett;
};

namespace ProgSett {
constexpr quint32 kDefaultSpeed = 19200;
constexpr quint32 kDefaultTimeOut = 3500;
constexpr qint32 kDefaultNumKKT = 0;
} // namespace ProgSett

// Reads ProgSett.ini at path into sett, creating an empty file when it is
// missing. False (with a Russian reason in *error) when the file cannot be
// created, opened or decoded; fields read so far keep their new values.
bool LoadIniSettings(const QString &path, TStructSetting &sett, QString *error = nullptr);

// Writes the four keys into the file at path, keeping its other content.
bool SaveIniSettings(const QString &path, const TStructSetting &sett, QString *error = nullptr);

// The connection values every KKT request takes, from the program settings.
KktConnection MakeKktConnection(const TStructSetting &sett);
