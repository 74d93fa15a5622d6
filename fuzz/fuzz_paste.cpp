// Clipboard text pasted into a grid: whatever a spreadsheet or anything else
// put there, every cell afterwards is a text its rule lets in, what is copied
// reads back the same, and going back restores the grid exactly.
#include "FuzzSupport.h"

#include "pages/FixedLists.h"
#include "pages/GridDelta.h"
#include "pages/GridPaste.h"
#include "pages/Grids102.h"

namespace {
// A cell as a paste leaves it: a text cell holds what typing it again keeps,
// a list cell one of its entries (or the VAT a kind without VAT choice set).
bool Lawful(const StringGridModel &grid, const TableLayout &layout, int row, int col)
{
    const CellRule rule = RuleAt(layout, row, col);
    const QString text = grid.cell(row, col);
    if (rule.edit == EditRule::None)
        return true;
    if (rule.edit == EditRule::List)
        return ListEntries(rule.list).contains(text) || text == FixedLists::VatExempt();
    // A row's list cells go in before its texts: a text was held to the font it has now.
    const QString font = rule.fontCol >= 0 ? grid.cell(row, rule.fontCol) : QString();
    return PassRule(rule, QString(), font, text).text == text;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    // The first bytes choose the grid and where the block goes; the rest is the clipboard, UTF-16 as Qt has it.
    const auto kind = TableKind(data[0] % kTableKindCount);
    const TableLayout &layout = LayoutOf(kind);
    const int row = 1 + data[1] % layout.maxRow();
    const int col = 1 + (data[1] / 16) % (layout.cols - 1);
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t *>(data + 2), qsizetype((size - 2) / 2));

    const auto grid = MakeGrid(kind);
    const auto fresh = MakeGrid(kind);
    GridDelta delta(*grid);
    delta.startRecording();
    PasteReport report;
    const CellRange written = PasteBlock(*grid, layout, row, col, ParseTabText(text), report);
    delta.stopRecording();
    (void)report.message();

    // Cells the paste changed (a start value is no text a user typed).
    for (int r = 1; r <= layout.maxRow(); ++r)
        for (int c = 1; c < layout.cols; ++c)
            if (grid->cell(r, c) != fresh->cell(r, c) && !Lawful(*grid, layout, r, c))
                qFatal("a pasted cell holds what its rule refuses");
    const TextBlock copied = CopyRange(*grid, layout, written);
    if (ParseTabText(ToTabText(copied)) != copied)
        qFatal("copied cells do not read back the same");

    delta.swap();
    for (int r = 0; r < grid->rows(); ++r)
        for (int c = 0; c < grid->cols(); ++c)
            if (grid->cell(r, c) != fresh->cell(r, c))
                qFatal("going back does not restore the grid");
    return 0;
}
