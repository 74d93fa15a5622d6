#include "pages/TabText.h"

#include "pages/Delimited.h"
#include "pages/GoodsSheet.h"

using namespace Qt::StringLiterals;

TextBlock ParseTabText(const QString &text)
{
    TextBlock block;
    DelimitedReader reader(text, u'\t');
    for (QStringList row; reader.next(row);)
        block << row;
    return block;
}

namespace {
QString Quoted(const QString &cell)
{
    const bool quote = cell.startsWith(u'"') || cell.contains(u'\t') || cell.contains(u'\n') || cell.contains(u'\r');
    return quote ? QuoteCell(cell) : cell;
}
} // namespace

QString ToTabText(const TextBlock &block)
{
    // Every row ends with its line end, the last one too, as spreadsheets
    // write it: a last row of one empty cell is then still a row.
    QString text;
    for (const QStringList &row : block) {
        QStringList cells;
        cells.reserve(row.size());
        for (const QString &cell : row)
            cells << Quoted(cell);
        text += cells.join(u'\t') + u'\n';
    }
    return text;
}

namespace {
// The markers of a cell on the clipboard; its text follows.
QString HtmlCellStart(const QString &text, HtmlColumn column)
{
    const std::optional<PriceNumber> number = column == HtmlColumn::Price ? PriceAsNumber(text) : std::nullopt;
    if (!number)
        return u"<td sdnum=\"1049;0;@\" style=\"mso-number-format:'\\@'\">"_s;
    const QString decimals = number->decimals > 0 ? u"."_s + QString(number->decimals, u'0') : QString();
    return u"<td sdval=\"%1\" sdnum=\"1033;0;0%2\" x:num=\"%1\" style=\"mso-number-format:'0%3'\">"_s.arg(
        text, decimals, decimals.isEmpty() ? QString() : u'\\' + decimals);
}
} // namespace

QString ToHtmlTable(const TextBlock &block, const QList<HtmlColumn> &columns)
{
    QString html = u"<html xmlns:x=\"urn:schemas-microsoft-com:office:excel\"><head><meta charset=\"utf-8\"></head>"
                   u"<body><table>"_s;
    for (const QStringList &row : block) {
        html += u"<tr>"_s;
        for (qsizetype i = 0; i < row.size(); ++i) {
            const QString &cell = row[i];
            QString text = cell.toHtmlEscaped();
            text.replace(u"\r\n"_s, u"<br>"_s).replace(u'\n', u"<br>"_s).replace(u'\r', u"<br>"_s);
            html += HtmlCellStart(cell, columns.value(i, HtmlColumn::Text)) + text + u"</td>"_s;
        }
        html += u"</tr>"_s;
    }
    return html + u"</table></body></html>"_s;
}
