#include "pages/GoodsSheet.h"

#include "config/NumberText.h"
#include "pages/GoodsRows.h"
#include "pages/TableLayout.h"
#include "pages/xlsTool.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int kNumberColumn = 1; // A: the goods number

// The goods column of a sheet column, 0 for the goods number, -1 for none.
int GoodsColumnOf(int sheetColumn)
{
    switch (sheetColumn) {
    case kNumberColumn:
        return 0;
    case XlsColumn::Barcode:
        return GoodsCol::Barcode;
    case XlsColumn::Name:
        return GoodsCol::Name;
    case XlsColumn::Section:
        return GoodsCol::Section;
    case XlsColumn::Price:
        return GoodsCol::Price;
    case XlsColumn::Mark:
        return GoodsCol::Mark;
    default:
        return -1;
    }
}
} // namespace

namespace GoodsSheet {
Kind KindOf(int sheetColumn)
{
    switch (GoodsColumnOf(sheetColumn)) {
    case 0:
    case GoodsCol::Barcode:
    case GoodsCol::Section:
        return Kind::Code;
    case GoodsCol::Price:
        return Kind::Price;
    default:
        return Kind::Text;
    }
}

QStringList Heading()
{
    const TableLayout &layout = LayoutOf(TableKind::Goods);
    QStringList heading;
    for (int column = 1; column <= kColumns; ++column) {
        const int col = GoodsColumnOf(column);
        heading << (col < 0 ? QString() : layout.column(col).title.trimmed());
    }
    return heading;
}

QStringList Cells(const StringGridModel &goods, int row)
{
    QStringList cells;
    for (int column = 1; column <= kColumns; ++column) {
        const int col = GoodsColumnOf(column);
        cells << (col < 0 ? QString() : col == 0 ? QString::number(row) : goods.cell(row, col));
    }
    return cells;
}
} // namespace GoodsSheet

std::optional<PriceNumber> PriceAsNumber(const QString &text)
{
    constexpr int kMaxDigits = 15, kMaxDecimals = 6;
    const qsizetype point = text.indexOf(u'.');
    const QString whole = point < 0 ? text : text.first(point);
    const QString fraction = point < 0 ? QString() : text.sliced(point + 1);
    const bool wholeOk = IsDecimalDigits(whole) && (whole.size() == 1 || whole.front() != u'0');
    const bool fractionOk = point < 0 || (IsDecimalDigits(fraction) && fraction.size() <= kMaxDecimals);
    if (!wholeOk || !fractionOk || whole.size() + fraction.size() > kMaxDigits)
        return std::nullopt;
    return PriceNumber { text.toDouble(), int(fraction.size()) };
}
