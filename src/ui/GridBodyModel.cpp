#include "ui/GridBodyModel.h"

#include "pages/StringGridModel.h"
#include "ui/MarkLook.h"

#include <QGuiApplication>
#include <QPalette>

GridBodyModel::GridBodyModel(StringGridModel *grid, QObject *parent)
    : QAbstractTableModel(parent)
    , m_grid(grid)
{
    connect(m_grid, &QAbstractItemModel::dataChanged, this, &GridBodyModel::forward);
    connect(m_grid, &QAbstractItemModel::modelAboutToBeReset, this, &GridBodyModel::beginResetModel);
    connect(m_grid, &QAbstractItemModel::modelReset, this, &GridBodyModel::endResetModel);
    // A grid that goes first leaves an empty view, not a dangling one.
    connect(m_grid, &QObject::destroyed, this, [this] {
        beginResetModel();
        m_grid = nullptr;
        endResetModel();
    });
}

int GridBodyModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_grid ? 0 : qMax(0, m_grid->rows() - 1);
}

int GridBodyModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_grid ? 0 : qMax(0, m_grid->cols() - 1);
}

QVariant GridBodyModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const QModelIndex cell = m_grid->index(index.row() + 1, index.column() + 1);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::ToolTipRole:
    case StringGridModel::MarkRole:
        return m_grid->data(cell, role);
    case Qt::BackgroundRole: {
        const QVariant mark = m_grid->data(cell, StringGridModel::MarkRole);
        if (!mark.isValid())
            return {};
        return MarkColour(MarkKind(mark.toInt()), QGuiApplication::palette());
    }
    default:
        return {};
    }
}

bool GridBodyModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::EditRole)
        return false;
    m_grid->setCell(index.row() + 1, index.column() + 1, value.toString());
    return true;
}

Qt::ItemFlags GridBodyModel::flags(const QModelIndex &index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant GridBodyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !m_grid)
        return QAbstractTableModel::headerData(section, orientation, role);
    return orientation == Qt::Horizontal ? m_grid->cell(0, section + 1) : m_grid->cell(section + 1, 0);
}

void GridBodyModel::forward(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles)
{
    const int top = topLeft.row(), left = topLeft.column();
    const int bottom = bottomRight.row(), right = bottomRight.column();
    if (top == 0 && right >= 1)
        emit headerDataChanged(Qt::Horizontal, qMax(left, 1) - 1, right - 1);
    if (left == 0 && bottom >= 1)
        emit headerDataChanged(Qt::Vertical, qMax(top, 1) - 1, bottom - 1);
    if (bottom < 1 || right < 1)
        return;
    QList<int> shown = roles;
    if (roles.contains(StringGridModel::MarkRole))
        shown << Qt::BackgroundRole;
    emit dataChanged(index(qMax(top, 1) - 1, qMax(left, 1) - 1), index(bottom - 1, right - 1), shown);
}
