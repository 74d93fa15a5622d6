#pragma once

#include <QtGlobal>

// The one frame buffer of the link: a request is built in it, written from it,
// and the answer is read into it over the request.
struct TBufKKT
{
    static constexpr int kSize = 256;
    quint8 data[kSize] = {};
    quint32 count = 0;
};

// Sum of bytes 0 .. count-3 modulo 65536, stored low byte first at count-2, count-1.
void SetCheckSum(TBufKKT &buf);
// The sum over bytes 0 .. count-3 XOR the stored value; 0 when it matches.
// A buffer of fewer than 2 bytes has no checksum field and never matches.
quint16 TestCheckSum(const TBufKKT &buf);

// Frame envelope constants.
namespace KktFrame {
constexpr quint8 kStart0 = 0x17;
constexpr quint8 kStart1 = 0x02;
constexpr quint8 kEnd = 0x19;
constexpr int kHeaderSize = 8; // bytes 0..7
constexpr int kStatusOffset = 3;
constexpr int kMinAnswer = 4; // the status byte needs at least four bytes

quint16 ReadU16(const quint8 *p);
quint32 ReadU32(const quint8 *p);
quint64 ReadUnsigned(const quint8 *p, int width); // little-endian, width <= 8
void WriteUnsigned(quint8 *p, quint64 value, int width);
} // namespace KktFrame
