// What the workbook reader hands back, as the program decodes it: only what
// the reader's encoding makes is taken, and every row taken becomes a goods row.
#include "FuzzSupport.h"

#include "pages/XlsCells.h"
#include "pages/xlsTool.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    const std::optional<std::vector<QStringList>> rows = XlsCells::Decode(bytes);
    if (!rows)
        return 0;
    if (XlsCells::Encode(*rows) != bytes)
        qFatal("the reader's output decoded from bytes it does not make");
    for (const QStringList &row : *rows)
        (void)GoodsOfSheetRow(row);
    return 0;
}
