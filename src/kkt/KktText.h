#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The register's 7-bit character code: ASCII at its places, Russian capitals at
// the places of the ASCII lower-case letters.

// Windows-1251 bytes to KKT bytes; never longer than the argument.
QByteArray StrToKKT(QByteArrayView cp1251);
// KKT bytes to text, ending at the first 0x00 or 0x80.
QString KKTToStr(QByteArrayView kkt);

// Text to Windows-1251; every character the code page lacks becomes "?".
QByteArray ToCp1251(QStringView text);
// Whether Windows-1251 has every character of the text.
bool InCp1251(QStringView text);
// Windows-1251 bytes to text.
QString FromCp1251(QByteArrayView bytes);

// The callers' preparation of a text for StrToKKT: upper-case by Unicode rules,
// cut to maxChars characters when maxChars >= 0, then Windows-1251 with "?".
QByteArray PrepareForKkt(const QString &text, int maxChars = -1);
