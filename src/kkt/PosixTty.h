#pragma once

#include <QString>

// Terminal devices on Unix, as both serial users (the KKT link and the
// scanner) open them: by port name, non-blocking, without becoming the
// controlling terminal, and kept for this process alone.
namespace PosixTty {

// Opens the device a port name stands for: where an entry of the ports folder
// leads, a path as given, or else the name under /dev. The descriptor, or -1
// with errno set.
int OpenPort(const QString &name, const QString &portsFolder);

// Takes the port for this process: an advisory lock (what picocom, pyserial's
// exclusive mode and another instance of ours take) and the terminal's
// exclusive flag. False when another process holds the lock, when the flag is
// set already (another process has it; root's open is not refused for it) or
// when the terminal refuses the flag.
bool TakeExclusive(int fd);

// Whether the terminal's exclusive flag is set: on fd, or on the device at a
// path (opened for the look alone).
bool HeldExclusively(int fd);
bool HeldExclusively(const QString &device);

// Clears the exclusive flag (it stays on the terminal while anyone else has
// it open, as a pseudo-terminal's server does) and closes the descriptor; the
// lock goes with it.
void Close(int fd, bool exclusive);

enum class LineMode {
    // Raw bytes both ways, software flow control off (the KKT link).
    Raw,
    // Raw input with software and hardware flow control and the special
    // characters as the port has them (the scanner).
    RawKeepFlowControl,
};

// Sets the line: the speed (a constant from SpeedCode), 8 data bits, no
// parity, one stop bit, the modem lines ignored, raw as the mode says. Reads
// on the non-blocking descriptor then fail with EAGAIN on an empty queue and
// read 0 only on a hung-up line. False when fd is no terminal or refuses.
bool SetLine(int fd, unsigned speedCode, LineMode mode);

// The speed constant of the terminal interface for a speed in baud; false for
// a speed the interface has no constant for.
bool SpeedCode(quint32 baud, unsigned &code);

} // namespace PosixTty
