#pragma once

#include "pages/GridDelta.h"

#include <QUndoCommand>

#include <functional>
#include <optional>
#include <vector>

class StringGridModel;

// One step of the grids' history: the old texts of the cells a change touched
// in one or more grids. Undo and redo both exchange them with the cells.
// Keys typed into one cell during one edit make one step.
//
// Each step names the state of the grids it was made on and the state it
// leaves (numbers the history gives out; a typed key merged in gives the step
// a new one), so that "as saved" is a state, wherever the history moves.
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

    // What a step changes beside the cells (a file loaded: the file's name,
    // what the grids matched, the state saved in that file). swap exchanges
    // the state it holds with the window's; undo and redo both call it.
    struct Side
    {
        std::function<void()> swap;
        quint64 otherSaved = 0;
    };

    // The change is done already: the first redo, at the push, does nothing.
    GridEditCommand(const QString &label, std::vector<GridDelta> deltas, std::optional<Typing> typing = {});
    GridEditCommand(const QString &label, std::vector<GridDelta> deltas, Side side);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

    qsizetype bytes() const;

    void setStates(quint64 before, quint64 after);
    quint64 stateBefore() const { return m_before; }
    quint64 stateAfter() const { return m_after; }

    // After the step's cells went back or forth: its side taken; returns the
    // saved state of that side, keeping savedNow (this side's) for the way back.
    bool hasSide() const { return m_side.has_value(); }
    quint64 swapSide(quint64 savedNow);

private:
    std::vector<GridDelta> m_deltas;
    std::optional<Typing> m_typing;
    std::optional<Side> m_side;
    quint64 m_before = 0;
    quint64 m_after = 0;
    bool m_done = true;
};
