#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// Every file the program reads or writes goes through here, so that all of
// them meet a hostile file alike:
// - a read refuses at once what is no regular file (a FIFO would block for
//   ever, a device may never end) and a file over kMaxReadSize;
// - a save replaces the file atomically, refuses an existing target that is no
//   regular file (a device node must never become a regular file) or that
//   nobody may write (root included), follows a symbolic link to a regular
//   file and keeps the link, keeps the file's mode and owner, writes in place
//   when only the folder is read-only (see InPlaceWrite: room reserved first),
//   and tells why it failed (a full disk included) in Russian, naming the file.
// Every message is one sentence without the "ВНИМАНИЕ!" heading.
namespace SafeFile {
constexpr qint64 kMaxReadSize = 32 * 1024 * 1024;

// "не является обычным файлом: это папка" and the like, for a path that is
// there but is no regular file (a folder, a FIFO, a device, a socket).
QString NotRegularReason(const QString &path);

// Whether path may be read: it exists, is a regular file (a link to one is
// fine) and is not larger than maxSize. False with the reason otherwise.
bool CheckReadable(const QString &path, QString *error, qint64 maxSize = kMaxReadSize);

// The whole file, or nothing with the reason.
std::optional<QByteArray> ReadAll(const QString &path, QString *error, qint64 maxSize = kMaxReadSize);

// Whether a save to path can be tried at all: a missing file or a regular one.
bool CheckWritable(const QString &path, QString *error);

// Replaces path with bytes as described above; the previous file stays whole on failure.
// More than kMaxReadSize bytes are refused: nothing is written that the program could not read back.
bool WriteAll(const QString &path, const QByteArray &bytes, QString *error);

// The refusal of a file the readers would refuse, howLarge saying how large it would be.
QString TooLargeToWrite(const QString &path, const QString &howLarge);

// Takes one piece of the file's bytes; false once writing has failed.
using PieceSink = std::function<bool(QByteArrayView)>;
// WriteAll for a file made a piece at a time: produce hands every piece to the
// sink in order and returns false when the sink refused one.
bool WritePieces(const QString &path, const std::function<bool(const PieceSink &)> &produce, QString *error);

// Creates an empty regular file where nothing exists yet; whatever exists is
// left alone (the read that follows judges it); a link that leads nowhere is refused.
bool CreateIfMissing(const QString &path, QString *error);
} // namespace SafeFile
