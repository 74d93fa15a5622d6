// The runs of the page between the showing tab and the KKT.
#include "app/KktSession.h"
#include "app/pages/RunPanel.h"
#include "app/pages/Set102Frame.h"
#include "pages/RangeCheck.h"
#include "pages/RegisterView.h"
#include "pages/TableRun.h"
#include "ui/Prompts.h"

#include <QLineEdit>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

void TFrameSet102::Button3Click()
{
    RunShowingTab(RunDirection::Write);
}

void TFrameSet102::Button4Click()
{
    RunShowingTab(RunDirection::Read);
}

void TFrameSet102::RunShowingTab(RunDirection direction)
{
    Q_ASSERT(m_session);
    const TRunGuard guard(*m_session);
    if (!guard.acquired())
        return;
    const Tab &tab = tabOf(showingTable());
    const RangeCheck range = CheckRangeFields(tab.from, tab.to, MaxRowOf(tab.kind));
    if (!range.ok)
        return;

    StringGridModel &cells = grid(tab.kind);
    if (direction == RunDirection::Write
        && !TKktSession::ConfirmStore(this, CheckBeforeWrite(tab.kind, cells, range.from, range.to)))
        return;
    const int rows = range.to - range.from + 1;
    m_runPanel->start(rows);
    // Hidden again also when an error escapes the run.
    auto hidePanel = qScopeGuard([this] { m_runPanel->finish(); });
    const RunHooks hooks
        = m_session->runHooks([panel = m_runPanel](const RunProgress &p) { panel->progress(p.percent, p.rowsDone); },
            this, [panel = m_runPanel](bool paused) { panel->setPaused(paused); });
    const RunResult result = m_session->runTable(tab.kind, direction, cells, range.from, range.to, hooks);
    hidePanel.dismiss();
    m_runPanel->finish();

    if (result.stopped)
        Prompts::instance().information(this, StoppedRunMessage(direction, result, rows, FieldsPerRow(tab.kind)));
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
