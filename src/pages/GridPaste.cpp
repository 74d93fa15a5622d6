#include "pages/GridPaste.h"

#include "pages/FixedLists.h"
#include "pages/ReportText.h"
#include "scanner/ShtrihCheck.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace {
constexpr int kDetailLines = 10; // cells named in the message; the rest are counted

QList<int> VisibleColumnsFrom(const TableLayout &layout, int from)
{
    QList<int> cols;
    for (int col = qMax(1, from); col < layout.cols; ++col)
        if (!layout.column(col).hidden)
            cols << col;
    return cols;
}

// The entry a pasted text names: equal to it, blanks around and letter case aside.
std::optional<QString> EntryNamed(ListKind list, const QString &text)
{
    const QString wanted = text.trimmed();
    for (const QString &entry : ListEntries(list))
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            return entry;
    return std::nullopt;
}

struct Outcome
{
    bool take = true; // false: the cell keeps its text
    QString text;
    QString problem; // what the rule did, for the mark and the message
};

Outcome Judge(const StringGridModel &grid, const TableLayout &layout, int row, int col, const QString &pasted)
{
    const CellRule rule = RuleAt(layout, row, col);
    if (rule.edit == EditRule::List) {
        if (pasted.trimmed().isEmpty()) // a column the pasted table leaves empty: nothing meant for the list
            return { false, {}, {} };
        if (rule.list == ListKind::Vat && FixedLists::IsVatExemptKind(grid.cell(row, UslCol::Kind))) {
            if (pasted.trimmed().compare(FixedLists::VatExempt(), Qt::CaseInsensitive) == 0)
                return { true, FixedLists::VatExempt(), {} };
            return { false, {}, u"у признака с кодом 05 или 06 НДС не выбирается"_s };
        }
        if (const std::optional<QString> entry = EntryNamed(rule.list, pasted))
            return { true, *entry, {} };
        return { false, {}, u"такого значения нет в списке"_s };
    }
    const QString font = rule.fontCol >= 0 ? grid.cell(row, rule.fontCol) : QString();
    const RuledText ruled = PassRule(rule, QString(), font, pasted);
    return { true, ruled.text, DescribeRuled(ruled) };
}

void PutCell(
    StringGridModel &grid, const TableLayout &layout, int row, int col, const QString &pasted, PasteReport &report)
{
    report.reached();
    grid.clearMark(row, col, MarkKind::Adjusted); // it spoke of an earlier paste
    const Outcome outcome = Judge(grid, layout, row, col, pasted);
    if (outcome.take) {
        grid.setCell(row, col, outcome.text);
        if (layout.kind == TableKind::Goods && col == GoodsCol::Barcode)
            if (const QString why = UnscannableBarcode(outcome.text); !why.isEmpty())
                report.unscannable(row, why);
        // As the list choice does: these kinds carry no VAT choice.
        if (RuleAt(layout, row, col).list == ListKind::ItemKinds && FixedLists::IsVatExemptKind(outcome.text))
            grid.setCell(row, UslCol::Vat, FixedLists::VatExempt());
    }
    if (!outcome.problem.isEmpty())
        NoteAdjusted(grid, layout, row, col, pasted, outcome.problem, report);
}

struct PastedCell
{
    int col;
    QString text;
};

// The list cells of a row go first: a text is then held to the font it gets in the same paste.
void PutRow(
    StringGridModel &grid, const TableLayout &layout, int row, const QList<PastedCell> &cells, PasteReport &report)
{
    for (const bool lists : { true, false })
        for (const PastedCell &cell : cells)
            if ((RuleAt(layout, row, cell.col).edit == EditRule::List) == lists)
                PutCell(grid, layout, row, cell.col, cell.text, report);
}
} // namespace

void PasteReport::reached()
{
    ++m_reached;
}

void PasteReport::adjusted(int row, const QString &columnTitle, const QString &reason)
{
    if (++m_adjusted <= kDetailLines)
        m_details << u"строка %1, «%2»: %3"_s.arg(row).arg(columnTitle, reason);
}

void PasteReport::outside(int cells)
{
    m_outside += cells;
}

void PasteReport::unscannable(int row, const QString &reason)
{
    if (++m_unscannable <= kDetailLines)
        m_unscannableDetails << u"строка %1: %2"_s.arg(row).arg(reason);
}

QString PasteReport::message() const
{
    if (m_adjusted == 0 && m_outside == 0 && m_unscannable == 0)
        return {};
    QString text = Plural(m_reached, u"Вставлена %1 ячейка"_s, u"Вставлено %1 ячейки"_s, u"Вставлено %1 ячеек"_s);
    if (m_adjusted > 0) {
        text += u", "_s + Plural(m_adjusted, u"изменена %1"_s, u"изменено %1"_s, u"изменено %1"_s) + u":"_s;
        for (const QString &line : m_details)
            text += u"\r\n"_s + line;
        if (m_adjusted > kDetailLines)
            text += u"\r\n… и ещё %1"_s.arg(m_adjusted - kDetailLines);
    } else {
        text += u'.';
    }
    if (m_outside > 0)
        text += u"\r\n"_s
            + Plural(m_outside, u"Не вставлена %1 ячейка за краем таблицы."_s,
                u"Не вставлено %1 ячейки за краем таблицы."_s, u"Не вставлено %1 ячеек за краем таблицы."_s);
    if (m_unscannable > 0) {
        text += u"\r\n"_s + UnscannableHead(m_unscannable);
        for (const QString &line : m_unscannableDetails)
            text += u"\r\n"_s + line;
        if (m_unscannable > kDetailLines)
            text += u"\r\n… и ещё %1"_s.arg(m_unscannable - kDetailLines);
    }
    return text;
}

QString DescribeRuled(const RuledText &ruled)
{
    QStringList parts;
    if (ruled.refused > 0)
        parts << u"убраны недопустимые символы (%1)"_s.arg(ruled.refused);
    if (ruled.cut > 0)
        parts << Plural(
            ruled.limit, u"обрезано до %1 символа"_s, u"обрезано до %1 символов"_s, u"обрезано до %1 символов"_s);
    return parts.join(u", "_s);
}

void NoteAdjusted(StringGridModel &grid, const TableLayout &layout, int row, int col, const QString &pasted,
    const QString &problem, PasteReport &report)
{
    grid.setMark(row, col, MarkKind::Adjusted, u"Вставлялось "_s + QuotedCell(pasted) + u": "_s + problem);
    report.adjusted(row, layout.column(col).title.trimmed(), problem);
}

CellRange PasteBlock(
    StringGridModel &grid, const TableLayout &layout, int row, int col, const TextBlock &block, PasteReport &report)
{
    const QList<int> cols = VisibleColumnsFrom(layout, col);
    const GridBulkUpdate bulk(grid);
    std::optional<CellRange> written;
    for (qsizetype i = 0; i < block.size(); ++i) {
        const QStringList &texts = block[i];
        const int target = row + int(i);
        if (target > layout.maxRow() || cols.isEmpty()) {
            report.outside(int(texts.size()));
            continue;
        }
        QList<PastedCell> cells;
        for (qsizetype j = 0; j < texts.size(); ++j) {
            if (j < cols.size())
                cells.append({ cols[j], texts[j] });
            else
                report.outside(1);
        }
        PutRow(grid, layout, target, cells, report);
        if (cells.isEmpty())
            continue;
        // The first cell of a row goes to the first visible column: a hidden
        // column where the paste began is no part of what it wrote.
        if (!written)
            written = CellRange { target, cells.first().col, target, cells.last().col };
        written->bottom = target;
        written->right = qMax(written->right, cells.last().col);
    }
    return written.value_or(CellRange { row, col, row - 1, col - 1 });
}

void FillRange(
    StringGridModel &grid, const TableLayout &layout, const CellRange &range, const QString &text, PasteReport &report)
{
    QList<PastedCell> cells;
    for (int col : VisibleColumnsFrom(layout, range.left))
        if (col <= range.right)
            cells.append({ col, text });
    const GridBulkUpdate bulk(grid);
    for (int row = range.top; row <= range.bottom && row <= layout.maxRow(); ++row)
        PutRow(grid, layout, row, cells, report);
}

void ClearRange(StringGridModel &grid, const TableLayout &layout, const CellRange &range)
{
    const GridBulkUpdate bulk(grid);
    const QList<int> cols = VisibleColumnsFrom(layout, range.left);
    for (int row = range.top; row <= range.bottom && row <= layout.maxRow(); ++row) {
        for (const bool lists : { true, false }) {
            for (int col : cols) {
                const CellRule rule = RuleAt(layout, row, col);
                if (col > range.right || rule.edit == EditRule::None || (rule.edit == EditRule::List) != lists)
                    continue;
                grid.clearMark(row, col, MarkKind::Adjusted);
                // The VAT of a kind without a VAT choice stays as the kind set it.
                if (rule.list == ListKind::Vat && !OpensList(layout, grid, row, col))
                    continue;
                grid.setCell(row, col, lists ? layout.column(col).startValue : QString());
            }
        }
    }
}

namespace {
// The visible columns of the range, in order: what a copy takes of each row.
QList<int> CopiedColumns(const TableLayout &layout, const CellRange &range)
{
    QList<int> cols;
    for (int col : VisibleColumnsFrom(layout, range.left))
        if (col <= range.right)
            cols << col;
    return cols;
}
} // namespace

TextBlock CopyRange(const StringGridModel &grid, const TableLayout &layout, const CellRange &range)
{
    const QList<int> cols = CopiedColumns(layout, range);
    TextBlock block;
    if (cols.isEmpty())
        return block;
    block.reserve(range.bottom - range.top + 1);
    for (int row = range.top; row <= range.bottom; ++row) {
        QStringList texts;
        texts.reserve(cols.size());
        for (int col : cols)
            texts << grid.cell(row, col);
        block << texts;
    }
    return block;
}

QList<HtmlColumn> CopyColumnKinds(const TableLayout &layout, const CellRange &range)
{
    QList<HtmlColumn> kinds;
    for (int col : CopiedColumns(layout, range))
        kinds << (layout.column(col).rule.edit == EditRule::Price ? HtmlColumn::Price : HtmlColumn::Text);
    return kinds;
}
