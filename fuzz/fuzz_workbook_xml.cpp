// The XML parts of .xlsx and .ods workbooks as the reader takes them (the
// first byte chooses the part): whatever they hold, the reader keeps within
// the goods rows and its text bound, and never crashes or hangs.
#include "FuzzSupport.h"

#include "SheetCollector.h"
#include "SheetXml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray part = FuzzBytes(data + 1, size - 1);
    SheetCollector out;
    SheetXml::XlsxTables tables;
    tables.shared = { QStringLiteral("Хлеб"), QStringLiteral("4600000000001") };
    tables.looks = { {}, { true, -1 }, { false, 2 } };
    qint64 chars = 0;
    switch (data[0] % 5) {
    case 0:
        (void)SheetXml::ReadXlsxSheet(part, tables, out);
        break;
    case 1:
        (void)SheetXml::ReadOdsContent(part, out);
        break;
    case 2:
        (void)SheetXml::SharedStrings(part, chars);
        break;
    case 3:
        (void)SheetXml::CellLooks(part);
        break;
    default:
        (void)SheetXml::FirstSheetPart(part, part);
        break;
    }
    if (out.take().rows.size() > size_t(XlsCells::kMaxRows))
        qFatal("more rows than the goods base holds");
    return 0;
}
