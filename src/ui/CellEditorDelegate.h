#pragma once

#include <QStyledItemDelegate>

class StringGridModel;
struct TableLayout;

// The one cell editor of every grid: a line edit whose typed characters go
// through the cell's typing rule (a refused one is dropped silently, a letter
// may come out upper-cased). Every change reaches the grid at once, so a run or
// a save started meanwhile sees what the editor shows.
class CellEditorDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    CellEditorDelegate(const TableLayout &layout, StringGridModel *grid, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const TableLayout &m_layout;
    StringGridModel *m_grid;
};
