#include "pages/XlsCells.h"

#include <QDataStream>
#include <QIODevice>

namespace {
constexpr quint32 kMagic = 0x4B585331; // "KXS1"
constexpr QDataStream::Version kVersion = QDataStream::Qt_6_0;
} // namespace

namespace XlsCells {
QByteArray Encode(const std::vector<QStringList> &rows)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kVersion);
    out << kMagic << quint32(rows.size());
    for (const QStringList &row : rows)
        out << row;
    return bytes;
}

std::optional<std::vector<QStringList>> Decode(const QByteArray &bytes)
{
    QDataStream in(bytes);
    in.setVersion(kVersion);
    quint32 magic = 0, count = 0;
    in >> magic >> count;
    if (in.status() != QDataStream::Ok || magic != kMagic || count > quint32(kMaxRows))
        return std::nullopt;
    std::vector<QStringList> rows(count);
    for (QStringList &row : rows) {
        in >> row;
        if (in.status() != QDataStream::Ok || row.size() != kColumns)
            return std::nullopt;
    }
    if (!in.atEnd())
        return std::nullopt;
    return rows;
}
} // namespace XlsCells
