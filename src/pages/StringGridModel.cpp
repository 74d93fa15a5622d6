#include "pages/StringGridModel.h"

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
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return cell(index.row(), index.column());
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
    return inside(row, col) ? m_cells[size_t(row * m_cols + col)] : QString();
}

void StringGridModel::setCell(int row, int col, const QString &text)
{
    if (!inside(row, col))
        return;
    QString &target = m_cells[size_t(row * m_cols + col)];
    if (target == text)
        return;
    target = text;
    changed(row, col);
}

void StringGridModel::changed(int row, int col)
{
    if (m_bulkDepth == 0) {
        const QModelIndex at = index(row, col);
        emit dataChanged(at, at, { Qt::DisplayRole, Qt::EditRole });
        return;
    }
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
    if (m_bottom >= 0)
        emit dataChanged(index(m_top, m_left), index(m_bottom, m_right), { Qt::DisplayRole, Qt::EditRole });
    m_bottom = m_right = -1;
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
