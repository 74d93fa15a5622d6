#include "ui/GridEditCommand.h"

#include <utility>

namespace {
constexpr int kTypingId = 1;
} // namespace

GridEditCommand::GridEditCommand(const QString &label, std::vector<GridDelta> deltas, std::optional<Typing> typing)
    : QUndoCommand(label)
    , m_deltas(std::move(deltas))
    , m_typing(typing)
{ }

GridEditCommand::GridEditCommand(const QString &label, std::vector<GridDelta> deltas, Side side)
    : QUndoCommand(label)
    , m_deltas(std::move(deltas))
    , m_side(std::move(side))
{ }

void GridEditCommand::setStates(quint64 before, quint64 after)
{
    m_before = before;
    m_after = after;
}

quint64 GridEditCommand::swapSide(quint64 savedNow)
{
    if (!m_side)
        return savedNow;
    if (m_side->swap)
        m_side->swap();
    return std::exchange(m_side->otherSaved, savedNow);
}

void GridEditCommand::undo()
{
    for (auto delta = m_deltas.rbegin(); delta != m_deltas.rend(); ++delta)
        delta->swap();
}

void GridEditCommand::redo()
{
    if (m_done) {
        m_done = false;
        return;
    }
    for (GridDelta &delta : m_deltas)
        delta.swap();
}

int GridEditCommand::id() const
{
    return m_typing ? kTypingId : -1;
}

bool GridEditCommand::mergeWith(const QUndoCommand *other)
{
    const auto *typed = static_cast<const GridEditCommand *>(other);
    if (!m_typing || typed->m_typing != m_typing)
        return false;
    // This step keeps the text the cell had before the edit; the new key only
    // moved the cell on, to a state of its own. Typed back to where it began,
    // the step is gone.
    m_after = typed->m_after;
    setObsolete(m_deltas.front().matchesGrid());
    return true;
}

qsizetype GridEditCommand::bytes() const
{
    qsizetype sum = 0;
    for (const GridDelta &delta : m_deltas)
        sum += delta.bytes();
    return sum;
}
