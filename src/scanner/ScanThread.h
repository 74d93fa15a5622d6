#pragma once

#include "kkt/PortDiscovery.h"

#include <QObject>
#include <QString>

#include <functional>

class QThread;
class ScanPortReader;
class UiHandover;

// The scanner reader as the interface thread sees it: a thread of its own that
// owns the scanner's port, created paused. Init, Disconnect, Suspend and Resume
// are asked of it from the interface thread, which waits for the answer. Trace
// lines (OnLogScan) and codes (DoScanEvent, FOnScanEvent) come back on the
// interface thread while the reader waits for them. Destroying it stops the
// reader and its thread, also with a wait outstanding.
class TScanThread : public QObject
{
    Q_OBJECT
public:
    using TScanEvent = std::function<void(const QString &value)>;

    explicit TScanThread(const QString &portsFolder = PortsFolder(), QObject *parent = nullptr);
    ~TScanThread() override;

    // Opens and sets up the scanner's port (also while the reader runs: the
    // old port is closed first). False when the port cannot be opened or the
    // speed is not a number.
    bool Init(const QString &ComName, const QString &ComSpeed);
    // Closes the port.
    void Disconnect();
    void Suspend();
    void Resume();
    bool Suspended() const { return m_suspended; }

    // How long the reader waits after a read for the rest of a code.
    void setBurstPauseMs(int ms);
    // How often a scanner that has gone away is looked for again.
    void setReopenMs(int ms);

    // Set by the main window; called with every code, on the interface thread.
    TScanEvent FOnScanEvent;
    // Receives every trace line, on the interface thread.
    std::function<void(const QString &line)> OnLogScan;
    // Hears, on the interface thread, that the scanner has gone away (false)
    // and that its port has been opened again (true).
    std::function<void(bool connected)> OnPortState;

protected:
    virtual void DoScanEvent(const QString &value);

private:
    void LogScan(const QString &line);
    void PortState(bool connected);
    // Runs fn in the reader thread and waits for it.
    void Ask(const std::function<void()> &fn);

    UiHandover *m_handover;
    QThread *m_thread;
    ScanPortReader *m_reader;
    bool m_suspended = true;
};
