#pragma once

#include <QStringList>

class StringGridModel;

// The goods grid as text, for tests that compare what an import left in it.
// Row `row`'s six cells joined by "|".
QString GoodsRowText(const StringGridModel &goods, int row);
// Rows 1..6000 with their Adjusted marks, to compare whole grids.
QString GoodsWithMarks(const StringGridModel &goods);
// The Adjusted marks of a row as "column: reason" lines.
QStringList AdjustedMarks(const StringGridModel &goods, int row);
