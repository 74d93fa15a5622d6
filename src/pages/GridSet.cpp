#include "pages/GridSet.h"

#include <algorithm>

bool GridSet::complete() const
{
    return std::all_of(m_grids.begin(), m_grids.end(), [](const StringGridModel *g) { return g != nullptr; });
}

OwnedGrids::OwnedGrids()
{
    for (int i = 0; i < GridSet::kCount; ++i) {
        const auto kind = TableKind(i);
        m_owned[size_t(i)] = MakeGrid(kind);
        m_set.set(kind, *m_owned[size_t(i)]);
    }
}
