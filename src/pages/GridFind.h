#pragma once

#include "pages/StringGridModel.h"
#include "pages/TableLayout.h"

#include <QList>

struct CellPos
{
    int row = 0;
    int col = 0;
    bool operator==(const CellPos &) const = default;
};

// The columns a search looks in: a table's text columns (names, barcodes,
// INNs, the GSM values), not its lists, prices and numbers.
QList<int> SearchedColumns(const TableLayout &layout);

// The cells of those columns whose text holds `text` (letter case aside), in
// reading order: row by row, left to right. Nothing for an empty text.
QList<CellPos> FindCells(const StringGridModel &grid, const TableLayout &layout, const QString &text);

// The index in matches (reading order) to go to from `from`: the first match
// after it, or the last one before it going back; at `from` itself too when
// `inclusive`. Past the end it wraps around; -1 without matches.
int NextMatch(const QList<CellPos> &matches, CellPos from, bool forward, bool inclusive = false);
