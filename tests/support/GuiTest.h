#pragma once

#include "app/KktApplication.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs act on the modal dialog that the next call opens, from the dialog's own
// event loop. A dialog still open afterwards is rejected, so that a failing
// check never leaves the test waiting for a person.
inline void WhenModal(std::function<void(QWidget *dialog)> act)
{
    QTimer::singleShot(0, [act = std::move(act)] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog) {
            QTest::qFail("no modal dialog opened", __FILE__, __LINE__);
            return;
        }
        act(dialog);
        if (QApplication::activeModalWidget() == dialog)
            QMetaObject::invokeMethod(dialog, "reject");
    });
}

// Types text key by key, as a person would; QTest::keyClicks takes Latin-1 only.
inline void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        const Qt::Key key = c.unicode() < 0x80 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Press, widget, key, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, key, QString(c), Qt::NoModifier);
    }
}

// A Qt Test main whose application object is the program's own, so that
// errors escaping a command reach its error box as in the program.
#define KKT_GUI_TEST_MAIN(TestObject)                                                                                  \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        KktApplication app(argc, argv);                                                                                \
        TestObject test;                                                                                               \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
