#pragma once

#include "app/MainForm.h"
#include "app/pages/GsmSettingFrame.h"
#include "app/pages/Set102Frame.h"
#include "pages/TableLayout.h"
#include "ui/StringGrid.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// The program's main window over a folder of its own, shown and active, with
// one port for the register, for tests that edit its grids as a user does.
struct GridWindow
{
    GridWindow()
        : GridWindow(QString())
    { }
    // Over the folder given (its settings and its copy of unsaved edits), as a
    // second start of the program there; a folder of its own when empty.
    explicit GridWindow(const QString &folder)
        : root(folder.isEmpty() ? dir.path() : folder)
    {
        form.setPortLister([](TArrayCom &ports) { ports = { QStringLiteral("COM1") }; });
        form.show();
        activate();
        // The register's port is not the scanner's: the goods tab asks no question.
        form.StructSett.PortSett.Name = QStringLiteral("COM1");
    }

    // The window active again, as after a box (the wait box of a load) closed.
    void activate()
    {
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form))
            qFatal("main window not active");
        // Without a window manager nothing hands the activation back to the
        // window when another one (a run's progress window) hides.
        if (QApplication::activeWindow() != &form) {
            QT_WARNING_PUSH
            QT_WARNING_DISABLE_DEPRECATED
            QApplication::setActiveWindow(&form);
            QT_WARNING_POP
        }
    }

    // Shows the page and tab of a table; its grid.
    TStringGrid *show(TableKind kind)
    {
        if (kind == TableKind::Gsm) {
            form.GSM1Click();
        } else {
            form.N1021Click();
            form.Set102Frame->showTable(kind);
        }
        auto *view = form.findChild<TStringGrid *>(LayoutOf(kind).gridName);
        if (!view)
            qFatal("no grid");
        return view;
    }
    StringGridModel &grid(TableKind kind)
    {
        return kind == TableKind::Gsm ? form.GsmFrame->grid() : form.Set102Frame->grid(kind);
    }
    template <typename T = QWidget> T *child(const QString &name) const
    {
        T *found = form.findChild<T *>(name);
        if (!found)
            qFatal("no %s", qPrintable(name));
        return found;
    }
    QLineEdit *field(const QString &name) const { return child<QLineEdit>(name); }
    // A button of a page: both pages have their "Button3" and "Button4".
    static QPushButton *Button(QWidget *page, const QString &name)
    {
        auto *button = page->findChild<QPushButton *>(name);
        if (!button)
            qFatal("no %s", qPrintable(name));
        return button;
    }
    static bool FocusIn(const QWidget *widget)
    {
        const QWidget *focus = QApplication::focusWidget();
        return focus && (focus == widget || widget->isAncestorOf(focus));
    }

    QTemporaryDir dir;
    QString root;
    TFormMain form { root, root + QStringLiteral("/ports") };
};

// Sends one key to whatever has the focus, as the keyboard would.
inline void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        qFatal("nothing has the focus");
    QTest::keyClick(focus, Qt::Key(key), modifiers);
}
