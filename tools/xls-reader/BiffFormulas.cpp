#include "BiffFormulas.h"

#include "config/NumberText.h"

#include <QtEndian>

#include <cmath>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {
enum Record : quint16 {
    Formula = 0x0006,
    Eof = 0x000A,
    FilePass = 0x002F,
    Continue = 0x003C,
    BoundSheet = 0x0085,
    String = 0x0207,
    Array = 0x0221,
    Table = 0x0236,
    SharedFormula = 0x04BC,
    Bof = 0x0809,
};
constexpr quint16 kBiff8 = 0x0600;
constexpr quint16 kMaxRecord = 8224; // the longest record data BIFF8 writes
constexpr int kMaxDepth = 16; // substreams in substreams (charts in a sheet)

struct RecordView
{
    quint16 type = 0;
    QByteArrayView data;
};

// The records of the stream from an offset, each length checked against the bytes left.
class Records
{
public:
    explicit Records(QByteArrayView stream)
        : m_stream(stream)
    { }
    bool seek(quint64 offset)
    {
        if (offset > quint64(m_stream.size()))
            return false;
        m_pos = qsizetype(offset);
        return true;
    }
    std::optional<RecordView> next()
    {
        if (m_stream.size() - m_pos < 4)
            return std::nullopt;
        const quint16 type = qFromLittleEndian<quint16>(m_stream.data() + m_pos);
        const quint16 length = qFromLittleEndian<quint16>(m_stream.data() + m_pos + 2);
        if (length > kMaxRecord || length > m_stream.size() - m_pos - 4)
            return std::nullopt;
        const RecordView record { type, m_stream.sliced(m_pos + 4, length) };
        m_pos += 4 + length;
        return record;
    }
    std::optional<RecordView> peek()
    {
        const qsizetype at = m_pos;
        std::optional<RecordView> record = next();
        m_pos = at;
        return record;
    }

private:
    QByteArrayView m_stream;
    qsizetype m_pos = 0;
};

quint16 U16(QByteArrayView data, qsizetype at)
{
    return qFromLittleEndian<quint16>(data.data() + at);
}

QString ErrorText(quint8 code)
{
    switch (code) {
    case 0x00:
        return u"#NULL!"_s;
    case 0x07:
        return u"#DIV/0!"_s;
    case 0x0F:
        return u"#VALUE!"_s;
    case 0x17:
        return u"#REF!"_s;
    case 0x1D:
        return u"#NAME?"_s;
    case 0x24:
        return u"#NUM!"_s;
    case 0x2A:
        return u"#N/A"_s;
    default:
        return u"#ERR"_s;
    }
}

// Characters of a BIFF8 text: one byte each (Latin-1) or two (UTF-16LE).
void AppendChars(QString &out, QByteArrayView bytes, bool wide, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i)
        out += QChar(wide ? U16(bytes, 2 * i) : char16_t(uchar(bytes[i])));
}

// The text of a STRING record (BIFF8), continued in CONTINUE records when long.
std::optional<QString> StringResult(QByteArrayView data, Records &records)
{
    if (data.size() < 3)
        return std::nullopt;
    qsizetype left = U16(data, 0);
    bool wide = (data[2] & 1) != 0;
    QByteArrayView chars = data.sliced(3);
    QString text;
    for (;;) {
        const qsizetype here = qMin(left, wide ? chars.size() / 2 : chars.size());
        AppendChars(text, chars, wide, here);
        left -= here;
        if (left == 0)
            return text;
        // The rest follows in a CONTINUE record that begins with its own width flag.
        const std::optional<RecordView> more = records.peek();
        if (!more || more->type != Continue || more->data.isEmpty())
            return std::nullopt;
        records.next();
        wide = (more->data[0] & 1) != 0;
        chars = more->data.sliced(1);
    }
}

XlsCells::Cell NumberCell(QByteArrayView result)
{
    double value = 0;
    std::memcpy(&value, result.data(), sizeof value);
    value = qFromLittleEndian(value);
    if (!std::isfinite(value))
        return { {}, XlsCells::Kind::FormulaUnread };
    return { BiffFormulas::NumberText(value), XlsCells::Kind::Value };
}

bool Inside(const BiffFormulas::Area &area, quint32 row, quint16 col)
{
    return row >= area.firstRow && row <= area.lastRow && col >= area.firstCol && col <= area.lastCol;
}

// The stream offset of the first worksheet, from the workbook globals.
std::optional<quint32> FirstSheetOffset(Records &records, bool &biff8)
{
    const std::optional<RecordView> bof = records.next();
    if (!bof || bof->type != Bof || bof->data.size() < 2)
        return std::nullopt;
    biff8 = U16(bof->data, 0) == kBiff8;
    std::optional<quint32> first;
    while (const std::optional<RecordView> record = records.next()) {
        if (record->type == FilePass)
            return std::nullopt; // encrypted: nothing here is readable
        if (record->type == BoundSheet && record->data.size() >= 6 && !first)
            first = qFromLittleEndian<quint32>(record->data.data());
        if (record->type == Eof)
            return first;
    }
    return std::nullopt;
}
} // namespace

namespace BiffFormulas {
QString NumberText(double value)
{
    if (!std::isfinite(value))
        return {};
    // 17 digits give the double exactly; the sheet shows 15 of them.
    return SpreadsheetNumber(QString::number(value, 'g', 17)).value_or(QString::number(value, 'g', 15));
}

std::optional<Results> Read(QByteArrayView stream, const Area &area)
{
    Records records(stream);
    bool biff8 = false;
    const std::optional<quint32> sheet = FirstSheetOffset(records, biff8);
    if (!sheet || !records.seek(*sheet))
        return std::nullopt;
    Results results;
    int depth = 0;
    // The formula cell whose text result the next STRING record holds.
    std::optional<std::pair<quint32, quint16>> awaitingText;
    while (const std::optional<RecordView> record = records.next()) {
        if (record->type == Bof && ++depth > kMaxDepth)
            return std::nullopt;
        if (depth == 0)
            return std::nullopt; // the offset did not lead to a substream
        if (record->type == Eof && --depth == 0)
            return results;
        if (depth != 1)
            continue; // a chart or another substream inside the sheet
        if (awaitingText && record->type == String) {
            std::optional<QString> text = biff8 ? StringResult(record->data, records) : std::nullopt;
            if (text)
                results[*awaitingText] = { std::move(*text), XlsCells::Kind::Value };
            awaitingText.reset();
            continue;
        }
        // What a formula writes between itself and its text: its shared or array formula.
        if (record->type == SharedFormula || record->type == Array || record->type == Table)
            continue;
        awaitingText.reset(); // a text result without its STRING record stays unread
        if (record->type != Formula || record->data.size() < 20)
            continue;
        const quint32 row = U16(record->data, 0);
        const quint16 col = U16(record->data, 2);
        if (!Inside(area, row, col))
            continue;
        const QByteArrayView result = record->data.sliced(6, 8);
        XlsCells::Cell &cell = results[{ row, col }];
        if (U16(result, 6) != 0xFFFF) {
            cell = NumberCell(result);
            continue;
        }
        switch (quint8(result[0])) {
        case 0: // text: in the STRING record that follows
            cell = { {}, XlsCells::Kind::FormulaUnread };
            awaitingText = { row, col };
            break;
        case 1:
            cell = { result[2] != 0 ? u"ИСТИНА"_s : u"ЛОЖЬ"_s, XlsCells::Kind::Value };
            break;
        case 2:
            cell = { ErrorText(quint8(result[2])), XlsCells::Kind::FormulaError };
            break;
        case 3:
            cell = { u""_s, XlsCells::Kind::Value }; // an empty text
            break;
        default:
            cell = { {}, XlsCells::Kind::FormulaUnread };
        }
    }
    return std::nullopt; // cut off before the sheet's end
}
} // namespace BiffFormulas
