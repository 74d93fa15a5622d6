#include "pages/ReportText.h"

using namespace Qt::StringLiterals;

QString Plural(int n, const QString &one, const QString &few, const QString &many)
{
    const int tens = n % 100;
    const int units = n % 10;
    const QString &form = (tens >= 11 && tens <= 14) ? many
        : units == 1                                 ? one
        : (units >= 2 && units <= 4)                 ? few
                                                     : many;
    return form.arg(n);
}

QString QuotedCell(const QString &text)
{
    constexpr int kLongest = 40;
    QString shown = text.left(kLongest);
    for (QChar &c : shown)
        if (c.category() == QChar::Other_Control)
            c = u'·';
    return u"«"_s + shown + (text.size() > kLongest ? u"…»"_s : u"»"_s);
}

QString UnscannableHead(int n)
{
    return Plural(n, u"%1 штрих-код сканер не прочтёт (ККТ сохранит его как есть):"_s,
        u"%1 штрих-кода сканер не прочтёт (ККТ сохранит их как есть):"_s,
        u"%1 штрих-кодов сканер не прочтёт (ККТ сохранит их как есть):"_s);
}
