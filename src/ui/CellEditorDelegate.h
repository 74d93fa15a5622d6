#pragma once

#include <QStyledItemDelegate>

#include <functional>

class StringGridModel;
struct TableLayout;

// The one cell editor of every grid: a line edit held to the cell's typing
// rule whichever way text enters it (a refused character is dropped silently,
// a letter may come out upper-cased). Every change reaches the grid at once,
// so a run or a save started meanwhile sees what the editor shows.
class CellEditorDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    CellEditorDelegate(const TableLayout &layout, StringGridModel *grid, QObject *parent = nullptr);

    // Where an editor's text goes (grid row and column); the model's setData when unset.
    using Commit = std::function<void(int row, int col, const QString &text)>;
    void setCommit(Commit commit) { m_commit = std::move(commit); }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    // A marked cell under the selection keeps a bar of its mark's colour at its left.
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Puts a text into an open editor as it stands, past the rule (a text given back).
    static void putText(QWidget *editor, const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const TableLayout &m_layout;
    StringGridModel *m_grid;
    Commit m_commit;
};
