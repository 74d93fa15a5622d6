#pragma once

#include <QByteArrayView>
#include <QString>

class QFileDevice;

// Why a file could not be opened or written, told in Russian from the system's
// error number. Qt's own text is English and for some failures only "Unknown
// error"; a person at a full disk must read that the disk is full.
namespace FileErrors {
// "на диске нет свободного места" and the like; the system's own text for an
// error without a text of ours; empty for 0.
QString Reason(int errorNumber);

// Writes every byte to the open file and flushes it; false with the reason
// (see Reason) in *reason otherwise. The file stays open.
bool WriteAll(QFileDevice &file, QByteArrayView bytes, QString *reason);
} // namespace FileErrors
