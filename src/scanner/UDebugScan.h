#pragma once

#include <QWidget>

class QPlainTextEdit;

// "Отладка сканера": the trace of the scanner input. It lives hidden from
// program start beside the exchange log window.
class TfrmDebugScan : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmDebugScan(QWidget *parent = nullptr);

private:
    QPlainTextEdit *Memo;
};
