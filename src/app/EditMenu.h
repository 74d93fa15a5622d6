#pragma once

#include <QObject>

class GridEdits;
class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class TKktSession;
class TStringGrid;

// The window's "Правка" menu: undo and redo over the history of every grid,
// copy and paste for the grid (or the field) that has the focus, and the find
// bar of the grid showing.
class TEditMenu : public QObject
{
    Q_OBJECT
public:
    // Adds the menu at the end of the bar.
    TEditMenu(QMenuBar *bar, GridEdits &edits, TKktSession &session, QWidget *window);

    QMenu *menu() const { return m_menu; }

    // The grid the focus is in, or nullptr.
    static TStringGrid *FocusedGrid();

private:
    void copy();
    void paste();
    void find();
    void refresh();

    GridEdits &m_edits;
    QWidget *m_window;
    QMenu *m_menu;
    QAction *m_undo;
    QAction *m_redo;
};
