#pragma once

#include <QByteArray>
#include <QString>

// Small file helpers for tests that work on real files in temporary folders.
// ReadBytes gives nothing for a file that cannot be read; WriteBytes replaces
// the file and tells whether all bytes were written.
QByteArray ReadBytes(const QString &path);
bool WriteBytes(const QString &path, const QByteArray &bytes);

// What a user may give where a file is wanted: "folder", "FIFO" or "device"
// (a link to /dev/null). Made at path; false when it cannot be (FIFOs and
// device links are Unix only).
bool MakeNonRegular(const QString &path, const QString &kind);
// How the program's messages name that kind: "папка", "именованный канал (FIFO)", "устройство".
QString NonRegularName(const QString &kind);

// Lowers the process's file size limit while it lives, so that a write beyond
// the limit fails as on a full disk (POSIX; does nothing elsewhere).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    static bool supported();

private:
    qint64 m_previous = -1;
};
