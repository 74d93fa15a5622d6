#pragma once

#include "pages/StringGridModel.h"
#include "pages/TableLayout.h"

#include <QStringList>

#include <memory>

// The grids of the two parameter pages: their shapes, titles and start values,
// as their layouts describe them.

struct GridShape
{
    int rows; // title row included
    int cols; // title column included
};
GridShape ShapeOf(TableKind kind);
// The highest data row (6 operators, 6000 goods, ...).
inline int MaxRowOf(TableKind kind)
{
    return ShapeOf(kind).rows - 1;
}

// Column titles (row 0), row titles (column 0) and start values of the cells.
QStringList ColumnTitles(TableKind kind);
QString RowTitle(TableKind kind, int row);
// Resets the whole grid to the page's start state; the grid must have the kind's shape.
void InitGrid(TableKind kind, StringGridModel &grid);
std::unique_ptr<StringGridModel> MakeGrid(TableKind kind, QObject *parent = nullptr);
