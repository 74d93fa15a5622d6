#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// The readers that take a file name get the fuzzer's bytes through one file
// per process, in memory where the system has such a folder.
QString FuzzFile(const char *suffix);
// Writes the bytes to FuzzFile(suffix) and returns its name.
QString WriteFuzzFile(const uint8_t *data, size_t size, const char *suffix);

inline QByteArray FuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}
