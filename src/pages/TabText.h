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

// How a column of a block is to reach a spreadsheet.
enum class HtmlColumn {
    Text, // kept as text, as it stands
    Price, // a number where the text is a plain price (PriceAsNumber), else text
};

// The block as an HTML table for the clipboard. A spreadsheet takes an
// unmarked cell for whatever it looks like (a barcode for a number that
// loses its leading zeros, "1/2" for a date), so every cell carries the text
// format of both spreadsheets that read the HTML: LibreOffice's
// sdnum="1049;0;@" and Excel's mso-number-format:'\@'. A plain price in a
// Price column goes as a number instead (LibreOffice's sdval and Excel's
// x:num), shown with the decimals the grid has (sdnum "0.00" and
// mso-number-format '0\.00' for 12.50), so that the cell computes and still
// copies back as the same text. Columns beyond `columns` are Text.
QString ToHtmlTable(const TextBlock &block, const QList<HtmlColumn> &columns = {});
