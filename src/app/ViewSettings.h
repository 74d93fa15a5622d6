#pragma once

#include <QString>

class QTableView;
class QWidget;

// The program's own settings file (Window.ini beside ProgSett.ini, whose keys
// stay as they are): the window's geometry, the grids' column widths, and the
// exchange log's file. Qt's INI format; the file dialogs' last folders live
// in it too (DialogFolders).
class TViewSettings
{
public:
    static constexpr auto kFileName = "Window.ini";

    explicit TViewSettings(const QString &settingsFolder);
    QString path() const { return m_path; }

    // The window as it was left (size, place, maximised), kept on a screen that
    // is there now; false when nothing was stored.
    bool restoreWindow(QWidget *window) const;
    void saveWindow(const QWidget *window) const;

    // Column widths by the grid's object name; widths that do not fit the grid are ignored.
    void restoreColumns(QTableView *view) const;
    void saveColumns(const QTableView *view) const;

    // The file every exchange is appended to, and whether that is on.
    QString logFile() const;
    bool logToFile() const;
    void setLogFile(const QString &path, bool on) const;

private:
    QString m_path;
};
