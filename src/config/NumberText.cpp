#include "config/NumberText.h"

#include <algorithm>

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
