#include "scanner/ShtrihCheck.h"

using namespace Qt::StringLiterals;

namespace {
int DigitValue(QChar c)
{
    return c >= u'0' && c <= u'9' ? c.unicode() - u'0' : -1;
}
} // namespace

int Gs1CheckDigit(QStringView digits)
{
    // From the last digit leftwards: odd places weigh 3, even places 1.
    int sumA = 0, sumB = 0;
    for (qsizetype i = digits.size() - 1, place = 1; i >= 0; --i, ++place) {
        const int digit = DigitValue(digits[i]);
        if (digit < 0)
            return -1;
        (place % 2 ? sumA : sumB) += digit;
    }
    const int t = 3 * sumA + sumB;
    return t % 10 == 0 ? 0 : 10 - t % 10;
}

bool CheckShtrihCode(const QString &value)
{
    if (value == u"0"_s)
        return true;
    if (value.size() != 8 && value.size() != 13)
        return false;
    const int expected = Gs1CheckDigit(QStringView(value).chopped(1));
    return expected >= 0 && DigitValue(value.back()) == expected;
}

QString UnscannableBarcode(const QString &barcode)
{
    // The register keeps a number: an EAN-13 that starts with zeros comes back
    // shorter, and zeros in front change no check digit.
    QStringView code(barcode);
    while (!code.isEmpty() && code.front() == u'0')
        code = code.sliced(1);
    if (code.size() <= kLongestItemCode)
        return {};
    if (code.size() > 13)
        return u"больше 13 цифр: не EAN-13 и не EAN-8, сканер такой код не прочтёт"_s;
    const int expected = Gs1CheckDigit(code.chopped(1));
    if (expected < 0 || DigitValue(code.back()) == expected)
        return {};
    return u"контрольная цифра штрих-кода неверна (должна быть %1): сканер такой код не прочтёт"_s.arg(expected);
}

ShtrihVerdict ShtrihCodeVerdict(const QString &value, int row)
{
    const bool valid = CheckShtrihCode(value);
    return { valid,
        (valid ? u"Штрих-код корректный, код товара "_s : u"Штрих-код некорректный, код товара "_s)
            + QString::number(row) };
}
