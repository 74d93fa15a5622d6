#pragma once

#include "pages/RunTypes.h"

#include <QElapsedTimer>
#include <QWidget>

#include <memory>

class TEditedCells;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class StringGridModel;
class TKktSession;
class TStringGrid;

// The GSM/Wi-Fi parameters page: the seven connection parameters of the KKT's
// GSM or Wi-Fi module in one grid, written into the KKT and read back from it.
class TFrameGsmSetting : public QWidget
{
    Q_OBJECT
public:
    explicit TFrameGsmSetting(QWidget *parent = nullptr);
    ~TFrameGsmSetting() override;

    // Prepares the page once, right after the main window created it; the
    // session carries the KKT channel and the run guard.
    void Init(TKktSession &session);
    // Asked before a read or a file replaces edited cells; told what matches now.
    void setEditedCells(TEditedCells *cells) { m_editedCells = cells; }

    // The cells of the page: the working copy of the seven parameters.
    StringGridModel &grid() { return *m_grid; }
    TStringGrid *view() const { return sgGsm; }

    // The row of sgGsm last selected.
    int CurrentGsmRow = 1;

public slots:
    void Button3Click();
    void Button4Click();
    void btnVerifyClick(); // "Сверить с ККТ"

private:
    void sgGsmSelectCell(int col, int row);
    void RunSequence(RunDirection direction);
    // A run of the seven parameters between grid and the register, with the bar.
    RunResult RunInto(RunDirection direction, StringGridModel &grid);

    std::unique_ptr<StringGridModel> m_grid;
    TKktSession *m_session = nullptr;
    TEditedCells *m_editedCells = nullptr;
    QLabel *Label1;
    QFrame *Panel1;
    TStringGrid *sgGsm;
    QPlainTextEdit *Memo1;
    QFrame *Panel2;
    QProgressBar *ProgressBar1;
    QPushButton *Button3;
    QPushButton *Button4;
    QPushButton *btnVerify;
    QElapsedTimer m_clock; // of the last run
};
