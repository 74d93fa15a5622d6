#include "pages/TabText.h"

using namespace Qt::StringLiterals;

TextBlock ParseTabText(const QString &text)
{
    TextBlock block;
    QStringList row;
    QString cell;
    const qsizetype size = text.size();
    qsizetype i = 0;
    bool cellStart = true;
    while (i < size) {
        const QChar c = text[i];
        if (cellStart && c == u'"') {
            // A quoted cell: to the lone closing quote; what follows it up to
            // the next tab or line end stays part of the cell, as written.
            ++i;
            while (i < size) {
                if (text[i] == u'"') {
                    if (i + 1 < size && text[i + 1] == u'"') {
                        cell += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += text[i++];
            }
            cellStart = false;
            continue;
        }
        cellStart = false;
        if (c == u'\t') {
            row << cell;
            cell.clear();
            cellStart = true;
            ++i;
        } else if (c == u'\r' || c == u'\n') {
            row << cell;
            block << row;
            row.clear();
            cell.clear();
            cellStart = true;
            i += (c == u'\r' && i + 1 < size && text[i + 1] == u'\n') ? 2 : 1;
        } else {
            cell += c;
            ++i;
        }
    }
    if (!cellStart || !row.isEmpty())
        block << (row << cell);
    return block;
}

namespace {
QString Quoted(const QString &cell)
{
    const bool quote = cell.startsWith(u'"') || cell.contains(u'\t') || cell.contains(u'\n') || cell.contains(u'\r');
    if (!quote)
        return cell;
    QString inner = cell;
    inner.replace(u"\""_s, u"\"\""_s);
    return u'"' + inner + u'"';
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

QString ToHtmlTable(const TextBlock &block)
{
    QString html = u"<html><head><meta charset=\"utf-8\"></head><body><table>"_s;
    for (const QStringList &row : block) {
        html += u"<tr>"_s;
        for (const QString &cell : row) {
            QString text = cell.toHtmlEscaped();
            text.replace(u"\r\n"_s, u"<br>"_s).replace(u'\n', u"<br>"_s).replace(u'\r', u"<br>"_s);
            html += u"<td style=\"mso-number-format:'\\@'\">"_s + text + u"</td>"_s;
        }
        html += u"</tr>"_s;
    }
    return html + u"</table></body></html>"_s;
}
