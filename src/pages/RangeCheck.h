#pragma once

#include <QString>

// The check of a tab's row range before a KKT run.
struct RangeCheck
{
    enum class Field { None, Start, End };

    bool ok = false;
    QString message; // empty when ok, or when a field is not a number (no message then)
    Field focus = Field::None; // the field that gets the focus after the message
    int from = 0;
    int to = 0;
};

// The range fields' texts: empty fields first, then CheckRowRange on the numbers they spell.
RangeCheck CheckRangeValues(const QString &fromText, const QString &toText, int maxRow);
// Rows from..to of a table whose highest row is maxRow: the one rule every run
// and every front end applies (first row 1, from <= to <= maxRow).
RangeCheck CheckRowRange(int from, int to, int maxRow);

// The item number of "Перейти к товару": the row to go to (from), or the message.
// A text that spells no number (pasted) counts as no number at all.
RangeCheck CheckItemNumber(const QString &text, int maxRow);
