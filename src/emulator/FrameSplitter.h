#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// Cuts the byte stream a KKT receives into request frames, by the length byte
// of the header (byte 7). Garbage is skipped one byte at a time until a byte
// 0x17 followed by 0x02 and a plausible length starts a frame; a candidate
// whose checksum does not match was no frame either, and the search goes on
// from its second byte, so a request that came after a stray 0x17 0x02 is
// still found. A candidate still waiting for its rest does not hold back a
// whole frame that arrived behind it: the splitter resynchronises on it at
// once. The rest of the checks is the device's business.
class FrameSplitter
{
public:
    void feed(QByteArrayView bytes) { m_pending.append(bytes.data(), bytes.size()); }
    // The next whole frame, or nothing until more bytes arrive.
    std::optional<QByteArray> next();
    // True while part of a frame waits for its rest.
    bool hasPartial() const { return !m_pending.isEmpty(); }
    // Gives up the partial frame that will never be completed (the sender gave
    // up, or its start was a stray): drops its first byte only, as a request
    // may follow within what is held; next() searches the rest again.
    void abandonPartial()
    {
        if (!m_pending.isEmpty())
            m_pending.remove(0, 1);
    }

private:
    // Where a whole frame with a matching checksum starts at or after from; -1 for none.
    qsizetype completeFrameAfter(qsizetype from) const;

    QByteArray m_pending;
};
