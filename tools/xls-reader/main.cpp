// kkt-xls-reader FILE: reads the goods cells of a workbook with FreeXL and
// writes them to standard output (see pages/XlsCells.h). Run by the program as
// a child process, so that a workbook that crashes or hangs the library costs
// only this process. Bounds its own memory and processor time.

#include "pages/XlsCells.h"

#include <QFile>
#include <QLocale>

#include <freexl.h>

#include <cmath>
#include <cstdio>
#include <new>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

void LimitResources()
{
#ifdef Q_OS_UNIX
    // A sanitizer reserves terabytes of address space for itself: no memory bound there.
    if (!kSanitized) {
        const rlimit memory { rlim_t(1) << 30, rlim_t(1) << 30 };
        setrlimit(RLIMIT_AS, &memory);
    }
    const rlimit cpu { 10, 10 };
    setrlimit(RLIMIT_CPU, &cpu);
#endif
}

// Closes the workbook on every path out.
class XlsBook
{
public:
    explicit XlsBook(const char *fileName) { m_status = freexl_open(fileName, &m_handle); }
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

int Read(const char *fileName)
{
    const XlsBook book(fileName);
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

    // Sheet row r, column c (both from 1) is FreeXL's row r - 1, column c - 1; row 1 is the heading.
    const unsigned int lastSheetRow = qMin<unsigned int>(lastRow, XlsCells::kMaxRows + 1);
    std::vector<QStringList> rows;
    rows.reserve(lastSheetRow > 1 ? lastSheetRow - 1 : 0);
    // Huge cells (a cell takes 32767 characters) would otherwise take the
    // process to its memory bound and end it as if the book were damaged.
    qint64 chars = 0;
    for (unsigned int r = 2; r <= lastSheetRow; ++r) {
        QStringList row;
        for (int c = XlsCells::kFirstColumn; c < XlsCells::kFirstColumn + XlsCells::kColumns; ++c) {
            row << (c <= lastCol ? CellText(book.handle(), r - 1, (unsigned short)(c - 1)) : QString());
            chars += row.constLast().size();
            if (chars > XlsCells::kMaxTextChars)
                return XlsCells::TooMuchText;
        }
        rows.push_back(row);
    }
    const QByteArray bytes = XlsCells::Encode(rows);
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) || std::fflush(stdout))
        return XlsCells::NoMemory;
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    LimitResources();
    if (argc != 2) {
        std::fputs("usage: kkt-xls-reader FILE.xls\n", stderr);
        return XlsCells::Usage;
    }
    try {
        return Read(argv[1]);
    } catch (const std::bad_alloc &) {
        // The memory bound reached: a book too large to read, not a damaged one.
        return XlsCells::NoMemory;
    }
}
