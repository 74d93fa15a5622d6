#pragma once

#include "pages/XlsCells.h"

#include <optional>

// The goods cells of a worksheet as a reader finds them, kept within the
// bounds of what the program takes: sheet rows 2 .. 6001, the goods columns,
// at most XlsCells::kMaxTextChars characters.
class SheetCollector
{
public:
    static constexpr quint64 kLastRow = XlsCells::kMaxRows + 1;

    // Row and column from 1, as the sheet shows them. Nothing while the
    // reader goes on (the cell kept, or outside the goods columns), else
    // how it ends: 0 at a value below the last goods row (nothing more is
    // needed), XlsCells::TooMuchText past the text bound.
    std::optional<int> put(quint64 sheetRow, quint64 sheetColumn, XlsCells::Cell cell);
    // The rows up to sheetRow are there, empty ones included.
    void extendTo(quint64 sheetRow);
    XlsCells::Sheet take() { return std::move(m_sheet); }

    static bool IsEmpty(const XlsCells::Cell &cell)
    {
        return cell.text.isEmpty() && cell.kind == XlsCells::Kind::Value;
    }

private:
    XlsCells::Sheet m_sheet;
    qint64 m_chars = 0;
};
