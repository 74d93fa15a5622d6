#include "pages/GoodsXlsx.h"

#include "config/SafeFile.h"
#include "pages/GoodsRows.h"
#include "pages/GoodsSheet.h"

#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <map>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
constexpr double kMinWidth = 6, kMaxWidth = 60;
constexpr int kMaxCellChars = 32767; // a cell of a workbook holds no more

QString NotSaved(const QString &path, const QString &reason)
{
    return u"ВНИМАНИЕ!\r\nФайл \"%1\" не записан: %2"_s.arg(path, reason);
}

struct WorkbookClose
{
    void operator()(lxw_workbook *book) const { workbook_close(book); }
};

// The cell formats of one workbook, made as they are first wanted.
class Formats
{
public:
    explicit Formats(lxw_workbook *book)
        : m_book(book)
    {
        m_text = workbook_add_format(book);
        format_set_num_format(m_text, "@");
        m_heading = workbook_add_format(book);
        format_set_num_format(m_heading, "@");
        format_set_bold(m_heading);
    }
    lxw_format *text() const { return m_text; }
    lxw_format *heading() const { return m_heading; }
    // "0", "0.0", "0.00", ...
    lxw_format *price(int decimals)
    {
        lxw_format *&format = m_prices[decimals];
        if (!format) {
            format = workbook_add_format(m_book);
            const QByteArray code = decimals == 0 ? "0" : "0." + QByteArray(decimals, '0');
            format_set_num_format(format, code.constData());
        }
        return format;
    }

private:
    lxw_workbook *m_book;
    lxw_format *m_text = nullptr;
    lxw_format *m_heading = nullptr;
    std::map<int, lxw_format *> m_prices;
};

class SheetWriter
{
public:
    SheetWriter(lxw_workbook *book, lxw_worksheet *sheet)
        : m_sheet(sheet)
        , m_formats(book)
    { }

    // False with the goods row and column when a cell holds more than a workbook cell can.
    bool row(lxw_row_t sheetRow, const QStringList &cells, bool heading)
    {
        for (qsizetype i = 0; i < cells.size(); ++i) {
            const QString &text = cells[i];
            m_widths[i] = qMax(m_widths[i], double(text.size()));
            if (text.isEmpty())
                continue;
            if (text.size() > kMaxCellChars)
                return false;
            const auto col = lxw_col_t(i);
            const GoodsSheet::Kind kind = GoodsSheet::KindOf(int(i + 1));
            const std::optional<PriceNumber> number
                = !heading && kind == GoodsSheet::Kind::Price ? PriceAsNumber(text) : std::nullopt;
            const lxw_error result = number
                ? worksheet_write_number(m_sheet, sheetRow, col, number->value, m_formats.price(number->decimals))
                : worksheet_write_string(m_sheet, sheetRow, col, text.toUtf8().constData(),
                    heading ? m_formats.heading() : m_formats.text());
            if (result != LXW_NO_ERROR)
                return false;
        }
        return true;
    }

    void finish()
    {
        for (int i = 0; i < GoodsSheet::kColumns; ++i) {
            const GoodsSheet::Kind kind = GoodsSheet::KindOf(i + 1);
            const double width = qBound(kMinWidth, m_widths[i] + 2, kMaxWidth);
            worksheet_set_column(m_sheet, lxw_col_t(i), lxw_col_t(i), width,
                kind == GoodsSheet::Kind::Price ? m_formats.price(2) : m_formats.text());
        }
        worksheet_freeze_panes(m_sheet, 1, 0);
    }

private:
    lxw_worksheet *m_sheet;
    Formats m_formats;
    double m_widths[GoodsSheet::kColumns] = {};
};
} // namespace

PageResult ExportGoodsXlsx(const QString &path, const StringGridModel &goods)
{
    QString error;
    if (!SafeFile::CheckWritable(path, &error))
        return PageResult::Failure(u"ВНИМАНИЕ!\r\n"_s + error);
    const QTemporaryDir work;
    if (!work.isValid())
        return PageResult::Failure(
            NotSaved(path, u"не удалось создать временную папку (%1)."_s.arg(work.errorString())));
    const QString made = work.filePath(u"goods.xlsx"_s);
    const QByteArray madeName = QFile::encodeName(made);
    QByteArray tmpdir = QFile::encodeName(work.path());
    lxw_workbook_options options {};
    options.tmpdir = tmpdir.data();
    std::unique_ptr<lxw_workbook, WorkbookClose> book(workbook_new_opt(madeName.constData(), &options));
    lxw_worksheet *sheet = book ? workbook_add_worksheet(book.get(), "Товары") : nullptr;
    if (!sheet)
        return PageResult::Failure(NotSaved(path, u"библиотеке записи книг не хватило памяти."_s));
    SheetWriter writer(book.get(), sheet);
    writer.row(0, GoodsSheet::Heading(), true);
    for (int row = 1; row <= GoodsRows::kCount; ++row)
        if (!writer.row(lxw_row_t(row), GoodsSheet::Cells(goods, row), false))
            return PageResult::Failure(NotSaved(path,
                u"в строке %1 базы ячейка длиннее %2 знаков, столько ячейка книги Excel не вмещает."_s.arg(row).arg(
                    kMaxCellChars)));
    writer.finish();
    if (const lxw_error closed = workbook_close(book.release()); closed != LXW_NO_ERROR)
        return PageResult::Failure(NotSaved(
            path, u"книгу не удалось собрать во временной папке (%1)."_s.arg(QString::fromUtf8(lxw_strerror(closed)))));
    const std::optional<QByteArray> bytes = SafeFile::ReadAll(made, &error);
    if (!bytes || !SafeFile::WriteAll(path, *bytes, &error))
        return PageResult::Failure(u"ВНИМАНИЕ!\r\n"_s + error);
    return PageResult::Success(u"Файл успешно сохранен!"_s, GoodsRows::kCount);
}
