#pragma once

#include "pages/PageResult.h"
#include "pages/StringGridModel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The goods base as delimited text (*.csv, *.tsv, *.txt), laid out as a
// workbook (GoodsSheet): record 1 a heading, record r goods row r - 1, cells
// C (barcode), D (name), E (section), F (price), G (marking).

// Reads the file (UTF-8 with or without its byte order mark, UTF-16 after
// one, Windows-1251 otherwise; ";", tab or "," between the cells, found from
// the heading unless Excel's line "sep=;" names it) into the workbook import's rows (ImportXlsRows): the same
// layout check, report and marks. A file that is no text, or whose quote is
// never closed, is refused and the grid stays as it was.
PageResult ImportGoodsCsv(const QString &path, StringGridModel &goods);

// The sheet rows 2 .. 6001 of a delimited file, as the workbook reader hands
// them back (XlsCells::kColumns cells from XlsCells::kFirstColumn); nothing,
// with the message, when the text cannot be read so.
// moreRows, when given, tells whether records below the last goods row hold anything.
std::optional<std::vector<QStringList>> SheetRowsOfCsv(
    const QString &path, const QByteArray &bytes, QString *refusal, bool *moreRows = nullptr);

// The whole base for a spreadsheet: UTF-8 with its byte order mark (spreadsheets
// take a file without one for their 8-bit code page), the heading, rows 1 ..
// 6000, lines ended by CR LF. Codes (goods number, barcode, section) are
// always in quotes, which spreadsheets told so keep as text; prices have a
// decimal comma, as Russian spreadsheets write and read them.
QByteArray GoodsCsvBytes(const StringGridModel &goods, QChar separator);

// Writes it atomically: a tab between cells for *.tsv and *.txt, ";" otherwise.
// The message on success is "Файл успешно сохранен!".
PageResult ExportGoodsCsv(const QString &path, const StringGridModel &goods);
