#pragma once

#include "kkt/ExchangeLog.h"
#include "config/ExchangeLogFile.h"
#include "kkt/KktFrame.h"

#include "app/service/ServiceWindow.h"

class QColor;
class QLabel;
class QLineEdit;
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
    // A line of the program's own (where its files are), in the text colour.
    void AddNote(const QString &text);

    LogView *richEdit() const { return RichEdit; }

    // Every frame also appended to a file, as the log shows it; false with the reason.
    bool StartLogFile(const QString &path, QString *error);
    void StopLogFile();
    bool loggingToFile() const { return m_file.isOpen(); }
    QString logFilePath() const { return m_file.path(); }

signals:
    // Writing the log file failed (it is closed); the message says why.
    void logFileFailed(const QString &message);

public slots:
    void btnClearClick();
    // "Сохранить журнал…": the log as it stands into a text file.
    void btnSaveClick();
    // Ctrl+F: the find bar over the log, its text selected.
    void ShowFind();
    void FindNext();
    void FindPrevious();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void AddParagraph(const QString &text, const QColor &colour);
    void CreateFindBar();
    void HideFind();
    void Find(bool backward);

    LogView *RichEdit;
    QPushButton *btnClear;
    QPushButton *btnSave;
    QWidget *m_findBar = nullptr;
    QLineEdit *m_findText = nullptr;
    QLabel *m_findStatus = nullptr;
    ExchangeLogFile m_file;
};
