#pragma once

#include "pages/GridSet.h"
#include "pages/TableKind.h"

#include <QString>

#include <array>
#include <vector>

// What each grid held when it last matched a file or the register (loaded,
// saved, read or written): a cell that differs from it now is one the user
// edited since, and a read or a file load over it would lose the edit.
class EditBaseline
{
public:
    // The whole grid matches a file now.
    void take(TableKind kind, const StringGridModel &grid);
    void takeAll(const GridSet &grids);
    // Rows from..to of the grid match the register now.
    void takeRows(TableKind kind, const StringGridModel &grid, int from, int to);

    // How many cells of rows from..to differ from what they held then (a grid
    // never taken held empty cells).
    int editedCells(TableKind kind, const StringGridModel &grid, int from, int to) const;
    int editedCells(const GridSet &grids) const;

private:
    struct Held
    {
        int rows = 0;
        int cols = 0;
        std::vector<QString> cells; // row by row
        QString at(int row, int col) const;
    };
    std::array<Held, GridSet::kCount> m_held;
};
