#include "TempFiles.h"
#include "XlsxSheet.h"

#include "config/SafeFile.h"
#include "pages/GoodsCsv.h"
#include "pages/GoodsRows.h"
#include "pages/GoodsXlsx.h"
#include "pages/Grids102.h"
#include "pages/xlsTool.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Name, barcode, price, section and marking of a goods row: what a spreadsheet file carries.
QString Carried(const StringGridModel &g, int row)
{
    return QStringList { g.cell(row, 1), g.cell(row, 3), g.cell(row, 4), g.cell(row, 5), g.cell(row, 6) }.join(u'|');
}

QString AllCarried(const StringGridModel &g)
{
    QString all;
    for (int row = 1; row <= 6000; ++row)
        all += Carried(g, row) + u'\n';
    return all;
}

void SetRow(StringGridModel &g, int row, const QStringList &cells) // name, barcode, price, section, mark
{
    const int cols[] = { 1, 3, 4, 5, 6 };
    for (int i = 0; i < cells.size(); ++i)
        g.setCell(row, cols[i], cells[i]);
}

// Codes with leading zeros, prices of every shape the grid holds, texts a
// delimited file must quote, the last row.
void FillSample(StringGridModel &g)
{
    // A base as a file load leaves it: the row defaults, "0.00" among them.
    GoodsRows::ApplyAll(g, std::vector<GoodsCells>(GoodsRows::kCount, GoodsRows::Defaults()));
    SetRow(g, 1, { u"ХЛЕБ"_s, u"0012345678905"_s, u"12.50"_s, u"07"_s, u"м"_s });
    SetRow(g, 2, { u"СОК \"ЯБЛОКО\"; 1Л"_s, u"46000001"_s, u"0.5"_s, u"0"_s, QString() });
    SetRow(g, 3, { u"1/2"_s, u"0000000000000"_s, u"1999"_s, u"99"_s, QString() });
    SetRow(g, 4, { u"  ПРОБЕЛЫ, ЗАПЯТЫЕ  "_s, QString(), u"0.00"_s, u"1"_s, u"м"_s });
    SetRow(g, 5, { u"ТАБ\tВНУТРИ"_s, u"2"_s, u"9999999999.99"_s, u"0"_s, QString() });
    SetRow(g, 6000, { u"ПОСЛЕДНИЙ"_s, u"0400000000003"_s, u"0.01"_s, u"5"_s, u"м"_s });
}

// What the sample comes back as: the same, but that the import writes a
// price without decimals with two ("1999" as "1999.00"), as from any workbook.
QString Expected(const StringGridModel &g)
{
    QString all = AllCarried(g);
    return all.replace(u"|1999|"_s, u"|1999.00|"_s);
}

QByteArray Cp1251(const QString &text)
{
    QStringEncoder enc("windows-1251");
    return enc.encode(text);
}

QByteArray Utf16Le(const QString &text)
{
    QStringEncoder enc(QStringConverter::Utf16LE);
    return "\xFF\xFE" + QByteArray(enc.encode(text));
}
} // namespace

class TestGoodsSheets : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void csvExportLayout();
    void csvRoundTrip_data();
    void csvRoundTrip();
    void csvImportReadsWhatSpreadsheetsWrite_data();
    void csvImportReadsWhatSpreadsheetsWrite();
    void csvImportRefuses_data();
    void csvImportRefuses();
    void csvHugeCellsCostNoMoreThanTheirColumns();
    void csvRowsBeyondTheBaseAreLeft();

    void xlsxCellsAndFormats();
    void xlsxImportsBackIntoIdenticalRows();
    void xlsxFailedSaveKeepsThePreviousFile();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<StringGridModel> m_goods;
};

void TestGoodsSheets::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_goods = MakeGrid(TableKind::Goods);
}

void TestGoodsSheets::csvExportLayout()
{
    FillSample(*m_goods);
    QVERIFY(ExportGoodsCsv(path(u"a.csv"_s), *m_goods).ok);
    const QByteArray bytes = ReadBytes(path(u"a.csv"_s));
    const QString heading
        = u"\"Код товара\";;\"Штрих-код\";Наименование;\"Отдел/Услуга\";Цена за единицу;Маркировка\r\n"_s;
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF" + heading.toUtf8()));
    const QString rows = u"\"1\";;\"0012345678905\";ХЛЕБ;\"07\";12,50;м\r\n"
                         u"\"2\";;\"46000001\";\"СОК \"\"ЯБЛОКО\"\"; 1Л\";\"0\";0,5;\r\n"
                         u"\"3\";;\"0000000000000\";1/2;\"99\";1999;\r\n"
                         u"\"4\";;\"\";  ПРОБЕЛЫ, ЗАПЯТЫЕ  ;\"1\";0,00;м\r\n"_s;
    QVERIFY2(bytes.contains(rows.toUtf8()), bytes.left(400).constData());
    QVERIFY(bytes.endsWith(u"\"6000\";;\"0400000000003\";ПОСЛЕДНИЙ;\"5\";0,01;м\r\n"_s.toUtf8()));
    QCOMPARE(bytes.count("\r\n"), 6001);
    QCOMPARE(bytes.count('\n'), 6001); // no bare LF anywhere

    QVERIFY(ExportGoodsCsv(path(u"a.tsv"_s), *m_goods).ok);
    QVERIFY(ReadBytes(path(u"a.tsv"_s))
                .contains(u"\"5\"\t\t\"2\"\t\"ТАБ\tВНУТРИ\"\t\"0\"\t9999999999,99\t\r\n"_s.toUtf8()));
}

void TestGoodsSheets::csvRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("semicolons") << u"base.csv"_s;
    QTest::newRow("tabs") << u"base.tsv"_s;
    QTest::newRow("tabs in .txt") << u"base.TXT"_s;
}

void TestGoodsSheets::csvRoundTrip()
{
    QFETCH(QString, name);
    FillSample(*m_goods);
    QVERIFY(ExportGoodsCsv(path(name), *m_goods).ok);
    const auto back = MakeGrid(TableKind::Goods);
    back->setCell(10, 1, u"СТАРОЕ"_s);
    const PageResult loaded = ImportGoodsCsv(path(name), *back);
    QVERIFY2(loaded.ok, qPrintable(loaded.message));
    QCOMPARE(AllCarried(*back), Expected(*m_goods));
    QCOMPARE(loaded.count, 6000);
}

// What spreadsheets and accounting programs write: code pages, separators,
// quoting, line ends. Each file: a heading and goods rows 1 and 2 (and 3).
void TestGoodsSheets::csvImportReadsWhatSpreadsheetsWrite_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("rows"); // goods rows 1, 2, ... as Carried gives them

    const QString ruHeading = u"Код;Артикул;Штрих-код;Наименование;Отдел;Цена;Маркировка\r\n"_s;
    const QString ru = ruHeading + u"1;А-1;0012345678905;Хлеб;07;12,5;м\r\n2;;46000001;Сок;1;12.50;\r\n"_s;
    const QStringList ruRows { u"Хлеб|0012345678905|12.5|07|м"_s, u"Сок|46000001|12.50|1|"_s };
    QTest::newRow("UTF-8 with BOM, ;") << "\xEF\xBB\xBF" + ru.toUtf8() << ruRows;
    QTest::newRow("UTF-8 without BOM, ;") << ru.toUtf8() << ruRows;
    QTest::newRow("Windows-1251, ;") << Cp1251(ru) << ruRows;
    QTest::newRow("UTF-16 with BOM, tabs (Excel's Unicode text)")
        << Utf16Le(QString(ru).replace(u';', u'\t')) << ruRows;
    QTest::newRow("commas, quoted prices")
        << u"Код,Артикул,Штрих-код,Наименование,Отдел,Цена,Маркировка\n1,,\"0012345678905\",Хлеб,07,\"12,5\",М\n"
           u"2,,46000001,Сок,1,12.50,\n"_s.toUtf8()
        << ruRows;
    QTest::newRow("Excel's separator line") << (u"sep=;\r\n"_s + ru).toUtf8() << ruRows;
    QTest::newRow("line ends CR only, no end after the last row")
        << Cp1251(QString(ru).replace(u"\r\n"_s, u"\r"_s).chopped(1)) << ruRows;
    // A quoted cell holds separators, doubled quotes and line breaks; the
    // goods row is the record's, not the line's.
    QTest::newRow("quoting") << (ruHeading
        + u"1;\"a;b\";\"0012345678905\";\"Сок \"\"Я\"\"; 1л\";07;\"12,5\";м\r\n"
          u"2;\"две\r\nстроки\";46000001;\"Хлеб\nржаной\";1;1;\r\n3;;;\"\";;;\r\n"_s)
                                    .toUtf8()
                             << QStringList { u"Сок \"Я\"; 1л|0012345678905|12.5|07|м"_s,
                                    u"Хлеб\nржаной|46000001|1.00|1|"_s, u"||0.00||"_s };
}

void TestGoodsSheets::csvImportReadsWhatSpreadsheetsWrite()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, rows);
    QVERIFY(WriteBytes(path(u"in.csv"_s), bytes));
    const PageResult loaded = ImportGoodsCsv(path(u"in.csv"_s), *m_goods);
    QVERIFY2(loaded.ok, qPrintable(loaded.message));
    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(Carried(*m_goods, i + 1), rows[i]);
    QCOMPARE(Carried(*m_goods, int(rows.size()) + 1), u"||0.00|0|"_s); // the rest reset
}

void TestGoodsSheets::csvImportRefuses_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: made by `kind`
    QTest::addColumn<QString>("kind"); // "", "FIFO", "folder", "huge"
    QTest::addColumn<QString>("message"); // IN stands for the path

    const QString heading = u"Код;;Штрих-код;Наименование;Отдел;Цена;Маркировка\r\n"_s;
    QTest::newRow("quote never closed")
        << (heading + u"1;;4600000000001;\"Хлеб;1;12,5;\r\n2;;46000001;Сок;1;3;\r\n"_s).toUtf8() << QString()
        << u"ВНИМАНИЕ!\r\nФайл \"IN\" не загружен: кавычка, открытая в строке 2, не закрыта до конца файла, и где "
           u"кончается ячейка, не понять. База товаров не изменена."_s;
    QTest::newRow("a workbook named .csv") << QByteArray("PK\x03\x04\x14\x00\x00\x00", 8) << QString()
                                           << u"это не текстовый файл CSV (в нём есть нулевые байты)"_s;
    // Name, barcode, price, section from column A on: refused as a workbook laid out so is.
    QTest::newRow("other layout")
        << u"Наименование;Штрих-код;Цена;Отдел\r\nХлеб;4600000000001;35,5;2\r\nСок;46000001;12;1\r\n"_s.toUtf8()
        << QString() << u"ВНИМАНИЕ!\r\nКнига \"IN\" не загружена: её столбцы расположены не так"_s;
    QTest::newRow("FIFO") << QByteArray() << u"FIFO"_s << u"именованный канал (FIFO)"_s;
    QTest::newRow("folder") << QByteArray() << u"folder"_s << u"папка"_s;
    QTest::newRow("larger than any goods file") << QByteArray() << u"huge"_s << u"больше"_s;
}

void TestGoodsSheets::csvImportRefuses()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, kind);
    QFETCH(QString, message);
    const QString in = path(u"in.csv"_s);
    if (kind == u"huge"_s) {
        QFile file(in);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(SafeFile::kMaxReadSize + 1));
    } else if (!kind.isEmpty()) {
        if (!MakeNonRegular(in, kind))
            QSKIP("no such file kind here");
    } else {
        QVERIFY(WriteBytes(in, bytes));
    }
    m_goods->setCell(1, 1, u"ОСТАЁТСЯ"_s);
    m_goods->setCell(6000, 3, u"0012345678905"_s);
    const QString before = AllCarried(*m_goods);
    const PageResult loaded = ImportGoodsCsv(in, *m_goods);
    QVERIFY(!loaded.ok);
    QVERIFY2(loaded.message.contains(message.replace(u"IN"_s, in)), qPrintable(loaded.message));
    QVERIFY(loaded.message.startsWith(u"ВНИМАНИЕ!\r\n"_s));
    QCOMPARE(AllCarried(*m_goods), before);
}

// A line of 10 MB: a huge cell in a column the import reads is cut or
// refused as any other, one in a column it does not read is passed by.
void TestGoodsSheets::csvHugeCellsCostNoMoreThanTheirColumns()
{
    const QByteArray huge(10 * 1024 * 1024, 'X');
    const QByteArray file
        = "A;B;C;D;E;F;G\r\n" + huge + ";;4600000000001;" + huge + ";1;2;\r\n;;;;;;\r\n;;" + huge + ";Сок;1;2;\r\n";
    QVERIFY(WriteBytes(path(u"in.csv"_s), file));
    const PageResult loaded = ImportGoodsCsv(path(u"in.csv"_s), *m_goods);
    QVERIFY2(loaded.ok, qPrintable(loaded.message));
    QCOMPARE(Carried(*m_goods, 1), u"XXXXXXXXXXXXXXXXXXXXXXXX|4600000000001|2.00|1|"_s);
    QCOMPARE(Carried(*m_goods, 3), u"Сок||2.00|1|"_s); // the barcode refused
    QVERIFY(loaded.message.contains(u"штрих-код не число"_s));
    QVERIFY(loaded.message.size() < 4000); // the report names the cells, it does not repeat them
    QVERIFY(m_goods->markReason(3, 3, MarkKind::Adjusted).size() < 4000);
}

void TestGoodsSheets::csvRowsBeyondTheBaseAreLeft()
{
    QByteArray file = "Код;;Штрих-код;Наименование;Отдел;Цена;М\r\n";
    for (int i = 1; i <= 7000; ++i)
        file += ";;" + QByteArray::number(i) + ";;1;1;\r\n";
    QVERIFY(WriteBytes(path(u"in.csv"_s), file));
    const PageResult loaded = ImportGoodsCsv(path(u"in.csv"_s), *m_goods);
    QVERIFY2(loaded.ok, qPrintable(loaded.message));
    QCOMPARE(m_goods->cell(6000, 3), u"6000"_s);
    // Left, and said so: nothing of the file is dropped without a word.
    QCOMPARE(loaded.message,
        u"Загружено 6000 строк.\r\n\r\nСтроки листа ниже 6001-й не загружены: в базе товаров 6000 строк."_s);
}

void TestGoodsSheets::xlsxCellsAndFormats()
{
    FillSample(*m_goods);
    m_goods->setCell(7, 1, u"КОНТРОЛЬ\x01ЗНАК"_s); // from a goods file: no XML may break on it
    m_goods->setCell(8, 4, u"012.5"_s); // a price the grid holds but no number gives back
    m_goods->setCell(9, 4, u"abc"_s);
    const QString out = path(u"a.xlsx"_s);
    const PageResult saved = ExportGoodsXlsx(out, *m_goods);
    QVERIFY2(saved.ok, qPrintable(saved.message));
    QCOMPARE(saved.message, u"Файл успешно сохранен!"_s);
    QVERIFY(XlsxPartsWellFormed(out));
    const std::optional<XlsxCells> cells = ReadXlsxSheet(out);
    QVERIFY(cells);
    const auto expect = [&](const QString &ref, const QString &type, const QString &text, const QString &format) {
        const XlsxCell cell = cells->value(ref);
        const QString got = cell.type + u'|' + cell.text + u'|' + cell.format;
        QCOMPARE(got, type + u'|' + text + u'|' + format);
    };
    expect(u"A1"_s, u"s"_s, u"Код товара"_s, u"@"_s);
    expect(u"C1"_s, u"s"_s, u"Штрих-код"_s, u"@"_s);
    expect(u"F1"_s, u"s"_s, u"Цена за единицу"_s, u"@"_s);
    QVERIFY(!cells->contains(u"B1"_s) && !cells->contains(u"B2"_s));
    expect(u"A2"_s, u"s"_s, u"1"_s, u"@"_s);
    expect(u"C2"_s, u"s"_s, u"0012345678905"_s, u"@"_s);
    expect(u"D2"_s, u"s"_s, u"ХЛЕБ"_s, u"@"_s);
    expect(u"E2"_s, u"s"_s, u"07"_s, u"@"_s);
    expect(u"F2"_s, u"n"_s, u"12.5"_s, u"0.00"_s);
    expect(u"G2"_s, u"s"_s, u"м"_s, u"@"_s);
    expect(u"F3"_s, u"n"_s, u"0.5"_s, u"0.0"_s);
    expect(u"F4"_s, u"n"_s, u"1999"_s, u"0"_s);
    expect(u"D5"_s, u"s"_s, u"  ПРОБЕЛЫ, ЗАПЯТЫЕ  "_s, u"@"_s);
    expect(u"F6"_s, u"n"_s, u"9999999999.99"_s, u"0.00"_s);
    expect(u"F9"_s, u"s"_s, u"012.5"_s, u"@"_s);
    expect(u"F10"_s, u"s"_s, u"abc"_s, u"@"_s);
    expect(u"C6001"_s, u"s"_s, u"0400000000003"_s, u"@"_s);
    expect(u"F6001"_s, u"n"_s, u"0.01"_s, u"0.00"_s);
    QVERIFY(!cells->contains(u"C6002"_s));
}

// Through the program's own workbook import (the reader in its child process).
void TestGoodsSheets::xlsxImportsBackIntoIdenticalRows()
{
    FillSample(*m_goods);
    QVERIFY(ExportGoodsXlsx(path(u"a.xlsx"_s), *m_goods).ok);
    const auto back = MakeGrid(TableKind::Goods);
    const PageResult loaded = LoadXls(path(u"a.xlsx"_s), *back);
    QVERIFY2(loaded.ok, qPrintable(loaded.message));
    QCOMPARE(AllCarried(*back), Expected(*m_goods));
}

void TestGoodsSheets::xlsxFailedSaveKeepsThePreviousFile()
{
    if (!FileSizeLimit::supported())
        QSKIP("no file size limit on this system");
    const QString out = path(u"a.xlsx"_s);
    QVERIFY(WriteBytes(out, "previous"));
    FillSample(*m_goods);
    PageResult saved;
    {
        const FileSizeLimit limit(4096); // a full disk, as the save sees it
        saved = ExportGoodsXlsx(out, *m_goods);
    }
    QVERIFY(!saved.ok);
    QVERIFY2(saved.message.startsWith(u"ВНИМАНИЕ!\r\n"_s), qPrintable(saved.message));
    QCOMPARE(ReadBytes(out), QByteArray("previous"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"a.xlsx"_s });
}

QTEST_GUILESS_MAIN(TestGoodsSheets)
#include "TestGoodsSheets.moc"
