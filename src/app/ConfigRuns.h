#pragma once

#include "pages/GridSet.h"
#include "pages/RunTypes.h"

#include <QObject>

#include <functional>
#include <optional>
#include <utility>

class TEditedCells;
class QWidget;
class TConfigRunWindow;
class TKktSession;

// The whole configuration between the window and the register: every table
// over all its rows, in the order kkt-cli write-config runs them (GSM,
// operators, goods, groups, header lines, agents, enterprises, stations), with
// one progress display. A write is checked first; a failure shows the
// table's own message and ends the run, which can then go on from its row.
class TConfigRuns : public QObject
{
    Q_OBJECT
public:
    // showCell shows a table's cell to the user (the row a failed run stopped at).
    TConfigRuns(TKktSession &session, std::function<GridSet()> grids,
        std::function<void(TableKind kind, int row, int col)> showCell, QWidget *window);
    ~TConfigRuns() override;

    void WriteAll();
    void ReadAll();
    void VerifyAll();

    TConfigRunWindow *progressWindow() const { return m_progress; }

    // Wraps what a read does to the grids (one step of the window's history).
    using ReadRecorder = std::function<void(const std::function<void()> &read)>;
    void setReadRecorder(ReadRecorder recorder) { m_recordRead = std::move(recorder); }
    // Asked before a read replaces edited cells; told what matches the register after a run.
    void setEditedCells(TEditedCells *cells) { m_editedCells = cells; }

private:
    // Where a run starts: a table and its row; the tables after it run whole.
    struct Start
    {
        int kind = 0;
        int row = 1;
    };
    // Runs the tables from `start` on between `grids` and the register. The
    // result's resumeRow and failedKind say where it stopped, if it did.
    RunResult RunFrom(RunDirection direction, const GridSet &grids, Start start, const QString &title);
    void Run(RunDirection direction, Start start);
    // Run's work under its guard; the row to show when the run stopped short.
    std::optional<std::pair<TableKind, int>> RunGuarded(RunDirection direction, Start start);
    void Resume();
    // Tells the edited cells which rows of the tables from `start` on the run went through.
    void MatchRowsThrough(Start start, const RunResult &result);
    // The rows of the tables before `start`, and of all.
    static int RowsBefore(Start start);

    TKktSession &m_session;
    std::function<GridSet()> m_grids;
    std::function<void(TableKind, int, int)> m_showCell;
    QWidget *m_window;
    TConfigRunWindow *m_progress;
    RunDirection m_resumeDirection = RunDirection::Write;
    Start m_resume { 0, 0 }; // row 0: nothing to go on with
    int m_failedKind = 0;
    ReadRecorder m_recordRead;
    TEditedCells *m_editedCells = nullptr;
};
