#include "config/ExchangeLogFile.h"

#include "config/SafeFile.h"
#include "kkt/ExchangeLog.h"

#include <QDir>

using namespace Qt::StringLiterals;

QString ExchangeLogFile::FrameText(const TBufKKT &buf, bool isAnswer)
{
    // As a paragraph of the log window: a blank first, its CR LF pairs as line ends, closed by a line end.
    QString text = u" "_s + LogBufText(buf, isAnswer) + u"\r\n"_s;
    return text.replace(u"\r\n"_s, u"\n"_s);
}

bool ExchangeLogFile::open(const QString &path, QString *error)
{
    close();
    m_error.clear();
    QString refused;
    if (path.isEmpty() || !SafeFile::CheckWritable(path, &refused)) {
        if (error)
            *error = path.isEmpty() ? u"не задан файл журнала."_s : refused;
        return false;
    }
    m_file.setFileName(path);
    // Text mode: the line ends of the system (CR LF on Windows).
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        if (error)
            *error = u"Не удалось открыть файл журнала \"%1\": %2."_s.arg(
                QDir::toNativeSeparators(path), m_file.errorString());
        return false;
    }
    return true;
}

void ExchangeLogFile::close()
{
    if (m_file.isOpen())
        m_file.close();
}

bool ExchangeLogFile::append(const TBufKKT &buf, bool isAnswer)
{
    if (!m_file.isOpen())
        return false;
    const QByteArray bytes = FrameText(buf, isAnswer).toUtf8();
    if (m_file.write(bytes) != bytes.size() || !m_file.flush()) {
        m_error = u"Не удалось записать журнал обмена в файл \"%1\": %2."_s.arg(
            QDir::toNativeSeparators(m_file.fileName()), m_file.errorString());
        m_file.close();
        return false;
    }
    return true;
}
