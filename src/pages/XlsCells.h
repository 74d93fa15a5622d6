#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// What the workbook reader (tools/xls-reader, a child process of ours) hands
// back: the cells the goods import uses, as text with what kind of value each
// held, for sheet rows 2 .. 6001 of the first worksheet of a .xls, .xlsx or
// .ods workbook. A damaged workbook can crash the library that reads it; in
// the child that is a message, not a lost window.
namespace XlsCells {
// Sheet columns handed back, in this order (numbered from 1 as the sheet shows them).
constexpr int kFirstColumn = 3; // barcode
constexpr int kColumns = 5; // barcode, name, section, price, marking
// The price column: the only one whose numbers show their format's fixed
// decimals (12.5 in a "0.00" cell gives 12.50); codes keep their digits.
constexpr int kPriceColumn = 6;
constexpr int kMaxRows = 6000;
// The most text the reader hands back, in characters: more than any goods
// file the program writes can hold (see SafeFile::kMaxReadSize).
constexpr qint64 kMaxTextChars = 32 * 1024 * 1024;
// The most a part of a zipped workbook (a sheet, its shared strings) may take
// once inflated; a part that claims more, or inflates to more, is refused.
constexpr qint64 kMaxPartBytes = 64 * 1024 * 1024;

// Exit codes of the reader besides 0.
enum Exit : int {
    NotFound = 10,
    NoMemory = 11,
    Damaged = 12,
    Password = 13,
    NoSheets = 14,
    BadSheet = 15,
    TooMuchText = 16, // more than kMaxTextChars in the cells handed back
    TooLarge = 17, // a part of a zipped workbook larger than the reader inflates
    NotWorkbook = 18, // a zip archive that is no .xlsx or .ods workbook
    Usage = 64,
};

// What a cell held, beside its text.
enum class Kind : quint32 {
    Value = 0, // text, a number as its digits, a boolean; empty for an empty cell
    Date = 1, // a date or a time (the text shows it)
    FormulaUnread = 2, // a formula whose result the workbook does not hold in a form we read
    FormulaError = 3, // a formula whose result is an error (the text: #DIV/0! and the like)
};
constexpr quint32 kLastKind = quint32(Kind::FormulaError);

struct Cell
{
    QString text;
    Kind kind = Kind::Value;
    friend bool operator==(const Cell &, const Cell &) = default;
};
using Row = std::array<Cell, kColumns>;

struct Sheet
{
    std::vector<Row> rows; // sheet row 2 first
    bool moreRows = false; // the sheet holds values below row 6001, where no goods row is
    friend bool operator==(const Sheet &, const Sheet &) = default;
};

// A row of plain values, the first kColumns of `texts` (the reader's tests and benchmarks).
Row TextRow(const QStringList &texts);

QByteArray Encode(const Sheet &sheet);
// Nothing when the bytes are not exactly what Encode makes (cut off, too many
// rows, an unknown kind of cell).
std::optional<Sheet> Decode(const QByteArray &bytes);
} // namespace XlsCells
