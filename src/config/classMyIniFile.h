#pragma once

#include <QString>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

class QIODevice;

// In-memory INI file bound to one file name. String values written through the
// guarded pair (mWriteString / mReadString) sit between two DEL characters, so
// blanks at their ends survive the trimming every line gets on loading.
//
// Section and key names match without regard to letter case, Cyrillic included.
// A full configuration holds thousands of sections: the first section of each
// folded name and, within a section, the first line of each folded key are
// indexed, so a whole load or save stays linear.
class TmyIniFile
{
public:
    enum class Encoding { Cp1251, Utf8Bom, Utf16LeBom, Utf16BeBom };

    static constexpr QChar kGuard = QChar(char16_t(0x7F));
    // Sections and lines a store keeps at the most, reading and writing alike:
    // a full configuration has some 42,000. Bounds the store's memory for a
    // file of many short lines, some 60 bytes an entry.
    static constexpr qsizetype kMaxEntries = 250000;

    // Loads the file; a missing file gives an empty store. Check isLoaded().
    explicit TmyIniFile(const QString &fileName);
    // Bound to fileName, with bytes as the file's content (the file itself is not read).
    TmyIniFile(const QString &fileName, const QByteArray &bytes);

    // The encoding a store bound to the file would write in, told by the
    // file's first bytes alone (Windows-1251 for a missing or unreadable file).
    static Encoding EncodingOf(const QString &fileName);

    bool isLoaded() const { return m_loaded; }
    // Russian text of the last failure (loading or UpdateFile).
    QString errorString() const { return m_error; }
    QString fileName() const { return m_fileName; }
    Encoding encoding() const { return m_encoding; }

    QString mReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    void mWriteString(const QString &section, const QString &key, const QString &value);

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    // The plain value, or nothing when the file has no such key.
    std::optional<QString> TryReadString(const QString &section, const QString &key) const;
    void WriteString(const QString &section, const QString &key, const QString &value);
    qint32 ReadInteger(const QString &section, const QString &key, qint32 defaultValue) const;
    void WriteInteger(const QString &section, const QString &key, qint32 value);

    // Calls visit(section, key, raw value) for every line a lookup can find:
    // in the first section of each name, the first line of each key; in the
    // store's order. What the reads of many keys find, in one pass.
    void ForEachFoundValue(
        const std::function<void(QStringView section, QStringView key, QStringView value)> &visit) const;
    // Whether two names match as lookups match them (letter case aside,
    // Cyrillic included), and a hash that is equal for names that match.
    static bool NamesMatch(QStringView a, QStringView b);
    static quint32 NameHash(QStringView name);
    // A guarded value's text between its DEL characters; any other value as it is.
    static QStringView Unguarded(QStringView raw);

    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    int sectionCount() const { return int(m_sections.size()); }

    // Room for `sections` more sections and `lines` more key lines holding
    // `chars` characters in all, so that filling an empty store never copies it.
    void reserve(qsizetype sections, qsizetype lines, qsizetype chars);

    // Replaces the file atomically with the whole store; on failure the previous
    // file stays as it was and errorString() tells why.
    bool UpdateFile();
    // The bytes UpdateFile writes.
    QByteArray toBytes() const;

    // The integer rule of ReadInteger applied to a raw value.
    static bool ParseInteger(const QString &raw, qint32 &value);

private:
    // Names and values live in one text pool: the file's decoded text as
    // loaded, with whatever is written later appended. A line or section only
    // keeps where its texts lie, so a full configuration takes a few
    // allocations instead of two per line.
    struct Span
    {
        qint32 pos = 0;
        qint32 len = 0;
    };
    struct Line
    {
        Span key; // trimmed text before the first "="; the whole line when there is none
        Span value;
        qint32 section = 0;
        qint32 next = -1; // the section's next line
        quint32 hash = 0; // of the folded key
        bool hasValue = false; // the line holds "="
        bool firstOfKey = false; // the section's first line of its key, the one lookups find
    };
    struct Section
    {
        Span name;
        qint32 firstLine = -1;
        qint32 lastLine = -1;
        quint32 hash = 0; // of the folded name
        bool firstOfName = false; // the first section of its name, the one lookups find
    };
    // Open addressing over entry numbers (-1: free); the caller compares names.
    struct Index
    {
        std::vector<qint32> table;
        qint32 used = 0;

        template <typename Match> qint32 find(quint32 hash, Match match) const
        {
            if (table.empty())
                return -1;
            const size_t mask = table.size() - 1;
            for (size_t i = hash & mask;; i = (i + 1) & mask) {
                const qint32 entry = table[i];
                if (entry < 0 || match(entry))
                    return entry;
            }
        }
        // Room for `count` entries without growing; only for an empty index.
        void reserve(qsizetype count)
        {
            size_t size = 64;
            while (size < size_t(count) * 2)
                size *= 2;
            table.assign(size, -1);
        }
        // Adds an entry under its hash; hashOf(entry) places the others again when the table grows.
        template <typename HashOf> void insert(quint32 hash, qint32 entry, HashOf hashOf)
        {
            if (size_t(used + 1) * 2 > table.size()) {
                std::vector<qint32> old(std::max<size_t>(64, table.size() * 2), -1);
                old.swap(table);
                used = 0;
                for (qint32 e : old)
                    if (e >= 0)
                        place(hashOf(e), e);
            }
            place(hash, entry);
        }
        void place(quint32 hash, qint32 entry)
        {
            const size_t mask = table.size() - 1;
            size_t i = hash & mask;
            while (table[i] >= 0)
                i = (i + 1) & mask;
            table[i] = entry;
            ++used;
        }
    };

    void load();
    bool decode(const QByteArray &bytes);
    bool parse();
    // Hands the file's bytes to put a piece at a time; false when put refused one.
    bool writeText(const std::function<bool(QByteArrayView)> &put) const;
    QStringView text(Span span) const { return QStringView(m_pool).sliced(span.pos, span.len); }
    void reservePool(qsizetype extra);
    Span append(QStringView s);
    qint32 addSection(Span name);
    // firstOfKey: the caller knows no earlier line of the section has the key.
    void addLine(qint32 section, Span key, Span value, bool hasValue, bool firstOfKey);
    qint32 findSection(const QString &name) const;
    qint32 findLineIn(qint32 section, QStringView key, quint32 foldedHash) const;
    // The line of the key: the one after the last line found when it is, else by the index.
    qint32 lineOf(qint32 section, QStringView key) const;
    qint32 sectionFor(const QString &name);
    // Sets the line's value to guard + value + guard (no guard: value alone),
    // line breaks turned into blanks, in place when it fits.
    void assignValue(Line &line, QStringView value, bool guarded);
    void writeValue(const QString &section, QStringView key, QStringView value, bool guarded);
    std::optional<QStringView> rawValue(const QString &section, QStringView key) const;

    QString m_fileName;
    Encoding m_encoding = Encoding::Cp1251;
    bool m_loaded = false;
    QString m_error;
    QString m_pool;
    std::vector<Section> m_sections;
    std::vector<Line> m_lines;
    Index m_sectionIndex; // first section of each folded name
    Index m_keyIndex; // first line of each (section, folded key)
    // Keys are read and written section by section, mostly in the file's own
    // order: the last section and line found, whose successors are tried first.
    mutable QString m_lastSectionName;
    mutable qint32 m_lastSection = -1;
    mutable qint32 m_lastLine = -1;
};
