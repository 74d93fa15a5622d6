#pragma once

#include "pages/GridPaste.h"
#include "pages/TableKind.h"

#include <QPointer>
#include <QTableView>

#include <functional>

class QComboBox;
class QKeyEvent;
class QLineEdit;
class StringGridModel;
struct TableLayout;
class GridBodyModel;
class GridEdits;
class CellEditorDelegate;

// The grid of one table. The model's row 0 and column 0 (the titles) show in
// the view's headers, so they stay in view however far the grid scrolls. Every
// position below is in model coordinates: data rows and columns from 1.
//
// The grid records the cell last selected ("the recorded cell"); the editor is
// open on it at all times, and the table's list cells show their list over it.
// Keys move as in a spreadsheet: Enter ends an edit and goes down, Tab and
// Shift+Tab go right and left (leaving the grid past its last cell), Escape
// gives the cell back the text it had when the edit began.
//
// A block of cells is selected with Shift and the arrows or the mouse; Ctrl+C,
// Ctrl+X, Ctrl+V and Delete work on it as in a spreadsheet, through the
// clipboard as tab-separated text. While the user edits the recorded cell's
// text (typed or clicked into it, or pressed F2), Delete and a one-value
// Ctrl+V act on the text instead, and Ctrl+C and Ctrl+X on its selected part.
// The grid model must outlive the widget.
class TStringGrid : public QTableView
{
    Q_OBJECT
public:
    TStringGrid(StringGridModel *model, TableKind kind, QWidget *parent = nullptr);
    ~TStringGrid() override;

    StringGridModel *grid() const { return m_grid; }
    TableKind kind() const { return m_kind; }
    const TableLayout &layout() const { return m_layout; }

    int currentCol() const { return m_col; }
    int currentRow() const { return m_row; }
    // Moves the selection to the cell, scrolls it into view, records it and
    // gives the grid the focus.
    void selectCell(int col, int row);
    // The same, the focus left where it is (a find bar's field keeps it).
    void showCell(int col, int row);
    // As Ctrl+F in the grid: asks for the find bar.
    void requestFind() { emit findRequested(); }

    // The list laid over the cells of a column, or nullptr.
    QComboBox *listOf(int col) const;
    // The least width of a view column that still shows its title and the
    // longest text its rule lets in (digits, a list's entries), in this
    // grid's font; never more than the column's designed width.
    int leastColumnWidth(int viewCol) const;
    // The editor open on the recorded cell, or nullptr (a list cell, a hidden one).
    QLineEdit *cellEditor() const;
    // Whether the user is editing the recorded cell's text.
    bool editing() const { return m_editing; }

    // The selected block; the recorded cell when nothing else is selected.
    CellRange selectedRange() const;
    void selectRange(const CellRange &range);
    void copy();
    void cut();
    // The clipboard's block from the selection's first cell on, or its one
    // value into every selected cell; what the rules changed is marked and told.
    void paste();
    // Text cells emptied, list cells back to their start value.
    void clearSelected();

    // The window's history: every change made here becomes a step of it
    // (Ctrl+Z and Ctrl+Y step through it). Without one, changes are not kept.
    void setEdits(GridEdits *edits);
    GridEdits *edits() const;
    // A change of this grid made elsewhere (a file loaded into it, a read
    // from the register, a scanned code) as one step named label.
    // swapSide, when given: what the step changes beside the cells (see GridEdits::record).
    void record(const QString &label, const std::function<void()> &change, std::function<void()> swapSide = {});

signals:
    // After the cell became the recorded cell (and its list, if any, opened).
    void cellSelected(int col, int row);
    // Ctrl+F: the user wants to find something in the grid.
    void findRequested();
    // A paste, a cut or a delete refused: a run has the grid (it is locked).
    void editRefused();

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    enum class KeySource { View, Editor, List };

    void applyRowHeights();
    void applyLayout();
    void createLists();
    void openEditorAt(const QModelIndex &index);
    void closeEditorAt(const QModelIndex &index);
    void showList(QComboBox *list, const QModelIndex &index, bool focus);
    void preselect(QComboBox *list);
    void choose(QComboBox *list, int entry);
    bool keysDiscarded(const QKeyEvent *key) const;
    QModelIndex viewIndex(int col, int row) const;
    QWidget *focusTarget() const;
    void commitTyped(int row, int col, const QString &text);
    void pasteIntoEditor(const QString &text);
    void clearSelectedAs(const QString &label);
    // True (and told) when a run has the grid and a change made here must wait.
    bool refusedWhileLocked();
    void showReport(const PasteReport &report);

    // The grid's own keys, from whichever of its widgets has the focus; true when handled.
    bool handleKey(QKeyEvent *key, KeySource source);
    // Moves the selection, keeping the focus in the grid.
    void moveTo(int col, int row);
    void moveDown();
    // The next visible cell right (or left) in reading order; false past the grid's edge.
    bool step(bool forward, int &col, int &row) const;
    void leaveGrid(bool forward);
    void listFocusLost(QComboBox *list);
    // Shift with a movement key: the block's far corner moves.
    void extendSelection(const QKeyEvent *key);
    void selectBlock(int col, int row);

    // The edit of the recorded cell: begins when the cell is recorded, ends
    // with Enter or Escape.
    void beginEdit();
    void revertEdit();

    StringGridModel *m_grid;
    TableKind m_kind;
    const TableLayout &m_layout;
    GridBodyModel *m_body;
    CellEditorDelegate *m_delegate;
    QList<QComboBox *> m_lists;
    QPersistentModelIndex m_editorIndex;
    int m_col = 1;
    int m_row = 1;
    QString m_editStartText; // the recorded cell's text when its edit began
    bool m_editing = false;
    int m_edit = 0; // numbers the edits: the keys of one edit make one step
    QPointer<GridEdits> m_edits; // the window's, which may go before its grids
    QPoint m_corner; // the selected block's corner across from the recorded cell
    bool m_dragging = false; // a block selected by the mouse: the recorded cell stays
};
