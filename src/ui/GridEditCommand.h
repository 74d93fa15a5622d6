#pragma once

#include "pages/GridDelta.h"

#include <QUndoCommand>

#include <optional>
#include <vector>

class StringGridModel;

// One step of the grids' history: the old texts of the cells a change touched
// in one or more grids. Undo and redo both exchange them with the cells.
// Keys typed into one cell during one edit make one step.
class GridEditCommand : public QUndoCommand
{
public:
    // The edit a typed change belongs to: its grid, cell and the grid's edit number.
    struct Typing
    {
        const StringGridModel *grid;
        int row;
        int col;
        int edit;
        bool operator==(const Typing &) const = default;
    };

    // The change is done already: the first redo, at the push, does nothing.
    GridEditCommand(const QString &label, std::vector<GridDelta> deltas, std::optional<Typing> typing = {});

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

    qsizetype bytes() const;

private:
    std::vector<GridDelta> m_deltas;
    std::optional<Typing> m_typing;
    bool m_done = true;
};
