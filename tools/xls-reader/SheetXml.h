#pragma once

#include "pages/XlsCells.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <optional>
#include <vector>

class SheetCollector;

// The parts of .xlsx and .ods workbooks the goods import reads, parsed with
// QXmlStreamReader. Every function takes the part's bytes (already bounded
// by ZipBook) and bounds what it keeps; a part that is no well-formed XML of
// its kind gives nothing or XlsCells::Damaged.
namespace SheetXml {
// A reader of a part's bytes that decodes them as it goes, a block at a
// time: a reader given the whole array decodes it at once into a second,
// twice as large copy.
class PartReader
{
public:
    explicit PartReader(const QByteArray &bytes);
    QXmlStreamReader xml;

private:
    QBuffer m_buffer;
};

// .xlsx: the part of the first sheet, from xl/workbook.xml and its relationships.
std::optional<QString> FirstSheetPart(const QByteArray &workbook, const QByteArray &relationships);
// .xlsx: the shared strings (xl/sharedStrings.xml), their characters counted into `chars`.
std::optional<std::vector<QString>> SharedStrings(const QByteArray &part, qint64 &chars);
// How a cell style shows a number: as a date or a time, or with a fixed count
// of decimals ("0.00": 12.5 shows as 12.50); -1 for any other look.
struct CellLook
{
    bool date = false;
    int decimals = -1;
};
// .xlsx: the look of each cell style (the s="" of a cell), from xl/styles.xml.
std::vector<CellLook> CellLooks(const QByteArray &styles);
// The decimals a number format shows always ("0.00", "#,##0.00 ₽"), -1 when it has no such fixed form.
int FixedDecimals(int id, const QString &code);
// A number's digits as a format with `decimals` shows them: zeros added, never
// a digit taken away (a longer fraction stays whole rather than rounded).
QString WithDecimals(const QString &number, int decimals);

struct XlsxTables
{
    std::vector<QString> shared;
    std::vector<CellLook> looks;
};
// .xlsx: the cells of a worksheet part into `out`. 0 or an XlsCells::Exit code.
int ReadXlsxSheet(const QByteArray &sheet, const XlsxTables &tables, SheetCollector &out);

// .ods: the cells of the first table of content.xml into `out`. 0 or an XlsCells::Exit code.
int ReadOdsContent(const QByteArray &content, SheetCollector &out);

// A cell's date serial number (days since 1899-12-30) as the date it shows.
QString DateOfSerial(const QString &serial);
// Whether a number format code shows a date or a time ("dd.mm.yyyy", "[h]:mm").
bool IsDateFormat(int id, const QString &code);
} // namespace SheetXml
