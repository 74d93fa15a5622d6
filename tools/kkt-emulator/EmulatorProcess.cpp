#include "EmulatorProcess.h"

#include <QDeadlineTimer>
#include <QFileInfo>

using namespace Qt::StringLiterals;

bool EmulatorProcess::start(const QString &program, const QString &linkPath, const QStringList &options, int timeOutMs)
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(program, QStringList { u"--link"_s, linkPath } + options);
    QDeadlineTimer deadline(timeOutMs);
    QByteArray line;
    while (!line.endsWith('\n') && !deadline.hasExpired()) {
        if (!m_process.canReadLine() && !m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            break;
        if (m_process.canReadLine())
            line = m_process.readLine();
    }
    // "kkt-emulator: /dev/pts/5 -> /path/KKT-EMU", likewise from scanner-emulator
    const QString prefix = QFileInfo(program).fileName() + u": "_s;
    const QString text = QString::fromUtf8(line).trimmed();
    const qsizetype arrow = text.indexOf(u" -> "_s);
    if (!text.startsWith(prefix) || arrow < 0) {
        m_error = text + QString::fromUtf8(m_process.readAllStandardError()) + m_process.errorString();
        stop();
        return false;
    }
    m_terminal = text.mid(prefix.size(), arrow - prefix.size());
    m_link = text.mid(arrow + 4);
    return true;
}

bool EmulatorProcess::stop(int timeOutMs)
{
    if (m_process.state() == QProcess::NotRunning)
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    m_process.terminate();
    if (!m_process.waitForFinished(timeOutMs)) {
        m_process.kill();
        m_process.waitForFinished();
        return false;
    }
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}
