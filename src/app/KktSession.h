#pragma once

#include "config/ProgSett.h"
#include "kkt/KktTransaction.h"
#include "pages/RegisterView.h"
#include "pages/RunTypes.h"
#include "pages/RunWorker.h"
#include "pages/StringGridModel.h"
#include "pages/TableKind.h"

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QWidget;

// The one KKT channel of the program with the settings its runs take, the
// thread the runs go on, and the busy flag that keeps a second exchange off
// the channel: the window takes clicks while a run goes, and none of them may
// start another exchange or replace the grids being written.
class TKktSession : public QObject
{
    Q_OBJECT
public:
    TKktSession(KktChannel &channel, const TStructSetting &settings, QObject *parent = nullptr);

    KktChannel &channel() { return m_channel; }
    // The connection values of the settings as they are now (taken at the start of a run).
    KktConnection connection() const;

    bool busy() const { return m_busy; }

    // Runs job (which uses channel()) on the run thread; returns when it has
    // ended, the window working meanwhile. Made under a TRunGuard.
    void run(const std::function<void()> &job);
    // Asks the run that goes to end at its next request ("Стоп").
    void requestStop() { m_worker.requestStop(); }
    RunWorker &worker() { return m_worker; }

    // The hooks of a run on the run thread: progress reaches the window in
    // order; a failure is shown in an error box over messageParent while the
    // run waits for it to be closed (paused hears the box open and close, so
    // that a time-left figure counts only the line's time); stop asks for "Стоп".
    RunHooks runHooks(std::function<void(const RunProgress &)> progress, QWidget *messageParent,
        std::function<void(bool)> paused = {});

    // One table over rows from..to on the run thread (the GSM table: its seven
    // parameters). The grid takes no edits meanwhile; what a read brings shows
    // in it row by row.
    RunResult runTable(
        TableKind kind, RunDirection direction, StringGridModel &grid, int from, int to, const RunHooks &hooks);

    // The check before a write: true when the register will hold the cells
    // as they are, or when the user chose "Записать как есть".
    static bool ConfirmStore(QWidget *parent, const QList<StoreIssue> &issues);

    // Where a run's result is told beside the messages (the status bar).
    void tell(const QString &text) { emit told(text); }
    // A verification ended: the window shows what it found.
    void verified(const VerifyResult &result) { emit verifiedSignal(result); }

    // Commands that start an exchange or replace the grids: disabled while busy,
    // given back their own enabled state afterwards.
    void addGuarded(QWidget *widget);
    void addGuarded(QAction *action);

signals:
    void busyChanged(bool busy);
    void told(const QString &text);
    void verifiedSignal(const VerifyResult &result);
    // A table run begins: what an earlier verification marked is no longer known.
    void tableRunStarting();

private:
    friend class TRunGuard;
    bool acquire();
    void release();

    KktChannel &m_channel;
    const TStructSetting &m_settings;
    RunWorker m_worker;
    bool m_busy = false;
    QList<QPointer<QWidget>> m_widgets;
    QList<QPointer<QAction>> m_actions;
    QList<bool> m_widgetWasEnabled;
    QList<bool> m_actionWasEnabled;
};

// Holds the session busy for its scope, also when the run fails. A command
// makes one first and returns at once when acquired() is false.
class TRunGuard
{
public:
    explicit TRunGuard(TKktSession &session);
    ~TRunGuard();
    TRunGuard(const TRunGuard &) = delete;
    TRunGuard &operator=(const TRunGuard &) = delete;

    bool acquired() const { return m_acquired; }

private:
    TKktSession &m_session;
    bool m_acquired;
};
