#include "pages/GoodsCsv.h"

#include "config/SafeFile.h"
#include "pages/Delimited.h"
#include "pages/GoodsRows.h"
#include "pages/GoodsSheet.h"
#include "pages/XlsCells.h"
#include "pages/xlsTool.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
QString NotLoaded(const QString &path, const QString &reason)
{
    return u"ВНИМАНИЕ!\r\nФайл \"%1\" не загружен: %2 База товаров не изменена."_s.arg(path, reason);
}

QChar SeparatorFor(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"tsv"_s || suffix == u"txt"_s ? u'\t' : u';';
}

QString CsvCell(const QString &text, GoodsSheet::Kind kind, QChar separator)
{
    if (kind == GoodsSheet::Kind::Code)
        return QuoteCell(text);
    if (kind == GoodsSheet::Kind::Price && PriceAsNumber(text)) {
        QString price = text;
        return price.replace(u'.', u',');
    }
    const bool quote = text.contains(separator) || text.contains(u'"') || text.contains(u'\r') || text.contains(u'\n');
    return quote ? QuoteCell(text) : text;
}

QString CsvLine(const QStringList &cells, QChar separator)
{
    QStringList out;
    for (qsizetype i = 0; i < cells.size(); ++i)
        out << CsvCell(cells[i], GoodsSheet::KindOf(int(i + 1)), separator);
    return out.join(separator) + u"\r\n"_s;
}
} // namespace

std::optional<std::vector<QStringList>> SheetRowsOfCsv(
    const QString &path, const QByteArray &bytes, QString *refusal, bool *moreRows)
{
    const QString text = DecodeDelimitedBytes(bytes);
    // A workbook or any other binary file given for text.
    if (text.contains(QChar(0))) {
        *refusal = NotLoaded(path,
            u"это не текстовый файл CSV (в нём есть нулевые байты); книгу Excel или LibreOffice загрузите "
            u"пунктом \"Загрузить из 1С (формат *.xls)\"."_s);
        return std::nullopt;
    }
    const SeparatorLine named = ExcelSeparatorLine(text);
    const QStringView body = QStringView(text).sliced(named.length);
    DelimitedReader reader(body, named.length > 0 ? named.separator : DetectSeparator(body));
    std::vector<QStringList> rows;
    QStringList cells;
    // The heading, then at most the rows the base holds; the rest has no goods row, as in a workbook.
    for (qsizetype record = 0;
         record <= XlsCells::kMaxRows && reader.next(cells, XlsCells::kFirstColumn - 1, XlsCells::kColumns); ++record) {
        if (reader.unclosedQuote()) {
            *refusal = NotLoaded(path,
                u"кавычка, открытая в строке %1, не закрыта до конца файла, и где кончается ячейка, "
                u"не понять."_s.arg(reader.recordLine() + (named.length > 0 ? 1 : 0)));
            return std::nullopt;
        }
        if (record > 0)
            rows.push_back(cells);
    }
    // Records below the last goods row are not loaded; the import says so, as for a workbook.
    if (moreRows) {
        *moreRows = false;
        while (!*moreRows && reader.next(cells, XlsCells::kFirstColumn - 1, XlsCells::kColumns))
            *moreRows = std::any_of(cells.cbegin(), cells.cend(), [](const QString &c) { return !c.isEmpty(); });
    }
    return rows;
}

PageResult ImportGoodsCsv(const QString &path, StringGridModel &goods)
{
    QString error;
    const std::optional<QByteArray> bytes = SafeFile::ReadAll(path, &error);
    if (!bytes)
        return PageResult::Failure(u"ВНИМАНИЕ!\r\n"_s + error);
    XlsCells::Sheet sheet;
    const std::optional<std::vector<QStringList>> rows = SheetRowsOfCsv(path, *bytes, &error, &sheet.moreRows);
    if (!rows)
        return PageResult::Failure(error);
    sheet.rows.reserve(rows->size());
    for (const QStringList &cells : *rows)
        sheet.rows.push_back(XlsCells::TextRow(cells));
    return ImportXlsRows(path, sheet, goods);
}

QByteArray GoodsCsvBytes(const StringGridModel &goods, QChar separator)
{
    QString text;
    text.reserve(GoodsRows::kCount * 48);
    text += CsvLine(GoodsSheet::Heading(), separator);
    for (int row = 1; row <= GoodsRows::kCount; ++row)
        text += CsvLine(GoodsSheet::Cells(goods, row), separator);
    return "\xEF\xBB\xBF" + text.toUtf8();
}

PageResult ExportGoodsCsv(const QString &path, const StringGridModel &goods)
{
    QString error;
    if (!SafeFile::WriteAll(path, GoodsCsvBytes(goods, SeparatorFor(path)), &error))
        return PageResult::Failure(u"ВНИМАНИЕ!\r\n"_s + error);
    return PageResult::Success(u"Файл успешно сохранен!"_s, GoodsRows::kCount);
}
