#include "pages/xlsTool.h"

#include "config/NumberText.h"
#include "config/SafeFile.h"
#include "pages/Grids102.h"

#include <QFile>
#include <QLocale>

#include <freexl.h>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {
// Closes the workbook on every path out.
class XlsBook
{
public:
    explicit XlsBook(const QString &fileName)
    {
        m_status = freexl_open(QFile::encodeName(fileName).constData(), &m_handle);
    }
    ~XlsBook()
    {
        if (m_handle)
            freexl_close(m_handle);
    }
    XlsBook(const XlsBook &) = delete;
    XlsBook &operator=(const XlsBook &) = delete;

    int status() const { return m_status; }
    const void *handle() const { return m_handle; }

private:
    const void *m_handle = nullptr;
    int m_status = FREEXL_OK;
};

// Numbers are shown as Excel's general format shows them: no exponent, no
// trailing zeros (a barcode 4600000000001 stays 4600000000001).
QString CellText(const void *book, unsigned int row, unsigned short col)
{
    FreeXL_CellValue cell;
    if (freexl_get_cell_value(book, row, col, &cell) != FREEXL_OK)
        return {};
    switch (cell.type) {
    case FREEXL_CELL_INT:
        return QString::number(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return std::isfinite(cell.value.double_value)
            ? QString::number(cell.value.double_value, 'f', QLocale::FloatingPointShortest)
            : QString();
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return cell.value.text_value ? QString::fromUtf8(cell.value.text_value) : QString();
    default:
        return {};
    }
}

QString MarkOf(const QString &text)
{
    const QString t = text.trimmed();
    return t == u"м"_s || t == u"М"_s ? u"м"_s : QString();
}

GoodsFileResult Unreadable(const QString &fileName, const QString &reason)
{
    return GoodsFileResult::Failure(u"ВНИМАНИЕ!\r\nНе удалось загрузить файл \"%1\": %2"_s.arg(fileName, reason));
}

QString OpenFailure(int status)
{
    switch (status) {
    case FREEXL_FILE_NOT_FOUND:
        return u"файл не найден или недоступен."_s;
    case FREEXL_INSUFFICIENT_MEMORY:
        return u"недостаточно памяти."_s;
    default:
        return u"файл повреждён или не является книгой Excel 97-2003 (*.xls)."_s;
    }
}
} // namespace

QString NormPrice(const QString &text)
{
    const QString zero = u"0.00"_s;
    if (text.contains(u'.') || text.contains(u',')) {
        QString price = text;
        const qsizetype comma = price.indexOf(u',');
        if (comma >= 0)
            price[comma] = u'.';
        return IsPriceNumber(price) ? price : zero;
    }
    const QString whole = text.isEmpty() ? u"0"_s : text;
    const bool ok = ParseDecimal(whole, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max())
                        .has_value();
    return ok ? whole + u".00"_s : zero;
}

GoodsFileResult LoadXls(const QString &fileName, StringGridModel &grid)
{
    QString refused;
    if (!SafeFile::CheckReadable(fileName, &refused))
        return GoodsFileResult::Failure(u"ВНИМАНИЕ!\r\n"_s + refused);
    const XlsBook book(fileName);
    if (book.status() != FREEXL_OK)
        return Unreadable(fileName, OpenFailure(book.status()));
    unsigned int info = 0;
    if (freexl_get_info(book.handle(), FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
        return Unreadable(fileName, u"книга защищена паролем."_s);
    if (freexl_get_info(book.handle(), FREEXL_BIFF_SHEET_COUNT, &info) != FREEXL_OK || info == 0)
        return Unreadable(fileName, u"в книге нет листов."_s);
    unsigned int lastRow = 0;
    unsigned short lastCol = 0;
    if (freexl_select_active_worksheet(book.handle(), 0) != FREEXL_OK
        || freexl_worksheet_dimensions(book.handle(), &lastRow, &lastCol) != FREEXL_OK)
        return Unreadable(fileName, OpenFailure(FREEXL_CRAFTED_FILE));

    std::vector<GoodsCells> rows(GoodsRows::kCount, GoodsRows::Defaults());
    const unsigned int lastSheetRow = qMin<unsigned int>(lastRow, XlsColumn::kLastRow);
    // Sheet row r, column c (both from 1) is FreeXL's row r - 1, column c - 1.
    const auto text = [&](unsigned int r, int c) {
        return c <= lastCol ? CellText(book.handle(), r - 1, (unsigned short)(c - 1)) : QString();
    };
    int count = 0;
    for (unsigned int r = 2; r <= lastSheetRow; ++r, ++count) {
        GoodsCells &row = rows[r - 2];
        row[GoodsCol::Name - 1] = text(r, XlsColumn::Name);
        row[GoodsCol::Barcode - 1] = text(r, XlsColumn::Barcode);
        row[GoodsCol::Price - 1] = NormPrice(text(r, XlsColumn::Price));
        row[GoodsCol::Section - 1] = text(r, XlsColumn::Section);
        row[GoodsCol::Mark - 1] = MarkOf(text(r, XlsColumn::Mark));
    }
    GoodsRows::ApplyAll(grid, rows);
    return GoodsFileResult::Success({}, count);
}
