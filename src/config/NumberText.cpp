#include "config/NumberText.h"

#include <algorithm>

using namespace Qt::StringLiterals;

bool IsDecimalDigits(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

std::optional<qint64> ParseDecimal(QStringView text, qint64 min, qint64 max)
{
    const bool hasSign = !text.isEmpty() && (text.front() == u'-' || text.front() == u'+');
    if (!IsDecimalDigits(hasSign ? text.sliced(1) : text))
        return std::nullopt;
    // The form is checked above: toLongLong only adds the overflow check (it
    // would also take blanks around the digits).
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<qint64> ParseDigits(QStringView text, qint64 max)
{
    return IsDecimalDigits(text) ? ParseDecimal(text, 0, max) : std::nullopt;
}

bool IsPriceNumber(const QString &text)
{
    QStringView rest(text);
    if (!rest.isEmpty() && (rest.front() == u'-' || rest.front() == u'+'))
        rest = rest.sliced(1);
    const qsizetype point = rest.indexOf(u'.');
    const QStringView whole = point < 0 ? rest : rest.first(point);
    const QStringView fraction = point < 0 ? QStringView() : rest.sliced(point + 1);
    // At least one digit on one side of the point; nothing else anywhere.
    const auto digitsOrNothing = [](QStringView part) { return part.isEmpty() || IsDecimalDigits(part); };
    return (!whole.isEmpty() || !fraction.isEmpty()) && digitsOrNothing(whole) && digitsOrNothing(fraction);
}

std::optional<QString> SpreadsheetNumber(QStringView text)
{
    constexpr int kShown = 15; // significant digits a spreadsheet shows
    constexpr int kMaxExponent = 30; // beyond it no price or code
    if (text.isEmpty() || text.size() > 64)
        return std::nullopt;
    const bool negative = text.front() == u'-';
    if (negative || text.front() == u'+')
        text = text.sliced(1);
    const qsizetype e = text.indexOf(u'e', 0, Qt::CaseInsensitive);
    const QStringView mantissa = e < 0 ? text : text.first(e);
    int exponent = 0;
    if (e >= 0) {
        const std::optional<qint64> parsed = ParseDecimal(text.sliced(e + 1), -999, 999);
        if (!parsed)
            return std::nullopt;
        exponent = int(*parsed);
    }
    const qsizetype point = mantissa.indexOf(u'.');
    const QStringView whole = point < 0 ? mantissa : mantissa.first(point);
    const QStringView fraction = point < 0 ? QStringView() : mantissa.sliced(point + 1);
    const auto digitsOrNothing = [](QStringView part) { return part.isEmpty() || IsDecimalDigits(part); };
    if ((whole.isEmpty() && fraction.isEmpty()) || !digitsOrNothing(whole) || !digitsOrNothing(fraction))
        return std::nullopt;

    // The value is 0.digits × 10^pointAt, digits without leading zeros.
    QString digits = whole.toString() + fraction.toString();
    int pointAt = int(whole.size()) + exponent;
    const qsizetype lead
        = std::find_if(digits.cbegin(), digits.cend(), [](QChar c) { return c != u'0'; }) - digits.cbegin();
    if (lead == digits.size())
        return u"0"_s;
    digits.remove(0, lead);
    pointAt -= int(lead);
    if (digits.size() > kShown) {
        const bool up = digits[kShown] >= u'5';
        digits.truncate(kShown);
        for (qsizetype i = kShown - 1; up && i >= 0; --i) {
            if (digits[i] != u'9') {
                digits[i] = QChar(digits[i].unicode() + 1);
                break;
            }
            digits[i] = u'0';
            if (i == 0) {
                digits.prepend(u'1');
                ++pointAt;
            }
        }
    }
    while (digits.endsWith(u'0') && digits.size() > qMax(pointAt, 1))
        digits.chop(1);
    if (pointAt > kMaxExponent || pointAt < -kMaxExponent)
        return std::nullopt;
    QString out;
    if (pointAt <= 0)
        out = u"0."_s + QString(-pointAt, u'0') + digits;
    else if (pointAt >= digits.size())
        out = digits + QString(pointAt - digits.size(), u'0');
    else
        out = digits.first(pointAt) + u'.' + digits.sliced(pointAt);
    return negative ? u"-"_s + out : out;
}
