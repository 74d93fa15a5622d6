// The four requests and the table runs on a line that answers anything: the
// fuzzer's bytes are the answers, read after read.
#include "FuzzSupport.h"

#include "kkt/ComPort.h"
#include "pages/GridSet.h"
#include "pages/TableRun.h"

#include <algorithm>
#include <cstring>

namespace {
// Each read takes a length byte and then up to that many bytes of the input.
class FuzzLink final : public SerialLink
{
public:
    FuzzLink(const uint8_t *data, size_t size)
        : m_data(data)
        , m_size(size)
    { }
    bool open(const QString &, quint32, quint32) override
    {
        m_open = true;
        return true;
    }
    bool isOpen() const override { return m_open; }
    void purge() override { }
    int write(const quint8 *, int count) override { return count; }
    int read(quint8 *data, int maxCount) override
    {
        if (m_pos >= m_size)
            return 0;
        const size_t wanted = m_data[m_pos++];
        const size_t n = std::min({ wanted, size_t(maxCount), m_size - m_pos });
        std::memcpy(data, m_data + m_pos, n);
        m_pos += n;
        return int(n);
    }
    void close() override { m_open = false; }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_open = false;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    FuzzLink link(data + 1, size - 1);
    KktChannel channel(link);
    const KktConnection conn { QStringLiteral("KKT"), 19200, 100, 0, 0 };
    const quint8 choice = data[0];
    switch (choice % 8) {
    case 0: {
        quint16 number = 1, font = 0x30;
        quint8 section = 0;
        QString name, barcode, price;
        RequestPredmRasch(channel, conn, KktMode::Read, number, font, name, barcode, price, section);
        break;
    }
    case 1: {
        quint16 font = 0x30;
        QString value;
        RequestParam(channel, conn, KktMode::Read, 5, quint8(choice >> 3), 0, font, value, (choice & 0x80) != 0);
        break;
    }
    case 2: {
        TTestLinkAnswer answer;
        RequestTestLink(channel, conn, answer);
        break;
    }
    case 3: {
        quint8 status = 0;
        RequestClearBase(channel, conn, status);
        break;
    }
    default: {
        // A read run of one page table fills the grids from whatever comes.
        static const TableKind kinds[] = { TableKind::Oper, TableKind::Goods, TableKind::Usl, TableKind::Klishe,
            TableKind::Agents, TableKind::Factory, TableKind::Station, TableKind::Gsm };
        const TableKind kind = kinds[(choice >> 3) % 8];
        const OwnedGrids grids;
        RunTable(channel, conn, kind, RunDirection::Read, grids.set()[kind], 1, 2);
        break;
    }
    }
    return 0;
}
