#pragma once

#include "pages/StringGridModel.h"
#include "pages/TableKind.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <utility>

// What the register holds after a write of the grid: one answer for the check
// before writing, the marks in the grids, verification and kkt-cli. Every
// value goes through the encoders the requests use and back through the
// decoders a read uses, so a cell that this calls equal is one a write and a
// read would bring back unchanged.

// How far the register's value is from the cell's, least first.
enum class StoreLevel : quint8 {
    Same, // held as the cell says
    Case, // held in capitals, nothing else changed
    Warning, // held as the cell says, with something the user should know
    Changed, // held otherwise (cut to the field, characters lost, a number that does not fit)
    Refused, // the write stops at this row before sending it
};

struct StoredCell
{
    StoredCell() = default;
    StoredCell(int column, QString storedText)
        : col(column)
        , stored(std::move(storedText))
    { }

    int col = 0;
    // The text a read of the register gives back into this cell.
    QString stored;
    // Why the register gets something else than the cell says, beyond upper
    // case, or what to know of it; empty when nothing is lost.
    QStringList reasons;
    StoreLevel level = StoreLevel::Same;
    // The cell says what the register cannot hold at all (a list cell that is
    // none of its entries): verification never calls it equal.
    bool unheld = false;

    // Adds a reason; the cell's level is the highest of its reasons'.
    void add(StoreLevel reasonLevel, const QString &reason);
};

// Every cell that a write of grid row `row` sends, as the register will hold it.
QList<StoredCell> StoredRow(TableKind kind, const StringGridModel &grid, int row);

// A cell whose value the register would change, or hold with a warning.
struct StoreIssue
{
    TableKind kind;
    int row;
    int col;
    QString value; // the cell
    QString stored; // what the register gets; for a refused cell, what the write does
    QString reason; // all reasons, one text
    StoreLevel level = StoreLevel::Changed;

    bool refused() const { return level == StoreLevel::Refused; }
};

// Every cell of rows from..to of a table (the GSM table: its seven rows)
// that the register would not hold as typed, upper case included: the marks.
QList<StoreIssue> StoreIssues(TableKind kind, const StringGridModel &grid, int from, int to);

// The check before writing rows from..to: the issues as StoreIssues gives
// them, except that the cells the register only turns into capitals are one
// line for each field (a list of goods typed in lower case would otherwise
// hide everything else). A refused cell says that the write stops at its row,
// and with laterTables (a write of several tables in turn) that the tables
// after it stay unwritten.
QList<StoreIssue> CheckBeforeWrite(
    TableKind kind, const StringGridModel &grid, int from, int to, bool laterTables = false);

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
