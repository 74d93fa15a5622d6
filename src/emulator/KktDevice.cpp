#include "emulator/KktDevice.h"

#include "kkt/KktFrame.h"
#include "kkt/KktTransaction.h"

#include <algorithm>
#include <cstring>
#include <iterator>

using namespace KktFrame;

namespace {
constexpr int kMinRequest = 11; // header, 0x19, checksum
constexpr int kShortAnswer = 7; // header, status, 0x19, checksum

const KktCommand *FindCommand(quint8 code)
{
    static constexpr KktCommand commands[]
        = { KktCommands::GoodsItem, KktCommands::TableParam, KktCommands::TestLink, KktCommands::ClearBase };
    const auto it = std::find_if(
        std::begin(commands), std::end(commands), [code](const KktCommand &c) { return c.code == code; });
    return it == std::end(commands) ? nullptr : it;
}

// The table fields the register keeps: a field exists when any block holds it.
struct FieldBlock
{
    int table, firstRow, lastRow, firstField, lastField;
};
constexpr FieldBlock kFieldBlocks[] = {
    { 0, 1, 6, 0, 4 }, // operators: position, two name lines, password, taxpayer number
    { 2, 1, 8, 0, 1 }, // item-kind groups: name, code text
    { 4, 1, 1, 0, 20 }, // receipt header lines
    { 5, 1, 7, 0, 0 }, // GSM/Wi-Fi parameters
    { 5, 3, 3, 1, 2 }, // the server name takes three fields
    { 6, 1, 8, 0, 0 }, // agent parameters
    { 6, 6, 6, 1, 3 }, // transfer operator's address lines
    { 6, 7, 7, 1, 1 }, // transfer operator's name lines
    { 8, 1, 90, 1, 2 }, // enterprises: name, taxpayer number
    { 9, 1, 40, 1, 1 }, // stations: name
};

quint32 FieldKey(int table, int row, int field)
{
    return quint32(table) << 16 | quint32(row) << 8 | quint32(field);
}

template <size_t N> void CopyText(std::array<quint8, N> &dst, const quint8 *src)
{
    std::memcpy(dst.data(), src, N);
}
template <size_t N> void CopyText(quint8 *dst, const std::array<quint8, N> &src)
{
    std::memcpy(dst, src.data(), N);
}

// Fixed identity the link check reports; the program hands these back unused.
constexpr quint8 kProtocolVersion = 1;
constexpr quint8 kFirmwareMajor = 2, kFirmwareMinor = 5;
constexpr quint16 kFirmwareBuild = 258;
constexpr quint64 kSerialBase = 1000000;
} // namespace

KktDevice::KktDevice(quint32 number)
    : m_number(number)
{ }

void KktDevice::setFaults(const KktDeviceFaults &faults)
{
    m_faults = faults;
    m_lastWasBusy = false;
}

QByteArray KktDevice::answer(QByteArrayView request)
{
    const auto *req = reinterpret_cast<const quint8 *>(request.data());
    const qsizetype size = request.size();
    if (size < kMinRequest || size > TBufKKT::kSize || req[0] != kStart0 || req[1] != kStart1 || req[7] != size)
        return {};
    TBufKKT in;
    std::memcpy(in.data, req, size_t(size));
    in.count = quint32(size);
    if (TestCheckSum(in) != 0 || ReadU32(req + 2) != m_number)
        return {};
    const KktCommand *command = FindCommand(req[6]);
    if (command && command->requestLength != size)
        return {};
    if (m_faults.silent)
        return {};

    TBufKKT out;
    out.count = quint32(command ? command->answerLength : kShortAnswer);
    out.data[0] = kStart0;
    out.data[1] = kStart1;
    out.data[2] = req[6];
    quint8 status = kStatusBadRequest;
    if (answerBusy(request))
        status = kStatusBusy;
    else if (m_faults.status)
        status = *m_faults.status;
    else if (command)
        status = carryOut(req, out.data);
    if (status != kStatusOk)
        std::memset(out.data + 4, 0, TBufKKT::kSize - 4);
    out.data[kStatusOffset] = status;
    if (m_faults.shortAnswer)
        out.count = kShortAnswer;
    out.data[out.count - 3] = kEnd;
    SetCheckSum(out);
    if (m_faults.badChecksum)
        out.data[out.count - 1] ^= 0xFF;
    return QByteArray(reinterpret_cast<const char *>(out.data), out.count);
}

bool KktDevice::answerBusy(QByteArrayView request)
{
    if (m_faults.busy <= 0) {
        m_lastWasBusy = false;
        return false;
    }
    m_attempt = (m_lastWasBusy && request == m_lastRequest) ? m_attempt + 1 : 1;
    m_lastRequest = request.toByteArray();
    m_lastWasBusy = m_attempt <= m_faults.busy;
    return m_lastWasBusy;
}

quint8 KktDevice::carryOut(const quint8 *request, quint8 *answer)
{
    switch (request[6]) {
    case KktCommands::GoodsItem.code:
        return goodsItemRequest(request, answer);
    case KktCommands::TableParam.code:
        return tableParamRequest(request, answer);
    case KktCommands::TestLink.code: {
        const QByteArray data = linkCheckData();
        std::memcpy(answer + 4, data.constData(), size_t(data.size()));
        return kStatusOk;
    }
    case KktCommands::ClearBase.code:
        clearGoods();
        return kStatusOk;
    }
    return kStatusBadRequest;
}

quint8 KktDevice::goodsItemRequest(const quint8 *request, quint8 *answer)
{
    const quint8 mode = request[8];
    const int number = ReadU16(request + 9);
    if (mode > 1)
        return kStatusBadRequest;
    if (number < 1 || number > kGoodsCount)
        return kStatusBadAddress;
    GoodsItem &item = m_goods[size_t(number - 1)];
    if (mode == 0) {
        item.font = request[11];
        CopyText(item.name, request + 12);
        item.barcode = ReadUnsigned(request + 36, 6);
        item.price = ReadUnsigned(request + 42, 5);
        item.section = request[47];
    }
    WriteUnsigned(answer + 4, quint64(number), 2);
    answer[6] = item.font;
    CopyText(answer + 7, item.name);
    WriteUnsigned(answer + 31, item.barcode, 6);
    WriteUnsigned(answer + 37, item.price, 5);
    answer[42] = item.section;
    return kStatusOk;
}

quint8 KktDevice::tableParamRequest(const quint8 *request, quint8 *answer)
{
    const quint8 mode = request[8];
    const int table = request[9], row = request[10], fieldNo = request[11];
    if (mode > 1)
        return kStatusBadRequest;
    if (!FieldExists(table, row, fieldNo))
        return kStatusBadAddress;
    Field &stored = m_fields[FieldKey(table, row, fieldNo)];
    if (mode == 0) {
        stored.font = request[12];
        CopyText(stored.value, request + 13);
    }
    // Offsets 4..7 echo the address asked for, so an answer tells what it answers.
    answer[4] = mode;
    answer[5] = quint8(table);
    answer[6] = quint8(row);
    answer[7] = quint8(fieldNo);
    answer[8] = stored.font;
    CopyText(answer + 9, stored.value);
    return kStatusOk;
}

QByteArray KktDevice::linkCheckData() const
{
    // Offsets 4..27 of the answer: protocol version, mode (0 idle), firmware
    // major and minor, firmware build (16-bit), six flag bytes (11: paper
    // present), the KKT number (32-bit), two reserved bytes, serial number (48-bit).
    quint8 data[24] = {};
    data[0] = kProtocolVersion;
    data[2] = kFirmwareMajor;
    data[3] = kFirmwareMinor;
    WriteUnsigned(data + 4, kFirmwareBuild, 2);
    data[7] = 1;
    WriteUnsigned(data + 12, m_number, 4);
    WriteUnsigned(data + 18, kSerialBase + m_number, 6);
    return QByteArray(reinterpret_cast<const char *>(data), sizeof data);
}

std::optional<KktDevice::GoodsItem> KktDevice::goodsItem(int number) const
{
    if (number < 1 || number > kGoodsCount)
        return std::nullopt;
    return m_goods[size_t(number - 1)];
}

bool KktDevice::setGoodsItem(int number, const GoodsItem &item)
{
    if (number < 1 || number > kGoodsCount)
        return false;
    m_goods[size_t(number - 1)] = item;
    return true;
}

std::optional<KktDevice::Field> KktDevice::field(int table, int row, int fieldNo) const
{
    if (!FieldExists(table, row, fieldNo))
        return std::nullopt;
    return m_fields.value(FieldKey(table, row, fieldNo));
}

bool KktDevice::setField(int table, int row, int fieldNo, const Field &value)
{
    if (!FieldExists(table, row, fieldNo))
        return false;
    m_fields[FieldKey(table, row, fieldNo)] = value;
    return true;
}

bool KktDevice::FieldExists(int table, int row, int fieldNo)
{
    return std::any_of(std::begin(kFieldBlocks), std::end(kFieldBlocks), [&](const FieldBlock &b) {
        return b.table == table && row >= b.firstRow && row <= b.lastRow && fieldNo >= b.firstField
            && fieldNo <= b.lastField;
    });
}

int KktDevice::usedGoodsCount() const
{
    const GoodsItem empty;
    return int(std::count_if(m_goods.begin(), m_goods.end(), [&](const GoodsItem &item) {
        return item.font != empty.font || item.name != empty.name || item.barcode != 0 || item.price != 0
            || item.section != 0;
    }));
}

void KktDevice::clearGoods()
{
    m_goods.fill(GoodsItem {});
}
