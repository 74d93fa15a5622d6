#include "emulator/FrameSplitter.h"

#include "kkt/KktFrame.h"

#include <cstring>

namespace {
constexpr int kMinFrame = 11; // header, 0x19, checksum

bool ChecksumMatches(QByteArrayView frame)
{
    TBufKKT buf;
    std::memcpy(buf.data, frame.constData(), size_t(frame.size()));
    buf.count = quint32(frame.size());
    return TestCheckSum(buf) == 0;
}
} // namespace

qsizetype FrameSplitter::completeFrameAfter(qsizetype from) const
{
    for (qsizetype i = from; i + KktFrame::kHeaderSize <= m_pending.size(); ++i) {
        if (quint8(m_pending[i]) != KktFrame::kStart0 || quint8(m_pending[i + 1]) != KktFrame::kStart1)
            continue;
        const int length = quint8(m_pending[i + 7]);
        if (length >= kMinFrame && i + length <= m_pending.size() && ChecksumMatches(m_pending.sliced(i, length)))
            return i;
    }
    return -1;
}

std::optional<QByteArray> FrameSplitter::next()
{
    while (!m_pending.isEmpty()) {
        const auto byteAt = [this](int i) { return quint8(m_pending.at(i)); };
        const bool badStart = byteAt(0) != KktFrame::kStart0 || (m_pending.size() > 1 && byteAt(1) != KktFrame::kStart1)
            || (m_pending.size() > 7 && byteAt(7) < kMinFrame);
        if (badStart) {
            m_pending.remove(0, 1);
            continue;
        }
        if (m_pending.size() < KktFrame::kHeaderSize || m_pending.size() < byteAt(7)) {
            // An incomplete candidate (noise with a length byte of 0xFF, say)
            // must not hold back a whole request that has already come behind it.
            const qsizetype later = completeFrameAfter(1);
            if (later < 0)
                return std::nullopt;
            m_pending.remove(0, later);
            continue;
        }
        const int length = byteAt(7);
        QByteArray frame = m_pending.left(length);
        if (!ChecksumMatches(frame)) {
            m_pending.remove(0, 1);
            continue;
        }
        m_pending.remove(0, length);
        return frame;
    }
    return std::nullopt;
}
