#include "pages/xlsTool.h"

#include "config/NumberText.h"
#include "config/SafeFile.h"
#include "kkt/FileLocations.h"
#include "pages/Grids102.h"
#include "pages/ImportReport.h"
#include "pages/XlsCells.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {
QString MarkOf(const QString &text)
{
    const QString t = text.trimmed();
    return t == u"м"_s || t == u"М"_s ? u"м"_s : QString();
}

// Sheet column 1, 2, ... as the sheet names it: A, B, ... (the columns read are among the first 26).
QString ColumnLetter(int column)
{
    return QString(QChar(u'A' + (column - 1)));
}

// How a sheet row of the reader's cells looks beside the columns it should fill.
struct SheetRowLook
{
    bool filled = false; // any of its cells holds something
    bool misfit = false; // a barcode that is no number, a price that is none, a number for a name
};

const XlsCells::Cell &CellOf(const XlsCells::Row &sheetRow, int sheetColumn)
{
    return sheetRow[size_t(sheetColumn - XlsCells::kFirstColumn)];
}

SheetRowLook LookAt(const XlsCells::Row &sheetRow)
{
    const auto cell = [&](int sheetColumn) { return CellOf(sheetRow, sheetColumn).text.trimmed(); };
    SheetRowLook look;
    look.filled = std::any_of(sheetRow.cbegin(), sheetRow.cend(),
        [](const XlsCells::Cell &c) { return !c.text.isEmpty() || c.kind != XlsCells::Kind::Value; });
    const QString barcode = cell(XlsColumn::Barcode);
    const QString name = cell(XlsColumn::Name);
    const QString price = cell(XlsColumn::Price);
    look.misfit = (!barcode.isEmpty() && !IsDecimalDigits(barcode)) || (!price.isEmpty() && !PriceOfCell(price))
        || (!name.isEmpty() && PriceOfCell(name));
    return look;
}

// Why a cell gives no value to its goods column, or nothing when it gives one.
std::optional<QString> NoValue(const XlsCells::Cell &cell, int goodsCol)
{
    switch (cell.kind) {
    case XlsCells::Kind::FormulaUnread:
        return u"ячейка с формулой не прочитана"_s;
    case XlsCells::Kind::FormulaError:
        return u"ошибка в формуле"_s;
    case XlsCells::Kind::Date:
        // A date's serial number would pass for a price.
        return goodsCol == GoodsCol::Price ? std::optional(u"в ячейке цены дата"_s) : std::nullopt;
    case XlsCells::Kind::Value:
        break;
    }
    return std::nullopt;
}

// The columns the import reads, one a line, for the message that refuses a workbook laid out otherwise.
QString ExpectedLayout()
{
    return u"Ожидается первый лист книги: строка 1 — заголовок, со строки 2 — по товару в строке (строка 2 — "
           u"товар с кодом 1), в столбцах:\r\n%1 — штрих-код (цифры);\r\n%2 — наименование;\r\n%3 — "
           u"отдел/услуга;\r\n%4 — цена (12.50 или 12,50);\r\n%5 — маркировка («м» или пусто).\r\n"
           u"Остальные столбцы не читаются."_s.arg(ColumnLetter(XlsColumn::Barcode), ColumnLetter(XlsColumn::Name),
               ColumnLetter(XlsColumn::Section), ColumnLetter(XlsColumn::Price), ColumnLetter(XlsColumn::Mark));
}

PageResult Unreadable(const QString &fileName, const QString &reason)
{
    return PageResult::Failure(u"ВНИМАНИЕ!\r\nНе удалось загрузить файл \"%1\": %2"_s.arg(fileName, reason));
}

// A zipped workbook (by its name) or an Excel 97-2003 one.
bool IsZippedBook(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return suffix == u"xlsx"_s || suffix == u"ods"_s;
}

QString Damaged(const QString &fileName)
{
    return IsZippedBook(fileName) ? u"файл повреждён или не является книгой Excel (*.xlsx) или OpenDocument (*.ods)."_s
                                  : u"файл повреждён или не является книгой Excel 97-2003 (*.xls)."_s;
}

QString ExitReason(const QString &fileName, int code)
{
    switch (code) {
    case XlsCells::NotFound:
        return u"файл не найден или недоступен."_s;
    case XlsCells::NoMemory:
        return u"книга слишком велика: для её чтения не хватило памяти (больше 1 ГБ)."_s;
    case XlsCells::TooMuchText:
        return u"книга слишком велика: в её ячейках больше %1 млн знаков, столько база товаров не вмещает."_s.arg(
            XlsCells::kMaxTextChars / 1000000);
    case XlsCells::Password:
        return u"книга защищена паролем."_s;
    case XlsCells::NoSheets:
        return u"в книге нет листов."_s;
    case XlsCells::BadSheet:
        return u"первый лист книги повреждён (неверный размер листа)."_s;
    case XlsCells::TooLarge:
        return u"книга слишком велика: её лист или список строк занимает без сжатия больше %1 МБ."_s.arg(
            XlsCells::kMaxPartBytes / (1024 * 1024));
    case XlsCells::NotWorkbook:
        return u"это zip-архив, но не книга Excel (*.xlsx) и не таблица OpenDocument (*.ods)."_s;
    default:
        return Damaged(fileName);
    }
}

XlsReading RunReader(const QString &fileName, const XlsReader &reader)
{
    QProcess process;
    StartReader(process, fileName, reader);
    if (!process.waitForStarted(reader.timeOutMs))
        return { std::nullopt, ReaderNotStarted(reader, process.errorString()) };
    if (!process.waitForFinished(reader.timeOutMs)) {
        process.kill();
        process.waitForFinished(-1);
        return { std::nullopt, ReaderTimedOut(reader) };
    }
    return ReadingOf(process, fileName);
}
} // namespace

XlsReader XlsReader::Default()
{
    // Beside the program in a build or a portable copy, else in the package's
    // own library folder. Never looked up through PATH: another program of
    // that name must not read the user's workbooks.
    const QString folder = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    const QString beside = folder + u"/kkt-xls-reader"_s;
    const QString installed = InstalledHelperFolder(folder) + u"/kkt-xls-reader"_s;
    return { QFileInfo::exists(beside) || !QFileInfo::exists(installed) ? beside : installed, 5000 };
}

std::optional<QString> PriceOfCell(const QString &text)
{
    if (text.contains(u'.') || text.contains(u',')) {
        QString price = text;
        const qsizetype comma = price.indexOf(u',');
        if (comma >= 0)
            price[comma] = u'.';
        return IsPriceNumber(price) ? std::optional(price) : std::nullopt;
    }
    const QString whole = text.isEmpty() ? u"0"_s : text;
    const bool ok
        = ParseDecimal(whole, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()).has_value();
    return ok ? std::optional(whole + u".00"_s) : std::nullopt;
}

QString NormPrice(const QString &text)
{
    return PriceOfCell(text).value_or(u"0.00"_s);
}

void StartReader(QProcess &process, const QString &fileName, const XlsReader &reader)
{
    process.setProgram(reader.program);
    process.setArguments({ fileName });
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
}

QString ReaderNotStarted(const XlsReader &reader, const QString &error)
{
    return u"не запускается программа чтения книг \"%1\" (%2)."_s.arg(QDir::toNativeSeparators(reader.program), error);
}

QString ReaderTimedOut(const XlsReader &reader)
{
    return u"чтение книги не закончилось за %1 с; файл, вероятно, повреждён."_s.arg((reader.timeOutMs + 999) / 1000);
}

XlsReading ReadingOf(QProcess &process, const QString &fileName)
{
    if (process.exitStatus() != QProcess::NormalExit)
        return { std::nullopt, u"файл повреждён: чтение книги завершилось аварийно."_s };
    if (process.exitCode() != 0)
        return { std::nullopt, ExitReason(fileName, process.exitCode()) };
    std::optional<XlsCells::Sheet> sheet = XlsCells::Decode(process.readAllStandardOutput());
    if (!sheet)
        return { std::nullopt, Damaged(fileName) };
    return { std::move(sheet), {} };
}

std::optional<PageResult> RefuseBeforeReading(const QString &fileName)
{
    if (!QFileInfo::exists(fileName))
        return Unreadable(fileName, ExitReason(fileName, XlsCells::NotFound));
    // The library opens the file by name: a FIFO would hang the reader, a huge file cost its time.
    QString refused;
    if (!SafeFile::CheckReadable(fileName, &refused))
        return PageResult::Failure(u"ВНИМАНИЕ!\r\n"_s + refused);
    return std::nullopt;
}

PageResult ImportReading(const QString &fileName, const XlsReading &reading, StringGridModel &grid)
{
    if (!reading.sheet)
        return Unreadable(fileName, reading.reason);
    return ImportXlsRows(fileName, *reading.sheet, grid);
}

PageResult LoadXls(const QString &fileName, StringGridModel &grid, const XlsReader &reader)
{
    if (std::optional<PageResult> refused = RefuseBeforeReading(fileName))
        return *refused;
    return ImportReading(fileName, RunReader(fileName, reader), grid);
}

QString XlsLayoutMisfit(const QString &fileName, const std::vector<XlsCells::Row> &rows)
{
    int filled = 0;
    int misfits = 0;
    for (const XlsCells::Row &sheetRow : rows) {
        const SheetRowLook look = LookAt(sheetRow);
        filled += look.filled ? 1 : 0;
        misfits += look.misfit ? 1 : 0;
    }
    // A few bad rows are the workbook's own slips, refused cell by cell; most
    // of them mean columns in other places. A sheet with rows but nothing in
    // these columns would only clear the goods.
    if (rows.empty() || (filled > 0 && misfits * 2 <= filled))
        return {};
    const QString found = filled == 0
        ? u"в столбцах %1–%2 нет ни одного значения"_s.arg(
            ColumnLetter(XlsCells::kFirstColumn), ColumnLetter(XlsCells::kFirstColumn + XlsCells::kColumns - 1))
        : u"в %1 из %2 строк с данными в столбце %3 не штрих-код, в столбце %4 не цена или в столбце %5 число "
          u"вместо наименования"_s.arg(misfits)
              .arg(filled)
              .arg(ColumnLetter(XlsColumn::Barcode), ColumnLetter(XlsColumn::Price), ColumnLetter(XlsColumn::Name));
    return u"ВНИМАНИЕ!\r\nКнига \"%1\" не загружена: её столбцы расположены не так, как ждёт программа (%2).\r\n"_s.arg(
               fileName, found)
        + ExpectedLayout() + u" База товаров не изменена."_s;
}

PageResult ImportXlsRows(const QString &fileName, const XlsCells::Sheet &sheet, StringGridModel &grid)
{
    const std::vector<XlsCells::Row> &rows = sheet.rows;
    if (const QString misfit = XlsLayoutMisfit(fileName, rows); !misfit.isEmpty())
        return PageResult::Failure(misfit);
    ImportReport report;
    std::vector<GoodsCells> goods(GoodsRows::kCount, GoodsRows::Defaults());
    for (size_t i = 0; i < rows.size() && i < goods.size(); ++i)
        goods[i] = GoodsOfSheetRow(int(i + 1), rows[i], report);
    GoodsRows::ApplyAll(grid, goods);
    report.finish(grid);
    QString text = report.text();
    if (sheet.moreRows)
        text += u"\r\n\r\nСтроки листа ниже %1-й не загружены: в базе товаров %2 строк."_s.arg(XlsColumn::kLastRow)
                    .arg(GoodsRows::kCount);
    return PageResult::Success(text, int(rows.size()));
}

GoodsCells GoodsOfSheetRow(int goodsRow, const XlsCells::Row &sheetRow, ImportReport &report)
{
    GoodsCells row = GoodsRows::Defaults();
    if (LookAt(sheetRow).filled)
        report.beginRow(goodsRow);
    // Each goods column from its sheet column: a cell without a value the
    // grid could take is refused and marked, never taken as empty.
    const auto take = [&](int sheetColumn, int goodsCol, const auto &convert) {
        const XlsCells::Cell &cell = CellOf(sheetRow, sheetColumn);
        const std::optional<QString> why = NoValue(cell, goodsCol);
        row[size_t(goodsCol - 1)] = why ? report.refuse(goodsRow, goodsCol, cell.text, *why) : convert(cell.text);
    };
    take(XlsColumn::Name, GoodsCol::Name, [&](const QString &t) { return report.takeName(goodsRow, t); });
    take(XlsColumn::Barcode, GoodsCol::Barcode, [&](const QString &t) { return report.takeBarcode(goodsRow, t); });
    take(XlsColumn::Price, GoodsCol::Price, [&](const QString &t) {
        const std::optional<QString> price = PriceOfCell(t);
        return price ? *price : report.refuse(goodsRow, GoodsCol::Price, t, u"цена не число"_s);
    });
    take(XlsColumn::Section, GoodsCol::Section, [](const QString &t) { return t; });
    take(XlsColumn::Mark, GoodsCol::Mark, [](const QString &t) { return MarkOf(t); });
    return row;
}

bool IsWorkbookFile(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return suffix == u"xls"_s || IsZippedBook(fileName);
}
