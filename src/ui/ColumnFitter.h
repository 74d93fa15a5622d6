#pragma once

#include <QObject>

class QTableView;

// Gives a grid's widest text column (a name, an address) the width the view
// has to spare, so that a wide window shows more of the names instead of
// empty space and a narrow one keeps the other columns whole. The other
// columns keep their widths, and the user may still drag any of them; the
// text column then takes what is left. It never gets narrower than
// minimumWidth: past that the grid scrolls sideways.
class ColumnFitter : public QObject
{
    Q_OBJECT
public:
    // column: the view's column (model column - 1 for the string grids).
    ColumnFitter(QTableView *view, int column, int minimumWidth);

    int column() const { return m_column; }
    // The text column of the view: the widest visible one.
    static int WidestColumn(const QTableView &view);

    // Fits the text column to the view's width now.
    void fit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTableView *m_view;
    int m_column;
    int m_minimumWidth;
    QObject *m_viewport;
    bool m_fitting = false;
};
