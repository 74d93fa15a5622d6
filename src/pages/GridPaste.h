#pragma once

#include "pages/StringGridModel.h"
#include "pages/TabText.h"
#include "pages/TableLayout.h"
#include "pages/TypingRules.h"

#include <QString>
#include <QStringList>

// A rectangle of data cells in grid coordinates (rows and columns from 1), both
// ends included; empty when it ends before it starts.
struct CellRange
{
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;

    bool isEmpty() const { return bottom < top || right < left; }
    int cellCount() const { return isEmpty() ? 0 : (bottom - top + 1) * (right - left + 1); }
    bool operator==(const CellRange &) const = default;
};

// What a paste or a fill did, for the one message after it.
class PasteReport
{
public:
    void reached(); // a cell the paste reached
    // A cell whose rule changed what it got, or refused it.
    void adjusted(int row, const QString &columnTitle, const QString &reason);
    void outside(int cells); // block cells past the grid's last row or column
    // A barcode taken as pasted that no scanner gives (the cell keeps it, marked).
    void unscannable(int row, const QString &reason);

    int reachedCount() const { return m_reached; }
    int adjustedCount() const { return m_adjusted; }
    int outsideCount() const { return m_outside; }
    int unscannableCount() const { return m_unscannable; }
    // "Вставлено N ячеек, изменено M: ..." with the first cells and their
    // reasons, and the cells left outside; empty when there is nothing to tell.
    QString message() const;

private:
    int m_reached = 0;
    int m_adjusted = 0;
    int m_outside = 0;
    int m_unscannable = 0;
    QStringList m_details;
    QStringList m_unscannableDetails;
};

// What a rule did to a pasted text, in words ("убраны недопустимые символы (3)").
QString DescribeRuled(const RuledText &ruled);

// Marks a cell whose rule changed or refused the pasted text, saying what was
// pasted and what the rule did (`problem`), and counts it in the report.
void NoteAdjusted(StringGridModel &grid, const TableLayout &layout, int row, int col, const QString &pasted,
    const QString &problem, PasteReport &report);

// Pastes the block with its first cell at (row, col). Block columns go to the
// grid's visible columns from col on; title and hidden cells never change.
// Every text passes its cell's rule as typed text does; a list cell takes a
// text only when it is one of its entries (the item kinds 05 and 06 set their
// row's VAT as the list does). Cells that a rule changed or refused carry an
// Adjusted mark saying what was pasted and why. Returns the cells written:
// empty when the block reached none (nothing pasted, or all of it past the edge).
CellRange PasteBlock(
    StringGridModel &grid, const TableLayout &layout, int row, int col, const TextBlock &block, PasteReport &report);
// One text into every cell of the range, as a paste of it into each.
void FillRange(
    StringGridModel &grid, const TableLayout &layout, const CellRange &range, const QString &text, PasteReport &report);
// Empties the range's text cells and gives its list cells their start value.
void ClearRange(StringGridModel &grid, const TableLayout &layout, const CellRange &range);
// The texts of the range's visible cells; no rows when it has none (a row of no
// cells has no tab-separated text that reads back as such).
TextBlock CopyRange(const StringGridModel &grid, const TableLayout &layout, const CellRange &range);
// How each column CopyRange copies is to reach a spreadsheet (ToHtmlTable).
QList<HtmlColumn> CopyColumnKinds(const TableLayout &layout, const CellRange &range);
