// The workbook stream of an .xls as the reader walks it for the results of
// formulas: every record length checked against the bytes left, so noise
// gives nothing or cells, never a read past the stream, a hang or a crash.
#include "FuzzSupport.h"

#include "BiffFormulas.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const BiffFormulas::Area area { 1, 6001, 2, 6 };
    const std::optional<BiffFormulas::Results> results
        = BiffFormulas::Read(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), area);
    if (!results)
        return 0;
    if (results->size() > size_t(area.lastRow - area.firstRow + 1) * (area.lastCol - area.firstCol + 1))
        qFatal("more formula cells than the area holds");
    for (const auto &[at, cell] : *results) {
        if (at.first < area.firstRow || at.first > area.lastRow || at.second < area.firstCol
            || at.second > area.lastCol)
            qFatal("a formula cell outside the area asked for");
        if (cell.kind == XlsCells::Kind::FormulaUnread && !cell.text.isEmpty())
            qFatal("a formula not read carries a text");
    }
    return 0;
}
