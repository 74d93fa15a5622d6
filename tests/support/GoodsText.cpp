#include "GoodsText.h"

#include "pages/StringGridModel.h"

using namespace Qt::StringLiterals;

QString GoodsRowText(const StringGridModel &goods, int row)
{
    QStringList cells;
    for (int col = 1; col <= 6; ++col)
        cells << goods.cell(row, col);
    return cells.join(u'|');
}

QString GoodsWithMarks(const StringGridModel &goods)
{
    QString all;
    for (int row = 1; row <= 6000; ++row) {
        for (int col = 1; col <= 6; ++col)
            all += goods.cell(row, col) + u'|' + goods.markReason(row, col, MarkKind::Adjusted) + u'|';
        all += u'\n';
    }
    return all;
}

QStringList AdjustedMarks(const StringGridModel &goods, int row)
{
    QStringList marks;
    for (int col = 1; col <= 6; ++col)
        if (const QString reason = goods.markReason(row, col, MarkKind::Adjusted); !reason.isEmpty())
            marks << u"%1: %2"_s.arg(col).arg(reason);
    return marks;
}
