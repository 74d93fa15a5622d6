#pragma once

#include "kkt/KktTransaction.h"
#include "pages/Grids102.h"
#include "pages/RunTypes.h"

#include <QList>

// Write and read runs of the "Параметры 102" tables between a grid and the KKT:
// one request per field of each row in the range (one per item for goods), in
// ascending row and field order; answers go into the cells only after success.

// One field of a KKT table with the grid cells it comes from and goes to.
struct ParamSlot
{
    quint8 table;
    quint8 row;
    quint8 field;
    int textCol; // the text's grid column
    int fontCol; // the font's grid column; -1: code "0" sent, code read ignored
    bool groupCode; // the text is the code built from the group's list cells 3, 4, 5
};

// The requests of one grid row: 5 for operators, 2 for groups and enterprises, 1 otherwise.
int FieldsPerRow(TableKind kind);
// Where field slot (0 .. FieldsPerRow - 1) of grid row gridRow lives in the KKT (not for goods).
ParamSlot SlotOf(TableKind kind, int gridRow, int slot);

struct RunStep
{
    int gridRow;
    int slot;
    bool operator==(const RunStep &) const = default;
};
// The ordered requests of a run over rows from..to.
QList<RunStep> PlanRun(TableKind kind, int from, int to);

// Runs the requests for rows from..to of grid (a grid of the kind's shape).
// A range that CheckRowRange refuses sends nothing and fails with its message.
// Stops at the first failure, except that reading operators goes on with the
// next operator; the agent table counts the failed request in the progress.
// The GSM table ignores the range: it always runs its seven parameters.
RunResult RunTable(KktChannel &channel, const KktConnection &conn, TableKind kind, RunDirection direction,
    StringGridModel &grid, int from, int to, const RunHooks &hooks = {});

// Clearing the goods base in the KKT (after the user confirmed ClearBaseQuestion()).
struct ClearBaseResult
{
    bool ok;
    QString message; // an error when not ok, an information otherwise
};
QString ClearBaseQuestion();
ClearBaseResult ClearGoodsBase(KktChannel &channel, const KktConnection &conn);
