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

RangeCheck CheckRangeValues(const QString &fromText, const QString &toText, int maxRow);
