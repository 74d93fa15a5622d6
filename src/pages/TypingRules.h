#pragma once

#include "pages/TableLayout.h"

#include <QChar>
#include <QString>

#include <optional>

class StringGridModel;

// The character to insert for a typed one, or a refusal.
struct TypedChar
{
    bool accepted = false;
    QChar ch; // possibly upper-cased

    static TypedChar Refused() { return {}; }
    static TypedChar Accepted(QChar c) { return { true, c }; }
    bool operator==(const TypedChar &) const = default;
};

constexpr QChar kBackspace = QChar(8);

// Applies a cell's rule to one typed character: upper-casing first, then the
// character class, then the limit. Backspace always passes. cellText is the
// cell's text before the key, fontText the text of the row's font cell (only
// read by the font limit).
TypedChar ApplyTypingRule(const CellRule &rule, const QString &cellText, const QString &fontText, QChar typed);

// A key that types several characters at once (a character outside the basic
// plane, a composed key): each goes through the rule in turn, as if typed one
// by one; if any is refused the whole key is. Returns the text to insert, or
// nothing for a refusal.
std::optional<QString> ApplyTypingRule(
    const CellRule &rule, const QString &cellText, const QString &fontText, const QString &typed);

// The text cut to the longest that typing makes in a cell of the rule
// (fontText as above); a character outside the basic plane is never split.
QString CutToTypingLimit(const CellRule &rule, const QString &text, const QString &fontText);

// The rule of a cell, row exceptions included; title cells have none.
CellRule RuleAt(const TableLayout &layout, int row, int col);

// Whether selecting the cell opens its list: a list cell, except the VAT cell
// of a group whose item kind carries no VAT choice.
bool OpensList(const TableLayout &layout, const StringGridModel &grid, int row, int col);

// The rule of the digit-only fields (row ranges, the item number): digits, at most limit.
CellRule DigitsRule(int limit);

// Narrow and wide font limits.
constexpr int kNarrowLimit = 24;
constexpr int kWideLimit = 12;
