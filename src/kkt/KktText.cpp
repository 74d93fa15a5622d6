#include "kkt/KktText.h"

#include <algorithm>
#include <array>

namespace {
// Windows-1251 0x80..0xFF; every byte has its character and every character one byte.
// clang-format off
constexpr char16_t kCp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};
// clang-format on

// The byte of a character above 0x7F, or 0 when the code page lacks it.
quint8 Cp1251Byte(char16_t c)
{
    if (c >= 0x0410 && c <= 0x044F) // the Russian alphabet without Ё/ё, the bulk of every text
        return quint8(c - 0x0410 + 0xC0);
    static const auto reverse = [] {
        struct Pair
        {
            char16_t c;
            quint8 b;
        };
        std::array<Pair, 64> pairs {};
        for (int b = 0; b < 64; ++b)
            pairs[size_t(b)] = { kCp1251High[b], quint8(0x80 + b) };
        std::sort(pairs.begin(), pairs.end(), [](Pair x, Pair y) { return x.c < y.c; });
        return pairs;
    }();
    const auto it = std::lower_bound(
        reverse.begin(), reverse.end(), c, [](const auto &pair, char16_t key) { return pair.c < key; });
    return it != reverse.end() && it->c == c ? it->b : 0;
}

// KKT code of the capitals А..Я (Windows-1251 0xC0..0xDF).
// clang-format off
constexpr quint8 kLetterToKkt[32] = {
    0x61, 0x62, 0x77, 0x67, 0x64, 0x65, 0x76, 0x7A, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F, 0x70,
    0x72, 0x73, 0x74, 0x75, 0x66, 0x68, 0x63, 0x7E, 0x7B, 0x7D, 0x5E, 0x79, 0x78, 0x7C, 0x60, 0x71
};
// clang-format on

// The capital letter at a KKT code 0x5E or 0x60..0x7E.
QChar KktLetter(quint8 code)
{
    for (int i = 0; i < 32; ++i)
        if (kLetterToKkt[i] == code)
            return QChar(char16_t(0x0410 + i));
    return QChar(char16_t(code));
}
} // namespace

QByteArray StrToKKT(QByteArrayView cp1251)
{
    QByteArray out;
    out.reserve(cp1251.size());
    for (char c : cp1251) {
        const quint8 b = quint8(c);
        if (b < 0x20)
            continue;
        if (b < 0x80)
            out.append(char(b));
        else if (b >= 0xC0 && b <= 0xDF)
            out.append(char(kLetterToKkt[b - 0xC0]));
        else
            out.append(' ');
    }
    return out;
}

QString KKTToStr(QByteArrayView kkt)
{
    QString out;
    out.reserve(kkt.size());
    for (char c : kkt) {
        const quint8 b = quint8(c);
        if (b == 0x00 || b == 0x80)
            break;
        if (b == 0x0A || b == 0x0D)
            out.append(QChar(char16_t(b)));
        else if (b < 0x1A)
            continue;
        else if (b == 0x5E || (b >= 0x60 && b <= 0x7E))
            out.append(KktLetter(b));
        else if (b == 0x7F)
            out.append(QLatin1Char('N'));
        else if (b < 0x80)
            out.append(QChar(char16_t(b)));
        else
            out.append(FromCp1251(QByteArrayView(&c, 1)));
    }
    return out;
}

QByteArray ToCp1251(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char *o = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            *o++ = char(c);
            continue;
        }
        const quint8 b = Cp1251Byte(c);
        *o++ = b ? char(b) : '?';
        // A character outside the basic plane is one "?", not two.
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    out.truncate(o - out.constData());
    return out;
}

bool InCp1251(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80 || Cp1251Byte(c.unicode()); });
}

QString FromCp1251(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t *o = reinterpret_cast<char16_t *>(out.data());
    for (char c : bytes) {
        const quint8 b = quint8(c);
        *o++ = b < 0x80 ? char16_t(b) : kCp1251High[b - 0x80];
    }
    return out;
}

namespace {
QString UpperOneToOne(const QString &text)
{
    // QString::toUpper uses the full mapping, where "ß" becomes "SS" and a few
    // others grow: the cut to the field would then count characters the user
    // never typed. The simple mapping keeps one character for one.
    QString upper = text;
    for (qsizetype i = 0; i < upper.size(); ++i) {
        if (upper[i].isHighSurrogate() && i + 1 < upper.size() && upper[i + 1].isLowSurrogate()) {
            const char32_t big = QChar::toUpper(QChar::surrogateToUcs4(upper[i], upper[i + 1]));
            upper[i] = QChar(QChar::highSurrogate(big));
            upper[i + 1] = QChar(QChar::lowSurrogate(big));
            ++i;
            continue;
        }
        upper[i] = upper[i].toUpper();
    }
    return upper;
}
} // namespace

QByteArray PrepareForKkt(const QString &text, int maxChars)
{
    QString upper = UpperOneToOne(text);
    if (maxChars >= 0) {
        // Count characters, not UTF-16 units, so a pair is never split.
        qsizetype units = 0;
        for (int chars = 0; units < upper.size() && chars < maxChars; ++chars)
            units += (upper[units].isHighSurrogate() && units + 1 < upper.size()) ? 2 : 1;
        upper.truncate(units);
    }
    return ToCp1251(upper);
}
