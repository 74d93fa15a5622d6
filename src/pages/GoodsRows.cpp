#include "pages/GoodsRows.h"

#include "kkt/KktText.h"
#include "pages/FixedLists.h"
#include "pages/TypingRules.h"

using namespace Qt::StringLiterals;

namespace GoodsRows {
const GoodsCells &Defaults()
{
    static const GoodsCells cells { QString(), FixedLists::Narrow(), QString(), u"0.00"_s, u"0"_s, QString() };
    return cells;
}

QString StoredName(const QString &name)
{
    return CutToTypingLimit(LayoutOf(TableKind::Goods).column(GoodsCol::Name).rule, name, FixedLists::Narrow());
}

QList<int> RowsOutsideCp1251(const StringGridModel &goods)
{
    QList<int> rows;
    for (int row = 1; row <= kCount; ++row) {
        for (int col = GoodsCol::Name; col <= GoodsCol::Mark; ++col) {
            if (!InCp1251(goods.cell(row, col))) {
                rows << row;
                break;
            }
        }
    }
    return rows;
}

GoodsCells Read(const StringGridModel &goods, int row)
{
    GoodsCells cells;
    for (int col = GoodsCol::Name; col <= GoodsCol::Mark; ++col)
        cells[size_t(col - 1)] = goods.cell(row, col);
    return cells;
}

void ApplyAll(StringGridModel &goods, const std::vector<GoodsCells> &cells, int firstCol, int lastCol)
{
    const GridBulkUpdate bulk(goods);
    for (int row = 1; row <= kCount && size_t(row - 1) < cells.size(); ++row)
        for (int col = firstCol; col <= lastCol; ++col)
            goods.setCell(row, col, cells[size_t(row - 1)][size_t(col - 1)]);
}
} // namespace GoodsRows
