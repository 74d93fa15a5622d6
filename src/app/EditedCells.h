#pragma once

#include "pages/EditBaseline.h"
#include "pages/GridSet.h"

#include <functional>

class QWidget;

// The cells the user edited since the grids last matched a file or the
// register, and the questions before a read or a file would replace them.
class TEditedCells
{
public:
    explicit TEditedCells(std::function<GridSet()> grids);

    // The cells of rows from..to edited since they last matched.
    int edited(TableKind kind, int from, int to) const;

    // True to go on: nothing edited there, or the user said so.
    bool confirmRead(QWidget *parent, int edited) const;
    bool confirmRead(QWidget *parent, TableKind kind, int from, int to) const;
    bool confirmReadAll(QWidget *parent) const;
    bool confirmFile(QWidget *parent, TableKind kind) const;
    bool confirmConfigFile(QWidget *parent) const;

    // What the grids hold now matches a file or the register.
    void matched(TableKind kind, int from, int to);
    void matched(TableKind kind);
    void matchedAll();

    // For a step of the history that changes what the grids matched (a file
    // loaded): each call of the function returned exchanges the baseline as
    // it is now with the one it holds, so an undo puts this one back and a
    // redo takes the newer one again.
    std::function<void()> keepForHistory();

private:
    static bool Ask(QWidget *parent, const QString &text, int edited);

    std::function<GridSet()> m_grids;
    EditBaseline m_baseline;
};
