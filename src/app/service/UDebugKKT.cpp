#include "app/service/UDebugKKT.h"

#include "kkt/ExchangeLog.h"

#include <QColor>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>

using namespace Qt::StringLiterals;

TfrmDebugKKM::TfrmDebugKKM(QWidget *parent)
    : ServiceWindow(u"frmDebugKKM"_s, u"Отладка ККМ"_s, QSize(482, 405), parent)
    , RichEdit(new QPlainTextEdit(this))
    , btnClear(new QPushButton(u"Очистить"_s, this))
{
    RichEdit->setObjectName(u"RichEdit"_s);
    RichEdit->setGeometry(0, 0, 482, 376);
    RichEdit->setReadOnly(true);
    RichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(u"MS Sans Serif"_s, 8);
    font.setStyleHint(QFont::SansSerif);
    RichEdit->setFont(font);

    btnClear->setObjectName(u"btnClear"_s);
    btnClear->setGeometry(200, 380, 75, 25);
    connect(btnClear, &QPushButton::clicked, this, &TfrmDebugKKM::btnClearClick);
}

void TfrmDebugKKM::LogBufKKT(const TBufKKT &buf, bool isAnswer)
{
    const QString text = LogBufText(buf, isAnswer);
    if (isAnswer)
        AddAnswerText(text);
    else
        AddRequestText(text);
}

void TfrmDebugKKM::AddRequestText(const QString &text)
{
    AddParagraph(text, QColor(255, 0, 0));
}

void TfrmDebugKKM::AddAnswerText(const QString &text)
{
    AddParagraph(text, QColor(0, 128, 0));
}

void TfrmDebugKKM::btnClearClick()
{
    RichEdit->clear();
}

void TfrmDebugKKM::AddParagraph(const QString &text, const QColor &colour)
{
    QTextCharFormat format;
    format.setForeground(colour);
    QString body = u" "_s + text;
    body.replace(u"\r\n"_s, u"\n"_s);

    // Appending through a cursor at the end only lays out the new blocks, so a
    // log of many thousand paragraphs costs the same per paragraph as a short one.
    QTextCursor cursor(RichEdit->document());
    cursor.movePosition(QTextCursor::End);
    if (!RichEdit->document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(body, format);

    QScrollBar *bar = RichEdit->verticalScrollBar();
    bar->setValue(bar->maximum());
    // The exchanges block the event loop; without this the log stays stale until a long run ends.
    RichEdit->viewport()->repaint();
}
