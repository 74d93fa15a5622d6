#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

// What the page shows while a run goes: the progress bar, the rows done of
// the whole range with the time still needed, and "Стоп", which ends the run
// after the request in progress. Hidden between runs.
class TRunPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TRunPanel(QWidget *parent = nullptr);

    // Shows the bar at 0 for a run over totalRows rows.
    void start(int totalRows);
    void progress(int percent, int rowsDone);
    void finish();
    bool stopRequested() const { return m_stopRequested; }

private:
    void showRows(int rowsDone);

    QProgressBar *ProgressBar1;
    QLabel *m_rows;
    QPushButton *m_stop;
    QElapsedTimer m_clock;
    qint64 m_shownAt = -1; // clock time of the rows text; -1: none yet
    int m_totalRows = 0;
    bool m_stopRequested = false;
};
