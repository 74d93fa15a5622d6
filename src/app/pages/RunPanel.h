#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

// What the page shows while a run goes: the progress bar, the rows done of
// the whole range with the time still needed, and "Стоп", which ends the run
// after the request in progress. Hidden between runs, unless a run failed or
// was stopped: then it offers "Продолжить с N" until the next run; or a run
// went to its end: then it says what was done, where the user was looking,
// until the next run or finish(). The time
// still needed is reckoned from the time the line worked: spells in which a
// message waits for the user (setPaused) do not count.
class TRunPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TRunPanel(QWidget *parent = nullptr);

    // Shows the bar at 0 for a run over totalRows rows.
    void start(int totalRows);
    void progress(int percent, int rowsDone);
    void finish();
    // After a failure or a stop: "Продолжить с " + where, which emits resumeClicked.
    void offerResume(const QString &where);
    // After a run that went to its end: "Записано 300 строк за 0:12".
    void showDone(const QString &text);
    bool showsDone() const;
    bool stopRequested() const { return m_stopRequested; }
    // Milliseconds of the last run, paused spells left out.
    qint64 workedMs() const;
    // A message holds the run from true to false.
    void setPaused(bool paused);

signals:
    void stopClicked();
    void resumeClicked();

private:
    void showRows(int rowsDone);

    QProgressBar *ProgressBar1;
    QLabel *m_rows;
    QPushButton *m_stop;
    QPushButton *m_resume;
    QLabel *m_done;
    QElapsedTimer m_clock;
    qint64 m_shownAt = -1; // clock time of the rows text; -1: none yet
    qint64 m_pausedMs = 0; // paused spells that have ended
    qint64 m_pausedAt = -1; // clock time of the pause going on; -1: none
    int m_totalRows = 0;
    bool m_stopRequested = false;
};
