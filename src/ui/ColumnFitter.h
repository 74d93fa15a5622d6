#pragma once

#include <QHash>
#include <QObject>

#include <functional>

class QTableView;

// Gives a grid's widest text column (a name, an address) the width the view
// has to spare, so that a wide window shows more of the names instead of
// empty space and a narrow one keeps the other columns whole. Where the other
// columns at their widths leave the text column less than minimumWidth, they
// give up what they have beyond their least width (leastWidth: their title
// and their longest value), each in proportion, so that every column stays in
// view. The user may still drag any of them; the text column then takes what
// is left. It never gets narrower than minimumWidth: past that the grid
// scrolls sideways.
class ColumnFitter : public QObject
{
    Q_OBJECT
public:
    using LeastWidth = std::function<int(int column)>;
    // column: the view's column (model column - 1 for the string grids).
    // Without leastWidth the other columns keep their widths.
    ColumnFitter(QTableView *view, int column, int minimumWidth, LeastWidth leastWidth = {});

    int column() const { return m_column; }
    // The text column of the view: the widest visible one.
    static int WidestColumn(const QTableView &view);

    // Fits the columns to the view's width now; a hidden view waits for its showing.
    void fit();
    // The width a column has of its own, as laid out or dragged, before any
    // narrowing for the room: what is worth keeping for the next start.
    int ownWidth(int column) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The widths of the other columns in the room there is: their own where it
    // suffices, else each narrowed toward its least.
    QHash<int, int> OtherWidths(int room) const;

    QTableView *m_view;
    int m_column;
    int m_minimumWidth;
    LeastWidth m_least;
    QHash<int, int> m_own; // the other columns' widths as laid out or dragged
    QObject *m_viewport;
    bool m_fitting = false;
};
