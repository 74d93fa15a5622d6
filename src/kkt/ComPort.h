#pragma once

// The four requests the KKT understands. Each runs one transaction and returns
// its outcome (KktOutcome); answer values are handed back only as stated.

#include "kkt/KktTransaction.h"

#include <QString>

namespace KktMode {
constexpr quint8 Write = 0;
constexpr quint8 Read = 1;
} // namespace KktMode

// Font codes carried with every text field.
namespace KktFont {
constexpr quint16 Narrow = 0x30; // "0"
constexpr quint16 Wide = 0x31; // "1"
} // namespace KktFont

constexpr quint32 kClearBaseTimeOutMs = 30000;
constexpr int kKktTextField = 24;

// The fields of the link check's answer, as they stand.
struct TTestLinkAnswer
{
    quint8 b4 = 0, b5 = 0, b6 = 0, b7 = 0;
    quint16 w8 = 0;
    quint8 b10 = 0, b11 = 0, b12 = 0, b13 = 0, b14 = 0, b15 = 0;
    quint32 d16 = 0;
    quint8 b20 = 0, b21 = 0;
    quint64 q22 = 0; // 48 bits
};

// Goods item record "T". Write: the values from the arguments (name upper-cased,
// cut to 24 characters and converted; barcode a signed 64-bit number whose low
// 48 bits are sent; price in kopecks, signed 32-bit). Outcome 5 when barcode or
// price is not a number of its width: nothing is sent. Read: sends the number
// and, on any non-busy answer, overwrites all six values with the answer's;
// an answer of status 0 about another item is outcome 2 and overwrites nothing.
quint8 RequestPredmRasch(KktChannel &channel, const KktConnection &conn, quint8 mode, quint16 &number, quint16 &font,
    QString &name, QString &barcode, QString &price, quint8 &section);

// Table parameter "p". convert: KKT text code (1) or plain 8-bit bytes (0).
// Read overwrites font and value with the answer's.
quint8 RequestParam(KktChannel &channel, const KktConnection &conn, quint8 mode, quint8 table, quint8 row, quint8 field,
    quint16 &font, QString &value, bool convert);

// Link check "u".
quint8 RequestTestLink(KktChannel &channel, const KktConnection &conn, TTestLinkAnswer &answer);

// Clear the goods base "c", always with a read time-out of 30000 ms; status is the answer's status byte.
quint8 RequestClearBase(KktChannel &channel, const KktConnection &conn, quint8 &status);

// The 24-byte value field of a table parameter, coded by the conversion flag.
QByteArray EncodeParamValue(const QString &value, bool convert);
QString DecodeParamValue(QByteArrayView field, bool convert);
