#include "pages/StringGridModel.h"

#include "pages/GridDelta.h"

#include <algorithm>

bool ClearedByChange(MarkKind kind)
{
    switch (kind) {
    case MarkKind::Adjusted:
    case MarkKind::Differs: // the cell's new text has not been compared
        return true;
    case MarkKind::Duplicate: // its watcher sets and clears it as the barcodes change
    case MarkKind::Stored: // so does this one's, as the cells change
        break;
    }
    return false;
}

StringGridModel::StringGridModel(int rows, int cols, QObject *parent)
    : QAbstractTableModel(parent)
    , m_rows(qMax(0, rows))
    , m_cols(qMax(0, cols))
    , m_cells(size_t(m_rows * m_cols))
{ }

int StringGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int StringGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant StringGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cell(index.row(), index.column());
    case MarkRole: {
        const QList<CellMark> found = marks(index.row(), index.column());
        return found.isEmpty() ? QVariant() : QVariant(int(found.first().kind));
    }
    case Qt::ToolTipRole: {
        QStringList reasons;
        for (const CellMark &mark : marks(index.row(), index.column()))
            reasons << mark.reason;
        return reasons.isEmpty() ? QVariant() : QVariant(reasons.join(u'\n'));
    }
    default:
        return {};
    }
}

bool StringGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    setCell(index.row(), index.column(), value.toString());
    return true;
}

Qt::ItemFlags StringGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.row() > 0 && index.column() > 0 && !m_locked)
        f |= Qt::ItemIsEditable;
    return f;
}

QString StringGridModel::cell(int row, int col) const
{
    return inside(row, col) ? m_cells[size_t(key(row, col))] : QString();
}

void StringGridModel::setCell(int row, int col, const QString &text)
{
    if (!inside(row, col))
        return;
    QString &target = m_cells[size_t(key(row, col))];
    if (target == text)
        return;
    if (m_recorder)
        m_recorder->note(row, col, target);
    target = text;
    dropClearedMarks(row, col);
    changed(row, col, true);
}

void StringGridModel::dropClearedMarks(int row, int col)
{
    if (m_marks.isEmpty())
        return;
    const auto found = m_marks.find(key(row, col));
    if (found == m_marks.end())
        return;
    if (m_recorder
        && std::any_of(found->cbegin(), found->cend(), [](const CellMark &m) { return ClearedByChange(m.kind); }))
        m_recorder->noteMarks(row, col, textMarks(row, col));
    found->removeIf([](const CellMark &mark) { return ClearedByChange(mark.kind); });
    if (found->isEmpty())
        m_marks.erase(found);
}

void StringGridModel::noteTextMarks(int row, int col, MarkKind kind)
{
    if (m_recorder && ClearedByChange(kind))
        m_recorder->noteMarks(row, col, textMarks(row, col));
}

QList<CellMark> StringGridModel::textMarks(int row, int col) const
{
    QList<CellMark> out;
    for (const CellMark &mark : marks(row, col))
        if (ClearedByChange(mark.kind))
            out << mark;
    return out;
}

void StringGridModel::setTextMarks(int row, int col, const QList<CellMark> &marks)
{
    if (!inside(row, col) || textMarks(row, col) == marks)
        return;
    for (const CellMark &mark : textMarks(row, col))
        clearMark(row, col, mark.kind);
    for (const CellMark &mark : marks)
        setMark(row, col, mark.kind, mark.reason);
}

void StringGridModel::setMark(int row, int col, MarkKind kind, const QString &reason)
{
    if (!inside(row, col))
        return;
    const QList<CellMark> before = marks(row, col);
    if (std::none_of(before.cbegin(), before.cend(), [&](const CellMark &m) { return m == CellMark { kind, reason }; }))
        noteTextMarks(row, col, kind);
    QList<CellMark> &list = m_marks[key(row, col)];
    for (CellMark &mark : list) {
        if (mark.kind != kind)
            continue;
        if (mark.reason != reason) {
            mark.reason = reason;
            changed(row, col, false);
        }
        return;
    }
    list.append({ kind, reason });
    changed(row, col, false);
}

void StringGridModel::clearMark(int row, int col, MarkKind kind)
{
    const auto found = m_marks.find(key(row, col));
    if (found == m_marks.end()
        || std::none_of(found->cbegin(), found->cend(), [kind](const CellMark &m) { return m.kind == kind; }))
        return;
    noteTextMarks(row, col, kind);
    found->removeIf([kind](const CellMark &m) { return m.kind == kind; });
    if (found->isEmpty())
        m_marks.erase(found);
    changed(row, col, false);
}

void StringGridModel::clearMarks(MarkKind kind)
{
    const GridBulkUpdate bulk(*this);
    for (auto it = m_marks.begin(); it != m_marks.end();) {
        if (std::any_of(it->cbegin(), it->cend(), [kind](const CellMark &m) { return m.kind == kind; }))
            noteTextMarks(it.key() / m_cols, it.key() % m_cols, kind);
        if (it->removeIf([kind](const CellMark &m) { return m.kind == kind; }))
            changed(it.key() / m_cols, it.key() % m_cols, false);
        it = it->isEmpty() ? m_marks.erase(it) : std::next(it);
    }
}

QList<CellMark> StringGridModel::marks(int row, int col) const
{
    return inside(row, col) ? m_marks.value(key(row, col)) : QList<CellMark>();
}

QString StringGridModel::markReason(int row, int col, MarkKind kind) const
{
    for (const CellMark &mark : marks(row, col))
        if (mark.kind == kind)
            return mark.reason;
    return {};
}

void StringGridModel::changed(int row, int col, bool text)
{
    static const QList<int> textRoles { Qt::DisplayRole, Qt::EditRole, MarkRole, Qt::ToolTipRole };
    static const QList<int> markRoles { MarkRole, Qt::ToolTipRole };
    if (m_bulkDepth == 0) {
        const QModelIndex at = index(row, col);
        emit dataChanged(at, at, text ? textRoles : markRoles);
        return;
    }
    m_bulkText = m_bulkText || text;
    if (m_bottom < 0) {
        m_top = m_bottom = row;
        m_left = m_right = col;
        return;
    }
    m_top = qMin(m_top, row);
    m_bottom = qMax(m_bottom, row);
    m_left = qMin(m_left, col);
    m_right = qMax(m_right, col);
}

void StringGridModel::beginBulkUpdate()
{
    ++m_bulkDepth;
}

void StringGridModel::endBulkUpdate()
{
    if (m_bulkDepth == 0 || --m_bulkDepth > 0)
        return;
    if (m_bottom < 0)
        return;
    // Cleared before the signal: a receiver may change the grid again.
    const QModelIndex topLeft = index(m_top, m_left), bottomRight = index(m_bottom, m_right);
    QList<int> roles { MarkRole, Qt::ToolTipRole };
    if (m_bulkText)
        roles << Qt::DisplayRole << Qt::EditRole;
    m_bottom = m_right = -1;
    m_bulkText = false;
    emit dataChanged(topLeft, bottomRight, roles);
}

void StringGridModel::copyCellsFrom(const StringGridModel &other)
{
    if (other.m_rows == m_rows && other.m_cols == m_cols)
        m_cells = other.m_cells;
}

void StringGridModel::setLocked(bool locked)
{
    m_locked = locked;
}
