#pragma once

#include <QString>

// The validity test of a scanned code: "0", or 8 or 13 digits whose last one is
// the GS1 check digit of the others (EAN-8, EAN-13).
bool CheckShtrihCode(const QString &value);

// The GS1 check digit (EAN-13, EAN-8, UPC) for the given digits; -1 when one
// of them is no digit.
int Gs1CheckDigit(QStringView digits);

// In-house item codes, typed at the register rather than scanned: up to six
// digits, no check digit.
constexpr int kLongestItemCode = 6;

// Why no scanner will give a goods barcode the register holds (digits, zeros
// in front dropped as the register drops them): a wrong check digit, or more
// digits than an EAN has. Empty when a scanner can give it, for no barcode
// ("" or "0"), for an item code and for a text that is no number.
QString UnscannableBarcode(const QString &barcode);

// What the goods tab says about a scanned code written into row N.
struct ShtrihVerdict
{
    bool valid = false;
    QString text; // "Штрих-код корректный, код товара N" or "... некорректный ..."
};
ShtrihVerdict ShtrihCodeVerdict(const QString &value, int row);
