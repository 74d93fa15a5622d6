#pragma once

#include "pages/TableKind.h"

#include <QObject>

class StringGridModel;

// Keeps a Stored mark on every cell of a table whose value a write would not
// bring to the register as the cell says it (cut to the field, characters the
// register lacks, a number or an address that does not fit), its reason saying
// what the register gets and why, as the cells are typed, loaded, imported or
// read. The user sees it before writing, not in the register afterwards.
class StoreMarks : public QObject
{
    Q_OBJECT
public:
    // Watches the grid (and lives as its child).
    StoreMarks(TableKind kind, StringGridModel &grid);

    // Marks rows from..to afresh.
    void refresh(int from, int to);

private:
    TableKind m_kind;
    StringGridModel &m_grid;
};

// Marks the grid's cells of a verification difference, cleared by the cell's
// next change or by clearDifferences (the next run).
struct VerifyDifference;
void MarkDifference(StringGridModel &grid, const VerifyDifference &difference);
