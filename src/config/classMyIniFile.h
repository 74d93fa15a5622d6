#pragma once

#include <QHash>
#include <QString>

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

    // Loads the file; a missing file gives an empty store. Check isLoaded().
    explicit TmyIniFile(const QString &fileName);

    bool isLoaded() const { return m_loaded; }
    // Russian text of the last failure (loading or UpdateFile).
    QString errorString() const { return m_error; }
    QString fileName() const { return m_fileName; }
    Encoding encoding() const { return m_encoding; }

    QString mReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    void mWriteString(const QString &section, const QString &key, const QString &value);

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    void WriteString(const QString &section, const QString &key, const QString &value);
    qint32 ReadInteger(const QString &section, const QString &key, qint32 defaultValue) const;
    void WriteInteger(const QString &section, const QString &key, qint32 value);

    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    int sectionCount() const { return int(m_sections.size()); }

    // Replaces the file atomically with the whole store; on failure the previous
    // file stays as it was and errorString() tells why.
    bool UpdateFile();
    // The bytes UpdateFile writes.
    QByteArray toBytes() const;

    // The integer rule of ReadInteger applied to a raw value.
    static bool ParseInteger(const QString &raw, qint32 &value);

private:
    struct Line
    {
        QString key; // trimmed text before the first "="; the whole line when there is none
        QString value;
        bool hasValue = false; // the line holds "="
    };
    struct Section
    {
        QString name;
        std::vector<Line> lines;
        QHash<QString, int> firstLine; // folded key -> first line with it
    };

    void load();
    void parse(const QString &text);
    void addLine(Section &section, Line line);
    const Line *findLine(const QString &section, const QString &key) const;
    Section &sectionFor(const QString &name);

    QString m_fileName;
    Encoding m_encoding = Encoding::Cp1251;
    bool m_loaded = false;
    QString m_error;
    std::vector<Section> m_sections;
    QHash<QString, int> m_firstSection; // folded name -> first section with it
};
