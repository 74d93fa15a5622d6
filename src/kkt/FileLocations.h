#pragma once

#include <QString>

// Where the program and its tools keep their files. Decided once per process,
// the same way in the window, kkt-cli and both emulators, so that they all
// meet in one ports folder:
// - a portable copy (the programs' folder is writable and is no installed
//   tree): ProgSett.ini, Scan.cfg, ports/ and the program's own data beside
//   the executables;
// - an installed program: the settings in the user's configuration folder,
//   ports/ and the program's own data in the user's data folder, both under
//   "kktconf".
// An installed tree is told by the helper folder beside bin/ (lib/kktconf,
// where the package puts kkt-xls-reader): root may write /usr/bin, yet the
// settings of an installed program never belong there.
struct FileLocations
{
    bool portable = true;
    QString settingsFolder; // ProgSett.ini, Scan.cfg, Window.ini
    QString portsFolder; // links to tty devices; the emulators publish theirs here
    QString dataFolder; // what the program keeps for itself (the copy of unsaved edits)
    QString helperFolder; // kkt-xls-reader, when installed; empty in a portable copy

    // The decision for programs in programFolder; the user's folders are given
    // (QStandardPaths' configuration and data folders) so that a test can choose them.
    static FileLocations Decide(
        const QString &programFolder, const QString &userConfigFolder, const QString &userDataFolder);
    // This process's decision, made at the first call from the executable's folder.
    static const FileLocations &Current();

    // Creates the settings folder when it is missing; false with the reason otherwise.
    bool createSettingsFolder(QString *error = nullptr) const;

    // One line for the exchange log: which case it is and both folders.
    QString describe() const;
};

// Where kkt-xls-reader lies relative to the programs' folder in an installed tree.
QString InstalledHelperFolder(const QString &programFolder);
