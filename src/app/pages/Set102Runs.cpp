// The runs of the page between the showing tab and the KKT.
#include "app/EditedCells.h"
#include "app/KktSession.h"
#include "app/pages/RunPanel.h"
#include "app/pages/Set102Frame.h"
#include "pages/RangeCheck.h"
#include "pages/RegisterView.h"
#include "pages/TableRun.h"
#include "ui/Prompts.h"
#include "ui/StringGrid.h"

#include <QLineEdit>
#include <QScopeGuard>

#include <optional>

using namespace Qt::StringLiterals;

void TFrameSet102::Button3Click()
{
    RunShowingTab(RunDirection::Write);
}

void TFrameSet102::Button4Click()
{
    RunShowingTab(RunDirection::Read);
}

void TFrameSet102::btnVerifyClick()
{
    Q_ASSERT(m_session);
    const TRunGuard guard(*m_session);
    if (!guard.acquired())
        return;
    if (const std::optional<RangeCheck> range = ShowingRange())
        VerifyRows(showingTable(), range->from, range->to);
}

std::optional<RangeCheck> TFrameSet102::ShowingRange()
{
    const Tab &tab = tabOf(showingTable());
    const RangeCheck range = CheckRangeFields(tab.from, tab.to, MaxRowOf(tab.kind));
    return range.ok ? std::optional(range) : std::nullopt;
}

void TFrameSet102::RunShowingTab(RunDirection direction)
{
    Q_ASSERT(m_session);
    const TRunGuard guard(*m_session);
    if (!guard.acquired())
        return;
    if (const std::optional<RangeCheck> range = ShowingRange())
        RunRows(showingTable(), direction, range->from, range->to);
}

void TFrameSet102::ResumeRun()
{
    Q_ASSERT(m_session);
    const TRunGuard guard(*m_session);
    if (!guard.acquired() || m_resume.from == 0 || m_resume.kind != showingTable())
        return;
    const Resume resume = m_resume;
    RunRows(resume.kind, resume.direction, resume.from, resume.to);
}

RunResult TFrameSet102::RunWithPanel(TableKind kind, RunDirection direction, StringGridModel &cells, int from, int to)
{
    m_resume = {};
    const int rows = to - from + 1;
    m_runPanel->start(rows);
    // Hidden again also when an error escapes the run.
    const auto hidePanel = qScopeGuard([this] { m_runPanel->finish(); });
    const RunHooks hooks
        = m_session->runHooks([panel = m_runPanel](const RunProgress &p) { panel->progress(p.percent, p.rowsDone); },
            this, [panel = m_runPanel](bool paused) { panel->setPaused(paused); });
    RunResult result;
    const auto run = [&] { result = m_session->runTable(kind, direction, cells, from, to, hooks); };
    // What a read puts into the tab's grid is one step of the window's history.
    if (direction == RunDirection::Read && &cells == &grid(kind))
        tabOf(kind).view->record(u"Чтение из ККТ"_s, run);
    else
        run();
    if (result.stopped)
        Prompts::instance().information(this, StoppedRunMessage(direction, result, rows, FieldsPerRow(kind)));
    return result;
}

void TFrameSet102::RunRows(TableKind kind, RunDirection direction, int from, int to)
{
    StringGridModel &cells = grid(kind);
    if (direction == RunDirection::Write && !TKktSession::ConfirmStore(this, CheckBeforeWrite(kind, cells, from, to)))
        return;
    if (direction == RunDirection::Read && m_editedCells && !m_editedCells->confirmRead(this, kind, from, to))
        return;
    const RunResult result = RunWithPanel(kind, direction, cells, from, to);
    // Written or read, those rows are what the register holds.
    if (m_editedCells)
        m_editedCells->matched(kind, from, LastRowThrough(result, from, to));
    if (result.ok && !result.stopped) {
        // Said under the table too, not only in the status bar's corner.
        const QString summary = RunSummary(direction, to - from + 1, m_runPanel->workedMs());
        m_session->tell(summary);
        m_runPanel->showDone(summary);
    }
    if (result.resumeRow > 0) {
        // The row to look at, and the way on from it.
        tabOf(kind).view->selectCell(1, result.resumeRow);
        m_resume = { kind, direction, result.resumeRow, to };
        m_runPanel->offerResume(QString::number(result.resumeRow));
    }
}

void TFrameSet102::VerifyRows(TableKind kind, int from, int to)
{
    // The register read into a copy: the grid stays as the user left it.
    const auto read = MakeGrid(kind);
    const RunResult result = RunWithPanel(kind, RunDirection::Read, *read, from, to);
    if (result.ok && !result.stopped)
        m_session->verified(CompareWithRegister(kind, grid(kind), *read, from, to));
}

void TFrameSet102::Button5Click()
{
    Q_ASSERT(m_session);
    const TRunGuard guard(*m_session);
    if (!guard.acquired())
        return;
    if (!Prompts::instance().question(this, ClearBaseQuestion()))
        return;
    // Up to 30 s for the register to answer: the window goes on meanwhile.
    const KktConnection connection = m_session->connection();
    PageResult result;
    m_session->run([&] { result = ClearGoodsBase(m_session->channel(), connection); });
    ShowResult(result);
}
