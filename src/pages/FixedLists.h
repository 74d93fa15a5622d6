#pragma once

#include <QString>
#include <QStringList>

// The fixed lists of the parameter cells. A list cell holds the whole entry
// text; the number at its start is the code the KKT receives.
namespace FixedLists {
QString Narrow(); // "Узкий"
QString Wide(); // "Широкий"
QString VatExempt(); // "НДС не облагается": put into the VAT cell by item kinds 05 and 06

const QStringList &Fonts();
const QStringList &ItemKinds(); // codes 00..11, entry i has code i
const QStringList &Vat(); // codes 1..6, entry i has code i + 1
const QStringList &Taxation(); // codes 1..6, entry i has code i + 1

// Item kinds 05 and 06 carry no VAT choice.
bool IsVatExemptKind(const QString &kindEntry);
} // namespace FixedLists
