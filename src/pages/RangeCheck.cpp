#include "pages/RangeCheck.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
bool Digits(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}
} // namespace

RangeCheck CheckRangeValues(const QString &fromText, const QString &toText, int maxRow)
{
    const QString badStart = u"ВНИМАНИЕ!\r\nНеверно введено значение начала диапазона!"_s;
    const QString badEnd = u"ВНИМАНИЕ!\r\nНеверно введено значение конца диапазона!"_s;
    RangeCheck check;
    const auto fail = [&](const QString &message, RangeCheck::Field focus) {
        check.message = message;
        check.focus = focus;
        return check;
    };
    if (fromText.isEmpty())
        return fail(badStart, RangeCheck::Field::Start);
    if (toText.isEmpty())
        return fail(badEnd, RangeCheck::Field::End);
    bool fromOk = false, toOk = false;
    check.from = fromText.toInt(&fromOk);
    check.to = toText.toInt(&toOk);
    if (!fromOk || !toOk || !Digits(fromText) || !Digits(toText)) // only pasting gets text here: no message
        return check;
    if (check.from == 0)
        return fail(u"ВНИМАНИЕ!\r\nЗначение начала диапазона не может начинаться с 0!"_s, RangeCheck::Field::Start);
    if (check.from > maxRow)
        return fail(badStart, RangeCheck::Field::Start);
    if (check.to > maxRow)
        return fail(badEnd, RangeCheck::Field::End);
    if (check.from > check.to)
        return fail(badStart, RangeCheck::Field::Start);
    check.ok = true;
    return check;
}
