#include "scanner/ShtrihCheck.h"

using namespace Qt::StringLiterals;

namespace {
int DigitValue(QChar c)
{
    return c >= u'0' && c <= u'9' ? c.unicode() - u'0' : -1;
}
} // namespace

bool CheckShtrihCode(const QString &value)
{
    if (value == u"0"_s)
        return true;
    if (value.size() != 8 && value.size() != 13)
        return false;
    // From the digit left of the check digit leftwards: odd places weigh 3, even places 1.
    int sumA = 0, sumB = 0;
    for (qsizetype i = value.size() - 2, place = 1; i >= 0; --i, ++place) {
        const int digit = DigitValue(value[i]);
        if (digit < 0)
            return false;
        (place % 2 ? sumA : sumB) += digit;
    }
    const int t = 3 * sumA + sumB;
    const int expected = t % 10 == 0 ? 0 : 10 - t % 10;
    return DigitValue(value.back()) == expected;
}

ShtrihVerdict ShtrihCodeVerdict(const QString &value, int row)
{
    const bool valid = CheckShtrihCode(value);
    return { valid,
        (valid ? u"Штрих-код корректный, код товара "_s : u"Штрих-код некорректный, код товара "_s)
            + QString::number(row) };
}
