#include "pages/WorkbookRead.h"

WorkbookRead::WorkbookRead(const QString &fileName, const XlsReader &reader, QObject *parent)
    : QObject(parent)
    , m_fileName(fileName)
    , m_reader(reader)
{
    m_timeOut.setSingleShot(true);
    connect(&m_timeOut, &QTimer::timeout, this, [this] {
        m_process.kill();
        finish({ std::nullopt, ReaderTimedOut(m_reader) });
    });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish({ std::nullopt, ReaderNotStarted(m_reader, m_process.errorString()) });
    });
    connect(&m_process, &QProcess::finished, this, [this] { finish(ReadingOf(m_process, m_fileName)); });
}

WorkbookRead::~WorkbookRead()
{
    cancel();
}

void WorkbookRead::start()
{
    m_timeOut.start(m_reader.timeOutMs);
    StartReader(m_process, m_fileName, m_reader);
}

void WorkbookRead::cancel()
{
    m_done = true;
    m_timeOut.stop();
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(-1);
    }
}

void WorkbookRead::finish(const XlsReading &reading)
{
    if (m_done)
        return;
    m_done = true;
    m_timeOut.stop();
    emit finished(reading);
}
