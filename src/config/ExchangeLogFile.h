#pragma once

#include "kkt/KktFrame.h"

#include <QFile>
#include <QString>

// Every frame appended to a text file as the exchange log shows it (a blank,
// "Запрос: " or "Ответ: ", the dump, an empty line after an answer), one write
// per frame, so that a log survives a crash of the program. Used by the
// window's "Записывать журнал в файл" and kkt-cli --log.
class ExchangeLogFile
{
public:
    // Opens the file for appending, creating it when missing. A FIFO or a
    // device is refused (opening a FIFO would wait for a reader for ever), and
    // so is a symbolic link of another user's in the file's place. False with
    // a Russian reason.
    bool open(const QString &path, QString *error);
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    QString path() const { return m_path; }

    // Appends one frame; false once a write failed (a full disk): the file is
    // then closed and error() says why, in words (see FileErrors).
    bool append(const TBufKKT &buf, bool isAnswer);
    QString error() const { return m_error; }

    // The text a frame adds, lines ending in "\n".
    static QString FrameText(const TBufKKT &buf, bool isAnswer);

private:
    QFile m_file;
    QString m_path; // of the file open, or last open (a file opened by its descriptor has no name)
    QString m_error;
};
