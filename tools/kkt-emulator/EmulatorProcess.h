#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs kkt-emulator (or scanner-emulator) as a child process, for the tests and
// the benchmarks: starts it with its link at a given path, waits for the line
// that names the terminal, and stops it with SIGTERM (it then removes its link).
class EmulatorProcess
{
public:
    EmulatorProcess() = default;
    ~EmulatorProcess() { stop(); }
    EmulatorProcess(const EmulatorProcess &) = delete;
    EmulatorProcess &operator=(const EmulatorProcess &) = delete;

    // False (with the emulator's own words in error()) when it did not come up in time.
    bool start(const QString &program, const QString &linkPath, const QStringList &options = {}, int timeOutMs = 5000);
    // SIGTERM, then waits; true when it exited by itself with status 0.
    bool stop(int timeOutMs = 5000);

    QString terminalPath() const { return m_terminal; }
    QString linkPath() const { return m_link; }
    QString error() const { return m_error; }
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    QString m_terminal;
    QString m_link;
    QString m_error;
};
