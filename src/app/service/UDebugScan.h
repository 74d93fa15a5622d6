#pragma once

#include "app/service/ServiceWindow.h"

class QPlainTextEdit;

// "Отладка сканера": the trace of the scanner input. It lives hidden from
// program start beside the exchange log window and records every line, shown
// or not; it is never cleared.
class TfrmDebugScan : public ServiceWindow
{
    Q_OBJECT
public:
    explicit TfrmDebugScan(QWidget *parent = nullptr);

    // Appends one trace line of the reader.
    void LogScan(const QString &line);
    QPlainTextEdit *memo() const { return Memo; }

private:
    QPlainTextEdit *Memo;
};
