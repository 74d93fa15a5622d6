#pragma once

#include "pages/StringGridModel.h"

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

// The cells of row 1..6000.
GoodsCells Read(const StringGridModel &goods, int row);

// Writes rows 1..6000 from cells[0..5999], columns firstCol..lastCol only, with one change signal.
void ApplyAll(StringGridModel &goods, const std::vector<GoodsCells> &cells, int firstCol = 1, int lastCol = 6);
} // namespace GoodsRows

// What a goods file operation reports: ok, the text to show (an error when not
// ok, an information otherwise; empty when nothing is to be shown) and the
// number of goods rows it brought in.
struct GoodsFileResult
{
    bool ok = false;
    QString message;
    int count = 0;

    static GoodsFileResult Failure(const QString &text) { return { false, text, 0 }; }
    static GoodsFileResult Success(const QString &text = {}, int count = 0) { return { true, text, count }; }
};
