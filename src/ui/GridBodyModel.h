#pragma once

#include <QAbstractTableModel>

class StringGridModel;

// A grid's data cells for a view: view cell (r, c) is grid cell (r + 1, c + 1);
// the grid's row 0 and column 0 are the horizontal and vertical header titles.
// A marked cell shows its mark's colour, taken from the palette, and its
// reasons as the tool tip.
class GridBodyModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit GridBodyModel(StringGridModel *grid, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void forward(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles);

    StringGridModel *m_grid;
};
