#pragma once

#include "kkt/ExchangeLog.h"
#include "kkt/KktFrame.h"

#include "app/service/ServiceWindow.h"

class QColor;
class QPushButton;
class LogView;

// "Отладка ККМ": the exchange log window. It lives hidden from program start
// and records every request and answer, shown or not.
class TfrmDebugKKM : public ServiceWindow
{
    Q_OBJECT
public:
    explicit TfrmDebugKKM(QWidget *parent = nullptr);

    // The exchange log sink of the KKT channel: one paragraph per buffer.
    void LogBufKKT(const TBufKKT &buf, bool isAnswer);
    // LogBufKKT as the channel's sink, from any thread: a run's frames come
    // from the run thread and reach the window in order.
    ExchangeLogSink sink();
    void AddRequestText(const QString &text);
    void AddAnswerText(const QString &text);

    LogView *richEdit() const { return RichEdit; }

public slots:
    void btnClearClick();

private:
    void AddParagraph(const QString &text, const QColor &colour);

    LogView *RichEdit;
    QPushButton *btnClear;
};
