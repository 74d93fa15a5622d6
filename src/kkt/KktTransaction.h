#pragma once

#include "kkt/ExchangeLog.h"
#include "kkt/KktFrame.h"
#include "kkt/SerialLink.h"

#include <QString>

#include <functional>

// Outcome of a transaction: 0 success, the local failures below, or the KKT's status byte.
namespace KktOutcome {
constexpr quint8 Ok = 0;
constexpr quint8 PortNotOpened = 1;
constexpr quint8 NoAnswer = 2;
constexpr quint8 ChecksumError = 3; // also an answer too short to carry a status
constexpr quint8 BadNumber = 5; // goods item write: barcode or price not a number
constexpr int kMaxAttempts = 10;
inline bool IsBusy(quint8 status)
{
    return status >= 20 && status <= 22;
}
} // namespace KktOutcome

// The connection values every request takes.
struct KktConnection
{
    QString Name; // port name as listed
    quint32 Speed = 19200;
    quint32 TimeOut = 3500; // total read time-out of one answer, ms
    qint32 NumKKT = 0;
    quint32 Pause = 0; // before opening, ms
};

// What the line showed at the end of the last transaction on a port.
enum class LineState {
    Unknown, // no transaction yet on this port
    Clean, // the last one ended on a whole, checked answer
    Suspect, // the last one ended without one: its answer may still come, or noise does
};

// What a transaction works with: the port, the one frame buffer, the log hook,
// and what the last transaction left on the line.
class KktChannel
{
public:
    explicit KktChannel(SerialLink &link)
        : m_link(&link)
    { }

    SerialLink &link() { return *m_link; }
    void setLink(SerialLink &link) { m_link = &link; }
    TBufKKT &buf() { return m_buf; }
    const TBufKKT &buf() const { return m_buf; }
    void setLogSink(ExchangeLogSink sink) { m_log = std::move(sink); }
    void log(bool isAnswer) const
    {
        if (m_log)
            m_log(m_buf, isAnswer);
    }

    LineState lineState(const QString &port) const { return port == m_linePort ? m_lineState : LineState::Unknown; }
    void setLineState(const QString &port, LineState state)
    {
        m_linePort = port;
        m_lineState = state;
    }
    // Why the last transaction's outcome 2 was given although bytes came (an
    // echo, an answer to another request, stray bytes); empty otherwise.
    const QString &lastFault() const { return m_fault; }
    void setLastFault(const QString &text) { m_fault = text; }

private:
    SerialLink *m_link;
    TBufKKT m_buf;
    ExchangeLogSink m_log;
    QString m_linePort;
    LineState m_lineState = LineState::Unknown;
    QString m_fault;
};

// One command of the protocol: its letter, request length and answer length.
struct KktCommand
{
    quint8 code;
    int requestLength;
    int answerLength;
};

namespace KktCommands {
constexpr KktCommand GoodsItem { 0x54, 51, 46 }; // "T"
constexpr KktCommand TableParam { 0x70, 40, 36 }; // "p"
constexpr KktCommand TestLink { 0x75, 11, 31 }; // "u"
constexpr KktCommand ClearBase { 0x63, 11, 7 }; // "c"
} // namespace KktCommands

// Fills the command data (bytes 8 .. L-4, already zero); false ends the
// transaction with outcome 5 before anything is sent.
using KktBuildData = std::function<bool(quint8 *frame)>;
// Takes over a non-busy answer; bytes past the received count read as zero.
using KktTakeAnswer = std::function<void(const quint8 *answer, quint32 count)>;
// Looks at an answer of status 0 before it is taken over: empty when it can
// answer the request, else why not (it is then outcome 2 and not taken over).
using KktCheckAnswer = std::function<QString(const quint8 *answer, quint32 count)>;

// Opens the port, runs up to ten write-and-read rounds while the KKT answers
// busy, closes the port and returns the outcome.
//
// Bytes that answer nothing never pass for an answer:
// - after a transaction that got no whole answer, the next waits until the
//   line has been quiet (kQuietMs, at most the interval time-out) and drops
//   what came, so a late answer is not taken for its own;
// - bytes waiting at the purge after a whole answer, or arriving in the pause
//   after the purge when nothing was asked, end the transaction before its
//   request goes out; so do bytes still coming after a whole answer;
// - an answer that is the request itself (an echoing line), a frame too short
//   to carry its status apart from its checksum, and one the check refuses
//   are no answer.
// Each of these is outcome 2 with the reason in channel.lastFault(). An answer
// of zero bytes only (a line in break state, noise) is outcome 3, whatever its
// checksum and status seem to say.
quint8 RunTransaction(KktChannel &channel, const KktConnection &conn, const KktCommand &command,
    const KktBuildData &build, const KktTakeAnswer &take, const KktCheckAnswer &check = {});

namespace KktLine {
// The longest silence waited for after a transaction without a whole answer.
constexpr int kQuietMs = 300;
// The shortest frame that carries its status outside its checksum: three
// header bytes, the status, the end byte and the checksum.
constexpr int kMinWholeAnswer = 7;
} // namespace KktLine
