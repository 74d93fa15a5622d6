#include "config/FileErrors.h"

#include <QFileDevice>

#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

namespace FileErrors {
QString Reason(int errorNumber)
{
    switch (errorNumber) {
    case 0:
        return {};
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return u"на диске нет свободного места"_s;
    case EACCES:
    case EPERM:
        return u"нет прав на запись в этот файл или в его папку"_s;
    case EROFS:
        return u"диск доступен только для чтения"_s;
    case EIO:
        return u"ошибка ввода-вывода: диск неисправен или отключён"_s;
    case ENOENT:
        return u"папки файла нет (её удалили или диск отключён)"_s;
    case ENXIO:
    case ENODEV:
        return u"устройство отключено"_s;
    case EISDIR:
        return u"это папка"_s;
    case ELOOP:
        return u"на месте файла появилась символическая ссылка; по ней программа не пишет"_s;
    case EMFILE:
    case ENFILE:
        return u"открыто слишком много файлов"_s;
    default:
        return QString::fromLocal8Bit(std::strerror(errorNumber));
    }
}

bool WriteAll(QFileDevice &file, QByteArrayView bytes, QString *reason)
{
    errno = 0;
    bool ok = file.write(bytes.data(), bytes.size()) == bytes.size();
    // The errno of the failed call, before anything else may change it.
    int failure = ok ? 0 : errno;
    if (ok && !file.flush()) {
        ok = false;
        failure = errno;
    }
    if (ok)
        return true;
    if (reason) {
        // A failure Qt saw without a system error: its own words are all there is.
        *reason = failure != 0 ? Reason(failure) : file.errorString();
    }
    return false;
}
} // namespace FileErrors
