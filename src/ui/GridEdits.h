#pragma once

#include <QList>
#include <QObject>

#include <functional>
#include <vector>

class QUndoStack;
class StringGridModel;
class GridDelta;

// The history of the grids of one window: every change to a cell (typing, a
// paste, a fill, a delete, a load, an import, a read from the register) is one
// step of one undo stack, whatever grid or page it touched. The stack's clean
// state is "nothing changed since the grids were last saved or loaded".
class GridEdits : public QObject
{
    Q_OBJECT
public:
    // The steps kept; older ones are forgotten.
    static constexpr int kStepLimit = 300;

    explicit GridEdits(QObject *parent = nullptr);
    ~GridEdits() override;

    QUndoStack *stack() const { return m_stack; }

    // Runs change on the grids and keeps what it changed there as one step
    // named label; nothing changed, no step. Returns whether a step was kept.
    bool record(const QList<StringGridModel *> &grids, const QString &label, const std::function<void()> &change);

    // A change that lasts (a read from the register, row after row): what the
    // grids get from its start to finish() or its end is one step. Other
    // steps made meanwhile (a key typed during the read) stay steps of their own.
    class Step
    {
    public:
        // edits may be null: then nothing is kept.
        Step(GridEdits *edits, const QList<StringGridModel *> &grids, const QString &label);
        ~Step();
        Step(const Step &) = delete;
        Step &operator=(const Step &) = delete;
        // Ends the step: kept when anything changed. Returns whether it was.
        bool finish();

    private:
        GridEdits *m_edits;
        QString m_label;
        std::vector<GridDelta> m_deltas;
    };

    // One typed change of a cell: the changes of one edit (same cell, same
    // edit number) are one step.
    void typed(StringGridModel &grid, int row, int col, const QString &text, int edit);

    bool canUndo() const;
    bool canRedo() const;
    void undo();
    void redo();

    // The grids are as saved or loaded: from here on, the clean state.
    void setClean();
    bool isClean() const;

    // While it says so (a run writes the grids), undo and redo wait.
    void setBlocked(std::function<bool()> blocked) { m_blocked = std::move(blocked); }
    bool blocked() const;

signals:
    void cleanChanged(bool clean);
    // Undo or redo changed cells: the grids end the edits they had open.
    void stepped();

private:
    QUndoStack *m_stack;
    std::function<bool()> m_blocked;
    int m_openSteps = 0;
};
