#pragma once

#include "pages/GoodsRows.h"

// The workbook reader run as a child process: its program and how long it may take.
struct XlsReader
{
    QString program;
    int timeOutMs = 5000;

    // kkt-xls-reader beside the running program, or in the installed helper folder.
    static XlsReader Default();
};

// Goods import from a spreadsheet (*.xls, Excel 97-2003), read by FreeXL in a
// child process (XlsReader): a workbook that crashes or hangs it, or that it
// cannot read, gives "ВНИМАНИЕ!\r\nНе удалось загрузить файл ..." and the grid
// stays as it was.
//
// The first worksheet; sheet row 1 is a heading; sheet row r (2..6001) fills
// goods row r - 1 from sheet columns 3 (barcode), 4 (name), 5 (section), 6 (price,
// through NormPrice) and 7 (marking: "м" when the cell holds м or М). Every
// goods row is reset to the defaults first. The whole sheet is read before the
// grid changes: a file that cannot be read leaves the grid as it was.
PageResult LoadXls(const QString &fileName, StringGridModel &grid, const XlsReader &reader = XlsReader::Default());

// The goods row a sheet row of the reader's cells (XlsCells::kColumns of
// them) gives; the font is the default.
GoodsCells GoodsOfSheetRow(const QStringList &sheetRow);

// A price cell text with "." as the decimal separator: "12,5" -> "12.5",
// "12" -> "12.00", "" -> "0.00", anything else unreadable -> "0.00".
QString NormPrice(const QString &text);

namespace XlsColumn {
constexpr int Barcode = 3, Name = 4, Section = 5, Price = 6, Mark = 7;
constexpr int kLastRow = 6001; // sheet rows beyond it have no goods row
} // namespace XlsColumn
