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
    connect(m_stack, &QUndoStack::cleanChanged, this, &GridEdits::cleanChanged);
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
    edits->m_stack->push(new GridEditCommand(m_label, std::move(m_deltas)));
    return true;
}

bool GridEdits::record(const QList<StringGridModel *> &grids, const QString &label, const std::function<void()> &change)
{
    Step step(this, grids, label);
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
    m_stack->push(new GridEditCommand(u"Ввод"_s, std::move(deltas), GridEditCommand::Typing { &grid, row, col, edit }));
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
    if (!canUndo())
        return;
    m_stack->undo();
    emit stepped();
}

void GridEdits::redo()
{
    if (!canRedo())
        return;
    m_stack->redo();
    emit stepped();
}

void GridEdits::setClean()
{
    m_stack->setClean();
}

bool GridEdits::isClean() const
{
    return m_stack->isClean();
}
