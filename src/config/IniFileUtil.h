#pragma once

#include <QString>

// Sets *error (when given) and returns false, so failure paths stay one line.
inline bool SetError(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// Creates an empty file at path when none exists; false with a Russian reason
// when it cannot be created.
bool CreateIfMissing(const QString &path, QString *error);
