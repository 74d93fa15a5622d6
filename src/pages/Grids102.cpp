#include "pages/Grids102.h"

GridShape ShapeOf(TableKind kind)
{
    const TableLayout &layout = LayoutOf(kind);
    return { layout.rows, layout.cols };
}

QStringList ColumnTitles(TableKind kind)
{
    QStringList titles;
    for (const ColumnLayout &column : LayoutOf(kind).columns)
        titles << column.title;
    return titles;
}

QString RowTitle(TableKind kind, int row)
{
    return LayoutOf(kind).rowTitle(row);
}

void InitGrid(TableKind kind, StringGridModel &grid)
{
    const TableLayout &layout = LayoutOf(kind);
    const GridBulkUpdate bulk(grid);
    for (int col = 0; col < grid.cols(); ++col)
        grid.setCell(0, col, layout.column(col).title);
    for (int row = 1; row < grid.rows(); ++row) {
        grid.setCell(row, 0, layout.rowTitle(row));
        for (int col = 1; col < grid.cols(); ++col)
            grid.setCell(row, col, layout.column(col).startValue);
    }
}

std::unique_ptr<StringGridModel> MakeGrid(TableKind kind, QObject *parent)
{
    const GridShape shape = ShapeOf(kind);
    auto grid = std::make_unique<StringGridModel>(shape.rows, shape.cols, parent);
    InitGrid(kind, *grid);
    return grid;
}
