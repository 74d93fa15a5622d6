#pragma once

#include <QMap>
#include <QString>

#include <QStringList>

#include <optional>
#include <vector>

// The cells of the first worksheet of an .xlsx workbook as a test wants to
// see them, read by kkt-xlsx-cells (QuaZip, QXmlStreamReader): by reference ("C2"), the
// cell's type as the sheet writes it ("s" shared string, "inlineStr", "str",
// "n" number, "b"...), its text (the string, or the number as written) and
// its number format code ("@", "0.00", "General"...).
struct XlsxCell
{
    QString type;
    QString text;
    QString format;
};
using XlsxCells = QMap<QString, XlsxCell>;

// Nothing when the file is no workbook this reader understands.
std::optional<XlsxCells> ReadXlsxSheet(const QString &path);

// Whether the sheet's XML is well-formed: Excel refuses a workbook whose XML is not.
bool XlsxPartsWellFormed(const QString &path);

