#pragma once

#include "pages/StringGridModel.h"
#include "pages/TableKind.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

// What the register holds after a write of the grid: one answer for the check
// before writing, the marks in the grids, verification and kkt-cli. Every
// value goes through the encoders the requests use and back through the
// decoders a read uses, so a cell that this calls equal is one a write and a
// read would bring back unchanged.

struct StoredCell
{
    int col = 0;
    // The text a read of the register gives back into this cell.
    QString stored;
    // Why the register gets something else than the cell says, beyond upper
    // case (cut to the field, characters the register lacks, a number that
    // does not fit, an address that is none); empty when nothing is lost.
    QStringList reasons;
    // The write refuses the row before sending anything (a barcode or price
    // that is no number): the reasons say why.
    bool refused = false;
};

// Every cell that a write of grid row `row` sends, as the register will hold it.
QList<StoredCell> StoredRow(TableKind kind, const StringGridModel &grid, int row);

// A cell whose value the register would change by more than upper case.
struct StoreIssue
{
    TableKind kind;
    int row;
    int col;
    QString value; // the cell
    QString stored; // what the register gets
    QString reason; // all reasons, one text
    bool refused = false;
};

// The cells of rows from..to of a table (the GSM table: its seven rows) that
// the register would not hold as typed.
QList<StoreIssue> CheckBeforeWrite(TableKind kind, const StringGridModel &grid, int from, int to);

// A cell in which the register differs from what a write of the grid would store.
struct VerifyDifference
{
    TableKind kind;
    int row;
    int col;
    QString program; // what a write of the grid would store
    QString kkt; // what the register holds
};

struct VerifyResult
{
    QList<VerifyDifference> differences;
    int equalRows = 0;
    int rows = 0;
};
Q_DECLARE_METATYPE(VerifyResult)

// Compares rows from..to of `read` (a grid of the same table read from the
// register) with what a write of `grid` would store.
VerifyResult CompareWithRegister(
    TableKind kind, const StringGridModel &grid, const StringGridModel &read, int from, int to);

// What the lists and messages call a cell's field: the column's title, or for
// the GSM table the parameter's row title.
QString FieldTitle(TableKind kind, int row, int col);
// What the lists call a table: its tab's title, or "Параметры GSM".
QString TableTitle(TableKind kind);
