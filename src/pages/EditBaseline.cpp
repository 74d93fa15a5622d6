#include "pages/EditBaseline.h"

#include "pages/StringGridModel.h"

QString EditBaseline::Held::at(int row, int col) const
{
    return row < rows && col < cols ? cells[size_t(row * cols + col)] : QString();
}

void EditBaseline::take(TableKind kind, const StringGridModel &grid)
{
    Held &held = m_held[size_t(kind)];
    held.rows = grid.rows();
    held.cols = grid.cols();
    held.cells.assign(size_t(held.rows * held.cols), QString());
    takeRows(kind, grid, 1, grid.rows() - 1);
}

void EditBaseline::takeAll(const GridSet &grids)
{
    for (int k = 0; k < GridSet::kCount; ++k)
        take(TableKind(k), grids[TableKind(k)]);
}

void EditBaseline::takeRows(TableKind kind, const StringGridModel &grid, int from, int to)
{
    Held &held = m_held[size_t(kind)];
    if (held.rows != grid.rows() || held.cols != grid.cols())
        return take(kind, grid);
    for (int row = qMax(from, 1); row <= qMin(to, grid.rows() - 1); ++row)
        for (int col = 1; col < grid.cols(); ++col)
            held.cells[size_t(row * held.cols + col)] = grid.cell(row, col);
}

int EditBaseline::editedCells(TableKind kind, const StringGridModel &grid, int from, int to) const
{
    const Held &held = m_held[size_t(kind)];
    int edited = 0;
    for (int row = qMax(from, 1); row <= qMin(to, grid.rows() - 1); ++row)
        for (int col = 1; col < grid.cols(); ++col)
            edited += held.at(row, col) != grid.cell(row, col);
    return edited;
}

int EditBaseline::editedCells(const GridSet &grids) const
{
    int edited = 0;
    for (int k = 0; k < GridSet::kCount; ++k) {
        const auto kind = TableKind(k);
        edited += editedCells(kind, grids[kind], 1, grids[kind].rows() - 1);
    }
    return edited;
}
