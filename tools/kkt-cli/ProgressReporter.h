#pragma once

#include <QString>
#include <QTextStream>

#include <functional>

// The progress of a long run on standard error: percent, steps per second and
// the time left. On a terminal one line is rewritten in place ("\r"); into a
// file or pipe every update is a line of its own. Updates are thinned out: a
// line at most every 100 ms, and only when the percent changed or a second
// went by since the last one; the last step always shows.
class ProgressReporter
{
public:
    using Clock = std::function<qint64()>; // milliseconds on a steady clock

    // action: what runs ("Запись в ККТ"); total: the steps of the whole run.
    // Without a clock the real one is used.
    ProgressReporter(QTextStream &stream, bool terminal, const QString &action, int total, Clock clock = {});

    void setStage(const QString &stage); // named at the end of the line
    void update(int done); // steps done so far, 1..total
    // Ends the line kept open on a terminal, so that a message or the shell
    // prompt starts on a line of its own. Call it before printing anything else.
    void interrupt();

    static QString TimeText(qint64 seconds); // "0:07", "12:30", "1:02:03"
    static bool StandardErrorIsTerminal();

private:
    QString line(int done, qint64 elapsedMs) const;

    QTextStream &m_stream;
    bool m_terminal;
    QString m_action;
    QString m_stage;
    int m_total;
    Clock m_clock;
    qint64 m_start;
    qint64 m_lastShown = -1; // clock time of the last line; -1: none yet
    int m_lastPercent = -1;
    qsizetype m_openLength = 0; // length of the line kept open on a terminal; 0: none
};
