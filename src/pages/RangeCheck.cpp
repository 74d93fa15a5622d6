#include "pages/RangeCheck.h"

#include "config/NumberText.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace {
const QString &BadStart()
{
    static const QString text = u"ВНИМАНИЕ!\r\nНеверно введено значение начала диапазона!"_s;
    return text;
}

const QString &BadEnd()
{
    static const QString text = u"ВНИМАНИЕ!\r\nНеверно введено значение конца диапазона!"_s;
    return text;
}

RangeCheck Failed(RangeCheck check, const QString &message, RangeCheck::Field focus)
{
    check.message = message;
    check.focus = focus;
    return check;
}
} // namespace

RangeCheck CheckRangeValues(const QString &fromText, const QString &toText, int maxRow)
{
    if (fromText.isEmpty())
        return Failed({}, BadStart(), RangeCheck::Field::Start);
    if (toText.isEmpty())
        return Failed({}, BadEnd(), RangeCheck::Field::End);
    const std::optional<qint64> from = ParseDigits(fromText, std::numeric_limits<int>::max());
    const std::optional<qint64> to = ParseDigits(toText, std::numeric_limits<int>::max());
    if (!from || !to) // only pasting gets text here: no message
        return {};
    return CheckRowRange(int(*from), int(*to), maxRow);
}

RangeCheck CheckRowRange(int from, int to, int maxRow)
{
    RangeCheck check;
    check.from = from;
    check.to = to;
    if (from < 1)
        return Failed(
            check, u"ВНИМАНИЕ!\r\nЗначение начала диапазона не может начинаться с 0!"_s, RangeCheck::Field::Start);
    if (from > maxRow)
        return Failed(check, BadStart(), RangeCheck::Field::Start);
    if (to > maxRow)
        return Failed(check, BadEnd(), RangeCheck::Field::End);
    if (from > to)
        return Failed(check, BadStart(), RangeCheck::Field::Start);
    check.ok = true;
    return check;
}

RangeCheck CheckItemNumber(const QString &text, int maxRow)
{
    RangeCheck check;
    check.focus = RangeCheck::Field::Start;
    const std::optional<qint64> number = ParseDigits(text, std::numeric_limits<int>::max());
    if (!number)
        check.message = u"ВНИМАНИЕ!\r\nНе введён номер товара!"_s;
    else if (*number == 0)
        check.message = u"ВНИМАНИЕ!\r\nНомер товара не может быть 0!"_s;
    else if (*number > maxRow)
        check.message = u"ВНИМАНИЕ!\r\nНомер товара не может быть больше %1!"_s.arg(maxRow);
    else
        check = { true, {}, RangeCheck::Field::None, int(*number), int(*number) };
    return check;
}
