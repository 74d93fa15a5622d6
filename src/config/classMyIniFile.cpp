#include "config/classMyIniFile.h"

#include "config/Conversion.h"
#include "config/SafeFile.h"
#include "kkt/KktText.h"

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

QString Fold(const QString &name)
{
    return name.toCaseFolded();
}

// Keeps the index on the first occurrence of a name.
void InsertFirst(QHash<QString, int> &index, const QString &folded, int position)
{
    if (!index.contains(folded))
        index.insert(folded, position);
}

// A value must stay on its line: a line break inside it would split the entry
// and could even open a section on reloading.
QString OneLine(const QString &value)
{
    if (!value.contains(u'\r') && !value.contains(u'\n'))
        return value;
    QString out = value;
    out.replace(u'\r', u' ').replace(u'\n', u' ');
    return out;
}

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
} // namespace

TmyIniFile::TmyIniFile(const QString &fileName)
    : m_fileName(fileName)
{
    load();
}

void TmyIniFile::load()
{
    if (!QFileInfo::exists(m_fileName)) {
        m_loaded = true;
        return;
    }
    const std::optional<QByteArray> read = SafeFile::ReadAll(m_fileName, &m_error);
    if (!read)
        return;
    const QByteArray &bytes = *read;

    QString text;
    if (StartsWith(bytes, { 0xEF, 0xBB, 0xBF }) || StartsWith(bytes, { 0xFF, 0xFE })
        || StartsWith(bytes, { 0xFE, 0xFF })) {
        QStringDecoder::Encoding enc = QStringDecoder::Utf8;
        qsizetype markSize = 3;
        m_encoding = Encoding::Utf8Bom;
        if (quint8(bytes[0]) == 0xFF) {
            enc = QStringDecoder::Utf16LE;
            m_encoding = Encoding::Utf16LeBom;
            markSize = 2;
        } else if (quint8(bytes[0]) == 0xFE) {
            enc = QStringDecoder::Utf16BE;
            m_encoding = Encoding::Utf16BeBom;
            markSize = 2;
        }
        QStringDecoder decoder(enc, QStringDecoder::Flag::Stateless);
        text = decoder.decode(QByteArrayView(bytes).sliced(markSize));
        if (decoder.hasError() || (markSize == 2 && bytes.size() % 2 != 0)) {
            m_error = u"Не удалось прочитать файл \"%1\": текст повреждён (неверная кодировка)"_s.arg(m_fileName);
            return;
        }
    } else {
        text = FromCp1251(bytes);
    }
    parse(text);
    m_loaded = true;
}

void TmyIniFile::parse(const QString &text)
{
    Section *current = nullptr;
    const QStringView all(text);
    qsizetype pos = 0;
    const qsizetype size = all.size();
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && all[end] != u'\r' && all[end] != u'\n')
            ++end;
        const QStringView line = TrimIni(all.sliced(pos, end - pos));
        pos = end;
        if (pos < size && all[pos] == u'\r' && pos + 1 < size && all[pos + 1] == u'\n')
            ++pos; // CR LF is one line end
        ++pos;

        if (line.isEmpty() || line.front() == u';')
            continue;
        if (line.front() == u'[' && line.back() == u']') {
            const QString name = TrimIni(line.sliced(1, line.size() - 2)).toString();
            InsertFirst(m_firstSection, Fold(name), int(m_sections.size())); // lookups find the first
            m_sections.push_back(Section { name, {}, {} });
            current = &m_sections.back();
            continue;
        }
        if (!current)
            continue; // lines before the first section have no home
        Line entry;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) {
            entry.key = line.toString();
        } else {
            entry.key = TrimIni(line.first(eq)).toString();
            entry.value = TrimIni(line.sliced(eq + 1)).toString();
            entry.hasValue = true;
        }
        addLine(*current, std::move(entry));
    }
}

void TmyIniFile::addLine(Section &section, Line line)
{
    if (line.hasValue)
        InsertFirst(section.firstLine, Fold(line.key), int(section.lines.size()));
    section.lines.push_back(std::move(line));
}

const TmyIniFile::Line *TmyIniFile::findLine(const QString &section, const QString &key) const
{
    const auto s = m_firstSection.constFind(Fold(section));
    if (s == m_firstSection.cend())
        return nullptr;
    const Section &sec = m_sections[size_t(*s)];
    const auto l = sec.firstLine.constFind(Fold(key));
    return l == sec.firstLine.cend() ? nullptr : &sec.lines[size_t(*l)];
}

TmyIniFile::Section &TmyIniFile::sectionFor(const QString &name)
{
    const QString folded = Fold(name);
    const auto s = m_firstSection.constFind(folded);
    if (s != m_firstSection.cend())
        return m_sections[size_t(*s)];
    m_firstSection.insert(folded, int(m_sections.size()));
    m_sections.push_back(Section { name, {}, {} });
    return m_sections.back();
}

QString TmyIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Line *line = findLine(section, key);
    return line ? line->value : defaultValue;
}

void TmyIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    Section &sec = sectionFor(section);
    const auto l = sec.firstLine.constFind(Fold(key));
    if (l != sec.firstLine.cend()) {
        Line &line = sec.lines[size_t(*l)];
        line.key = key;
        line.value = OneLine(value);
        return;
    }
    addLine(sec, Line { key, OneLine(value), true });
}

QString TmyIniFile::mReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QString raw = ReadString(section, key, kGuard + defaultValue + kGuard);
    if (raw.size() >= 2 && raw.front() == kGuard && raw.back() == kGuard)
        return raw.sliced(1, raw.size() - 2);
    return raw;
}

void TmyIniFile::mWriteString(const QString &section, const QString &key, const QString &value)
{
    WriteString(section, key, kGuard + value + kGuard);
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
    return m_firstSection.contains(Fold(section));
}

bool TmyIniFile::ValueExists(const QString &section, const QString &key) const
{
    return findLine(section, key) != nullptr;
}

QByteArray TmyIniFile::toBytes() const
{
    QString text;
    qsizetype estimate = 0;
    for (const Section &sec : m_sections) {
        estimate += sec.name.size() + 6;
        for (const Line &line : sec.lines)
            estimate += line.key.size() + line.value.size() + 3;
    }
    text.reserve(estimate);
    const QLatin1StringView crlf("\r\n");
    for (const Section &sec : m_sections) {
        text += u'[';
        text += sec.name;
        text += u']';
        text += crlf;
        for (const Line &line : sec.lines) {
            text += line.key;
            if (line.hasValue) {
                text += u'=';
                text += line.value;
            }
            text += crlf;
        }
        text += crlf;
    }
    switch (m_encoding) {
    case Encoding::Utf8Bom:
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case Encoding::Utf16LeBom:
    case Encoding::Utf16BeBom: {
        QStringEncoder encoder(m_encoding == Encoding::Utf16LeBom ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE,
            QStringEncoder::Flag::WriteBom);
        return encoder.encode(text);
    }
    case Encoding::Cp1251:
        break;
    }
    return ToCp1251(text);
}

bool TmyIniFile::UpdateFile()
{
    if (!SafeFile::WriteAll(m_fileName, toBytes(), &m_error))
        return false;
    m_error.clear();
    return true;
}
