#include "XlsBook.h"

#include "BiffFormulas.h"
#include "SheetCollector.h"

#include <QByteArray>

#include <freexl.h>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>

using namespace Qt::StringLiterals;

namespace {
// The most of a workbook stream read for its formulas: far more than any goods list takes.
constexpr qint64 kMaxStream = 64 * 1024 * 1024;

// Closes the workbook on every path out.
class FreeXlBook
{
public:
    explicit FreeXlBook(const char *fileName) { m_status = freexl_open(fileName, &m_handle); }
    ~FreeXlBook()
    {
        if (m_handle)
            freexl_close(m_handle);
    }
    FreeXlBook(const FreeXlBook &) = delete;
    FreeXlBook &operator=(const FreeXlBook &) = delete;

    int status() const { return m_status; }
    const void *handle() const { return m_handle; }

private:
    const void *m_handle = nullptr;
    int m_status = FREEXL_OK;
};

// A GObject reference given back on every path out.
template <typename T> struct GRef
{
    T *p = nullptr;
    ~GRef()
    {
        if (p)
            g_object_unref(p);
    }
};

// The workbook stream of the compound file, or nothing (none, larger than kMaxStream, unreadable).
std::optional<QByteArray> WorkbookStream(const char *fileName)
{
    GRef<GsfInput> input { gsf_input_stdio_new(fileName, nullptr) };
    if (!input.p)
        return std::nullopt;
    GRef<GsfInfile> ole { gsf_infile_msole_new(input.p, nullptr) };
    if (!ole.p)
        return std::nullopt;
    GRef<GsfInput> stream { gsf_infile_child_by_name(ole.p, "Workbook") };
    if (!stream.p)
        stream.p = gsf_infile_child_by_name(ole.p, "Book"); // Excel 5.0/95
    if (!stream.p)
        return std::nullopt;
    const gsf_off_t size = gsf_input_size(stream.p);
    if (size < 0 || size > kMaxStream)
        return std::nullopt;
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    if (size > 0 && !gsf_input_read(stream.p, size_t(size), reinterpret_cast<guint8 *>(bytes.data())))
        return std::nullopt;
    return bytes;
}

XlsCells::Cell CellOf(const void *book, unsigned int row, unsigned short col)
{
    FreeXL_CellValue cell;
    if (freexl_get_cell_value(book, row, col, &cell) != FREEXL_OK)
        return {};
    const auto text = [&] { return cell.value.text_value ? QString::fromUtf8(cell.value.text_value) : QString(); };
    switch (cell.type) {
    case FREEXL_CELL_INT:
        return { QString::number(cell.value.int_value) };
    case FREEXL_CELL_DOUBLE:
        return { BiffFormulas::NumberText(cell.value.double_value) };
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        return { text() };
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return { text(), XlsCells::Kind::Date };
    default:
        return {};
    }
}

int OpenFailure(int status)
{
    switch (status) {
    case FREEXL_FILE_NOT_FOUND:
        return XlsCells::NotFound;
    case FREEXL_INSUFFICIENT_MEMORY:
        return XlsCells::NoMemory;
    default:
        return XlsCells::Damaged;
    }
}

// The goods cell at FreeXL's row and column: the formula's result where there is one.
XlsCells::Cell GoodsCell(const void *book, const BiffFormulas::Results &formulas, unsigned int row, unsigned short col)
{
    const auto formula = formulas.find({ row, col });
    return formula != formulas.end() ? formula->second : CellOf(book, row, col);
}
} // namespace

int ReadXlsBook(const char *fileName, XlsCells::Sheet &sheet)
{
    const FreeXlBook book(fileName);
    if (book.status() != FREEXL_OK)
        return OpenFailure(book.status());
    unsigned int info = 0;
    if (freexl_get_info(book.handle(), FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
        return XlsCells::Password;
    if (freexl_get_info(book.handle(), FREEXL_BIFF_SHEET_COUNT, &info) != FREEXL_OK || info == 0)
        return XlsCells::NoSheets;
    unsigned int lastRow = 0;
    unsigned short lastCol = 0;
    if (freexl_select_active_worksheet(book.handle(), 0) != FREEXL_OK
        || freexl_worksheet_dimensions(book.handle(), &lastRow, &lastCol) != FREEXL_OK)
        return XlsCells::BadSheet;

    // Sheet row r, column c (both from 1) is the file's row r - 1, column c - 1; row 1 is the heading.
    // The formulas of every row, those below the goods rows too: a value there is reported.
    const BiffFormulas::Area area { 1, 0xFFFF, XlsCells::kFirstColumn - 1,
        XlsCells::kFirstColumn + XlsCells::kColumns - 2 };
    const std::optional<QByteArray> stream = WorkbookStream(fileName);
    const std::optional<BiffFormulas::Results> formulas = stream ? BiffFormulas::Read(*stream, area) : std::nullopt;
    // Without them an empty cell could be a formula not read: no cell is taken as empty then.
    if (!formulas)
        return XlsCells::Damaged;

    SheetCollector out;
    const unsigned int lastSheetRow = qMin<unsigned int>(lastRow, 0xFFFF);
    for (unsigned int r = 2; r <= lastSheetRow; ++r) {
        for (int c = XlsCells::kFirstColumn; c < XlsCells::kFirstColumn + XlsCells::kColumns; ++c) {
            XlsCells::Cell cell = c <= lastCol ? GoodsCell(book.handle(), *formulas, r - 1, (unsigned short)(c - 1))
                                               : XlsCells::Cell {};
            // Huge cells (a cell takes 32767 characters) would otherwise take the
            // process to its memory bound and end it as if the book were damaged.
            if (const std::optional<int> end = out.put(r, quint64(c), std::move(cell))) {
                if (*end != 0)
                    return *end;
                r = lastSheetRow; // a value below the goods rows: nothing more is needed
            }
        }
    }
    out.extendTo(lastSheetRow);
    sheet = out.take();
    return 0;
}
