#include "app/ConfigRuns.h"

#include "app/ConfigRunWindow.h"
#include "app/EditedCells.h"
#include "app/KktSession.h"
#include "app/pages/RunPanel.h"
#include "pages/Grids102.h"
#include "pages/RegisterView.h"
#include "ui/Prompts.h"

#include <QScopeGuard>

using namespace Qt::StringLiterals;

namespace {
int TotalRows()
{
    int rows = 0;
    for (int k = 0; k < kTableKindCount; ++k)
        rows += MaxRowOf(TableKind(k));
    return rows;
}

QString Done(RunDirection direction, int rows, qint64 ms)
{
    return (direction == RunDirection::Write ? u"Конфигурация записана в ККТ: "_s
                                             : u"Конфигурация прочитана из ККТ: "_s)
        + QString::number(rows) + u" строк за "_s + DurationText((ms + 500) / 1000);
}
} // namespace

TConfigRuns::TConfigRuns(TKktSession &session, std::function<GridSet()> grids,
    std::function<void(TableKind, int, int)> showCell, QWidget *window)
    : QObject(window)
    , m_session(session)
    , m_grids(std::move(grids))
    , m_showCell(std::move(showCell))
    , m_window(window)
    , m_progress(new TConfigRunWindow(window))
{
    connect(m_progress->panel(), &TRunPanel::stopClicked, &m_session, &TKktSession::requestStop);
    connect(m_progress->panel(), &TRunPanel::resumeClicked, this, &TConfigRuns::Resume);
}

TConfigRuns::~TConfigRuns() = default;

int TConfigRuns::RowsBefore(Start start)
{
    int rows = start.row - 1;
    for (int k = 0; k < start.kind; ++k)
        rows += MaxRowOf(TableKind(k));
    return rows;
}

RunResult TConfigRuns::RunFrom(RunDirection direction, const GridSet &grids, Start start, const QString &title)
{
    const int total = TotalRows();
    int before = RowsBefore(start);
    TRunPanel *panel = m_progress->panel();
    m_progress->start(title, total);
    panel->progress(ProgressPercent(before, total), before);
    RunResult done;
    for (int k = start.kind; k < kTableKindCount; ++k) {
        const auto kind = TableKind(k);
        const int from = k == start.kind ? start.row : 1;
        const int to = MaxRowOf(kind);
        m_progress->setTable(TableTitle(kind));
        const RunHooks hooks = m_session.runHooks(
            [panel, before, total](const RunProgress &p) {
                panel->progress(ProgressPercent(before + p.rowsDone, total), before + p.rowsDone);
            },
            m_progress, [panel](bool paused) { panel->setPaused(paused); });
        RunResult result = m_session.runTable(kind, direction, grids[kind], from, to, hooks);
        if (!result.ok || result.stopped) {
            m_failedKind = k;
            // The GSM parameters always go all seven: they start again from the first.
            if (result.resumeRow == 0 && (!result.ok || kind == TableKind::Gsm))
                result.resumeRow = from;
            result.count += before - RowsBefore(start);
            return result;
        }
        before += to - from + 1;
        done.count = before - RowsBefore(start);
    }
    return done;
}

void TConfigRuns::WriteAll()
{
    Run(RunDirection::Write, {});
}

void TConfigRuns::ReadAll()
{
    Run(RunDirection::Read, {});
}

void TConfigRuns::Resume()
{
    if (m_resume.row > 0)
        Run(m_resumeDirection, m_resume);
}

void TConfigRuns::Run(RunDirection direction, Start start)
{
    // The row to show once the channel is free again: page switches wait for it.
    std::optional<std::pair<TableKind, int>> show;
    {
        const TRunGuard guard(m_session);
        if (!guard.acquired())
            return;
        show = RunGuarded(direction, start);
    }
    if (show && m_showCell)
        m_showCell(show->first, show->second, 1);
}

std::optional<std::pair<TableKind, int>> TConfigRuns::RunGuarded(RunDirection direction, Start start)
{
    const GridSet grids = m_grids();
    if (direction == RunDirection::Write) {
        QList<StoreIssue> issues;
        for (int k = start.kind; k < kTableKindCount; ++k) {
            const auto kind = TableKind(k);
            issues << CheckBeforeWrite(
                kind, grids[kind], k == start.kind ? start.row : 1, MaxRowOf(kind), k + 1 < kTableKindCount);
        }
        if (!TKktSession::ConfirmStore(m_window, issues))
            return std::nullopt;
    } else if (m_editedCells) {
        int edited = 0;
        for (int k = start.kind; k < kTableKindCount; ++k)
            edited += m_editedCells->edited(TableKind(k), k == start.kind ? start.row : 1, MaxRowOf(TableKind(k)));
        if (!m_editedCells->confirmRead(m_window, edited))
            return std::nullopt;
    }
    m_resume = { 0, 0 };
    auto hide = qScopeGuard([this] { m_progress->hide(); });
    RunResult result;
    const auto run = [&] {
        result = RunFrom(direction, grids, start,
            direction == RunDirection::Write ? u"Запись конфигурации в ККТ"_s : u"Чтение конфигурации из ККТ"_s);
    };
    if (direction == RunDirection::Read && m_recordRead)
        m_recordRead(run);
    else
        run();
    MatchRowsThrough(start, result);
    const qint64 ms = m_progress->panel()->workedMs();
    if (result.ok && !result.stopped) {
        m_progress->panel()->finish();
        m_session.tell(RunSummary(direction, result.count, ms));
        Prompts::instance().information(m_window, Done(direction, result.count, ms));
        return std::nullopt;
    }
    if (result.stopped)
        Prompts::instance().information(m_window, StoppedRunMessage(direction, result.count, TotalRows()));
    if (result.resumeRow == 0)
        return std::nullopt;
    hide.dismiss();
    const auto kind = TableKind(m_failedKind);
    m_resumeDirection = direction;
    m_resume = { m_failedKind, result.resumeRow };
    m_progress->offerResume(u"%1, строка %2"_s.arg(TableTitle(kind)).arg(result.resumeRow));
    return std::pair { kind, result.resumeRow };
}

void TConfigRuns::MatchRowsThrough(Start start, const RunResult &result)
{
    if (!m_editedCells)
        return;
    const bool through = result.ok && !result.stopped;
    for (int k = start.kind; k < kTableKindCount && (through || k <= m_failedKind); ++k) {
        const auto kind = TableKind(k);
        const int from = k == start.kind ? start.row : 1;
        const int to = through || k < m_failedKind ? MaxRowOf(kind) : result.resumeRow - 1;
        m_editedCells->matched(kind, from, to);
    }
}

void TConfigRuns::VerifyAll()
{
    const TRunGuard guard(m_session);
    if (!guard.acquired())
        return;
    m_resume = { 0, 0 };
    const GridSet grids = m_grids();
    // The register read into grids of its own: the program's stay as they are.
    const OwnedGrids read;
    const auto hide = qScopeGuard([this] {
        m_progress->panel()->finish();
        m_progress->hide();
    });
    const RunResult result = RunFrom(RunDirection::Read, read.set(), {}, u"Сверка конфигурации с ККТ"_s);
    if (result.stopped)
        Prompts::instance().information(m_window, StoppedRunMessage(RunDirection::Read, result.count, TotalRows()));
    if (!result.ok || result.stopped)
        return;
    VerifyResult all;
    for (int k = 0; k < kTableKindCount; ++k) {
        const auto kind = TableKind(k);
        const VerifyResult one = CompareWithRegister(kind, grids[kind], read[kind], 1, MaxRowOf(kind));
        all.differences << one.differences;
        all.rows += one.rows;
        all.equalRows += one.equalRows;
    }
    m_session.verified(all);
}
