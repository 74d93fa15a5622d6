#pragma once

#include "config/ProgSett.h"
#include "kkt/KktTransaction.h"

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QWidget;

// The one KKT channel of the program with the settings its runs take, and the
// busy flag that keeps a second exchange off the channel: a run lets interface
// events through between two transactions, so a click during a run must not
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

    // Commands that start an exchange or replace the grids: disabled while busy,
    // given back their own enabled state afterwards.
    void addGuarded(QWidget *widget);
    void addGuarded(QAction *action);

signals:
    void busyChanged(bool busy);

private:
    friend class TRunGuard;
    bool acquire();
    void release();

    KktChannel &m_channel;
    const TStructSetting &m_settings;
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
