// What the workbook reader hands back, as the program decodes it: only what
// the reader's encoding makes is taken, every row taken becomes a goods row,
// and no cell the grid refuses gets through.
#include "FuzzSupport.h"

#include "config/NumberText.h"
#include "pages/ImportReport.h"
#include "pages/XlsCells.h"
#include "pages/xlsTool.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    const std::optional<XlsCells::Sheet> sheet = XlsCells::Decode(bytes);
    if (!sheet)
        return 0;
    if (XlsCells::Encode(*sheet) != bytes)
        qFatal("the reader's output decoded from bytes it does not make");
    const std::vector<XlsCells::Row> &rows = sheet->rows;
    (void)XlsLayoutMisfit(QStringLiteral("fuzz.xls"), rows);
    ImportReport report;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int refusedBefore = report.refusedCount();
        const GoodsCells cells = GoodsOfSheetRow(int(i + 1), rows[i], report);
        // A formula not read or an error never reaches the grid as a value: each is refused.
        const auto unread = std::count_if(rows[i].cbegin(), rows[i].cend(), [](const XlsCells::Cell &cell) {
            return cell.kind == XlsCells::Kind::FormulaUnread || cell.kind == XlsCells::Kind::FormulaError;
        });
        if (report.refusedCount() - refusedBefore < unread)
            qFatal("a cell the reader could not read was taken without a word");
        // Whatever the cells held, the grid gets a barcode of digits or none and a price.
        const QString &barcode = cells[GoodsCol::Barcode - 1];
        if ((!barcode.isEmpty() && !IsDecimalDigits(barcode)) || !IsPriceNumber(cells[GoodsCol::Price - 1]))
            qFatal("a workbook row gives the grid a barcode or a price it does not take");
    }
    if (report.rowsLoaded() > int(rows.size()))
        qFatal("more goods rows loaded than the workbook has");
    return 0;
}
