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

SheetRowLook LookAt(const QStringList &sheetRow)
{
    const auto cell = [&](int sheetColumn) { return sheetRow.at(sheetColumn - XlsCells::kFirstColumn).trimmed(); };
    SheetRowLook look;
    look.filled = std::any_of(sheetRow.cbegin(), sheetRow.cend(), [](const QString &c) { return !c.isEmpty(); });
    const QString barcode = cell(XlsColumn::Barcode);
    const QString name = cell(XlsColumn::Name);
    const QString price = cell(XlsColumn::Price);
    look.misfit = (!barcode.isEmpty() && !IsDecimalDigits(barcode)) || (!price.isEmpty() && !PriceOfCell(price))
        || (!name.isEmpty() && PriceOfCell(name));
    return look;
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

QString Damaged()
{
    return u"файл повреждён или не является книгой Excel 97-2003 (*.xls)."_s;
}

QString ExitReason(int code)
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
    default:
        return Damaged();
    }
}

// The reader's cells, or the reason there are none.
struct Reading
{
    std::optional<std::vector<QStringList>> rows;
    QString reason;
};

Reading RunReader(const QString &fileName, const XlsReader &reader)
{
    QProcess process;
    process.setProgram(reader.program);
    process.setArguments({ fileName });
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(reader.timeOutMs))
        return { std::nullopt,
            u"не запускается программа чтения книг \"%1\" (%2)."_s.arg(
                QDir::toNativeSeparators(reader.program), process.errorString()) };
    if (!process.waitForFinished(reader.timeOutMs)) {
        process.kill();
        process.waitForFinished(-1);
        return { std::nullopt,
            u"чтение книги не закончилось за %1 с; файл, вероятно, повреждён."_s.arg((reader.timeOutMs + 999) / 1000) };
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return { std::nullopt, u"файл повреждён: чтение книги завершилось аварийно."_s };
    if (process.exitCode() != 0)
        return { std::nullopt, ExitReason(process.exitCode()) };
    std::optional<std::vector<QStringList>> rows = XlsCells::Decode(process.readAllStandardOutput());
    if (!rows)
        return { std::nullopt, Damaged() };
    return { std::move(rows), {} };
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

PageResult LoadXls(const QString &fileName, StringGridModel &grid, const XlsReader &reader)
{
    if (!QFileInfo::exists(fileName))
        return Unreadable(fileName, ExitReason(XlsCells::NotFound));
    // The library opens the file by name: a FIFO would hang the reader, a huge file cost its time.
    QString refused;
    if (!SafeFile::CheckReadable(fileName, &refused))
        return PageResult::Failure(u"ВНИМАНИЕ!\r\n"_s + refused);
    const Reading reading = RunReader(fileName, reader);
    if (!reading.rows)
        return Unreadable(fileName, reading.reason);

    return ImportXlsRows(fileName, *reading.rows, grid);
}

QString XlsLayoutMisfit(const QString &fileName, const std::vector<QStringList> &rows)
{
    int filled = 0;
    int misfits = 0;
    for (const QStringList &sheetRow : rows) {
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

PageResult ImportXlsRows(const QString &fileName, const std::vector<QStringList> &rows, StringGridModel &grid)
{
    if (const QString misfit = XlsLayoutMisfit(fileName, rows); !misfit.isEmpty())
        return PageResult::Failure(misfit);
    ImportReport report;
    std::vector<GoodsCells> goods(GoodsRows::kCount, GoodsRows::Defaults());
    for (size_t i = 0; i < rows.size() && i < goods.size(); ++i)
        goods[i] = GoodsOfSheetRow(int(i + 1), rows[i], report);
    GoodsRows::ApplyAll(grid, goods);
    report.finish(grid);
    return PageResult::Success(report.text(), int(rows.size()));
}

GoodsCells GoodsOfSheetRow(int goodsRow, const QStringList &sheetRow, ImportReport &report)
{
    // The reader's columns: sheet columns 3 (barcode), 4 (name), 5 (section), 6 (price), 7 (marking).
    const auto cell = [&](int sheetColumn) { return sheetRow.at(sheetColumn - XlsCells::kFirstColumn); };
    GoodsCells row = GoodsRows::Defaults();
    if (LookAt(sheetRow).filled)
        report.beginRow(goodsRow);
    row[GoodsCol::Name - 1] = report.takeName(goodsRow, cell(XlsColumn::Name));
    row[GoodsCol::Barcode - 1] = report.takeBarcode(goodsRow, cell(XlsColumn::Barcode));
    const QString priceText = cell(XlsColumn::Price);
    const std::optional<QString> price = PriceOfCell(priceText);
    row[GoodsCol::Price - 1] = price ? *price : report.refuse(goodsRow, GoodsCol::Price, priceText, u"цена не число"_s);
    row[GoodsCol::Section - 1] = cell(XlsColumn::Section);
    row[GoodsCol::Mark - 1] = MarkOf(cell(XlsColumn::Mark));
    return row;
}
