#pragma once

#include <QString>

// The folder each kind of file dialog showed last (a configuration, a goods
// file, a log...), kept in the program's own settings file so that the next
// dialog of that kind, also after a restart, opens there.
namespace DialogFolders {
// The settings file to keep them in; empty (the default) keeps nothing.
void SetStore(const QString &iniPath);
// The folder last remembered for the kind, or empty.
QString Last(const QString &kind);
// Remembers the folder of a file the user chose.
void Remember(const QString &kind, const QString &chosenFile);
} // namespace DialogFolders
