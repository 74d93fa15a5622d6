#pragma once

#include "kkt/KktFrame.h"

#include <QString>

#include <functional>

// The exchange log hook: the transaction hands it the buffer after every write
// (a request) and after every read (an answer). No sink attached works the same.
using ExchangeLogSink = std::function<void(const TBufKKT &buf, bool isAnswer)>;

// Two upper-case hex digits.
QString ByteToHex(quint8 b);
// "00-17H;  01-02H;  ..." for the first count bytes, all on one line.
QString DumpBuf(const TBufKKT &buf);
// The text one request or answer adds to the log:
// "Запрос пуст\r\n", "Запрос: \r\n" + dump, "Ответ пуст\r\n", "Ответ: \r\n" + dump + "\r\n".
QString LogBufText(const TBufKKT &buf, bool isAnswer);
