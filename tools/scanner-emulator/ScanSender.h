#pragma once

#include <QByteArray>
#include <QString>

class PseudoTerminal;

// Sends codes into the terminal as a scanner does, each one burst, and keeps
// the idle gaps between them. Every wait ends early on a stop request.
class ScanSender
{
public:
    ScanSender(PseudoTerminal &terminal, int stopFd)
        : m_terminal(terminal)
        , m_stopFd(stopFd)
    { }

    // Writes the bytes; with splitAt >= 0 the first splitAt of them, then an
    // idle gap of splitMs, then the rest. Prints what went out. False on a stop
    // request or when the terminal takes nothing (nobody reads it).
    bool send(const QByteArray &bytes, int splitAt, int splitMs, QString &error);
    // Stays idle; false when a stop request came first.
    bool idle(int ms);
    // Waits for a line of standard input; false at its end or on a stop request.
    bool readLine(QByteArray &line);
    // Waits for a stop request.
    void waitForStop();

private:
    bool write(const QByteArray &bytes, QString &error);
    bool stopRequested(int waitMs);

    PseudoTerminal &m_terminal;
    int m_stopFd;
    bool m_stopped = false;
    QByteArray m_input; // standard input read but not yet taken as lines
    bool m_inputEnded = false;
};
