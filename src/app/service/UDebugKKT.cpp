#include "app/service/UDebugKKT.h"

#include "app/service/LogView.h"
#include "kkt/ExchangeLog.h"

#include <QColor>
#include <QPushButton>

using namespace Qt::StringLiterals;

TfrmDebugKKM::TfrmDebugKKM(QWidget *parent)
    : ServiceWindow(u"frmDebugKKM"_s, u"Отладка ККМ"_s, QSize(482, 405), parent)
    , RichEdit(new LogView(this))
    , btnClear(new QPushButton(u"Очистить"_s, this))
{
    RichEdit->setObjectName(u"RichEdit"_s);
    RichEdit->setGeometry(0, 0, 482, 376);
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

void TfrmDebugKKM::AddNote(const QString &text)
{
    AddParagraph(text, QColor());
}

void TfrmDebugKKM::btnClearClick()
{
    RichEdit->clear();
}

void TfrmDebugKKM::AddParagraph(const QString &text, const QColor &colour)
{
    // A new paragraph: a blank, then the text, whose CR LF pairs start new lines.
    QString body = u" "_s + text;
    body.replace(u"\r\n"_s, u"\n"_s);
    RichEdit->appendLines(body, colour);
}
