#include "pages/xlsTool.h"

#include "config/NumberText.h"
#include "config/SafeFile.h"
#include "kkt/FileLocations.h"
#include "pages/Grids102.h"
#include "pages/XlsCells.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <limits>

using namespace Qt::StringLiterals;

namespace {
QString MarkOf(const QString &text)
{
    const QString t = text.trimmed();
    return t == u"м"_s || t == u"М"_s ? u"м"_s : QString();
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
    const bool ok
        = ParseDecimal(whole, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()).has_value();
    return ok ? whole + u".00"_s : zero;
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

    std::vector<GoodsCells> rows(GoodsRows::kCount, GoodsRows::Defaults());
    int count = 0;
    for (const QStringList &sheetRow : *reading.rows)
        rows[size_t(count++)] = GoodsOfSheetRow(sheetRow);
    GoodsRows::ApplyAll(grid, rows);
    return PageResult::Success({}, count);
}

GoodsCells GoodsOfSheetRow(const QStringList &sheetRow)
{
    // The reader's columns: sheet columns 3 (barcode), 4 (name), 5 (section), 6 (price), 7 (marking).
    const auto cell = [&](int sheetColumn) { return sheetRow.at(sheetColumn - XlsCells::kFirstColumn); };
    GoodsCells row = GoodsRows::Defaults();
    row[GoodsCol::Name - 1] = GoodsRows::StoredName(cell(XlsColumn::Name));
    row[GoodsCol::Barcode - 1] = cell(XlsColumn::Barcode);
    row[GoodsCol::Price - 1] = NormPrice(cell(XlsColumn::Price));
    row[GoodsCol::Section - 1] = cell(XlsColumn::Section);
    row[GoodsCol::Mark - 1] = MarkOf(cell(XlsColumn::Mark));
    return row;
}
