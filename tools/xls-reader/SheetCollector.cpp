#include "SheetCollector.h"

std::optional<int> SheetCollector::put(quint64 sheetRow, quint64 sheetColumn, XlsCells::Cell cell)
{
    if (sheetColumn < quint64(XlsCells::kFirstColumn)
        || sheetColumn >= quint64(XlsCells::kFirstColumn + XlsCells::kColumns) || sheetRow < 2)
        return std::nullopt;
    if (sheetRow > kLastRow) {
        if (IsEmpty(cell))
            return std::nullopt;
        m_sheet.moreRows = true;
        return 0;
    }
    m_chars += cell.text.size();
    if (m_chars > XlsCells::kMaxTextChars)
        return XlsCells::TooMuchText;
    extendTo(sheetRow);
    m_sheet.rows[size_t(sheetRow - 2)][size_t(sheetColumn - XlsCells::kFirstColumn)] = std::move(cell);
    return std::nullopt;
}

void SheetCollector::extendTo(quint64 sheetRow)
{
    const quint64 rows = qMin(sheetRow, kLastRow) - qMin<quint64>(sheetRow, 1);
    if (m_sheet.rows.size() < rows)
        m_sheet.rows.resize(size_t(rows));
}
