#pragma once

#include "pages/xlsTool.h"

#include <QObject>
#include <QProcess>
#include <QTimer>

// One reading of a workbook by the reader's child process, without waiting
// for it on the caller's thread: the window stays live and can show progress
// and a cancel button. finished() comes once, unless cancel() came first.
class WorkbookRead : public QObject
{
    Q_OBJECT

public:
    WorkbookRead(const QString &fileName, const XlsReader &reader, QObject *parent = nullptr);
    ~WorkbookRead() override; // a reader still running is ended

    void start();
    // Ends the reader; finished() does not come.
    void cancel();

signals:
    void finished(const XlsReading &reading);

private:
    void finish(const XlsReading &reading);

    QString m_fileName;
    XlsReader m_reader;
    QProcess m_process;
    QTimer m_timeOut;
    bool m_done = false;
};
