#pragma once

#include "pages/GoodsRows.h"
#include "pages/XlsCells.h"

#include <optional>
#include <vector>

// The workbook reader run as a child process: its program and how long it may take.
struct XlsReader
{
    QString program;
    int timeOutMs = 5000;

    // kkt-xls-reader beside the running program, or in the installed helper folder.
    static XlsReader Default();
};

// Goods import from a workbook (*.xls of Excel 97-2003, *.xlsx, *.ods), read
// in a child process (XlsReader): a workbook that crashes or hangs it, or that
// it cannot read, gives "ВНИМАНИЕ!\r\nНе удалось загрузить файл ..." and the
// grid stays as it was.
//
// The first worksheet; sheet row 1 is a heading; sheet row r (2..6001) fills
// goods row r - 1 from sheet columns 3 (barcode), 4 (name), 5 (section), 6 (price,
// through NormPrice) and 7 (marking: "м" when the cell holds м or М). Every
// goods row is reset to the defaults first. The whole sheet is read and its
// layout checked (ImportXlsRows) before the grid changes: a file that cannot
// be read, or that is laid out otherwise, leaves the grid as it was. A cell
// the reader could not read (a formula without its result, an error) and a
// date for a price are refused and marked, never taken as empty.
PageResult LoadXls(const QString &fileName, StringGridModel &grid, const XlsReader &reader = XlsReader::Default());

class ImportReport;
class QProcess;

// What one run of the reader gave: the sheet's cells, or why there are none.
struct XlsReading
{
    std::optional<XlsCells::Sheet> sheet;
    QString reason;
};

// The pieces of LoadXls for a caller that runs the reader without waiting
// for it (the window, see WorkbookRead): the refusal of a file no reader
// should open (missing, a FIFO, too large), the reader started on a file,
// what a finished reader gave, and that reading put into the grid.
std::optional<PageResult> RefuseBeforeReading(const QString &fileName);
void StartReader(QProcess &process, const QString &fileName, const XlsReader &reader);
QString ReaderNotStarted(const XlsReader &reader, const QString &error);
QString ReaderTimedOut(const XlsReader &reader);
XlsReading ReadingOf(QProcess &process, const QString &fileName);
PageResult ImportReading(const QString &fileName, const XlsReading &reading, StringGridModel &grid);

// The reader's rows of a workbook into the goods grid, as LoadXls does once
// it has them. A workbook whose columns are laid out otherwise (most rows
// that hold anything have no barcode in column C, no price in column F or a
// number for a name in column D) is refused with a message naming the
// expected columns, and the grid stays as it was. Otherwise every goods row
// is reset and filled; a barcode that is no number and a price that is none
// are refused (row default, marked), and the message tells what was loaded.
PageResult ImportXlsRows(const QString &fileName, const XlsCells::Sheet &sheet, StringGridModel &grid);

// The refusal of a workbook whose columns do not fit; empty when they do.
QString XlsLayoutMisfit(const QString &fileName, const std::vector<XlsCells::Row> &rows);

// The goods row `goodsRow` that a sheet row of the reader's cells gives,
// what could not be taken noted in the report; the font is the default.
GoodsCells GoodsOfSheetRow(int goodsRow, const XlsCells::Row &sheetRow, ImportReport &report);

// Whether a file is one the workbook import reads, by its name.
bool IsWorkbookFile(const QString &fileName);

// A price cell text with "." as the decimal separator: "12,5" -> "12.5",
// "12" -> "12.00", "" -> "0.00"; nothing for a text that is no price.
std::optional<QString> PriceOfCell(const QString &text);
// The same with "0.00" for a text that is no price.
QString NormPrice(const QString &text);

namespace XlsColumn {
constexpr int Barcode = 3, Name = 4, Section = 5, Price = XlsCells::kPriceColumn, Mark = 7;
constexpr int kLastRow = 6001; // sheet rows beyond it have no goods row
} // namespace XlsColumn
