#include "pages/ValueConv.h"

#include "pages/FixedLists.h"

using namespace Qt::StringLiterals;

namespace {
bool AllDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// A decimal number of at most 19 digits, so that it fits into 64 bits.
std::optional<quint64> Unsigned(QStringView s)
{
    if (!AllDigits(s) || s.size() > 19)
        return std::nullopt;
    return s.toULongLong();
}

const QString kMark = u"м"_s;
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
    bool ok = false;
    const qint64 k = kop.toLongLong(&ok);
    if (!ok || k > std::numeric_limits<qint32>::max() || k < std::numeric_limits<qint32>::min())
        return std::nullopt;
    const qint64 magnitude = k < 0 ? -k : k;
    return u"%1%2.%3"_s.arg(k < 0 ? u"-"_s : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

std::optional<QString> ShtrihToValue(const QString &barcode, const QString &mark)
{
    if (barcode.isEmpty())
        return u"0"_s;
    const std::optional<quint64> code = Unsigned(barcode);
    if (!code || *code >= kMarkBit)
        return std::nullopt;
    return QString::number(mark == kMark ? *code + kMarkBit : *code);
}

std::optional<ShtrihCells> ValueToShtrih(const QString &value)
{
    const std::optional<quint64> v = Unsigned(value);
    if (!v || *v >= 2 * kMarkBit)
        return std::nullopt;
    if (*v >= kMarkBit)
        return ShtrihCells { QString::number(*v - kMarkBit), kMark };
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
    // Each part picks its entry by number; a part missing, not a number or out of range gives an empty cell.
    const auto pick = [&](qsizetype from, qsizetype length, const QStringList &list, int first) {
        const QStringView part = QStringView(code).mid(from, length);
        if (part.size() != length || !AllDigits(part))
            return QString();
        const int index = part.toInt() - first;
        return index >= 0 && index < list.size() ? list.at(index) : QString();
    };
    return { pick(0, 2, FixedLists::ItemKinds(), 0), pick(2, 1, FixedLists::Vat(), 1),
        pick(3, 1, FixedLists::Taxation(), 1) };
}

quint8 SectionByte(const QString &section)
{
    bool ok = false;
    const int n = section.toInt(&ok);
    return ok ? quint8(n & 0xFF) : 0;
}
