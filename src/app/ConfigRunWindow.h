#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TRunPanel;

// The progress of a run over the whole configuration: the table being run,
// the rows done of all rows with the time left, and "Стоп"; after a failure
// or a stop, "Продолжить с ..." and "Закрыть". Stays over the main window
// without holding it, as large as its texts need.
class TConfigRunWindow : public QDialog
{
    Q_OBJECT
public:
    explicit TConfigRunWindow(QWidget *parent = nullptr);

    void start(const QString &title, int totalRows);
    void setTable(const QString &table);
    // The run is over short of its end: the way on from where, or away.
    void offerResume(const QString &where);
    TRunPanel *panel() const { return m_panel; }

private:
    QLabel *m_table;
    TRunPanel *m_panel;
    QPushButton *m_close;
};
