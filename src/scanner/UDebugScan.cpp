#include "scanner/UDebugScan.h"

#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

TfrmDebugScan::TfrmDebugScan(QWidget *parent)
    : QWidget(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint)
    , Memo(new QPlainTextEdit(this))
{
    setObjectName(u"frmDebugScan"_s);
    setWindowTitle(u"Отладка сканера"_s);
    setFixedSize(331, 328);
    setAttribute(Qt::WA_QuitOnClose, false);
    Memo->setObjectName(u"Memo"_s);
    Memo->setGeometry(0, 0, 331, 328);
    Memo->setReadOnly(true);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}
