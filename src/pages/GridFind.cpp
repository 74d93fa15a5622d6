#include "pages/GridFind.h"

#include <algorithm>

namespace {
bool Before(const CellPos &a, const CellPos &b)
{
    return a.row < b.row || (a.row == b.row && a.col < b.col);
}
} // namespace

QList<int> SearchedColumns(const TableLayout &layout)
{
    QList<int> cols;
    for (int col = 1; col < layout.cols; ++col) {
        const ColumnLayout &column = layout.column(col);
        const EditRule edit = column.rule.edit;
        if (column.searched && !column.hidden && edit != EditRule::List && edit != EditRule::None)
            cols << col;
    }
    return cols;
}

QList<CellPos> FindCells(const StringGridModel &grid, const TableLayout &layout, const QString &text)
{
    QList<CellPos> found;
    if (text.isEmpty())
        return found;
    const QList<int> cols = SearchedColumns(layout);
    for (int row = 1; row <= layout.maxRow(); ++row)
        for (int col : cols)
            if (grid.cell(row, col).contains(text, Qt::CaseInsensitive))
                found.append({ row, col });
    return found;
}

int NextMatch(const QList<CellPos> &matches, CellPos from, bool forward, bool inclusive)
{
    if (matches.isEmpty())
        return -1;
    if (forward) {
        const auto at = inclusive ? std::lower_bound(matches.begin(), matches.end(), from, Before)
                                  : std::upper_bound(matches.begin(), matches.end(), from, Before);
        return at == matches.end() ? 0 : int(at - matches.begin());
    }
    const auto at = inclusive ? std::upper_bound(matches.begin(), matches.end(), from, Before)
                              : std::lower_bound(matches.begin(), matches.end(), from, Before);
    return at == matches.begin() ? int(matches.size()) - 1 : int(at - matches.begin()) - 1;
}
