#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Numbers as the program's fields, files and command lines spell them: ASCII
// digits only, no blanks and no group separators, whatever the locale. Every
// place that turns such a text into a number goes through these few functions,
// so that all of them accept and refuse the same texts.

// True for one or more of the digits 0-9 and nothing else.
bool IsDecimalDigits(QStringView text);

// Digits with an optional leading "-" or "+", as a number in [min, max];
// nothing for any other text, however long, or for a number outside the range.
std::optional<qint64> ParseDecimal(QStringView text, qint64 min, qint64 max);

// The same without a sign: what a field that takes only digits can hold.
std::optional<qint64> ParseDigits(QStringView text, qint64 max);

// A price as the goods files carry it: digits with an optional sign and at most
// one "." as the decimal point ("12", "12.5", "0.99", "-1.5"); no blanks, no
// group separators, no exponent.
bool IsPriceNumber(const QString &text);
