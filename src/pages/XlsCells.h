#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>
#include <vector>

// What the workbook reader (tools/xls-reader, a child process of ours) hands
// back: the cells the goods import uses, as text, for sheet rows 2 .. 6001 of
// the first worksheet. A damaged workbook can crash the library that reads it;
// in the child that is a message, not a lost window.
namespace XlsCells {
// Sheet columns handed back, in this order (numbered from 1 as the sheet shows them).
constexpr int kFirstColumn = 3; // barcode
constexpr int kColumns = 5; // barcode, name, section, price, marking
constexpr int kMaxRows = 6000;
// The most text the reader hands back, in characters: more than any goods
// file the program writes can hold (see SafeFile::kMaxReadSize).
constexpr qint64 kMaxTextChars = 32 * 1024 * 1024;

// Exit codes of the reader besides 0.
enum Exit : int {
    NotFound = 10,
    NoMemory = 11,
    Damaged = 12,
    Password = 13,
    NoSheets = 14,
    BadSheet = 15,
    TooMuchText = 16, // more than kMaxTextChars in the cells handed back
    Usage = 64,
};

QByteArray Encode(const std::vector<QStringList> &rows);
// Nothing when the bytes are not exactly what Encode makes (cut off, too many
// rows, a row of another width).
std::optional<std::vector<QStringList>> Decode(const QByteArray &bytes);
} // namespace XlsCells
