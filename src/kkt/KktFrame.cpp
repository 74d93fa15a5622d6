#include "kkt/KktFrame.h"

static quint16 SumBeforeChecksum(const TBufKKT &buf)
{
    quint32 sum = 0;
    for (quint32 i = 0; i + 2 < buf.count && i < TBufKKT::kSize; ++i)
        sum += buf.data[i];
    return quint16(sum & 0xFFFF);
}

void SetCheckSum(TBufKKT &buf)
{
    if (buf.count < 2 || buf.count > TBufKKT::kSize)
        return;
    const quint16 sum = SumBeforeChecksum(buf);
    buf.data[buf.count - 2] = quint8(sum & 0xFF);
    buf.data[buf.count - 1] = quint8(sum >> 8);
}

quint16 TestCheckSum(const TBufKKT &buf)
{
    if (buf.count < 2 || buf.count > TBufKKT::kSize)
        return 0xFFFF;
    const quint16 stored = KktFrame::ReadU16(buf.data + buf.count - 2);
    return SumBeforeChecksum(buf) ^ stored;
}

namespace KktFrame {
quint16 ReadU16(const quint8 *p)
{
    return quint16(ReadUnsigned(p, 2));
}
quint32 ReadU32(const quint8 *p)
{
    return quint32(ReadUnsigned(p, 4));
}

quint64 ReadUnsigned(const quint8 *p, int width)
{
    quint64 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

void WriteUnsigned(quint8 *p, quint64 value, int width)
{
    for (int i = 0; i < width; ++i) {
        p[i] = quint8(value & 0xFF);
        value >>= 8;
    }
}
} // namespace KktFrame
