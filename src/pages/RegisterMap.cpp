#include "pages/RegisterMap.h"

#include "config/NumberText.h"
#include "kkt/KktTransaction.h"
#include "pages/TableLayout.h"
#include "pages/ValueConv.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace {
std::optional<RowRefusal> BarcodeRefusal(const std::optional<QString> &value, int n)
{
    if (value)
        return std::nullopt;
    return RowRefusal { GoodsCol::Barcode, u"штрих-код должен быть числом меньше %1"_s.arg(kMarkBit),
        u"ВНИМАНИЕ!\r\nНеверный штрих-код товара номер %1! Штрих-код должен быть числом меньше %2."_s.arg(n).arg(
            kMarkBit),
        0 };
}

RowRefusal PriceRefused(const QString &reason, const QString &message)
{
    return { GoodsCol::Price, reason, message, 0 };
}

// The price field is written as a signed 32-bit number of kopecks and read
// back unsigned: only 0 to 21474836.47 comes back as it went.
std::optional<RowRefusal> PriceRefusal(const QString &price, const QString &kopecks, int n)
{
    if (!price.isEmpty() && !IsPriceNumber(price))
        return PriceRefused(u"цена должна быть числом с точкой (12.50)"_s,
            u"ВНИМАНИЕ!\r\nНеверная цена товара номер %1: \"%2\"! Цена должна быть числом с точкой (12.50)."_s.arg(n)
                .arg(price));
    const std::optional<qint64> k
        = ParseDecimal(kopecks, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
    const bool negative = k ? *k < 0 : price.startsWith(u'-');
    if (negative)
        return PriceRefused(u"отрицательная цена"_s,
            u"ВНИМАНИЕ!\r\nНеверная цена товара номер %1: \"%2\"! Цена не может быть отрицательной."_s.arg(n).arg(
                price));
    if (!k || *k > std::numeric_limits<qint32>::max())
        return RowRefusal { GoodsCol::Price, u"цена больше 21474836.47"_s, QString(), KktOutcome::BadNumber };
    return std::nullopt;
}
} // namespace

GoodsItemWrite GoodsItemOf(const StringGridModel &goods, int n)
{
    GoodsItemWrite item;
    GoodsItemValues &values = item.values;
    values.font = FontCode(goods.cell(n, GoodsCol::Font));
    values.name = goods.cell(n, GoodsCol::Name);
    const std::optional<QString> barcode
        = ShtrihToValue(goods.cell(n, GoodsCol::Barcode), goods.cell(n, GoodsCol::Mark));
    if (const std::optional<RowRefusal> refusal = BarcodeRefusal(barcode, n))
        item.refusals << *refusal;
    else
        values.barcode = *barcode;
    const QString price = goods.cell(n, GoodsCol::Price);
    const QString kopecks = PriceToKop(price);
    if (const std::optional<RowRefusal> refusal = PriceRefusal(price, kopecks, n))
        item.refusals << *refusal;
    else
        values.kopecks = kopecks;
    values.section = SectionByte(goods.cell(n, GoodsCol::Section));
    return item;
}

GroupCodeWrite GroupCodeOf(const StringGridModel &groups, int row)
{
    const std::optional<QString> code
        = UslToCode(groups.cell(row, UslCol::Kind), groups.cell(row, UslCol::Vat), groups.cell(row, UslCol::Tax));
    if (code)
        return { *code, std::nullopt };
    return { QString(),
        RowRefusal { UslCol::Kind, u"не выбран признак предмета расчета"_s,
            u"ВНИМАНИЕ!\r\nНе выбран признак предмета расчета у группы номер %1!"_s.arg(row), 0 } };
}
