#pragma once

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
    void AddRequestText(const QString &text);
    void AddAnswerText(const QString &text);
    // A line of the program's own (where its files are), in the text colour.
    void AddNote(const QString &text);

    LogView *richEdit() const { return RichEdit; }

public slots:
    void btnClearClick();

private:
    void AddParagraph(const QString &text, const QColor &colour);

    LogView *RichEdit;
    QPushButton *btnClear;
};
