#include "pages/RunTypes.h"

using namespace Qt::StringLiterals;

int ProgressPercent(int position, int total)
{
    if (total <= 0)
        return 0;
    const qint64 scaled = qint64(position) * 100;
    const qint64 quotient = scaled / total;
    const qint64 twice = (scaled % total) * 2;
    if (twice > total || (twice == total && quotient % 2 != 0))
        return int(quotient + 1);
    return int(quotient);
}

qint64 SecondsLeft(int done, int total, qint64 elapsedMs)
{
    if (done <= 0 || done >= total)
        return 0;
    const double perSecond = done * 1000.0 / double(qMax<qint64>(elapsedMs, 1));
    return qint64((total - done) / perSecond + 0.5);
}

QString DurationText(qint64 seconds)
{
    const QString ss = QString::number(seconds % 60).rightJustified(2, u'0');
    if (seconds < 3600)
        return QString::number(seconds / 60) + u':' + ss;
    return QString::number(seconds / 3600) + u':' + QString::number(seconds / 60 % 60).rightJustified(2, u'0') + u':'
        + ss;
}

QString StoppedRunMessage(RunDirection direction, int rowsDone, int rowsTotal)
{
    const QString done = direction == RunDirection::Write ? u"Записано строк: "_s : u"Прочитано строк: "_s;
    return u"Обмен с ККТ остановлен.\r\n"_s + done + QString::number(rowsDone) + u" из "_s + QString::number(rowsTotal)
        + u"."_s;
}

QString StoppedRunMessage(RunDirection direction, const RunResult &result, int rowsTotal, int fieldsPerRow)
{
    QString text = StoppedRunMessage(direction, result.count, rowsTotal);
    if (result.partialRow > 0 && result.partialFields > 0) {
        text += u"\r\nСтрока %1 %2 не полностью: полей %3 из %4."_s.arg(result.partialRow)
                    .arg(direction == RunDirection::Write ? u"записана"_s : u"прочитана"_s)
                    .arg(result.partialFields)
                    .arg(fieldsPerRow);
    }
    return text;
}

QString RunSummary(RunDirection direction, int rows, qint64 elapsedMs)
{
    return (direction == RunDirection::Write ? u"Записано "_s : u"Прочитано "_s) + QString::number(rows)
        + u" строк за "_s + DurationText((elapsedMs + 500) / 1000);
}

int LastRowThrough(const RunResult &result, int from, int to)
{
    if (result.ok && !result.stopped)
        return to;
    return result.resumeRow > 0 ? qBound(from - 1, result.resumeRow - 1, to) : from - 1;
}
