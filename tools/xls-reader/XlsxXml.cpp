// The parts of an Office Open XML workbook (.xlsx) the goods import reads.
#include "SheetCollector.h"
#include "SheetXml.h"

#include "config/NumberText.h"

#include <QDate>
#include <QTime>
#include <QXmlStreamReader>

#include <cmath>
#include <map>

using namespace Qt::StringLiterals;

namespace {
constexpr quint64 kMaxColumn = 16384; // XFD, the last column a sheet has
constexpr quint64 kMaxRow = 1048576;

bool Is(const QXmlStreamReader &xml, QStringView name)
{
    return xml.isStartElement() && xml.name() == name;
}

// The text of the <t> elements up to the end of the current element (a shared
// string or an inline one: plain, or runs of formatted text), without the
// phonetic readings (<rPh>) that some workbooks add.
QString RichText(QXmlStreamReader &xml)
{
    QString text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (Is(xml, u"rPh")) {
            xml.skipCurrentElement();
        } else if (Is(xml, u"t")) {
            text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.isStartElement()) {
            ++depth;
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    return text;
}

// "C12" as column 3 and row 12; nothing for another text.
std::optional<std::pair<quint64, quint64>> CellReference(QStringView ref)
{
    quint64 col = 0;
    qsizetype i = 0;
    for (; i < ref.size() && i < 3 && ref[i] >= u'A' && ref[i] <= u'Z'; ++i)
        col = col * 26 + (ref[i].unicode() - u'A' + 1);
    const std::optional<qint64> row = ParseDigits(ref.sliced(i), kMaxRow);
    if (i == 0 || !row || col > kMaxColumn)
        return std::nullopt;
    return std::pair { col, quint64(*row) };
}

QString Boolean(QStringView value)
{
    return value == u"1" || value == u"true" ? u"ИСТИНА"_s : u"ЛОЖЬ"_s;
}

struct RawCell
{
    QString type; // t=""
    qsizetype style = 0; // s=""
    QString value; // <v>
    bool hasValue = false;
    bool formula = false; // <f>
    std::optional<QString> inlineText; // <is>
};

RawCell ReadCell(QXmlStreamReader &xml)
{
    RawCell raw;
    const QXmlStreamAttributes attributes = xml.attributes();
    raw.type = attributes.value("t"_L1).toString();
    raw.style = qsizetype(ParseDigits(attributes.value("s"_L1), 1 << 20).value_or(0));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == u"c")
            break;
        if (Is(xml, u"v")) {
            raw.value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            raw.hasValue = true;
        } else if (Is(xml, u"f")) {
            raw.formula = true;
            xml.skipCurrentElement();
        } else if (Is(xml, u"is")) {
            raw.inlineText = RichText(xml);
        } else if (xml.isStartElement()) {
            xml.skipCurrentElement();
        }
    }
    return raw;
}

// The cell a goods column gets: what the spreadsheet shows in it.
std::optional<XlsCells::Cell> CellOf(const RawCell &raw, quint64 col, const SheetXml::XlsxTables &tables)
{
    using XlsCells::Kind;
    if (raw.type == u"inlineStr")
        return XlsCells::Cell { raw.inlineText.value_or(QString()) };
    if (!raw.hasValue)
        return XlsCells::Cell { {}, raw.formula ? Kind::FormulaUnread : Kind::Value };
    if (raw.type == u"s") {
        const std::optional<qint64> index = ParseDigits(raw.value, qint64(tables.shared.size()) - 1);
        if (!index)
            return std::nullopt;
        return XlsCells::Cell { tables.shared[size_t(*index)] };
    }
    if (raw.type == u"str")
        return XlsCells::Cell { raw.value };
    if (raw.type == u"b")
        return XlsCells::Cell { Boolean(raw.value) };
    if (raw.type == u"e")
        return XlsCells::Cell { raw.value, Kind::FormulaError };
    if (raw.type == u"d")
        return XlsCells::Cell { raw.value, Kind::Date };
    // A number: from its own digits, never through a double, so no digit of a code is lost.
    const std::optional<QString> number = SpreadsheetNumber(raw.value);
    if (!number)
        return std::nullopt;
    const SheetXml::CellLook look
        = raw.style >= 0 && size_t(raw.style) < tables.looks.size() ? tables.looks[size_t(raw.style)] : SheetXml::CellLook();
    if (look.date)
        return XlsCells::Cell { SheetXml::DateOfSerial(*number), Kind::Date };
    if (col != quint64(XlsCells::kPriceColumn))
        return XlsCells::Cell { *number };
    return XlsCells::Cell { SheetXml::WithDecimals(*number, look.decimals) };
}
} // namespace

namespace SheetXml {
PartReader::PartReader(const QByteArray &bytes)
{
    m_buffer.setData(bytes);
    m_buffer.open(QIODevice::ReadOnly);
    xml.setDevice(&m_buffer);
}

std::optional<QString> FirstSheetPart(const QByteArray &workbook, const QByteArray &relationships)
{
    QString id;
    QXmlStreamReader book(workbook);
    while (!book.atEnd() && id.isEmpty()) {
        book.readNext();
        if (Is(book, u"sheet")) {
            // r:id, whatever prefix the workbook gives the relationships' namespace.
            for (const QXmlStreamAttribute &attribute : book.attributes())
                if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
                    id = attribute.value().toString();
        }
    }
    if (id.isEmpty() || book.hasError())
        return std::nullopt;
    QXmlStreamReader rels(relationships);
    while (!rels.atEnd()) {
        rels.readNext();
        if (Is(rels, u"Relationship") && rels.attributes().value("Id"_L1) == id) {
            const QString target = rels.attributes().value("Target"_L1).toString();
            // Relative to xl/, or from the package's root when it starts with "/".
            if (target.isEmpty() || target.contains(u".."))
                return std::nullopt;
            return target.startsWith(u'/') ? target.sliced(1) : u"xl/"_s + target;
        }
    }
    return std::nullopt;
}

std::optional<std::vector<QString>> SharedStrings(const QByteArray &part, qint64 &chars)
{
    std::vector<QString> strings;
    PartReader reader(part);
    QXmlStreamReader &xml = reader.xml;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!Is(xml, u"si"))
            continue;
        strings.push_back(RichText(xml));
        chars += strings.back().size();
        if (chars > XlsCells::kMaxTextChars)
            return std::nullopt;
    }
    if (xml.hasError())
        return std::nullopt;
    return strings;
}

bool IsDateFormat(int id, const QString &code)
{
    // The built-in formats of dates and times, those of East Asian versions too.
    if ((id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58))
        return true;
    if (code.isEmpty())
        return false;
    // Letters of a date or time outside quoted text, escaped characters and
    // [colours]/[$-locales]; [h], [mm], [ss] (elapsed time) count as time.
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i].toLower();
        if (c == u'"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i);
            const QString inside = code.mid(i + 1, end < 0 ? -1 : end - i - 1).toLower();
            if (!inside.isEmpty() && inside.count(inside[0]) == inside.size()
                && QStringView(u"hms").contains(inside[0]))
                return true;
            if (end < 0)
                return false;
            i = end;
        } else if (QStringView(u"dmyhs").contains(c)) {
            return true;
        }
    }
    return false;
}

int FixedDecimals(int id, const QString &code)
{
    if (id == 2 || id == 4) // the built-in "0.00" and "#,##0.00"
        return 2;
    if (code.isEmpty() || IsDateFormat(id, code))
        return -1;
    // The positive numbers' section: the zeros after its point, unquoted.
    const QString positive = code.section(u';', 0, 0);
    if (positive.contains(u'"') || positive.contains(u'\\'))
        return -1;
    const qsizetype point = positive.indexOf(u'.');
    if (point < 0 || !positive.left(point).contains(u'0'))
        return -1;
    int decimals = 0;
    while (point + 1 + decimals < positive.size() && positive[point + 1 + decimals] == u'0')
        ++decimals;
    return decimals > 0 && decimals <= 9 ? decimals : -1;
}

QString WithDecimals(const QString &number, int decimals)
{
    if (decimals <= 0 || number.contains(u'e', Qt::CaseInsensitive))
        return number;
    const qsizetype point = number.indexOf(u'.');
    const qsizetype shown = point < 0 ? 0 : number.size() - point - 1;
    if (shown >= decimals)
        return number;
    return (point < 0 ? number + u'.' : number) + QString(decimals - shown, u'0');
}

std::vector<CellLook> CellLooks(const QByteArray &styles)
{
    std::map<int, QString> codes; // custom formats
    std::vector<CellLook> looks;
    QXmlStreamReader xml(styles);
    bool cellStyles = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (Is(xml, u"numFmt")) {
            const int id = int(ParseDigits(xml.attributes().value("numFmtId"_L1), 100000).value_or(-1));
            codes[id] = xml.attributes().value("formatCode"_L1).toString().left(256);
        } else if (Is(xml, u"cellXfs")) {
            cellStyles = true;
        } else if (xml.isEndElement() && xml.name() == u"cellXfs") {
            cellStyles = false;
        } else if (cellStyles && Is(xml, u"xf") && looks.size() < (1u << 16)) {
            const int id = int(ParseDigits(xml.attributes().value("numFmtId"_L1), 100000).value_or(0));
            const auto custom = codes.find(id);
            const QString code = custom != codes.end() ? custom->second : QString();
            looks.push_back({ IsDateFormat(id, code), FixedDecimals(id, code) });
        }
    }
    return looks;
}

QString DateOfSerial(const QString &serial)
{
    bool ok = false;
    const double days = serial.toDouble(&ok);
    if (!ok || days < 0 || days > 2958465) // 9999-12-31
        return serial;
    const double whole = std::floor(days);
    const QDate date = QDate(1899, 12, 30).addDays(qint64(whole));
    const int seconds = int(std::lround((days - whole) * 86400));
    if (seconds == 0)
        return date.toString(u"yyyy-MM-dd");
    return date.toString(u"yyyy-MM-dd ") + QTime(0, 0).addSecs(seconds).toString(u"HH:mm:ss");
}

int ReadXlsxSheet(const QByteArray &sheet, const XlsxTables &tables, SheetCollector &out)
{
    PartReader reader(sheet);
    QXmlStreamReader &xml = reader.xml;
    quint64 row = 0;
    quint64 col = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (Is(xml, u"row")) {
            // Rows without a number follow the one before; numbers only go down the sheet.
            const QStringView number = xml.attributes().value("r"_L1);
            const std::optional<qint64> r
                = number.isEmpty() ? std::optional(qint64(row + 1)) : ParseDigits(number, kMaxRow);
            if (!r || quint64(*r) <= row)
                return XlsCells::Damaged;
            row = quint64(*r);
            col = 0;
        } else if (Is(xml, u"c")) {
            if (row == 0)
                return XlsCells::Damaged;
            const QStringView ref = xml.attributes().value("r"_L1);
            if (ref.isEmpty()) {
                ++col;
            } else {
                const std::optional<std::pair<quint64, quint64>> at = CellReference(ref);
                if (!at || at->second != row)
                    return XlsCells::Damaged;
                col = at->first;
            }
            // Only the goods columns are read; the others cost a skip.
            if (col < quint64(XlsCells::kFirstColumn) || col >= quint64(XlsCells::kFirstColumn + XlsCells::kColumns)) {
                xml.skipCurrentElement();
                continue;
            }
            const RawCell raw = ReadCell(xml);
            const std::optional<XlsCells::Cell> cell = CellOf(raw, col, tables);
            if (!cell)
                return XlsCells::Damaged;
            if (const std::optional<int> end = out.put(row, col, *cell))
                return *end;
        } else if (xml.isEndElement() && xml.name() == u"sheetData") {
            return 0;
        }
    }
    return xml.hasError() ? XlsCells::Damaged : 0;
}
} // namespace SheetXml
