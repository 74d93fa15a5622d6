#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>

#include <array>
#include <optional>

// Misbehaviour on request, applied to every request the device answers.
struct KktDeviceFaults
{
    // Answer status 0x15 (busy) to the first `busy` attempts of every request.
    int busy = 0;
    // Never answer.
    bool silent = false;
    // Answer with a checksum that does not match.
    bool badChecksum = false;
    // Answer every request with this status instead of carrying it out.
    std::optional<quint8> status;
    // Cut every answer to 7 bytes (status kept, checksum valid).
    bool shortAnswer = false;
    // Wait this long before answering. The device itself never sleeps: whoever
    // carries its answers (the pseudo-terminal server, DeviceLink) honours it.
    int delayMs = 0;
    // Send the answer at the line rate of the port's speed (the server's job).
    bool pace = false;
    // Send every answer once more this long after it (the server's job): a
    // register, or a line, that repeats itself.
    int repeatMs = 0;
    // Send back every byte as it comes instead of answering, as a loopback
    // plug, a modem with echo on or a wrong cable does (the server's job).
    bool echo = false;
};

// The imitated register: its memory (goods base and the tables the program
// programs) and its answers to the four requests.
//
// Answer layout, common to all answers (n = answer length of the command:
// 46 goods item, 36 table parameter, 31 link check, 7 clear and every error
// answer to an unknown command):
//   0: 0x17, 1: 0x02, 2: the command code answered ('T', 'p', 'u', 'c'),
//   3: status, 4 .. n-4: answer data, n-3: 0x19, n-2 .. n-1: checksum.
// Busy and error answers keep the full length of the command with zero data,
// so a reader that asks for that length is never left waiting for more.
//
// What gets no answer at all (the sender sees a time-out): a frame that does
// not start with 0x17 0x02, whose length byte (7) differs from its size or
// from the command's request length, whose checksum does not match, or that
// is addressed to another KKT number.
class KktDevice
{
public:
    static constexpr int kGoodsCount = 6000;
    static constexpr int kTextSize = 24;

    // Statuses of our own. Kept below 64 so that kkt-cli, whose exit status is
    // the outcome, never confuses them with its usage error (64).
    static constexpr quint8 kStatusOk = 0x00;
    static constexpr quint8 kStatusBusy = 0x15;
    // Unknown command letter or a mode other than 0 (write) and 1 (read).
    static constexpr quint8 kStatusBadRequest = 0x21;
    // Goods item number outside 1..6000, or a table/row/field the memory lacks.
    static constexpr quint8 kStatusBadAddress = 0x22;

    // One goods item, as the raw bytes received.
    struct GoodsItem
    {
        quint8 font = 0x30;
        std::array<quint8, kTextSize> name {};
        quint64 barcode = 0; // 48 bits
        quint64 price = 0; // 40 bits
        quint8 section = 0;
    };
    // One table field: the font byte and the 24 value bytes received.
    struct Field
    {
        quint8 font = 0x30;
        std::array<quint8, kTextSize> value {};
    };

    explicit KktDevice(quint32 number = 0);

    quint32 number() const { return m_number; }
    void setNumber(quint32 number) { m_number = number; }
    const KktDeviceFaults &faults() const { return m_faults; }
    void setFaults(const KktDeviceFaults &faults);

    // Takes one whole request frame; returns the answer bytes, empty for none.
    // Busy retries: a frame byte-identical to the previous one, sent while the
    // previous answer was busy, is a further attempt of the same request; any
    // other frame (or any frame after a non-busy answer) starts a new request.
    QByteArray answer(QByteArrayView request);

    // The memory, for tests and tools. Numbers/addresses outside it give nothing.
    std::optional<GoodsItem> goodsItem(int number) const;
    bool setGoodsItem(int number, const GoodsItem &item);
    std::optional<Field> field(int table, int row, int field) const;
    bool setField(int table, int row, int field, const Field &value);
    static bool FieldExists(int table, int row, int field);
    // Number of goods items that are not empty.
    int usedGoodsCount() const;
    void clearGoods();

    // The fields of the link check answer (offsets 4..27), fixed for one device.
    QByteArray linkCheckData() const;

private:
    // Carries out a checked request; fills the answer data, returns the status.
    quint8 carryOut(const quint8 *request, quint8 *answer);
    quint8 goodsItemRequest(const quint8 *request, quint8 *answer);
    quint8 tableParamRequest(const quint8 *request, quint8 *answer);
    // Counts the attempt; true while this request is still to be answered busy.
    bool answerBusy(QByteArrayView request);

    quint32 m_number;
    KktDeviceFaults m_faults;
    std::array<GoodsItem, kGoodsCount> m_goods {};
    QHash<quint32, Field> m_fields;
    QByteArray m_lastRequest;
    bool m_lastWasBusy = false;
    int m_attempt = 0;
};
