#pragma once

#include "pages/GoodsRows.h"
#include "pages/ImportReport.h"

#include <QByteArray>

#include <map>
#include <optional>
#include <vector>

// The 1C exchange file (*.1cdb): Windows-1251 lines ended by CR LF; a SOH line,
// one STX ... ETX record per goods row with five TABs between its six values
// (number, name, font, barcode, price, section), an EOT line.

// One record while a file is imported.
struct TtmpStringData
{
    QString Number;
    QString Name;
    QString TypeFont;
    QString Shtr;
    QString Price;
    QString Section;
};

// One record line, its line end included, before it is encoded: the row's
// number and its cells 1..5 (an empty price goes as "0.0").
QString Goods1CLine(int number, const GoodsCells &cells);
// The whole file text for rows 1..6000.
QByteArray Goods1CBytes(const StringGridModel &goods);
// Writes it atomically; on success the message is "Файл успешно сохранен!".
PageResult ExportGoods1C(const QString &path, const StringGridModel &goods);

// Checks the whole file first and only then resets columns 1..5 of every row
// and fills them, so a rejected file leaves the grid as it was. The marking
// column is never touched. The message, "Загружено N позиций!", goes on with
// what the grid did not take as the file has it (ImportReport).
PageResult ImportGoods1C(const QString &path, StringGridModel &goods);

// What an accepted file gives the goods rows: the cells of every row it names
// (a later record for a row replacing an earlier one), the defaults elsewhere,
// which rows it names, how many records it held, and what of them the grid
// does not take as it is (a barcode that is no number is refused, a long name cut).
struct Goods1CRecords
{
    // The rows the file names, by number 1..6000: no more than the file holds,
    // so that a short file costs little.
    std::map<int, GoodsCells> rows;
    int count = 0;
    ImportReport report;
};
// The file's records; nothing when the file is rejected.
std::optional<Goods1CRecords> ParseGoods1C(QByteArrayView bytes);
PageResult ImportGoods1CBytes(const QByteArray &bytes, StringGridModel &goods);
