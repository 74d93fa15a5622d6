#include "kkt/KktText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
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
    QStringEncoder encoder("windows-1251");
    const QByteArray whole = encoder.encode(text);
    if (whole.size() == text.size() && !whole.contains('\x1A'))
        return whole;
    QByteArray out;
    out.reserve(text.size());
    // The codec marks what it cannot represent with 0x1A; the KKT wants "?".
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len
            = (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
        const QStringView ch = text.mid(i, len);
        const QByteArray encoded = encoder.encode(ch);
        const bool lost = encoded.size() != 1 || (encoded[0] == 0x1A && ch[0] != QChar(char16_t(0x1A)));
        out.append(lost ? '?' : encoded[0]);
        i += len;
    }
    return out;
}

QString FromCp1251(QByteArrayView bytes)
{
    QStringDecoder decoder("windows-1251");
    return decoder.decode(bytes);
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
