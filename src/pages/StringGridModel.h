#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>

// A grid of texts: row 0 is the title row and column 0 the fixed title column,
// neither editable through the view. KKT runs, goods files and configuration
// copies work on it directly; a QTableView shows it.
//
// Whole-table work (6000 goods rows) goes between beginBulkUpdate() and
// endBulkUpdate(): the cells change silently and one dataChanged covers them.
class StringGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    StringGridModel(int rows, int cols, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    // Cells outside the grid read as empty and ignore writes.
    QString cell(int row, int col) const;
    void setCell(int row, int col, const QString &text);

    void beginBulkUpdate();
    void endBulkUpdate();

    // Every cell of other (a grid of the same shape) at once, without a signal:
    // for a copy made before anything shows it.
    void copyCellsFrom(const StringGridModel &other);

    // A locked grid takes no edits through its views (a run is writing it or
    // sending it); setCell still changes it.
    void setLocked(bool locked);
    bool locked() const { return m_locked; }

private:
    bool inside(int row, int col) const { return row >= 0 && row < m_rows && col >= 0 && col < m_cols; }
    void changed(int row, int col);

    int m_rows;
    int m_cols;
    std::vector<QString> m_cells;
    int m_bulkDepth = 0;
    bool m_locked = false;
    int m_top = 0, m_left = 0, m_bottom = -1, m_right = -1; // cells touched during a bulk update
};

// Locks a grid for the length of a scope.
class GridLock
{
public:
    explicit GridLock(StringGridModel &grid)
        : m_grid(grid)
    {
        m_grid.setLocked(true);
    }
    ~GridLock() { m_grid.setLocked(false); }
    GridLock(const GridLock &) = delete;
    GridLock &operator=(const GridLock &) = delete;

private:
    StringGridModel &m_grid;
};

// Scope guard for a bulk update.
class GridBulkUpdate
{
public:
    explicit GridBulkUpdate(StringGridModel &grid)
        : m_grid(grid)
    {
        m_grid.beginBulkUpdate();
    }
    ~GridBulkUpdate() { m_grid.endBulkUpdate(); }
    GridBulkUpdate(const GridBulkUpdate &) = delete;
    GridBulkUpdate &operator=(const GridBulkUpdate &) = delete;

private:
    StringGridModel &m_grid;
};
