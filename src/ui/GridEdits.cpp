#include "ui/GridEdits.h"

#include "pages/GridDelta.h"
#include "pages/StringGridModel.h"
#include "ui/GridEditCommand.h"

#include <QUndoStack>

#include <algorithm>

using namespace Qt::StringLiterals;

GridEdits::GridEdits(QObject *parent)
    : QObject(parent)
    , m_stack(new QUndoStack(this))
{
    m_stack->setUndoLimit(kStepLimit);
}

GridEdits::~GridEdits()
{
    // The stack clears itself as it goes, telling its watchers (the menu, the
    // window's title) that belong to a window already being torn down.
    m_stack->blockSignals(true);
    delete m_stack;
}

GridEdits::Step::Step(GridEdits *edits, const QList<StringGridModel *> &grids, const QString &label)
    : m_edits(edits)
    , m_label(label)
{
    if (!m_edits)
        return;
    ++m_edits->m_openSteps;
    // Room for every delta first: a recording delta must not move.
    m_deltas.reserve(size_t(grids.size()));
    for (StringGridModel *grid : grids)
        m_deltas.emplace_back(*grid).startRecording();
}

GridEdits::Step::~Step()
{
    finish();
}

bool GridEdits::Step::finish()
{
    if (!m_edits)
        return false;
    // In the reverse order of their start: each gives the grid back the recording it paused.
    for (auto delta = m_deltas.rbegin(); delta != m_deltas.rend(); ++delta)
        delta->stopRecording();
    std::erase_if(m_deltas, [](const GridDelta &delta) { return delta.isEmpty(); });
    GridEdits *edits = std::exchange(m_edits, nullptr);
    --edits->m_openSteps;
    if (m_deltas.empty())
        return false;
    // The side holds the state saved before the step: the caller may save or load after it.
    edits->push(m_swapSide ? new GridEditCommand(
                    m_label, std::move(m_deltas), GridEditCommand::Side { std::move(*m_swapSide), edits->m_savedState })
                           : new GridEditCommand(m_label, std::move(m_deltas)));
    return true;
}

bool GridEdits::record(const QList<StringGridModel *> &grids, const QString &label, const std::function<void()> &change)
{
    Step step(this, grids, label);
    change();
    return step.finish();
}

bool GridEdits::record(const QList<StringGridModel *> &grids, const QString &label, const std::function<void()> &change,
    std::function<void()> swapSide)
{
    Step step(this, grids, label);
    step.setSide(std::move(swapSide));
    change();
    return step.finish();
}

void GridEdits::typed(StringGridModel &grid, int row, int col, const QString &text, int edit)
{
    if (grid.cell(row, col) == text)
        return;
    std::vector<GridDelta> deltas;
    deltas.emplace_back(grid);
    deltas.front().startRecording();
    grid.setCell(row, col, text);
    deltas.front().stopRecording();
    push(new GridEditCommand(u"Ввод"_s, std::move(deltas), GridEditCommand::Typing { &grid, row, col, edit }));
}

void GridEdits::push(GridEditCommand *step)
{
    step->setStates(state(), ++m_lastState);
    m_stack->push(step); // merged into the step before, that one takes the new state
    noteClean();
    emit changed();
}

quint64 GridEdits::state() const
{
    const int index = m_stack->index();
    if (index > 0)
        return static_cast<const GridEditCommand *>(m_stack->command(index - 1))->stateAfter();
    // Before the oldest step kept: the state it was made on.
    return m_stack->count() > 0 ? static_cast<const GridEditCommand *>(m_stack->command(0))->stateBefore() : 0;
}

bool GridEdits::blocked() const
{
    return m_openSteps > 0 || (m_blocked && m_blocked());
}

bool GridEdits::canUndo() const
{
    return !blocked() && m_stack->canUndo();
}

bool GridEdits::canRedo() const
{
    return !blocked() && m_stack->canRedo();
}

void GridEdits::undo()
{
    if (!canUndo()) {
        if (blocked() && m_stack->canUndo())
            emit refused();
        return;
    }
    GridEditCommand *side = sideStep(m_stack->index() - 1);
    m_stack->undo();
    stepSide(side);
    emit stepped();
    emit changed();
}

void GridEdits::redo()
{
    if (!canRedo()) {
        if (blocked() && m_stack->canRedo())
            emit refused();
        return;
    }
    GridEditCommand *side = sideStep(m_stack->index());
    m_stack->redo();
    stepSide(side);
    emit stepped();
    emit changed();
}

GridEditCommand *GridEdits::sideStep(int index) const
{
    // Only typed steps may turn obsolete (and be deleted as they are undone); they have no side.
    auto *step = static_cast<const GridEditCommand *>(m_stack->command(index));
    return step && step->hasSide() ? const_cast<GridEditCommand *>(step) : nullptr;
}

void GridEdits::stepSide(GridEditCommand *step)
{
    if (step)
        m_savedState = step->swapSide(m_savedState);
    noteClean();
}

void GridEdits::setClean()
{
    m_savedState = state();
    noteClean();
}

bool GridEdits::isClean() const
{
    return state() == m_savedState;
}

void GridEdits::noteClean()
{
    const bool clean = isClean();
    if (clean != std::exchange(m_wasClean, clean))
        emit cleanChanged(clean);
}
