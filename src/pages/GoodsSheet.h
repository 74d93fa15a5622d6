#pragma once

#include "pages/StringGridModel.h"

#include <QString>
#include <QStringList>

#include <optional>

// The goods base laid out as the workbook import reads it (see xlsTool.h):
// a heading row, then goods row r on sheet row r + 1, sheet columns A to G.
// The exports to spreadsheets (CSV, tab-separated text, .xlsx) write this, so
// that each imports back through the one workbook import.
namespace GoodsSheet {
constexpr int kColumns = 7; // A .. G

// How a sheet cell must reach a spreadsheet to come back as it was.
enum class Kind {
    Code, // digits that are a code, never a number: the goods number, barcode, section
    Text, // any text
    Price, // a number where it is one (see PriceNumber)
};

// Sheet column 1 .. kColumns.
Kind KindOf(int sheetColumn);
// Column A holds the goods number for the reader's eye (the import places
// goods by their sheet row) and column B nothing, as the import reads neither.
QStringList Heading();
// The kColumns texts of goods row 1 .. 6000.
QStringList Cells(const StringGridModel &goods, int row);
} // namespace GoodsSheet

// A price text a spreadsheet may keep as a number and give back as the same
// text: digits without a leading zero (but "0" itself), an optional point
// with 1 to 6 digits after it, 15 significant digits at most (exact in a
// double). The number format that shows it again has `decimals` places.
struct PriceNumber
{
    double value = 0;
    int decimals = 0;
};
std::optional<PriceNumber> PriceAsNumber(const QString &text);
