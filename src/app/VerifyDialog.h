#pragma once

#include "pages/RegisterView.h"

#include <QDialog>

class QLabel;
class QTableWidget;

// "Сверка с ККТ": the cells in which the register differs from what a write
// of the grids would store, a line counting the rows, and a double click that
// shows a cell in its grid. Not modal: the user goes to the cells while it is
// open. One lives beside the main window and shows the last verification.
class TVerifyDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TVerifyDialog(QWidget *parent = nullptr);

    void ShowResult(const VerifyResult &result);

    QTableWidget *table() const { return m_table; }
    QLabel *summary() const { return m_summary; }

signals:
    void showCell(TableKind kind, int row, int col);

private:
    QLabel *m_summary;
    QTableWidget *m_table;
    QList<VerifyDifference> m_differences;
};
