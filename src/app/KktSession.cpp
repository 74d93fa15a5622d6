#include "app/KktSession.h"

#include "pages/FailureAdvice.h"
#include "pages/GridMirror.h"
#include "pages/TableRun.h"
#include "ui/Prompts.h"

#include <QAction>
#include <QPointer>
#include <QWidget>

TKktSession::TKktSession(KktChannel &channel, const TStructSetting &settings, QObject *parent)
    : QObject(parent)
    , m_channel(channel)
    , m_settings(settings)
{ }

KktConnection TKktSession::connection() const
{
    return MakeKktConnection(m_settings);
}

void TKktSession::run(const std::function<void()> &job)
{
    Q_ASSERT(m_busy);
    m_worker.run(job);
}

RunResult TKktSession::runTable(
    TableKind kind, RunDirection direction, StringGridModel &grid, int from, int to, const RunHooks &hooks)
{
    emit tableRunStarting();
    const GridLock lock(grid);
    GridMirror mirror(grid);
    const KktConnection conn = connection();
    RunResult result;
    run([&] { result = RunTable(m_channel, conn, kind, direction, mirror.copy(), from, to, hooks); });
    return result;
}

bool TKktSession::ConfirmStore(QWidget *parent, const QList<StoreIssue> &issues)
{
    return issues.isEmpty() || Prompts::instance().confirmStore(parent, issues);
}

RunHooks TKktSession::runHooks(
    std::function<void(const RunProgress &)> progress, QWidget *messageParent, std::function<void(bool)> paused)
{
    RunHooks hooks;
    hooks.progress = [this, progress = std::move(progress)](
                         const RunProgress &p) { m_worker.post([progress, p] { progress(p); }); };
    hooks.failure
        = [this, parent = QPointer<QWidget>(messageParent), paused = std::move(paused)](const QString &message) {
              m_worker.onUi([&] {
                  if (paused)
                      paused(true);
                  // The message as it always was; what its code means, under it.
                  Prompts::instance().detailedError(parent, message, FailureAdvice::ForMessage(message));
                  if (paused)
                      paused(false);
              });
          };
    hooks.stop = [this] { return m_worker.stopRequested(); };
    return hooks;
}

void TKktSession::addGuarded(QWidget *widget)
{
    if (widget && !m_widgets.contains(widget))
        m_widgets.append(widget);
}

void TKktSession::addGuarded(QAction *action)
{
    if (action && !m_actions.contains(action))
        m_actions.append(action);
}

bool TKktSession::acquire()
{
    if (m_busy)
        return false;
    m_busy = true;
    m_widgetWasEnabled.clear();
    for (const auto &w : m_widgets) {
        m_widgetWasEnabled.append(w && w->isEnabled());
        if (w)
            w->setEnabled(false);
    }
    m_actionWasEnabled.clear();
    for (const auto &a : m_actions) {
        m_actionWasEnabled.append(a && a->isEnabled());
        if (a)
            a->setEnabled(false);
    }
    emit busyChanged(true);
    return true;
}

void TKktSession::release()
{
    for (qsizetype i = 0; i < m_widgets.size() && i < m_widgetWasEnabled.size(); ++i) {
        if (m_widgets[i])
            m_widgets[i]->setEnabled(m_widgetWasEnabled[i]);
    }
    for (qsizetype i = 0; i < m_actions.size() && i < m_actionWasEnabled.size(); ++i) {
        if (m_actions[i])
            m_actions[i]->setEnabled(m_actionWasEnabled[i]);
    }
    m_busy = false;
    emit busyChanged(false);
}

TRunGuard::TRunGuard(TKktSession &session)
    : m_session(session)
    , m_acquired(session.acquire())
{ }

TRunGuard::~TRunGuard()
{
    if (m_acquired)
        m_session.release();
}
