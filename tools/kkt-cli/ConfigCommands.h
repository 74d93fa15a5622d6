#pragma once

class CliDispatcher;

// The commands that work on whole configurations and goods bases:
// write-config and read-config (a .conf file to and from the register, through
// the same runs as the pages), and convert (goods files between formats).
void AddConfigCommands(CliDispatcher &dispatcher);

namespace ConfigExit {
constexpr int kBadInput = 65; // a file to read is missing, unreadable or refused (EX_DATAERR)
constexpr int kCannotWrite = 73; // a file could not be written (EX_CANTCREAT)
// read-config, verify-config: the register returned a value the program
// cannot hold, such as a price above 21474836.47 (EX_PROTOCOL).
constexpr int kBadAnswer = 76;
// verify-config: the register holds other values than the file. Above the
// register's statuses (which stay below 64) and outside the sysexits codes.
constexpr int kDiffers = 80;
} // namespace ConfigExit
