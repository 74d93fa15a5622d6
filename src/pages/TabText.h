#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A block of cell texts as spreadsheets put it on the clipboard: rows of cells.
using TextBlock = QList<QStringList>;

// Reads tab-separated text as spreadsheets and text editors write it: rows end
// in LF, CR LF or CR; a cell that starts with a double quote runs to its
// closing quote, tabs and line ends included, a doubled quote standing for
// one. The line end after the last row is no row of its own. Rows may differ
// in length.
TextBlock ParseTabText(const QString &text);

// The block as tab-separated text, cells with a tab, a line end or a leading
// quote quoted as spreadsheets quote them; every row ended by LF.
QString ToTabText(const TextBlock &block);

// The block as an HTML table, every cell kept as text (spreadsheets would
// otherwise take a barcode for a number and drop its leading zeros).
QString ToHtmlTable(const TextBlock &block);
