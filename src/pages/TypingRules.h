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
    QChar ch; // possibly upper-cased, or "." for a comma in a price

    static TypedChar Refused() { return {}; }
    static TypedChar Accepted(QChar c) { return { true, c }; }
    bool operator==(const TypedChar &) const = default;
};

constexpr QChar kBackspace = QChar(8);

// Applies a cell's rule to one typed character: upper-casing first, then the
// character class, then the limit. Backspace always passes; other control
// characters never do. cellText is the cell's text before the key, fontText the
// text of the row's font cell (only read by the font limit).
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

// A text that enters a cell other than key by key (a paste, a fill, a drop):
// what the rule lets through, as if its characters were typed one by one, and
// what it kept out.
struct RuledText
{
    QString text; // what goes in
    int refused = 0; // characters of a class the rule does not take (line ends and tabs included)
    int cut = 0; // characters past the rule's limit
    int limit = -1; // that limit, when some were cut

    bool changedAnything() const { return refused > 0 || cut > 0; }
};

// Passes `inserted` through the rule into a cell that keeps `kept` beside it.
// A character outside the basic plane goes in whole or not at all.
RuledText PassRule(const CellRule &rule, const QString &kept, const QString &fontText, const QString &inserted);

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
