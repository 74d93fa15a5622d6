#pragma once

#include "config/Config.h"

#include <QDateTime>
#include <QString>

// What a recovery copy belonged to: the configuration file the window showed
// (empty when none was loaded or saved yet) and when the copy was made.
struct RecoveryRecord
{
    QString configFile;
    QDateTime savedAt;
};

// A copy of the unsaved configuration, kept for the next start should this
// one end without a save (a crash, a kill, a logout): the configuration as a
// .conf written by the ordinary configuration save, and a small record beside
// it. Both lie in a folder of the program's own as <name>.conf and
// <name>.ini, each written atomically, the record last.
class RecoveryStore
{
public:
    RecoveryStore(const QString &folder, const QString &name);

    QString configPath() const;
    QString recordPath() const;
    // Either file is there.
    bool exists() const;

    bool write(const TConfig &config, const RecoveryRecord &record, QString *error = nullptr) const;
    // The copy, or false with the reason when it is incomplete or damaged
    // (a key of the configuration missing counts as damage: the program
    // writes every one). config is only changed on success.
    bool read(TConfig &config, RecoveryRecord &record, QString *error = nullptr) const;
    // Both files gone.
    void remove() const;
    // Both files renamed to <name><suffix>.conf and .ini, replacing an
    // earlier pair of those names; the new path of the configuration (empty
    // when it could not be moved: then it is removed, so that it is not
    // offered again and again).
    QString moveAside(const QString &suffix) const;

private:
    QString m_folder;
    QString m_name;
};
