#include "CliContext.h"

#include "kkt/ExchangeLog.h"

using namespace Qt::StringLiterals;

CliContext::CliContext(QTextStream &out, QTextStream &err)
    : m_out(out)
    , m_err(err)
{ }

void CliContext::setTrace(bool on)
{
    m_trace = on;
    updateLogSink();
}

bool CliContext::setLogFile(const QString &path, QString *error)
{
    const bool opened = m_logFile.open(path, error);
    updateLogSink();
    return opened;
}

void CliContext::updateLogSink()
{
    if (!m_trace && !m_logFile.isOpen()) {
        m_channel.setLogSink({});
        return;
    }
    m_channel.setLogSink([this](const TBufKKT &buf, bool isAnswer) {
        if (m_trace) {
            // One text per frame, its CR LF pairs as line ends, closed like a paragraph of the log window.
            m_err << LogBufText(buf, isAnswer).replace(u"\r\n"_s, u"\n"_s) << '\n';
            m_err.flush();
        }
        // A failed write closes the file: said once, and the command goes on.
        if (m_logFile.isOpen() && !m_logFile.append(buf, isAnswer))
            warn(m_logFile.error());
    });
}

void CliContext::print(const QString &name, const QString &value)
{
    m_out << name << '=' << value << '\n';
    m_out.flush();
}

void CliContext::warn(const QString &text)
{
    m_err << u"kkt-cli: предупреждение: "_s << text << '\n';
    m_err.flush();
}

QString CliContext::OutcomeText(quint8 outcome)
{
    switch (outcome) {
    case KktOutcome::Ok:
        return u"выполнено"_s;
    case KktOutcome::PortNotOpened:
        return u"порт не открыт (нет такого порта, он занят или не принял настройки)"_s;
    case KktOutcome::NoAnswer:
        return u"нет ответа от ККТ"_s;
    case KktOutcome::ChecksumError:
        return u"ошибка контрольной суммы ответа"_s;
    case KktOutcome::BadNumber:
        return u"штрих-код или цена не являются числом"_s;
    }
    if (KktOutcome::IsBusy(outcome))
        return u"ККТ занята (статус %1)"_s.arg(outcome);
    return u"ККТ вернула статус %1 (0x%2)"_s.arg(outcome).arg(
        QString::number(outcome, 16).toUpper().rightJustified(2, u'0'));
}

int CliContext::finish(quint8 outcome, const QString &action)
{
    if (outcome != KktOutcome::Ok) {
        QString why = OutcomeText(outcome);
        if (!m_channel.lastFault().isEmpty())
            why += u": "_s + m_channel.lastFault();
        m_err << u"kkt-cli: %1: ошибка %2: %3"_s.arg(action).arg(outcome).arg(why) << '\n';
        m_err.flush();
    }
    return outcome;
}
