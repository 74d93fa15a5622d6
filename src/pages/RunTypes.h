#pragma once

#include "pages/PageResult.h"

#include <QString>
#include <QStringList>

#include <functional>

enum class RunDirection { Write, Read };

struct RunProgress
{
    int position; // this request's place in the run, from 1
    int total; // requests of the whole run
    int percent; // 0..100, halves to the even neighbour
    int rowsDone = 0; // grid rows finished so far
    int rowsTotal = 0; // grid rows of the whole run
};

// What the caller sees of a run while it goes: the page moves its progress bar,
// shows each failure in an error box at the moment it happens, and lets pending
// interface events run between two transactions.
struct RunHooks
{
    std::function<void(const RunProgress &)> progress;
    std::function<void(const QString &message)> failure;
    std::function<void()> processEvents;
    // Asked after each request; true ends the run there, with no failure message.
    std::function<bool()> stop;
};

// ok is false when any request or check failed; message is the first failure
// message; count is the grid rows done completely.
struct RunResult : PageResult
{
    QStringList messages; // every failure message, in order
    // The outcome of the first request that failed; 0 when none did, also when
    // a check of the cells stopped the run before any request failed.
    int outcome = 0;
    bool stopped = false; // the stop hook ended the run early
    // A row of several requests that the run left part done: its grid row and
    // how many of its fields went through; 0 when none.
    int partialRow = 0;
    int partialFields = 0;
    // Where the same run would go on after a failure or a stop: the first
    // row that failed, or the row the stop came in or before; 0 when the run
    // went through (or when it has no rows to go on from, the GSM table).
    int resumeRow = 0;
};

// The last row of from..to that a run over them went through before anything
// failed or stopped it (from - 1 when none).
int LastRowThrough(const RunResult &result, int from, int to);

// 100 * position / total to the nearest integer, halves to the even neighbour.
int ProgressPercent(int position, int total);

// The time a run still needs at the pace it had so far, in whole seconds.
qint64 SecondsLeft(int done, int total, qint64 elapsedMs);
// What a run ended by "Стоп" says: how many of its rows were written or read,
// and of a row left part done, how many of its fields.
QString StoppedRunMessage(RunDirection direction, int rowsDone, int rowsTotal);
QString StoppedRunMessage(RunDirection direction, const RunResult &result, int rowsTotal, int fieldsPerRow);
// What a run that went through says in the status bar: "Записано N строк за M:SS".
QString RunSummary(RunDirection direction, int rows, qint64 elapsedMs);
// A duration as a person reads it: "0:07", "12:30", "1:02:03".
QString DurationText(qint64 seconds);
