#pragma once

#include "scanner/ScanAssembly.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class ScanPort;

// The scanner's port loop. Lives in the reader thread and owns the port; every
// call on it is made in that thread (TScanThread sees to it). It knows no
// widgets and no threads: trace lines, codes and the port's state leave
// through hooks, which the caller makes run on the interface thread while the
// loop waits.
//
// A cycle: see whether bytes are already waiting (when none are, the code
// collected so far is dropped: a code is one burst), wait for bytes, read at
// most one buffer of them, pause 50 ms for the rest of the burst, collect, and
// deliver a completed code. More than 201 waiting bytes are read over several
// cycles, a buffer at a time; the cycles after the first find bytes waiting,
// so the code collected so far is kept.
//
// A wait that wakes with nothing to read goes on waiting. Only a device that
// has gone ends it: the port is closed, the state hook hears it, and the port
// is opened again every second until it is back.
class ScanPortReader : public QObject
{
    Q_OBJECT
public:
    using TextHook = std::function<void(const QString &)>;
    using StateHook = std::function<void(bool connected)>;

    ScanPortReader(const QString &portsFolder, TextHook log, TextHook deliver, StateHook state = {});
    ~ScanPortReader() override;

    // Closes a port left open, opens ComName at ComSpeed (8 data bits, no
    // parity, one stop bit). False when the port cannot be opened or the speed
    // is no positive whole number; the port is then closed.
    bool Init(const QString &ComName, const QString &ComSpeed);
    // Closes the port; an outstanding wait ends with it. No reopening follows.
    void Disconnect();
    // While paused the loop touches no port and delivers nothing.
    void setPaused(bool paused);
    bool paused() const { return m_paused; }
    bool isOpen() const;

    // How long the loop pauses after a read for the rest of the burst.
    void setBurstPauseMs(int ms) { m_burstPauseMs = ms; }
    // How often a port whose device has gone is tried again.
    void setReopenMs(int ms) { m_reopen.setInterval(ms); }

private:
    void StartCycle();
    void ScheduleCycle();
    // The port says bytes may be waiting, or that the device has gone.
    void OnReadable();
    void OnBytes();
    // The steps after the wait: read, log, pause, collect, deliver.
    void ReadWaiting();
    // The device has gone: close, tell, and try again every second.
    void PortLost();
    void TryReopen();
    void Log(const QString &line) { m_log(line); }

    TextHook m_log;
    TextHook m_deliver;
    StateHook m_state;
    std::unique_ptr<ScanPort> m_port;
    QTimer m_reopen;
    QString m_name; // the port and speed of the last successful Init, for reopening
    qint32 m_speed = 0;
    TScanAssembly m_assembly;
    bool m_paused = true;
    bool m_waiting = false; // a wait for bytes is outstanding on the open port
    bool m_waitEnded = false; // a wait was ended by closing its port, not yet traced
    bool m_cycleQueued = false;
    int m_burstPauseMs = 50;
};
