#pragma once

#include "pages/XlsCells.h"

#include <QByteArrayView>

#include <map>
#include <optional>
#include <utility>

// The results of the formula cells of a workbook's first worksheet, as the
// workbook stream of an Excel 97-2003 file holds them (the value the
// spreadsheet showed when it last saved the file). FreeXL hands a formula
// cell back as empty; these are put in its place.
namespace BiffFormulas {
// Rows and columns counted from 0, as the file counts them.
struct Area
{
    quint32 firstRow = 0, lastRow = 0;
    quint16 firstCol = 0, lastCol = 0;
};
using Results = std::map<std::pair<quint32, quint16>, XlsCells::Cell>;

// The formula cells inside `area`: a number, a text, a boolean or an error
// each as its cell, a result that cannot be read (a text without its
// record, or in a file of an older Excel) as Kind::FormulaUnread. Nothing
// when the stream cannot be walked to the end of the first worksheet (cut
// off, a record longer than the stream, no worksheet): then no empty cell
// of the sheet can be told from a formula.
std::optional<Results> Read(QByteArrayView stream, const Area &area);

// A number of a cell as the sheet shows it: 15 significant digits, no
// exponent (a barcode 4600000000001 stays 4600000000001).
QString NumberText(double value);
} // namespace BiffFormulas
