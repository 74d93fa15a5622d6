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

// A number as a spreadsheet shows it in its general format, from the text a
// workbook keeps it as ("4.6000000000001E+12", "12.50", "1E-2"): at most 15
// significant digits, rounded as the spreadsheet rounds them, never an
// exponent, no trailing zeros ("4600000000001", "12.5", "0.01"). Nothing for a
// text that is no number, or one too large or too small to show that way.
std::optional<QString> SpreadsheetNumber(QStringView text);
