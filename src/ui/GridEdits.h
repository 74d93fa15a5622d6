#pragma once

#include <QList>
#include <QObject>

#include <functional>
#include <optional>
#include <vector>

class QUndoStack;
class StringGridModel;
class GridDelta;
class GridEditCommand;

// The history of the grids of one window: every change to a cell (typing, a
// paste, a fill, a delete, a load, an import, a read from the register) is one
// step of one undo stack, whatever grid or page it touched. "Clean" is
// "the grids are as the window's file holds them": the state they were in
// when last saved or loaded; a load undone gives back the state saved before it.
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
    // The same for a change that replaces what the grids stand for (a file
    // loaded): swapSide exchanges the state it holds (the file's name, what the
    // grids matched) with the window's whenever the step is undone or redone,
    // and the state saved in the window's file goes back and forth with it.
    // Nothing changed in the cells, no step: the side stays as the caller left it.
    bool record(const QList<StringGridModel *> &grids, const QString &label, const std::function<void()> &change,
        std::function<void()> swapSide);

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
        // With a side (see record): set before finish().
        void setSide(std::function<void()> swapSide) { m_swapSide = std::move(swapSide); }

    private:
        GridEdits *m_edits;
        QString m_label;
        std::vector<GridDelta> m_deltas;
        std::optional<std::function<void()>> m_swapSide;
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
    // An undo or redo asked for while blocked: it waits, and the user is told.
    void refused();
    // The grids changed through the history: a step kept (or a typed one
    // grown), undone or redone.
    void changed();

private:
    // The state the grids are in now, as the steps name it.
    quint64 state() const;
    void push(GridEditCommand *step);
    // The step at index when it has a side; nullptr otherwise.
    GridEditCommand *sideStep(int index) const;
    // After the stack stepped over a step with a side: its side taken.
    void stepSide(GridEditCommand *step);
    // Tells the watchers when the clean state turned.
    void noteClean();

    QUndoStack *m_stack;
    std::function<bool()> m_blocked;
    int m_openSteps = 0;
    quint64 m_lastState = 0; // the start is state 0
    quint64 m_savedState = 0;
    bool m_wasClean = true;
};
