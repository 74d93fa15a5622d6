#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// Cuts the byte stream a KKT receives into request frames, by the length byte
// of the header (byte 7). Garbage is skipped one byte at a time until a byte
// 0x17 followed by 0x02 and a plausible length starts a frame. What it yields
// is only framed, not checked: the checksum is the device's business.
class FrameSplitter
{
public:
    void feed(QByteArrayView bytes) { m_pending.append(bytes.data(), bytes.size()); }
    // The next whole frame, or nothing until more bytes arrive.
    std::optional<QByteArray> next();
    // True while part of a frame waits for its rest.
    bool hasPartial() const { return !m_pending.isEmpty(); }
    // Forgets a part that will never be completed (the sender gave up).
    void discardPartial() { m_pending.clear(); }

private:
    QByteArray m_pending;
};
