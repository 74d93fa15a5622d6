#include "pages/XlsCells.h"

#include <QDataStream>
#include <QIODevice>
#include <QtEndian>

namespace {
constexpr quint32 kMagic = 0x4B585332; // "KXS2": a kind beside every cell's text
constexpr quint32 kMoreRows = 1; // flags: values below the last goods row
constexpr QDataStream::Version kVersion = QDataStream::Qt_6_0;
constexpr quint32 kNullText = 0xFFFFFFFF; // QDataStream's length of a null text

// The parts of what Encode writes with QDataStream (version 6.0, big-endian):
// 32-bit numbers, and texts as their byte length followed by UTF-16.
class Reader
{
public:
    explicit Reader(QByteArrayView bytes)
        : m_bytes(bytes)
    { }
    bool atEnd() const { return m_pos == m_bytes.size(); }
    bool number(quint32 &value)
    {
        if (m_bytes.size() - m_pos < 4)
            return false;
        value = qFromBigEndian<quint32>(m_bytes.data() + m_pos);
        m_pos += 4;
        return true;
    }
    std::optional<QString> text()
    {
        quint32 length = 0;
        if (!number(length))
            return std::nullopt;
        if (length == kNullText)
            return QString();
        if (length == 0)
            return QString::fromLatin1("", 0); // empty, not null, as it was written
        if (length % 2 != 0 || length > quint32(m_bytes.size() - m_pos))
            return std::nullopt;
        QString out(qsizetype(length / 2), Qt::Uninitialized);
        for (qsizetype i = 0; i < out.size(); ++i)
            out[i] = QChar(qFromBigEndian<quint16>(m_bytes.data() + m_pos + 2 * i));
        m_pos += length;
        return out;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};
} // namespace

namespace XlsCells {
Row TextRow(const QStringList &texts)
{
    Row row;
    for (qsizetype c = 0; c < qMin<qsizetype>(texts.size(), kColumns); ++c)
        row[size_t(c)].text = texts[c];
    return row;
}

QByteArray Encode(const Sheet &sheet)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kVersion);
    out << kMagic << (sheet.moreRows ? kMoreRows : 0u) << quint32(sheet.rows.size());
    for (const Row &row : sheet.rows)
        for (const Cell &cell : row)
            out << quint32(cell.kind) << cell.text;
    return bytes;
}

std::optional<Sheet> Decode(const QByteArray &bytes)
{
    // Read by hand, not by QDataStream: a length in the bytes is checked
    // against the bytes that are left before anything is taken for it, where
    // the stream would first try to make room for whatever length it reads.
    Reader in(bytes);
    quint32 magic = 0, flags = 0, count = 0;
    if (!in.number(magic) || !in.number(flags) || !in.number(count) || magic != kMagic || (flags & ~kMoreRows) != 0
        || count > quint32(kMaxRows))
        return std::nullopt;
    // Each cell takes at least 8 bytes: a count beyond what follows is refused before the rows are made.
    if (quint64(count) * kColumns * 8 > quint64(bytes.size()))
        return std::nullopt;
    Sheet sheet;
    sheet.moreRows = (flags & kMoreRows) != 0;
    sheet.rows.resize(count);
    for (Row &row : sheet.rows) {
        for (Cell &cell : row) {
            quint32 kind = 0;
            if (!in.number(kind) || kind > kLastKind)
                return std::nullopt;
            std::optional<QString> text = in.text();
            if (!text)
                return std::nullopt;
            cell = Cell { std::move(*text), Kind(kind) };
        }
    }
    if (!in.atEnd())
        return std::nullopt;
    return sheet;
}
} // namespace XlsCells
