#include "config/classMyIniFile.h"

#include "config/Conversion.h"
#include "config/SafeFile.h"
#include "kkt/KktText.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <limits>

using namespace Qt::StringLiterals;

namespace {
// Blanks, tabs and every other control character count as white space here.
QStringView TrimIni(QStringView s)
{
    qsizetype begin = 0, end = s.size();
    while (begin < end && s[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && s[end - 1].unicode() <= 0x20)
        --end;
    return s.sliced(begin, end - begin);
}

// Names match case-folded, one code point at a time; the hash folds alike, so
// names that match always hash alike.
char32_t FoldedAt(QStringView s, qsizetype &i)
{
    const char16_t c = s[i++].unicode();
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? char32_t(c + 32) : char32_t(c);
    // The Russian capitals, the bulk of every file's names, without the table.
    if (c >= 0x0410 && c <= 0x042F)
        return char32_t(c + 0x20);
    if (c >= 0x0430 && c <= 0x045F)
        return char32_t(c);
    if (QChar::isHighSurrogate(c) && i < s.size() && QChar::isLowSurrogate(s[i].unicode()))
        return QChar::toCaseFolded(QChar::surrogateToUcs4(c, s[i++].unicode()));
    return QChar::toCaseFolded(char32_t(c));
}

quint32 FoldedHash(QStringView s)
{
    quint32 h = 2166136261u;
    for (qsizetype i = 0; i < s.size();)
        h = (h ^ FoldedAt(s, i)) * 16777619u;
    return h;
}

bool FoldedEqual(QStringView a, QStringView b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size())
        if (FoldedAt(a, i) != FoldedAt(b, j))
            return false;
    return i == a.size() && j == b.size();
}

// A key is looked up within its section.
quint32 KeyHash(quint32 foldedKey, qint32 section)
{
    return foldedKey ^ (quint32(section) * 0x9E3779B1u);
}

// A value must stay on its line: a line break inside it would split the entry
// and could even open a section on reloading.
char16_t OneLineChar(QChar c)
{
    return c == u'\r' || c == u'\n' ? u' ' : c.unicode();
}

// Whether guard + value + guard (or value alone), line breaks made blanks, is what stored holds.
bool SameValue(QStringView stored, QStringView value, bool guarded)
{
    const qsizetype extra = guarded ? 2 : 0;
    if (stored.size() != value.size() + extra)
        return false;
    if (guarded && (stored.front() != TmyIniFile::kGuard || stored.back() != TmyIniFile::kGuard))
        return false;
    const QStringView inner = stored.sliced(extra / 2, value.size());
    for (qsizetype i = 0; i < value.size(); ++i)
        if (inner[i].unicode() != OneLineChar(value[i]))
            return false;
    return true;
}

// Flushed into the file's bytes at line ends, so a surrogate pair is never cut.
constexpr qsizetype kChunkChars = 32768;

int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Calls visit with every line of the text that the store keeps: trimmed, not
// empty, not a comment. CR LF, LF and CR each end a line.
template <typename Visit> void ForEachLine(QStringView all, Visit visit)
{
    const qsizetype size = all.size();
    qsizetype pos = 0;
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && all[end] != u'\r' && all[end] != u'\n')
            ++end;
        const QStringView line = TrimIni(all.sliced(pos, end - pos));
        pos = end;
        if (pos < size && all[pos] == u'\r' && pos + 1 < size && all[pos + 1] == u'\n')
            ++pos; // CR LF is one line end
        ++pos;
        if (!line.isEmpty() && line.front() != u';')
            visit(line);
    }
}

bool IsSectionLine(QStringView line)
{
    return line.front() == u'[' && line.back() == u']';
}

bool StartsWith(const QByteArray &bytes, std::initializer_list<unsigned char> mark)
{
    if (bytes.size() < qsizetype(mark.size()))
        return false;
    qsizetype i = 0;
    for (unsigned char b : mark)
        if (quint8(bytes[i++]) != b)
            return false;
    return true;
}
// The encoding a file's byte order mark names; Windows-1251 without one.
TmyIniFile::Encoding MarkedEncoding(const QByteArray &bytes)
{
    if (StartsWith(bytes, { 0xEF, 0xBB, 0xBF }))
        return TmyIniFile::Encoding::Utf8Bom;
    if (StartsWith(bytes, { 0xFF, 0xFE }))
        return TmyIniFile::Encoding::Utf16LeBom;
    if (StartsWith(bytes, { 0xFE, 0xFF }))
        return TmyIniFile::Encoding::Utf16BeBom;
    return TmyIniFile::Encoding::Cp1251;
}
} // namespace

TmyIniFile::TmyIniFile(const QString &fileName)
    : m_fileName(fileName)
{
    load();
}

TmyIniFile::TmyIniFile(const QString &fileName, const QByteArray &bytes)
    : m_fileName(fileName)
{
    if (bytes.size() > SafeFile::kMaxReadSize)
        m_error = u"Не удалось открыть файл \"%1\": файл слишком велик."_s.arg(QDir::toNativeSeparators(fileName));
    else if (decode(bytes) && parse())
        m_loaded = true;
}

void TmyIniFile::load()
{
    if (!QFileInfo::exists(m_fileName)) {
        m_loaded = true;
        return;
    }
    std::optional<QByteArray> read = SafeFile::ReadAll(m_fileName, &m_error);
    if (!read)
        return;
    // The bytes go as soon as they are text: only the text and the entries live on.
    const bool decoded = decode(*read);
    read.reset();
    if (decoded && parse())
        m_loaded = true;
}

TmyIniFile::Encoding TmyIniFile::EncodingOf(const QString &fileName)
{
    QFile file(fileName);
    return QFileInfo(fileName).isFile() && file.open(QIODevice::ReadOnly) ? MarkedEncoding(file.read(3))
                                                                          : Encoding::Cp1251;
}

bool TmyIniFile::decode(const QByteArray &bytes)
{
    QString &text = m_pool;
    m_encoding = MarkedEncoding(bytes);
    if (m_encoding != Encoding::Cp1251) {
        QStringDecoder::Encoding enc = QStringDecoder::Utf8;
        qsizetype markSize = 3;
        if (m_encoding == Encoding::Utf16LeBom) {
            enc = QStringDecoder::Utf16LE;
            markSize = 2;
        } else if (m_encoding == Encoding::Utf16BeBom) {
            enc = QStringDecoder::Utf16BE;
            markSize = 2;
        }
        QStringDecoder decoder(enc, QStringDecoder::Flag::Stateless);
        text = decoder.decode(QByteArrayView(bytes).sliced(markSize));
        if (decoder.hasError() || (markSize == 2 && bytes.size() % 2 != 0)) {
            m_error = u"Не удалось прочитать файл \"%1\": текст повреждён (неверная кодировка)"_s.arg(m_fileName);
            return false;
        }
    } else {
        text = FromCp1251(bytes);
    }
    return true;
}

bool TmyIniFile::parse()
{
    // Counted first, so that every table gets its size from what the file
    // holds (a file of line ends holds nothing) and a file of more entries
    // than any store keeps is refused before they take memory.
    qsizetype sections = 0, lines = 0, keys = 0;
    bool inSection = false;
    ForEachLine(m_pool, [&](QStringView line) {
        if (IsSectionLine(line)) {
            ++sections;
            inSection = true;
        } else if (inSection) {
            ++lines;
            keys += line.contains(u'=') ? 1 : 0;
        }
    });
    if (sections + lines > kMaxEntries) {
        m_error = u"Не удалось прочитать файл \"%1\": в нём больше %2 строк, столько файл настроек не содержит"_s
                      .arg(QDir::toNativeSeparators(m_fileName))
                      .arg(kMaxEntries);
        m_pool = QString();
        return false;
    }
    m_sections.reserve(size_t(sections));
    m_lines.reserve(size_t(lines));
    m_sectionIndex.reserve(sections);
    m_keyIndex.reserve(keys);

    const QStringView all(m_pool);
    qint32 current = -1;
    ForEachLine(all, [&](QStringView line) {
        const auto spanOf = [&](QStringView part) {
            return Span { qint32(part.data() - all.data()), qint32(part.size()) };
        };
        if (IsSectionLine(line)) {
            current = addSection(spanOf(TrimIni(line.sliced(1, line.size() - 2))));
            return;
        }
        if (current < 0)
            return; // lines before the first section have no home
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            addLine(current, spanOf(line), {}, false, false);
        else
            addLine(current, spanOf(TrimIni(line.first(eq))), spanOf(TrimIni(line.sliced(eq + 1))), true, false);
    });
    return true;
}

void TmyIniFile::reservePool(qsizetype extra)
{
    // Grown by half at a time: writing a whole configuration into a new store
    // appends some 70000 texts, and growing to the exact size copies the pool each time.
    const qsizetype needed = m_pool.size() + extra;
    if (needed > m_pool.capacity())
        m_pool.reserve(std::max(needed, m_pool.capacity() + m_pool.capacity() / 2 + 256));
}

void TmyIniFile::reserve(qsizetype sections, qsizetype lines, qsizetype chars)
{
    m_lines.reserve(m_lines.size() + size_t(lines));
    m_sections.reserve(m_sections.size() + size_t(sections));
    if (m_keyIndex.table.empty())
        m_keyIndex.reserve(lines);
    if (m_sectionIndex.table.empty())
        m_sectionIndex.reserve(sections);
    if (m_pool.size() + chars > m_pool.capacity())
        m_pool.reserve(m_pool.size() + chars);
}

TmyIniFile::Span TmyIniFile::append(QStringView s)
{
    reservePool(s.size());
    const Span span { qint32(m_pool.size()), qint32(s.size()) };
    m_pool.append(s);
    return span;
}

qint32 TmyIniFile::addSection(Span name)
{
    const qint32 index = qint32(m_sections.size());
    const quint32 hash = FoldedHash(text(name));
    // A repeated name opens a second section; lookups keep finding the first.
    const bool first = m_sectionIndex.find(hash, [&](qint32 e) {
        return m_sections[size_t(e)].hash == hash && FoldedEqual(text(m_sections[size_t(e)].name), text(name));
    }) < 0;
    m_sections.push_back(Section { name, -1, -1, hash, first });
    if (first)
        m_sectionIndex.insert(hash, index, [this](qint32 e) { return m_sections[size_t(e)].hash; });
    return index;
}

void TmyIniFile::addLine(qint32 section, Span key, Span value, bool hasValue, bool firstOfKey)
{
    const qint32 index = qint32(m_lines.size());
    Line line { key, value, section, -1, hasValue ? FoldedHash(text(key)) : 0, hasValue, false };
    // Only key=value lines have a key; the first line of a key is the one found.
    if (hasValue && !firstOfKey)
        firstOfKey = findLineIn(section, text(key), line.hash) < 0;
    line.firstOfKey = hasValue && firstOfKey;
    m_lines.push_back(line);
    Section &sec = m_sections[size_t(section)];
    if (sec.lastLine >= 0)
        m_lines[size_t(sec.lastLine)].next = index;
    else
        sec.firstLine = index;
    sec.lastLine = index;
    if (hasValue && firstOfKey) {
        m_keyIndex.insert(KeyHash(line.hash, section), index,
            [this](qint32 e) { return KeyHash(m_lines[size_t(e)].hash, m_lines[size_t(e)].section); });
    }
}

qint32 TmyIniFile::findSection(const QString &name) const
{
    if (m_lastSection >= 0 && name == m_lastSectionName)
        return m_lastSection;
    // Sections are mostly visited in their order: the next one, spelled alike, needs no hash.
    const size_t next = size_t(m_lastSection + 1);
    if (next < m_sections.size() && m_sections[next].firstOfName && text(m_sections[next].name) == name) {
        m_lastSectionName = name;
        m_lastSection = qint32(next);
        return m_lastSection;
    }
    const quint32 hash = FoldedHash(name);
    const qint32 found = m_sectionIndex.find(hash, [&](qint32 e) {
        const Section &sec = m_sections[size_t(e)];
        return sec.hash == hash && FoldedEqual(text(sec.name), name);
    });
    // Sections are never removed, so the first of a name stays the first.
    if (found >= 0) {
        m_lastSectionName = name;
        m_lastSection = found;
    }
    return found;
}

qint32 TmyIniFile::findLineIn(qint32 section, QStringView key, quint32 hash) const
{
    return m_keyIndex.find(KeyHash(hash, section), [&](qint32 e) {
        const Line &line = m_lines[size_t(e)];
        return line.section == section && line.hash == hash && FoldedEqual(text(line.key), key);
    });
}

qint32 TmyIniFile::lineOf(qint32 section, QStringView key) const
{
    const qint32 last = m_lastLine;
    const qint32 next = last >= 0 && m_lines[size_t(last)].section == section ? m_lines[size_t(last)].next
                                                                              : m_sections[size_t(section)].firstLine;
    qint32 found = -1;
    if (next >= 0 && m_lines[size_t(next)].firstOfKey && text(m_lines[size_t(next)].key) == key)
        found = next;
    else
        found = findLineIn(section, key, FoldedHash(key));
    if (found >= 0)
        m_lastLine = found;
    return found;
}

qint32 TmyIniFile::sectionFor(const QString &name)
{
    const qint32 found = findSection(name);
    return found >= 0 ? found : addSection(append(name));
}

std::optional<QStringView> TmyIniFile::rawValue(const QString &section, QStringView key) const
{
    const qint32 s = findSection(section);
    const qint32 l = s < 0 ? -1 : lineOf(s, key);
    if (l < 0)
        return std::nullopt;
    return text(m_lines[size_t(l)].value);
}

void TmyIniFile::assignValue(Line &line, QStringView value, bool guarded)
{
    if (SameValue(text(line.value), value, guarded))
        return;
    const qint32 length = qint32(value.size() + (guarded ? 2 : 0));
    // Only this line points at its value's place in the pool: a value that
    // fits is written over the old one, a longer one goes to the end.
    if (length > line.value.len) {
        reservePool(length);
        line.value.pos = qint32(m_pool.size());
        m_pool.resize(line.value.pos + length);
    }
    line.value.len = length;
    QChar *out = m_pool.data() + line.value.pos;
    if (guarded)
        *out++ = kGuard;
    for (QChar c : value)
        *out++ = QChar(OneLineChar(c));
    if (guarded)
        *out = kGuard;
}

void TmyIniFile::writeValue(const QString &section, QStringView key, QStringView value, bool guarded)
{
    const qint32 s = sectionFor(section);
    qint32 l = lineOf(s, key);
    if (l < 0) {
        addLine(s, append(key), {}, true, true);
        l = qint32(m_lines.size()) - 1;
        m_lastLine = l;
    } else if (text(m_lines[size_t(l)].key) != key) {
        m_lines[size_t(l)].key = append(key); // the key takes the spelling written
    }
    assignValue(m_lines[size_t(l)], value, guarded);
}

QString TmyIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const std::optional<QStringView> raw = rawValue(section, key);
    return raw ? raw->toString() : defaultValue;
}

std::optional<QString> TmyIniFile::TryReadString(const QString &section, const QString &key) const
{
    const std::optional<QStringView> raw = rawValue(section, key);
    return raw ? std::optional<QString>(raw->toString()) : std::nullopt;
}

void TmyIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    writeValue(section, key, value, false);
}

QString TmyIniFile::mReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    // A missing key reads as the default, as if stored guarded.
    const std::optional<QStringView> raw = rawValue(section, key);
    return raw ? Unguarded(*raw).toString() : defaultValue;
}

QStringView TmyIniFile::Unguarded(QStringView raw)
{
    if (raw.size() >= 2 && raw.front() == kGuard && raw.back() == kGuard)
        return raw.sliced(1, raw.size() - 2);
    return raw;
}

void TmyIniFile::ForEachFoundValue(
    const std::function<void(QStringView section, QStringView key, QStringView value)> &visit) const
{
    for (const Section &sec : m_sections) {
        if (!sec.firstOfName)
            continue;
        for (qint32 l = sec.firstLine; l >= 0; l = m_lines[size_t(l)].next) {
            const Line &line = m_lines[size_t(l)];
            if (line.firstOfKey)
                visit(text(sec.name), text(line.key), text(line.value));
        }
    }
}

bool TmyIniFile::NamesMatch(QStringView a, QStringView b)
{
    return FoldedEqual(a, b);
}

quint32 TmyIniFile::NameHash(QStringView name)
{
    return FoldedHash(name);
}

void TmyIniFile::mWriteString(const QString &section, const QString &key, const QString &value)
{
    writeValue(section, key, value, true);
}

bool TmyIniFile::ParseInteger(const QString &raw, qint32 &value)
{
    if (raw.size() > 2 && raw[0] == u'0' && (raw[1] == u'x' || raw[1] == u'X')) {
        qint64 result = 0;
        for (qsizetype i = 2; i < raw.size(); ++i) {
            const int digit = HexDigit(raw[i].unicode());
            if (digit < 0)
                return false;
            result = result * 16 + digit;
            if (result > std::numeric_limits<qint32>::max())
                return false;
        }
        value = qint32(result);
        return true;
    }
    return TryStrToInt(raw, value);
}

qint32 TmyIniFile::ReadInteger(const QString &section, const QString &key, qint32 defaultValue) const
{
    qint32 value = 0;
    return ParseInteger(ReadString(section, key, QString()), value) ? value : defaultValue;
}

void TmyIniFile::WriteInteger(const QString &section, const QString &key, qint32 value)
{
    WriteString(section, key, QString::number(value));
}

bool TmyIniFile::SectionExists(const QString &section) const
{
    return findSection(section) >= 0;
}

bool TmyIniFile::ValueExists(const QString &section, const QString &key) const
{
    return rawValue(section, key).has_value();
}

bool TmyIniFile::writeText(const std::function<bool(QByteArrayView)> &put) const
{
    // Encoded a piece at a time: the whole text never exists twice over.
    QStringEncoder utf16(m_encoding == Encoding::Utf16LeBom ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE,
        QStringEncoder::Flag::WriteBom);
    if (m_encoding == Encoding::Utf8Bom && !put("\xEF\xBB\xBF"))
        return false;
    QString chunk;
    chunk.reserve(kChunkChars + 1024);
    const auto flush = [&] {
        QByteArray piece;
        switch (m_encoding) {
        case Encoding::Utf8Bom:
            piece = chunk.toUtf8();
            break;
        case Encoding::Utf16LeBom:
        case Encoding::Utf16BeBom:
            piece = utf16.encode(chunk);
            break;
        case Encoding::Cp1251:
            piece = ToCp1251(chunk);
            break;
        }
        chunk.resize(0);
        return put(piece);
    };
    const QLatin1StringView crlf("\r\n");
    for (const Section &sec : m_sections) {
        chunk += u'[';
        chunk += text(sec.name);
        chunk += u']';
        chunk += crlf;
        for (qint32 l = sec.firstLine; l >= 0; l = m_lines[size_t(l)].next) {
            const Line &line = m_lines[size_t(l)];
            chunk += text(line.key);
            if (line.hasValue) {
                chunk += u'=';
                chunk += text(line.value);
            }
            chunk += crlf;
            if (chunk.size() >= kChunkChars && !flush())
                return false;
        }
        chunk += crlf;
    }
    // The byte order mark of an empty UTF-16 store comes with its first (empty) piece.
    return flush();
}

QByteArray TmyIniFile::toBytes() const
{
    QByteArray bytes;
    writeText([&](QByteArrayView piece) {
        bytes.append(piece);
        return true;
    });
    return bytes;
}

bool TmyIniFile::UpdateFile()
{
    if (qsizetype(m_sections.size() + m_lines.size()) > kMaxEntries) {
        m_error = SafeFile::TooLargeToWrite(m_fileName, u"длиннее %1 строк"_s.arg(kMaxEntries));
        return false;
    }
    // Written as it is encoded: a full configuration never lies in memory as bytes.
    if (!SafeFile::WritePieces(
            m_fileName, [this](const SafeFile::PieceSink &put) { return writeText(put); }, &m_error))
        return false;
    m_error.clear();
    return true;
}
