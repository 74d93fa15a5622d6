// The emulator's cutting of a byte stream into request frames: every frame it
// returns carries its own length and checksum, and the device answers any of them.
#include "FuzzSupport.h"

#include "emulator/FrameSplitter.h"
#include "emulator/KktDevice.h"
#include "kkt/KktFrame.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FrameSplitter splitter;
    KktDevice device;
    size_t pos = 0;
    while (pos < size) {
        // Feed in pieces, as a serial line delivers them; a zero piece gives up the partial frame.
        const size_t piece = std::min<size_t>(data[pos] % 64, size - pos - 1);
        ++pos;
        if (piece == 0)
            splitter.abandonPartial();
        splitter.feed(QByteArrayView(reinterpret_cast<const char *>(data + pos), qsizetype(piece)));
        pos += piece;
        while (const std::optional<QByteArray> frame = splitter.next()) {
            if (frame->size() < 11 || frame->size() > TBufKKT::kSize || quint8(frame->at(7)) != frame->size())
                qFatal("the splitter returned a frame of a wrong length");
            (void)device.answer(*frame);
        }
    }
    return 0;
}
