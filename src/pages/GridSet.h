#pragma once

#include "pages/Grids102.h"

#include <array>
#include <memory>

// The grids of both parameter pages, by table kind. GridSet only points at
// grids that someone else owns (the pages); OwnedGrids makes and keeps a full
// set for code without pages (command line, tests).
class GridSet
{
public:
    static constexpr int kCount = kTableKindCount;

    StringGridModel &operator[](TableKind kind) const { return *m_grids[size_t(kind)]; }
    void set(TableKind kind, StringGridModel &grid) { m_grids[size_t(kind)] = &grid; }
    bool complete() const;

private:
    std::array<StringGridModel *, kCount> m_grids {};
};

class OwnedGrids
{
public:
    OwnedGrids(); // every grid in its start state
    const GridSet &set() const { return m_set; }
    StringGridModel &operator[](TableKind kind) const { return m_set[kind]; }

private:
    std::array<std::unique_ptr<StringGridModel>, GridSet::kCount> m_owned;
    GridSet m_set;
};
