// The runs of the page between the showing tab and the KKT.
#include "app/KktSession.h"
#include "app/pages/RunPanel.h"
#include "app/pages/Set102Frame.h"
#include "pages/RangeCheck.h"
#include "pages/TableRun.h"
#include "ui/Prompts.h"
#include "ui/StringGrid.h"

#include <QCoreApplication>
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

    m_runPanel->start(range.to - range.from + 1);
    // Hidden again also when an error escapes the run.
    auto hidePanel = qScopeGuard([this] { m_runPanel->finish(); });
    QCoreApplication::processEvents();
    RunHooks hooks;
    hooks.progress = [this](const RunProgress &p) { m_runPanel->progress(p.percent, p.rowsDone); };
    hooks.failure = [this](const QString &message) { Prompts::instance().error(this, message); };
    hooks.processEvents = [] { QCoreApplication::processEvents(); };
    hooks.stop = [this] { return m_runPanel->stopRequested(); };
    RunResult result;
    // What a read puts into the grid is one step of the window's history.
    tab.view->record(u"Чтение из ККТ"_s, [&] {
        result = RunTable(m_session->channel(), m_session->connection(), tab.kind, direction, grid(tab.kind),
            range.from, range.to, hooks);
    });
    hidePanel.dismiss();
    m_runPanel->finish();

    if (result.stopped)
        Prompts::instance().information(this, StoppedRunMessage(direction, result.count, range.to - range.from + 1));
}

void TFrameSet102::Button5Click()
{
    Q_ASSERT(m_session);
    const TRunGuard guard(*m_session);
    if (!guard.acquired())
        return;
    if (!Prompts::instance().question(this, ClearBaseQuestion()))
        return;
    ShowResult(ClearGoodsBase(m_session->channel(), m_session->connection()));
}
