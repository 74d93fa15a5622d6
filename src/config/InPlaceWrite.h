#pragma once

#include <QByteArray>
#include <QString>

// The save of an existing file in a folder that takes no new file (an
// installed program's settings, a shared folder): no temporary file can be
// written beside it and renamed over it, so the file itself is rewritten.
//
// The whole new content is known before the file is touched, the room for it
// is reserved on the disk first (a full disk refuses the save and leaves the
// file as it was), the content is written, cut to its size and synced. Should
// the write fail all the same, the old content (when it is no larger than
// keepUpTo) is written back.
//
// Such a save cannot survive a power cut or a kill in the middle of it: the
// file may then hold part of each content.
namespace InPlaceWrite {
struct Result
{
    bool ok = false;
    int error = 0; // the system's error number of the failure
    bool restored = false; // after a failed write: the old content is back
};

Result Write(const QString &target, const QByteArray &bytes, qint64 keepUpTo);
} // namespace InPlaceWrite
