#include "app/service/UDebugScan.h"

#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

namespace {
constexpr int kMaxLines = 50000;
} // namespace

TfrmDebugScan::TfrmDebugScan(QWidget *parent)
    : ServiceWindow(u"frmDebugScan"_s, u"Отладка сканера"_s, QSize(331, 328), parent)
    , Memo(new QPlainTextEdit(this))
{
    Memo->setObjectName(u"Memo"_s);
    Memo->setGeometry(0, 0, 331, 328);
    Memo->setReadOnly(true);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A noisy line writes some hundred lines a second for as long as the
    // program runs; the oldest go first rather than the memory.
    Memo->setMaximumBlockCount(kMaxLines);
}

void TfrmDebugScan::LogScan(const QString &line)
{
    Memo->appendPlainText(line);
}
