#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>

#include <vector>

class GridDelta;

// What a mark on a cell tells the user. Every grid, the dialogs and the tests
// read marks from the model (MarkRole, and the reasons as the tool tip); the
// views give each kind its own colour.
enum class MarkKind : quint8 {
    Adjusted, // a paste or a fill that the cell's rule changed or refused
    Duplicate, // a barcode that another goods row has too
    Stored, // a value the register would hold otherwise than the cell says
    Differs, // a verification found the register holding something else here
};

struct CellMark
{
    MarkKind kind;
    QString reason; // one line, Russian

    bool operator==(const CellMark &) const = default;
};

// Whether a mark of the kind speaks of the text the cell had when it was set,
// so that any change of the text takes it away.
bool ClearedByChange(MarkKind kind);

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
    // The kind (int) of a cell's first mark; no value for an unmarked cell.
    static constexpr int MarkRole = Qt::UserRole + 1;

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

    // A cell carries at most one mark of each kind; setting one replaces it.
    void setMark(int row, int col, MarkKind kind, const QString &reason);
    void clearMark(int row, int col, MarkKind kind);
    void clearMarks(MarkKind kind);
    QList<CellMark> marks(int row, int col) const;
    // The cell's marks of kinds that speak of its text (ClearedByChange), and
    // their replacement: the grid's history keeps them with the texts.
    QList<CellMark> textMarks(int row, int col) const;
    void setTextMarks(int row, int col, const QList<CellMark> &marks);
    // The reason of the cell's mark of that kind; empty when it has none.
    QString markReason(int row, int col, MarkKind kind) const;

    void beginBulkUpdate();
    void endBulkUpdate();

    // Every cell of other (a grid of the same shape) at once, without a signal:
    // for a copy made before anything shows it.
    void copyCellsFrom(const StringGridModel &other);

    // A locked grid takes no edits through its views (a run is writing it or
    // sending it); setCell still changes it.
    void setLocked(bool locked);
    bool locked() const { return m_locked; }

    // While a delta records (GridDelta::startRecording), it learns each cell's
    // text, and its marks of the text, before their first change.
    GridDelta *recorder() const { return m_recorder; }
    void setRecorder(GridDelta *recorder) { m_recorder = recorder; }

private:
    bool inside(int row, int col) const { return row >= 0 && row < m_rows && col >= 0 && col < m_cols; }
    int key(int row, int col) const { return row * m_cols + col; }
    void changed(int row, int col, bool text);
    void dropClearedMarks(int row, int col);
    // Before a mark of the text changes: the recording delta learns the cell's.
    void noteTextMarks(int row, int col, MarkKind kind);

    int m_rows;
    int m_cols;
    std::vector<QString> m_cells;
    QHash<int, QList<CellMark>> m_marks;
    GridDelta *m_recorder = nullptr;
    int m_bulkDepth = 0;
    bool m_locked = false;
    int m_top = 0, m_left = 0, m_bottom = -1, m_right = -1; // cells touched during a bulk update
    bool m_bulkText = false; // a text changed during the bulk update (else only marks)
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
