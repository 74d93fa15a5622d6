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
// .xlsx: for each cell style (the s="" of a cell), whether it shows a date or a time (xl/styles.xml).
std::vector<bool> DateStyles(const QByteArray &styles);

struct XlsxTables
{
    std::vector<QString> shared;
    std::vector<bool> dateStyles;
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
