#include "app/EditMenu.h"

#include "app/KktSession.h"
#include "ui/GridEdits.h"
#include "ui/StringGrid.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

using namespace Qt::StringLiterals;

namespace {
QAction *AddAction(QMenu *menu, const QString &name, const QString &caption, const QList<QKeySequence> &keys)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcuts(keys);
    return action;
}
} // namespace

TEditMenu::TEditMenu(QMenuBar *bar, GridEdits &edits, TKktSession &session, QWidget *window)
    : QObject(window)
    , m_edits(edits)
    , m_window(window)
    , m_menu(bar->addMenu(u"Правка"_s))
{
    m_menu->setObjectName(u"EditMenu"_s);
    m_menu->menuAction()->setObjectName(u"EditMenu"_s);
    m_undo = AddAction(m_menu, u"EditUndo"_s, u"Отменить"_s, QKeySequence::keyBindings(QKeySequence::Undo));
    m_redo = AddAction(m_menu, u"EditRedo"_s, u"Повторить"_s,
        { QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) });
    m_menu->addSeparator();
    QAction *copy = AddAction(m_menu, u"EditCopy"_s, u"Копировать"_s, QKeySequence::keyBindings(QKeySequence::Copy));
    QAction *paste = AddAction(m_menu, u"EditPaste"_s, u"Вставить"_s, QKeySequence::keyBindings(QKeySequence::Paste));
    connect(m_undo, &QAction::triggered, &m_edits, &GridEdits::undo);
    connect(m_redo, &QAction::triggered, &m_edits, &GridEdits::redo);
    connect(copy, &QAction::triggered, this, &TEditMenu::copy);
    connect(paste, &QAction::triggered, this, &TEditMenu::paste);
    m_menu->addSeparator();
    QAction *find = AddAction(m_menu, u"EditFind"_s, u"Найти…"_s, QKeySequence::keyBindings(QKeySequence::Find));
    connect(find, &QAction::triggered, this, &TEditMenu::find);

    // Nothing to undo, or a run writing the grids: the items wait.
    connect(edits.stack(), &QUndoStack::indexChanged, this, &TEditMenu::refresh);
    connect(edits.stack(), &QUndoStack::canUndoChanged, this, &TEditMenu::refresh);
    connect(edits.stack(), &QUndoStack::canRedoChanged, this, &TEditMenu::refresh);
    connect(&session, &TKktSession::busyChanged, this, &TEditMenu::refresh);
    refresh();
}

void TEditMenu::refresh()
{
    m_undo->setEnabled(m_edits.canUndo());
    m_redo->setEnabled(m_edits.canRedo());
}

TStringGrid *TEditMenu::FocusedGrid()
{
    for (QWidget *widget = QApplication::focusWidget(); widget; widget = widget->parentWidget())
        if (auto *grid = qobject_cast<TStringGrid *>(widget))
            return grid;
    return nullptr;
}

void TEditMenu::copy()
{
    if (TStringGrid *grid = FocusedGrid())
        grid->copy();
    else if (auto *field = qobject_cast<QLineEdit *>(QApplication::focusWidget()))
        field->copy();
}

void TEditMenu::find()
{
    TStringGrid *grid = FocusedGrid();
    if (!grid) { // the focus on a field or a button of the page: its grid showing
        const QList<TStringGrid *> grids = m_window->findChildren<TStringGrid *>();
        const auto shown = std::find_if(grids.begin(), grids.end(), [](TStringGrid *g) { return g->isVisible(); });
        grid = shown == grids.end() ? nullptr : *shown;
    }
    if (grid)
        grid->requestFind();
}

void TEditMenu::paste()
{
    if (TStringGrid *grid = FocusedGrid())
        grid->paste();
    else if (auto *field = qobject_cast<QLineEdit *>(QApplication::focusWidget()))
        field->paste(); // through the field's own rule
}
