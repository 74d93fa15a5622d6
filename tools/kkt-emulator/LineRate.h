#pragma once

#include <QtGlobal>

// The line speed a terminal is set to, in baud, as the client configured it
// (tcgetattr on the terminal). 0 when it cannot be told.
quint32 TerminalBaud(int fd);

// Time one byte takes on the line: a start bit, 8 data bits, a stop bit.
inline qint64 ByteTimeNs(quint32 baud)
{
    return baud == 0 ? 0 : qint64(10) * 1000000000 / baud;
}
