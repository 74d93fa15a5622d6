#pragma once

#include <QString>

#include <stdexcept>

// A text that should be a number and is not. Commands let it escape to the
// application, which shows its description in an error box.
class EConvertError : public std::runtime_error
{
public:
    explicit EConvertError(const QString &text);
};

// Decimal text with an optional sign to a signed 32-bit number; EConvertError otherwise.
qint32 StrToInt(const QString &text);
bool TryStrToInt(const QString &text, qint32 &value);
// The same for fields that take no negative number (speeds, time-outs), so
// that a pasted "-1" never turns into a wait of 49 days.
quint32 StrToNonNegative(const QString &text);
