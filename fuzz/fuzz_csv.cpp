// A delimited file's bytes as the goods import reads them: every record it
// takes has the reader's width, no more rows than the goods base, and the
// rows taken, written back with every cell quoted, read back alike.
#include "FuzzSupport.h"

#include "pages/Delimited.h"
#include "pages/GoodsCsv.h"
#include "pages/XlsCells.h"

namespace {
QByteArray Quoted(const std::vector<QStringList> &rows)
{
    QString text = QStringLiteral("A;B;C;D;E;F;G\r\n");
    for (const QStringList &row : rows) {
        QStringList cells { QString(), QString() };
        for (const QString &cell : row)
            cells << QuoteCell(cell);
        text += cells.join(u';') + QStringLiteral("\r\n");
    }
    return "\xEF\xBB\xBF" + text.toUtf8();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString refusal;
    const std::optional<std::vector<QStringList>> rows
        = SheetRowsOfCsv(QStringLiteral("fuzz.csv"), FuzzBytes(data, size), &refusal);
    if (!rows) {
        if (refusal.isEmpty())
            qFatal("a refusal without its message");
        return 0;
    }
    if (rows->size() > size_t(XlsCells::kMaxRows))
        qFatal("more rows than the goods base holds");
    for (const QStringList &row : *rows)
        if (row.size() != XlsCells::kColumns)
            qFatal("a row of another width than the workbook reader's");
    // Through UTF-8 both ways: a lone surrogate of a UTF-16 file is no character.
    std::vector<QStringList> expected = *rows;
    for (QStringList &row : expected)
        for (QString &cell : row)
            cell = QString::fromUtf8(cell.toUtf8());
    const std::optional<std::vector<QStringList>> again
        = SheetRowsOfCsv(QStringLiteral("fuzz.csv"), Quoted(expected), &refusal);
    if (!again || *again != expected)
        qFatal("rows written with every cell quoted do not read back alike");
    return 0;
}
