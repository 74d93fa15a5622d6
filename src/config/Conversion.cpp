#include "config/Conversion.h"

#include "config/NumberText.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace {
QString Message(const QString &text)
{
    return u"'"_s + text + u"' не является допустимым целым числом"_s;
}
} // namespace

EConvertError::EConvertError(const QString &text)
    : std::runtime_error(Message(text).toStdString())
{ }

bool TryStrToInt(const QString &text, qint32 &value)
{
    const std::optional<qint64> number
        = ParseDecimal(text, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    if (number)
        value = qint32(*number);
    return number.has_value();
}

qint32 StrToInt(const QString &text)
{
    qint32 value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError(text);
    return value;
}

quint32 StrToNonNegative(const QString &text)
{
    const qint32 value = StrToInt(text);
    if (value < 0)
        throw EConvertError(text);
    return quint32(value);
}
