#pragma once

#include "kkt/KktTransaction.h"
#include "pages/Grids102.h"
#include "pages/PageResult.h"
#include "pages/RunTypes.h"

#include <QList>

// Write and read runs of the "Параметры 102" tables between a grid and the KKT:
// one request per field of each row in the range (one per item for goods), in
// ascending row and field order; answers go into the cells only after success.

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
// The stop hook, asked after each request, ends the run there (result.stopped).
// result.count is the rows whose every request succeeded.
// The GSM table ignores the range: it always runs its seven parameters.
RunResult RunTable(KktChannel &channel, const KktConnection &conn, TableKind kind, RunDirection direction,
    StringGridModel &grid, int from, int to, const RunHooks &hooks = {});

// Clearing the goods base in the KKT (after the user confirmed ClearBaseQuestion()):
// an error when not ok, an information otherwise.
QString ClearBaseQuestion();
PageResult ClearGoodsBase(KktChannel &channel, const KktConnection &conn);
