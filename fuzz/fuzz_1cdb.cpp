// A 1C exchange file's bytes through the parser; the records of an accepted
// one, written as the export writes them, must parse again to lines alike.
#include "FuzzSupport.h"

#include "kkt/KktText.h"
#include "pages/Goods1C.h"

namespace {
QByteArray Written(const Goods1CRecords &records)
{
    QString text = QStringLiteral("\x01\r\n");
    for (const auto &[number, cells] : records.rows)
        text += Goods1CLine(number, cells);
    return ToCp1251(text);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<Goods1CRecords> records = ParseGoods1C(FuzzBytes(data, size));
    if (!records)
        return 0;
    for (const auto &[number, cells] : records->rows)
        if (number < 1 || number > GoodsRows::kCount)
            qFatal("a 1C record outside the goods rows");
    const QByteArray written = Written(*records);
    const std::optional<Goods1CRecords> again = ParseGoods1C(written);
    if (!again || Written(*again) != written)
        qFatal("an exported 1C file does not import to the same goods");
    return 0;
}
