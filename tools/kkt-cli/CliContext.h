#pragma once

#include "config/ExchangeLogFile.h"
#include "kkt/KktTransaction.h"
#include "kkt/SerialLinkFactory.h"

#include <QTextStream>

// What every command works with: the connection options, the real port with
// the KKT channel over it, and the output streams.
class CliContext
{
public:
    CliContext(QTextStream &out, QTextStream &err);

    KktConnection connection;
    // Print every frame to standard error as the exchange log words it.
    void setTrace(bool on);
    // Append every frame to a file as the exchange log words it; false with the reason.
    bool setLogFile(const QString &path, QString *error);

    QTextStream &out() { return m_out; }
    QTextStream &err() { return m_err; }
    KktChannel &channel() { return m_channel; }

    // One "name=value" line of a command's result.
    void print(const QString &name, const QString &value);
    void warn(const QString &text);
    // The exit status for an outcome; on failure says on standard error what
    // failed (`action`) and why.
    int finish(quint8 outcome, const QString &action);
    static QString OutcomeText(quint8 outcome);

private:
    void updateLogSink();

    bool m_trace = false;
    ExchangeLogFile m_logFile;
    QTextStream &m_out;
    QTextStream &m_err;
    std::unique_ptr<SerialLink> m_link = MakeSerialLink();
    KktChannel m_channel { *m_link };
};
