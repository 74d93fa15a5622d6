#include "pages/Delimited.h"

#include "kkt/KktText.h"

#include <QStringDecoder>

#include <array>

using namespace Qt::StringLiterals;

namespace {
bool IsLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Line ends in a piece of text, CR LF counted once.
qsizetype LineEnds(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')))
            ++count;
    return count;
}
} // namespace

DelimitedReader::DelimitedReader(QStringView text, QChar separator)
    : m_text(text)
    , m_separator(separator)
{ }

void DelimitedReader::readQuoted(QString *cell)
{
    ++m_pos; // the opening quote
    while (true) {
        const qsizetype quote = m_text.indexOf(u'"', m_pos);
        const QStringView piece = m_text.sliced(m_pos, (quote < 0 ? m_text.size() : quote) - m_pos);
        m_line += LineEnds(piece);
        if (cell)
            cell->append(piece);
        if (quote < 0) {
            m_pos = m_text.size();
            m_unclosed = true;
            return;
        }
        if (quote + 1 < m_text.size() && m_text[quote + 1] == u'"') {
            if (cell)
                cell->append(u'"');
            m_pos = quote + 2;
            continue;
        }
        m_pos = quote + 1;
        return;
    }
}

bool DelimitedReader::next(QStringList &cells, qsizetype keepFrom, qsizetype keepCount)
{
    cells.clear();
    m_unclosed = false;
    if (m_pos >= m_text.size())
        return false;
    m_recordLine = m_line;
    const bool keepAll = keepCount < 0;
    for (qsizetype k = 0; k < keepCount; ++k)
        cells << QString();
    qsizetype index = 0;
    const auto target = [&]() -> QString * {
        if (keepAll) {
            cells << QString();
            return &cells.last();
        }
        const qsizetype k = index - keepFrom;
        return k >= 0 && k < keepCount ? &cells[k] : nullptr;
    };
    QString *cell = target();
    bool cellStart = true;
    const qsizetype size = m_text.size();
    while (m_pos < size) {
        const QChar c = m_text[m_pos];
        if (cellStart && c == u'"') {
            readQuoted(cell);
            cellStart = false;
            continue;
        }
        cellStart = false;
        if (c == m_separator) {
            ++index;
            cell = target();
            cellStart = true;
            ++m_pos;
        } else if (IsLineEnd(c)) {
            m_pos += (c == u'\r' && m_pos + 1 < size && m_text[m_pos + 1] == u'\n') ? 2 : 1;
            ++m_line;
            return true;
        } else {
            qsizetype end = m_pos + 1;
            while (end < size && m_text[end] != m_separator && !IsLineEnd(m_text[end]))
                ++end;
            if (cell)
                cell->append(m_text.sliced(m_pos, end - m_pos));
            m_pos = end;
        }
    }
    return true;
}

QString QuoteCell(const QString &cell)
{
    QString inner = cell;
    inner.replace(u"\""_s, u"\"\""_s);
    return u'"' + inner + u'"';
}

QString DecodeDelimitedBytes(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.sliced(3));
    const bool le = bytes.startsWith("\xFF\xFE");
    if (le || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        return utf16(bytes.sliced(2));
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    return utf8.hasError() ? FromCp1251(bytes) : text;
}

QChar DetectSeparator(QStringView text)
{
    constexpr std::array<QChar, 3> kCandidates { u';', u'\t', u',' };
    constexpr int kRecordsLooked = 20;
    std::array<qsizetype, 3> counts {};
    bool quoted = false;
    int records = 0;
    for (qsizetype i = 0; i < text.size() && records < kRecordsLooked; ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && IsLineEnd(c)) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            ++records;
            // The heading decides when it can: commas in its prices do not reach it.
            if (counts != std::array<qsizetype, 3> {})
                break;
        } else if (!quoted) {
            for (size_t k = 0; k < kCandidates.size(); ++k)
                counts[k] += c == kCandidates[k] ? 1 : 0;
        }
    }
    size_t best = 0;
    for (size_t k = 1; k < kCandidates.size(); ++k)
        if (counts[k] > counts[best])
            best = k;
    return kCandidates[best];
}

SeparatorLine ExcelSeparatorLine(QStringView text)
{
    constexpr qsizetype kLine = 5; // "sep=" and the character
    if (text.size() < kLine || !text.startsWith(u"sep="_s, Qt::CaseInsensitive)
        || (text.size() > kLine && !IsLineEnd(text[kLine])))
        return {};
    qsizetype length = kLine;
    if (length < text.size() && text[length] == u'\r')
        ++length;
    if (length < text.size() && text[length] == u'\n')
        ++length;
    return { text[kLine - 1], length };
}
