#include "app/service/UDebugScan.h"

#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

TfrmDebugScan::TfrmDebugScan(QWidget *parent)
    : ServiceWindow(u"frmDebugScan"_s, u"Отладка сканера"_s, QSize(331, 328), parent)
    , Memo(new QPlainTextEdit(this))
{
    Memo->setObjectName(u"Memo"_s);
    Memo->setGeometry(0, 0, 331, 328);
    Memo->setReadOnly(true);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}
