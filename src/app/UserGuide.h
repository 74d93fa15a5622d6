#pragma once

#include <QString>
#include <QStringList>

class QMenuBar;
class QWidget;

// The user guide: one HTML page with its pictures, installed with the program
// (/usr/share/doc/kktconf) or beside a portable copy, opened in the browser
// from "Справка" -> "Руководство" (F1).
namespace UserGuide {
// Where the guide may be, for a program in appFolder, most likely first:
// the installed layout relative to the program (bin/../share/doc/kktconf,
// a build tree too), a doc folder beside a portable copy, /usr/share/doc/kktconf.
QStringList Places(const QString &appFolder);
// The first of Places that is there; empty when none is.
QString Find(const QString &appFolder);
// Opens the guide in the system's viewer; a clear message when it is not
// there or nothing could show it.
void Open(QWidget *parent, const QString &appFolder);
// "Справка" with "Руководство" (F1) at the end of the menu bar.
void AddMenu(QMenuBar *bar, QWidget *window);
} // namespace UserGuide
