#pragma once

#include <QString>

// The validity test of a scanned code: "0", or 8 or 13 digits whose last one is
// the GS1 check digit of the others (EAN-8, EAN-13).
bool CheckShtrihCode(const QString &value);

// What the goods tab says about a scanned code written into row N.
struct ShtrihVerdict
{
    bool valid = false;
    QString text; // "Штрих-код корректный, код товара N" or "... некорректный ..."
};
ShtrihVerdict ShtrihCodeVerdict(const QString &value, int row);
