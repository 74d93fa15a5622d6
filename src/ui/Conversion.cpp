#include "ui/Conversion.h"

using namespace Qt::StringLiterals;

namespace {
QString Message(const QString &text)
{
    return u"'"_s + text + u"' не является допустимым целым числом"_s;
}

// QString::toInt also takes blanks around the digits; a number here is digits only.
bool IsDecimal(const QString &text)
{
    qsizetype i = 0;
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+'))
        i = 1;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i)
        if (text[i] < u'0' || text[i] > u'9')
            return false;
    return true;
}
} // namespace

EConvertError::EConvertError(const QString &text)
    : std::runtime_error(Message(text).toStdString())
{ }

bool TryStrToInt(const QString &text, qint32 &value)
{
    bool ok = false;
    const qint32 number = IsDecimal(text) ? text.toInt(&ok) : 0;
    if (ok)
        value = number;
    return ok;
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
