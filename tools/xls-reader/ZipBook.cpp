#include "ZipBook.h"

#include "SheetCollector.h"
#include "SheetXml.h"
#include "pages/XlsCells.h"

#include <quazipfile.h>
#include <quazipfileinfo.h>

namespace {
// More parts than any workbook of goods has: a central directory of millions
// of entries would cost time before anything is read.
constexpr int kMaxEntries = 10000;
constexpr qint64 kChunk = 1024 * 1024;
} // namespace

ZipBook::ZipBook(const QString &fileName)
    : m_zip(fileName)
{ }

bool ZipBook::open()
{
    return m_zip.open(QuaZip::mdUnzip) && m_zip.getEntriesCount() <= kMaxEntries;
}

bool ZipBook::has(const QString &name)
{
    return m_zip.setCurrentFile(name, QuaZip::csSensitive);
}

int ZipBook::part(const QString &name, QByteArray &bytes)
{
    QuaZipFileInfo64 info;
    if (!has(name) || !m_zip.getCurrentFileInfo(&info))
        return XlsCells::Damaged;
    // Its stated size first: nothing is inflated for a part that says it is too large.
    if (info.uncompressedSize > quint64(XlsCells::kMaxPartBytes))
        return XlsCells::TooLarge;
    QuaZipFile file(&m_zip);
    if (!file.open(QIODevice::ReadOnly))
        return XlsCells::Damaged;
    bytes.clear();
    bytes.reserve(qsizetype(info.uncompressedSize));
    // A part that inflates to more than it said is cut at the bound, never read to its end.
    while (bytes.size() <= XlsCells::kMaxPartBytes) {
        const QByteArray chunk = file.read(kChunk);
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (bytes.size() > XlsCells::kMaxPartBytes)
        return XlsCells::TooLarge;
    const bool whole = !file.atEnd() ? false : quint64(bytes.size()) == info.uncompressedSize;
    file.close();
    // A checksum that does not match, or a part cut short, is a damaged file.
    return whole && file.getZipError() == UNZ_OK ? 0 : XlsCells::Damaged;
}

namespace {
using namespace Qt::StringLiterals;

int ReadXlsx(ZipBook &zip, SheetCollector &out)
{
    QByteArray workbook, relationships;
    if (int failed = zip.part(u"xl/workbook.xml"_s, workbook); failed != 0)
        return failed;
    if (int failed = zip.part(u"xl/_rels/workbook.xml.rels"_s, relationships); failed != 0)
        return failed;
    const std::optional<QString> sheetPart = SheetXml::FirstSheetPart(workbook, relationships);
    if (!sheetPart)
        return XlsCells::NoSheets;
    SheetXml::XlsxTables tables;
    qint64 chars = 0;
    QByteArray part;
    // A workbook of numbers only has no shared strings, one without styles no date formats.
    if (zip.has(u"xl/sharedStrings.xml"_s)) {
        if (int failed = zip.part(u"xl/sharedStrings.xml"_s, part); failed != 0)
            return failed;
        std::optional<std::vector<QString>> shared = SheetXml::SharedStrings(part, chars);
        if (!shared)
            return chars > XlsCells::kMaxTextChars ? XlsCells::TooMuchText : XlsCells::Damaged;
        tables.shared = std::move(*shared);
    }
    if (zip.has(u"xl/styles.xml"_s)) {
        if (int failed = zip.part(u"xl/styles.xml"_s, part); failed != 0)
            return failed;
        tables.looks = SheetXml::CellLooks(part);
    }
    if (int failed = zip.part(*sheetPart, part); failed != 0)
        return failed;
    return SheetXml::ReadXlsxSheet(part, tables, out);
}

int ReadOds(ZipBook &zip, SheetCollector &out)
{
    QByteArray content;
    if (int failed = zip.part(u"content.xml"_s, content); failed != 0)
        return failed;
    return SheetXml::ReadOdsContent(content, out);
}
} // namespace

int ReadZippedBook(const QString &fileName, XlsCells::Sheet &sheet)
{
    ZipBook zip(fileName);
    if (!zip.open())
        return XlsCells::Damaged;
    SheetCollector out;
    int result = XlsCells::NotWorkbook;
    if (zip.has(u"xl/workbook.xml"_s))
        result = ReadXlsx(zip, out);
    else if (zip.has(u"content.xml"_s))
        result = ReadOds(zip, out);
    if (result == 0)
        sheet = out.take();
    return result;
}
