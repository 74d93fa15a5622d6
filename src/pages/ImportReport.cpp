#include "pages/ImportReport.h"

#include "config/NumberText.h"
#include "pages/ReportText.h"
#include "pages/TableLayout.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int kDetailLines = 5; // cells named in each paragraph; the rest are counted

QString ColumnTitle(int col)
{
    return LayoutOf(TableKind::Goods).column(col).title.trimmed();
}

QString CellLine(int row, int col, const QString &what)
{
    return u"строка %1, «%2»: %3"_s.arg(row).arg(ColumnTitle(col), what);
}

// A paragraph: its first line, the first cells, and how many more there are.
QString Paragraph(const QString &head, const QStringList &lines, int count)
{
    QString text = head;
    for (const QString &line : lines)
        text += u"\r\n"_s + line;
    if (count > lines.size())
        text += u"\r\n… и ещё %1"_s.arg(count - lines.size());
    return text;
}

QString IssuesText(const QList<StoreIssue> &issues, const QString &head)
{
    QStringList lines;
    for (const StoreIssue &issue : issues.first(qMin<qsizetype>(issues.size(), kDetailLines)))
        lines << CellLine(issue.row, issue.col, QuotedCell(issue.value) + u" — "_s + issue.reason);
    return Paragraph(head, lines, int(issues.size()));
}
} // namespace

void ImportReport::beginRow(int row)
{
    if (row < 1 || row > GoodsRows::kCount)
        return;
    if (!m_loaded[size_t(row - 1)]) {
        m_loaded[size_t(row - 1)] = true;
        ++m_rowsLoaded;
    }
    const auto first = m_notes.lower_bound({ row, 0 });
    const auto last = m_notes.lower_bound({ row + 1, 0 });
    for (auto it = first; it != last; ++it)
        m_refused -= it->second.refused ? 1 : 0;
    m_notes.erase(first, last);
}

QString ImportReport::takeName(int row, const QString &text)
{
    const QString kept = GoodsRows::StoredName(text);
    if (kept != text)
        note(row, GoodsCol::Name, text, u"обрезано до %1 символов"_s.arg(kept.size()), false);
    return kept;
}

QString ImportReport::takeBarcode(int row, const QString &text)
{
    if (text.isEmpty() || IsDecimalDigits(text))
        return text;
    return refuse(row, GoodsCol::Barcode, text, u"штрих-код не число"_s);
}

QString ImportReport::refuse(int row, int col, const QString &text, const QString &why)
{
    note(row, col, text, why, true);
    return GoodsRows::Defaults()[size_t(col - 1)];
}

void ImportReport::note(int row, int col, const QString &fileText, const QString &problem, bool refused)
{
    Note &slot = m_notes[{ row, col }];
    m_refused += (refused ? 1 : 0) - (slot.refused ? 1 : 0);
    slot = Note { fileText, problem, refused };
}

void ImportReport::finish(StringGridModel &goods, int firstCol, int lastCol)
{
    {
        const GridBulkUpdate bulk(goods);
        // A mark of an earlier paste or import speaks of a text this import replaced.
        for (int row = 1; row <= GoodsRows::kCount; ++row)
            for (int col = firstCol; col <= lastCol; ++col)
                goods.clearMark(row, col, MarkKind::Adjusted);
        for (const auto &[cell, note] : m_notes)
            goods.setMark(cell.first, cell.second, MarkKind::Adjusted,
                u"В файле: "_s + QuotedCell(note.fileText) + u" — "_s + note.problem);
    }
    m_names.clear();
    m_writeRefused.clear();
    m_unscannable.clear();
    m_capitalNames = 0;
    for (const StoreIssue &issue : StoreIssues(TableKind::Goods, goods, 1, GoodsRows::kCount)) {
        if (issue.refused())
            m_writeRefused << issue;
        else if (issue.col == GoodsCol::Name && issue.level == StoreLevel::Changed)
            m_names << issue;
        else if (issue.col == GoodsCol::Name && issue.level == StoreLevel::Case)
            ++m_capitalNames;
        else if (issue.col == GoodsCol::Barcode && issue.level == StoreLevel::Warning)
            m_unscannable << issue;
    }
}

QString ImportReport::notesText(bool refused) const
{
    QStringList lines;
    int count = 0;
    for (const auto &[cell, note] : m_notes) {
        if (note.refused != refused)
            continue;
        if (++count <= kDetailLines)
            lines << CellLine(
                cell.first, cell.second, u"в файле "_s + QuotedCell(note.fileText) + u" — "_s + note.problem);
    }
    const QString head = refused
        ? Plural(count, u"Не принято %1 значение из файла"_s, u"Не принято %1 значения из файла"_s,
              u"Не принято %1 значений из файла"_s)
            + u" (в ячейках значения по умолчанию, ячейки отмечены):"_s
        : Plural(count, u"Обрезано %1 наименование"_s, u"Обрезано %1 наименования"_s, u"Обрезано %1 наименований"_s)
            + u" (ячейки отмечены):"_s;
    return Paragraph(head, lines, count);
}

QString ImportReport::text(const QString &head) const
{
    QString first = head.isEmpty()
        ? Plural(m_rowsLoaded, u"Загружена %1 строка."_s, u"Загружено %1 строки."_s, u"Загружено %1 строк."_s)
        : head;
    if (const int rest = GoodsRows::kCount - m_rowsLoaded; rest > 0)
        first += u"\r\n"_s
            + Plural(rest, u"Остальная %1 строка очищена."_s, u"Остальные %1 строки очищены."_s,
                u"Остальные %1 строк очищены."_s);
    QStringList paragraphs { first };
    if (m_refused > 0)
        paragraphs << notesText(true);
    if (cutCount() > 0)
        paragraphs << notesText(false);
    if (!m_names.isEmpty())
        paragraphs << IssuesText(m_names,
            Plural(namesOtherwise(), u"%1 наименование ККТ сохранит иначе:"_s, u"%1 наименования ККТ сохранит иначе:"_s,
                u"%1 наименований ККТ сохранит иначе:"_s));
    if (!m_writeRefused.isEmpty())
        paragraphs << IssuesText(m_writeRefused,
            Plural(writeRefused(), u"%1 ячейку ККТ не примет при записи:"_s, u"%1 ячейки ККТ не примет при записи:"_s,
                u"%1 ячеек ККТ не примет при записи:"_s));
    if (m_capitalNames > 0)
        paragraphs << Plural(m_capitalNames, u"%1 наименование ККТ сохранит заглавными буквами (ячейки отмечены)."_s,
            u"%1 наименования ККТ сохранит заглавными буквами (ячейки отмечены)."_s,
            u"%1 наименований ККТ сохранит заглавными буквами (ячейки отмечены)."_s);
    if (!m_unscannable.isEmpty())
        paragraphs << IssuesText(m_unscannable, UnscannableHead(unscannable()));
    // A blank line between the paragraphs: each lists cells of its own.
    return paragraphs.join(u"\r\n\r\n"_s);
}
