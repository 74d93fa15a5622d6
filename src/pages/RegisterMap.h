#pragma once

#include "pages/StringGridModel.h"

#include <QList>
#include <QString>

#include <optional>

// What a write of a row sends to the register, decided in one place for the
// write run and for the check before writing: the values of the request, or
// the cells for which the write refuses the row before sending anything.

// Why a write stops at a row. The run names the first refusal of the row.
struct RowRefusal
{
    int col = 0; // the cell at fault
    QString reason; // the check's words for it ("цена должна быть числом с точкой (12.50)")
    QString message; // the run's message; empty when the outcome alone says it
    quint8 outcome = 0; // 0: refused by the program; else the request's own outcome for such a value
};

// The goods item request of a row, as the write sends it.
struct GoodsItemValues
{
    quint16 font = 0x30;
    QString name; // as the cell holds it: the request upper-cases, cuts and codes it
    QString barcode; // the 48-bit value with the marking bit; empty when refused
    QString kopecks; // the price field's number; empty when refused
    quint8 section = 0;
};

struct GoodsItemWrite
{
    GoodsItemValues values; // sent only when nothing is refused
    QList<RowRefusal> refusals; // in the order the write meets them
};

// Goods row n. Nothing the program could not read back is sent: a barcode
// that is no number below 2^47, a price that is no number, a negative price
// (it would be written as some eleven billion roubles) and a price above
// 21474836.47 are refused.
GoodsItemWrite GoodsItemOf(const StringGridModel &goods, int n);

// The four-character code field of group `row`, or why it is refused (no item kind).
struct GroupCodeWrite
{
    QString code;
    std::optional<RowRefusal> refusal;
};
GroupCodeWrite GroupCodeOf(const StringGridModel &groups, int row);
