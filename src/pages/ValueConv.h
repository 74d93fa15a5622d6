#pragma once

#include <QString>

#include <optional>

// Conversions between the texts of the parameter cells and the values the KKT
// requests carry.

// Font cell <-> font code byte: exactly "Узкий" is narrow ("0"), anything else wide.
quint16 FontCode(const QString &fontCell);
QString FontNameOf(quint16 code);

// Price cell (roubles, "." separator) to kopecks text: the digits are moved,
// never rounded, so the request's number check sees what the cell held.
QString PriceToKop(const QString &price);
// Kopecks text to price cell; nullopt when it is not a number of the signed
// 32-bit range the price field is written with.
std::optional<QString> KopToPrice(const QString &kop);

constexpr quint64 kMarkBit = quint64(1) << 47;

// Barcode and marking cells to the 48-bit barcode value text ("0" for an empty
// barcode); nullopt when the barcode is not a decimal number below 2^47.
std::optional<QString> ShtrihToValue(const QString &barcode, const QString &mark);
struct ShtrihCells
{
    QString barcode;
    QString mark; // "м" or empty
};
// nullopt when the value is not an unsigned number below 2^48.
std::optional<ShtrihCells> ValueToShtrih(const QString &value);

// The three list cells of a group to its four-character code; nullopt when the
// kind cell holds none of the item-kind entries.
std::optional<QString> UslToCode(const QString &kind, const QString &vat, const QString &tax);
struct UslCells
{
    QString kind;
    QString vat;
    QString tax;
};
UslCells CodeToUsl(const QString &code);

// The section cell as the request's byte: the number's low eight bits, 0 for a non-number.
quint8 SectionByte(const QString &section);
