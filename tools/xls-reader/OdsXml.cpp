// The first table of an OpenDocument spreadsheet (.ods, its content.xml) as the goods import reads it.
#include "SheetCollector.h"
#include "SheetXml.h"

#include "config/NumberText.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {
// A row or cell repeated more often than a sheet has rows or columns is no sheet of ours.
constexpr quint64 kMaxRepeat = 1 << 24;
constexpr qint64 kMaxSpaces = 1000; // <text:s text:c="n"/>

constexpr QLatin1StringView kOffice = "urn:oasis:names:tc:opendocument:xmlns:office:1.0"_L1;
constexpr QLatin1StringView kTable = "urn:oasis:names:tc:opendocument:xmlns:table:1.0"_L1;
constexpr QLatin1StringView kText = "urn:oasis:names:tc:opendocument:xmlns:text:1.0"_L1;
constexpr QLatin1StringView kCalcExt = "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0"_L1;

bool Is(const QXmlStreamReader &xml, QStringView name)
{
    return xml.isStartElement() && xml.name() == name;
}

std::optional<quint64> Repeat(const QXmlStreamReader &xml, QLatin1StringView attribute)
{
    const QStringView value = xml.attributes().value(kTable, attribute);
    if (value.isEmpty())
        return 1;
    const std::optional<qint64> n = ParseDigits(value, kMaxRepeat);
    return n && *n > 0 ? std::optional(quint64(*n)) : std::nullopt;
}

// The text of a paragraph's content up to the end of the current element:
// spans, links, <text:s> as blanks, tabs and line breaks; notes left out.
void AppendText(QXmlStreamReader &xml, QString &text)
{
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement())
            return;
        if (xml.isCharacters()) {
            text += xml.text();
        } else if (Is(xml, u"s")) {
            text
                += QString(qsizetype(ParseDigits(xml.attributes().value(kText, "c"_L1), kMaxSpaces).value_or(1)), u' ');
            xml.skipCurrentElement();
        } else if (Is(xml, u"tab")) {
            text += u'\t';
            xml.skipCurrentElement();
        } else if (Is(xml, u"line-break")) {
            text += u'\n';
            xml.skipCurrentElement();
        } else if (Is(xml, u"note") || Is(xml, u"annotation")) {
            xml.skipCurrentElement();
        } else if (xml.isStartElement()) {
            AppendText(xml, text);
        }
    }
}

// The paragraphs of a cell, one a line; comments (office:annotation) left out.
QString CellText(QXmlStreamReader &xml)
{
    QStringList paragraphs;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement())
            break;
        if (Is(xml, u"p")) {
            QString text;
            AppendText(xml, text);
            paragraphs << text;
        } else if (xml.isStartElement()) {
            xml.skipCurrentElement();
        }
    }
    return paragraphs.join(u'\n');
}

// What the spreadsheet shows in a cell: its value by its type (the cached
// result for a formula), its paragraphs for a text.
std::optional<XlsCells::Cell> ReadCell(QXmlStreamReader &xml)
{
    using XlsCells::Kind;
    const QXmlStreamAttributes attributes = xml.attributes();
    const auto office = [&](QLatin1StringView name) { return attributes.value(kOffice, name); };
    const QString type = office("value-type"_L1).toString();
    const bool formula = attributes.hasAttribute(kTable, "formula"_L1);
    const bool error = attributes.value(kCalcExt, "value-type"_L1) == u"error";
    const QString text = CellText(xml);
    if (error)
        return XlsCells::Cell { text, Kind::FormulaError };
    if (type.isEmpty())
        return XlsCells::Cell { formula ? QString() : text, formula ? Kind::FormulaUnread : Kind::Value };
    if (type == u"string")
        return XlsCells::Cell {
            attributes.hasAttribute(kOffice, "string-value"_L1) ? office("string-value"_L1).toString() : text
        };
    if (type == u"date")
        return XlsCells::Cell { office("date-value"_L1).toString(), Kind::Date };
    if (type == u"time")
        return XlsCells::Cell { office("time-value"_L1).toString(), Kind::Date };
    if (type == u"boolean")
        return XlsCells::Cell { office("boolean-value"_L1) == u"true" ? u"ИСТИНА"_s : u"ЛОЖЬ"_s };
    // float, percentage, currency: the number from its own digits, never through a double.
    const std::optional<QString> number = SpreadsheetNumber(office("value"_L1));
    if (!number)
        return std::nullopt;
    return XlsCells::Cell { *number };
}

using GoodsColumns = std::array<XlsCells::Cell, XlsCells::kColumns>;

// The goods columns of one table row; nothing for a damaged one.
std::optional<GoodsColumns> ReadRow(QXmlStreamReader &xml)
{
    GoodsColumns cells;
    quint64 col = 0; // the columns before the next cell
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement())
            return cells;
        if (!Is(xml, u"table-cell") && !Is(xml, u"covered-table-cell")) {
            if (xml.isStartElement())
                xml.skipCurrentElement();
            continue;
        }
        const std::optional<quint64> repeat = Repeat(xml, "number-columns-repeated"_L1);
        if (!repeat)
            return std::nullopt;
        // Only cells over the goods columns are read; the others cost a skip.
        if (col + *repeat < quint64(XlsCells::kFirstColumn)
            || col >= quint64(XlsCells::kFirstColumn + XlsCells::kColumns - 1)) {
            xml.skipCurrentElement();
            col += *repeat;
            continue;
        }
        const std::optional<XlsCells::Cell> cell = ReadCell(xml);
        if (!cell)
            return std::nullopt;
        for (quint64 c = 1; c <= *repeat; ++c) {
            const quint64 sheetColumn = col + c;
            if (sheetColumn >= quint64(XlsCells::kFirstColumn + XlsCells::kColumns))
                break;
            if (sheetColumn >= quint64(XlsCells::kFirstColumn))
                cells[size_t(sheetColumn - XlsCells::kFirstColumn)] = *cell;
        }
        col += *repeat;
    }
    return std::nullopt;
}
} // namespace

namespace SheetXml {
int ReadOdsContent(const QByteArray &content, SheetCollector &out)
{
    PartReader reader(content);
    QXmlStreamReader &xml = reader.xml;
    // Into the first table; rows may sit in header-rows and row-groups within it.
    while (!xml.atEnd() && !Is(xml, u"table"))
        xml.readNext();
    if (!Is(xml, u"table"))
        return xml.hasError() ? XlsCells::Damaged : XlsCells::NoSheets;
    quint64 row = 0; // the rows before the next one
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement()) {
            --depth;
        } else if (Is(xml, u"table-row")) {
            const std::optional<quint64> repeat = Repeat(xml, "number-rows-repeated"_L1);
            const std::optional<GoodsColumns> cells = repeat ? ReadRow(xml) : std::nullopt;
            if (!cells)
                return XlsCells::Damaged;
            // An empty row repeated a million times (LibreOffice writes the sheet's
            // unused rows so) costs one step; a filled one is put at most until the goods rows end.
            const bool empty = std::all_of(cells->cbegin(), cells->cend(), SheetCollector::IsEmpty);
            for (quint64 r = 1; !empty && r <= *repeat; ++r) {
                for (size_t c = 0; c < cells->size(); ++c) {
                    if (const std::optional<int> end
                        = out.put(row + r, quint64(XlsCells::kFirstColumn) + c, (*cells)[c]))
                        return *end;
                }
            }
            row += *repeat;
        } else if (Is(xml, u"table") || Is(xml, u"shapes") || Is(xml, u"named-expressions")) {
            xml.skipCurrentElement();
        } else if (xml.isStartElement()) {
            ++depth; // table-header-rows, table-row-group, table-rows, table-columns...
        }
    }
    return xml.hasError() ? XlsCells::Damaged : 0;
}
} // namespace SheetXml
