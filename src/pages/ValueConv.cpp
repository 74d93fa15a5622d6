#include "pages/ValueConv.h"

#include "config/Conversion.h"
#include "config/NumberText.h"
#include "pages/FixedLists.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace {
const QString kMark = u"м"_s;
constexpr qint64 kMarkValue = qint64(kMarkBit);
} // namespace

quint16 FontCode(const QString &fontCell)
{
    return fontCell == FixedLists::Narrow() ? 0x30 : 0x31;
}

QString FontNameOf(quint16 code)
{
    return code == 0x30 ? FixedLists::Narrow() : FixedLists::Wide();
}

QString PriceToKop(const QString &price)
{
    if (price.isEmpty())
        return u"0"_s;
    const qsizetype point = price.indexOf(u'.');
    if (point < 0)
        return price + u"00"_s;
    const QString whole = point == 0 ? u"0"_s : price.left(point);
    return whole + price.mid(point + 1, 2).leftJustified(2, u'0');
}

std::optional<QString> KopToPrice(const QString &kop)
{
    qint32 k = 0;
    if (!TryStrToInt(kop, k))
        return std::nullopt;
    const qint64 magnitude = k < 0 ? -qint64(k) : qint64(k);
    const qint64 cents = magnitude % 100;
    QString price = k < 0 ? u"-"_s : QString();
    price += QString::number(magnitude / 100);
    price += u'.';
    price += QChar(u'0' + char16_t(cents / 10));
    price += QChar(u'0' + char16_t(cents % 10));
    return price;
}

std::optional<QString> ShtrihToValue(const QString &barcode, const QString &mark)
{
    if (barcode.isEmpty())
        return u"0"_s;
    const std::optional<qint64> code = ParseDigits(barcode, kMarkValue - 1);
    if (!code)
        return std::nullopt;
    return QString::number(mark == kMark ? *code + kMarkValue : *code);
}

std::optional<ShtrihCells> ValueToShtrih(const QString &value)
{
    const std::optional<qint64> v = ParseDigits(value, 2 * kMarkValue - 1);
    if (!v)
        return std::nullopt;
    if (*v >= kMarkValue)
        return ShtrihCells { QString::number(*v - kMarkValue), kMark };
    return ShtrihCells { QString::number(*v), QString() };
}

std::optional<QString> UslToCode(const QString &kind, const QString &vat, const QString &tax)
{
    const qsizetype kindCode = FixedLists::ItemKinds().indexOf(kind);
    if (kindCode < 0)
        return std::nullopt;
    const qsizetype vatIndex = FixedLists::Vat().indexOf(vat);
    const qsizetype taxIndex = FixedLists::Taxation().indexOf(tax);
    return u"%1%2%3"_s.arg(kindCode, 2, 10, QLatin1Char('0'))
        .arg(vatIndex < 0 ? 0 : vatIndex + 1)
        .arg(taxIndex < 0 ? 9 : taxIndex + 1);
}

UslCells CodeToUsl(const QString &code)
{
    // Each part picks its entry by number; a part missing, not a number or out
    // of range gives an empty cell. The kind is the number the first two
    // characters form, so a code of one character still names a kind ("4" is 4).
    const auto pick = [&](qsizetype from, qsizetype length, const QStringList &list, int first) {
        const QStringView part = QStringView(code).mid(from, length);
        const std::optional<qint64> number = ParseDigits(part, list.size() + first);
        if (!number)
            return QString();
        const qint64 index = *number - first;
        return index >= 0 && index < list.size() ? list.at(qsizetype(index)) : QString();
    };
    return { pick(0, 2, FixedLists::ItemKinds(), 0), pick(2, 1, FixedLists::Vat(), 1),
        pick(3, 1, FixedLists::Taxation(), 1) };
}

quint8 SectionByte(const QString &section)
{
    const std::optional<qint64> n
        = ParseDecimal(section, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    return n ? quint8(*n & 0xFF) : 0;
}
