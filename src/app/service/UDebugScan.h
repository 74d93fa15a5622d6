#pragma once

#include "app/service/ServiceWindow.h"

class QPlainTextEdit;

// "Отладка сканера": the trace of the scanner input. It lives hidden from
// program start beside the exchange log window.
class TfrmDebugScan : public ServiceWindow
{
    Q_OBJECT
public:
    explicit TfrmDebugScan(QWidget *parent = nullptr);

private:
    QPlainTextEdit *Memo;
};
