#pragma once

#include "pages/PageResult.h"
#include "pages/StringGridModel.h"
#include "pages/TableLayout.h"

#include <QString>

#include <array>
#include <vector>

// Goods rows as the files carry them: the six cells of columns 1..6 of one row
// of the goods grid (name, font, barcode, price, section, mark).
using GoodsCells = std::array<QString, 6>;

namespace GoodsRows {
constexpr int kCount = 6000;

// What a file operation puts into a row it resets or finds no value for.
const GoodsCells &Defaults();

// A name from another program's file as the goods grid keeps it: cut to the
// 24 characters of the register's field, the most typing makes in a name cell
// (a wide font's 12 are not forced on it: the grid keeps a longer name when
// only its font is changed, and an export must import back as it was).
QString StoredName(const QString &name);

// The rows 1..6000, in order, that hold a character Windows-1251 lacks in any
// of their cells: a goods file in that code page holds "?" in its place.
QList<int> RowsOutsideCp1251(const StringGridModel &goods);

// The cells of row 1..6000.
GoodsCells Read(const StringGridModel &goods, int row);

// Writes rows 1..6000 from cells[0..5999], columns firstCol..lastCol only, with one change signal.
void ApplyAll(StringGridModel &goods, const std::vector<GoodsCells> &cells, int firstCol = GoodsCol::Name,
    int lastCol = GoodsCol::Mark);
} // namespace GoodsRows
