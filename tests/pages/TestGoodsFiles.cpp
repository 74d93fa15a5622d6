#include "GoodsText.h"
#include "TempFiles.h"

#include "pages/Goods1C.h"
#include "pages/GoodsDb102.h"
#include "pages/Grids102.h"
#include "pages/XlsCells.h"
#include "pages/xlsTool.h"

#include <QDir>
#include <QElapsedTimer>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
QByteArray Cp1251(const QString &text)
{
    QStringEncoder enc("windows-1251");
    return enc.encode(text);
}

QString Row(const StringGridModel &g, int row)
{
    return GoodsRowText(g, row);
}

// Rows 1..6000 as one text, to compare whole grids.
QString Snapshot(const StringGridModel &g)
{
    QString all;
    for (int row = 1; row <= 6000; ++row)
        all += Row(g, row) + u'\n';
    return all;
}

void FillSample(StringGridModel &g)
{
    g.setCell(1, 1, u"ХЛЕБ"_s);
    g.setCell(1, 2, u"Широкий"_s);
    g.setCell(1, 3, u"4600000000001"_s);
    g.setCell(1, 4, u"35.5"_s);
    g.setCell(1, 5, u"2"_s);
    g.setCell(1, 6, u"м"_s);
    g.setCell(6000, 1, u"  ЧАЙ = ; [x]  "_s);
    g.setCell(6000, 4, u"12"_s);
}

// What a load of the sample tells beyond its first line: the lower case of
// row 6000's name and the check digit of row 1's barcode, kept as they are.
const QString kSampleTold = u"\r\n\r\n1 наименование ККТ сохранит заглавными буквами (ячейки отмечены).\r\n\r\n1 "
                            u"штрих-код сканер не прочтёт (ККТ сохранит его как есть):\r\nстрока 1, «Штрих-код»: "
                            u"«4600000000001» — контрольная цифра штрих-кода неверна (должна быть 8): сканер такой код "
                            u"не прочтёт"_s;

// A 1C file of the given record lines between the SOH line and, when given, the EOT line.
QByteArray OneC(const QStringList &records, bool withEnd = true)
{
    QString text = u"\x01\r\n"_s;
    for (const QString &r : records)
        text += r + u"\r\n"_s;
    if (withEnd)
        text += u"\x04\r\n"_s;
    return Cp1251(text);
}

QString Rec(
    const QString &number, const QString &name, const QString &font = u"Узкий"_s, const QString &price = u"1.5"_s)
{
    return u"\x02%1\t%2\t%3\t4600\t%4\t7\x03"_s.arg(number, name, font, price);
}

QStringList FullRecords()
{
    QStringList records;
    for (int i = 1; i <= 6000; ++i)
        records << Rec(QString::number(i), u"Т%1"_s.arg(i));
    return records;
}
} // namespace

class TestGoodsFiles : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void db102SaveLoad();
    void db102KeepsForeignContentAndDefaults();
    void db102Failures();
    void db102ThatIsNoGoodsBase_data();
    void db102ThatIsNoGoodsBase();

    void oneCExportLayout();
    void oneCRoundTrip();
    void oneCImportRules_data();
    void oneCImportRules();
    void oneCWriteFailureKeepsFile();
    void writersRefuseWhatReadersRefuse();
    void importedNamesAreCutAsTheGridCutsThem();

    void xlsImport();
    void xlsHeadingOnly();
    void xlsUnreadable();
    void readerOutputIsCheckedBeforeItIsTaken();
    void xlsReaderFailures_data();
    void xlsReaderFailures();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<StringGridModel> m_goods;
};

void TestGoodsFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_goods = MakeGrid(TableKind::Goods);
}

void TestGoodsFiles::db102SaveLoad()
{
    FillSample(*m_goods);
    QVERIFY(SaveGoodsDb102(path(u"a.db102"_s), *m_goods).ok);
    const QByteArray bytes = ReadBytes(path(u"a.db102"_s));
    QVERIFY(
        bytes.startsWith(Cp1251(u"[ТОВАР_#1]\r\nНаименование=ХЛЕБ\r\nТип шрифта=Широкий\r\nШтрих-код=4600000000001\r\n"
                                u"Цена=35.5\r\nОтдел/Услуга=2\r\nМаркировка=м\r\n\r\n[ТОВАР_#2]\r\nНаименование=\r\n"
                                u"Тип шрифта=Узкий\r\n"_s)));
    QVERIFY(bytes.endsWith(Cp1251(u"[ТОВАР_#6000]\r\nНаименование=  ЧАЙ = ; [x]  \r\nТип шрифта=Узкий\r\nШтрих-код=\r\n"
                                  u"Цена=12\r\nОтдел/Услуга=\r\nМаркировка=\r\n\r\n"_s)));

    const auto back = MakeGrid(TableKind::Goods);
    back->setCell(3, 1, u"will be reset"_s);
    const PageResult loaded = LoadGoodsDb102(path(u"a.db102"_s), *back);
    QVERIFY(loaded.ok);
    QCOMPARE(loaded.message, u"Загружено 6000 строк."_s + kSampleTold); // every section was written
    QCOMPARE(Row(*back, 1), u"ХЛЕБ|Широкий|4600000000001|35.5|2|м"_s);
    QCOMPARE(Row(*back, 3), u"|Узкий||||"_s); // saved empty cells load empty, not as defaults
    QCOMPARE(back->cell(6000, 1), u"ЧАЙ = ; [x]"_s); // plain values lose their outer blanks
}

void TestGoodsFiles::db102KeepsForeignContentAndDefaults()
{
    WriteBytes(path(u"a.db102"_s),
        Cp1251(u"[МОЁ]\r\nk=v\r\n[товар_#1]\r\nСвой=1\r\nцена=9\r\n[ТОВАР_#2]\r\nНаименование=X\r\n"_s));
    const PageResult loaded = LoadGoodsDb102(path(u"a.db102"_s), *m_goods);
    QVERIFY(loaded.ok);
    QCOMPARE(Row(*m_goods, 1), u"|Узкий||9|0|"_s);
    QCOMPARE(Row(*m_goods, 2), u"X|Узкий||0.00|0|"_s);
    QCOMPARE(Row(*m_goods, 6000), u"|Узкий||0.00|0|"_s);

    QVERIFY(SaveGoodsDb102(path(u"a.db102"_s), *m_goods).ok);
    const QByteArray bytes = ReadBytes(path(u"a.db102"_s));
    QVERIFY(bytes.startsWith(Cp1251(u"[МОЁ]\r\nk=v\r\n\r\n[товар_#1]\r\nСвой=1\r\nЦена=9\r\nНаименование=\r\n"_s)));

    // A name typed into the open dialog that does not exist: an empty file, all rows reset.
    m_goods->setCell(5, 1, u"X"_s);
    QVERIFY(LoadGoodsDb102(path(u"new.db102"_s), *m_goods).ok);
    QVERIFY(QFile::exists(path(u"new.db102"_s)));
    QCOMPARE(Row(*m_goods, 5), u"|Узкий||0.00|0|"_s);
}

void TestGoodsFiles::db102Failures()
{
    FillSample(*m_goods);
    const QString before = Snapshot(*m_goods);
    QVERIFY(QDir(m_dir->path()).mkdir(u"dir.db102"_s));
    const PageResult load = LoadGoodsDb102(path(u"dir.db102"_s), *m_goods);
    QVERIFY(!load.ok);
    QVERIFY(load.message.startsWith(u"ВНИМАНИЕ!\r\nНе удалось открыть файл"_s));
    QCOMPARE(Snapshot(*m_goods), before);
    QVERIFY(!SaveGoodsDb102(path(u"dir.db102"_s), *m_goods).ok);
    QVERIFY(!LoadGoodsDb102(path(u"no/such/dir/a.db102"_s), *m_goods).ok);
}

void TestGoodsFiles::db102ThatIsNoGoodsBase_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray noise(4096, '\0');
    for (qsizetype i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919 + 13) % 251);
    QTest::newRow("random bytes") << noise;
    QTest::newRow("a password file") << QByteArray("root:x:0:0:root:/root:/bin/bash\nbin:x:1:1::/:/sbin/nologin\n");
    QTest::newRow("line ends only") << QByteArray(100000, '\n');
    QTest::newRow("empty") << QByteArray();
    // A configuration holds goods too, but in sections of its own, counted from 0.
    QTest::newRow("a configuration") << Cp1251(u"[CFGKKT_ТОВАР_#0]\r\nНаименование=\x7FХЛЕБ\x7F\r\n"_s);
    QTest::newRow("goods sections without goods keys")
        << Cp1251(u"[ТОВАР_#1]\r\nЦвет=синий\r\n[ТОВАР_#6001]\r\nЦена=1\r\n"_s);
}

void TestGoodsFiles::db102ThatIsNoGoodsBase()
{
    QFETCH(QByteArray, bytes);
    FillSample(*m_goods);
    const QString before = Snapshot(*m_goods);
    const QString file = path(u"a.db102"_s);
    QVERIFY(WriteBytes(file, bytes));
    const PageResult load = LoadGoodsDb102(file, *m_goods);
    QVERIFY(!load.ok);
    QCOMPARE(load.message,
        u"ВНИМАНИЕ!\r\nФайл \"%1\" не является базой товаров: в нём нет ни одной записи товара "
        u"(раздела ТОВАР_# с её ключами)."_s.arg(QDir::toNativeSeparators(file)));
    QCOMPARE(Snapshot(*m_goods), before);
    QCOMPARE(ReadBytes(file), bytes);

    // One goods key of one row is a base: the rest of it takes the defaults.
    QVERIFY(WriteBytes(file, bytes + Cp1251(u"\r\n[товар_#17]\r\nцена=5\r\n"_s)));
    QVERIFY(LoadGoodsDb102(file, *m_goods).ok);
    QCOMPARE(Row(*m_goods, 17), u"|Узкий||5|0|"_s);
    QCOMPARE(Row(*m_goods, 1), u"|Узкий||0.00|0|"_s);
}

void TestGoodsFiles::oneCExportLayout()
{
    FillSample(*m_goods);
    m_goods->setCell(2, 1, u"TAB\tAND\r\nBREAK"_s);
    const PageResult saved = ExportGoods1C(path(u"a.1cdb"_s), *m_goods);
    QVERIFY(saved.ok);
    QCOMPARE(saved.message, u"Файл успешно сохранен!"_s);
    QStringDecoder dec("windows-1251");
    const QString text = dec.decode(ReadBytes(path(u"a.1cdb"_s)));
    QStringList lines = text.split(u"\r\n"_s);
    QCOMPARE(lines.takeLast(), QString()); // every line ends with CR LF
    QCOMPARE(lines.size(), 6002);
    QCOMPARE(lines[0], u"\x01"_s);
    QCOMPARE(lines[1],
        u"\x02"
        "1\tХЛЕБ\tШирокий\t4600000000001\t35.5\t2\x03"_s);
    QCOMPARE(lines[2],
        u"\x02"
        "2\tTAB AND  BREAK\tУзкий\t\t0.0\t\x03"_s);
    QCOMPARE(lines[6000],
        u"\x02"
        "6000\t  ЧАЙ = ; [x]  \tУзкий\t\t12\t\x03"_s);
    QCOMPARE(lines[6001], u"\x04"_s);
}

void TestGoodsFiles::oneCRoundTrip()
{
    FillSample(*m_goods);
    QVERIFY(ExportGoods1C(path(u"a.1cdb"_s), *m_goods).ok);
    const auto back = MakeGrid(TableKind::Goods);
    back->setCell(1, 6, u"keep"_s);
    back->setCell(7, 1, u"reset me"_s);
    const PageResult loaded = ImportGoods1C(path(u"a.1cdb"_s), *back);
    QVERIFY(loaded.ok);
    QCOMPARE(loaded.message, u"Загружено 6000 позиций!"_s + kSampleTold);
    QCOMPARE(loaded.count, 6000);
    QCOMPARE(Row(*back, 1), u"ХЛЕБ|Широкий|4600000000001|35.5|2|keep"_s); // marking untouched
    QCOMPARE(Row(*back, 7), u"|Узкий||0.0||"_s);
    QCOMPARE(back->cell(6000, 1), u"  ЧАЙ = ; [x]  "_s);
}

void TestGoodsFiles::oneCImportRules_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("count"); // -1: rejected
    QTest::addColumn<QString>("row3"); // goods rows 3 and 6000 after an accepted import
    QTest::addColumn<QString>("row6000");
    const QStringList full = FullRecords();
    const QString reset = u"|Узкий||0.00|0|"_s;
    QTest::newRow("empty file") << QByteArray() << 0 << reset << reset;
    QTest::newRow("header only") << OneC({}, false) << 0 << reset << reset;
    QTest::newRow("few records without end line")
        << OneC({ Rec(u"3"_s, u"A"_s), Rec(u"9"_s, u"B"_s) }, false) << 2 << u"A|Узкий|4600|1.5|7|"_s << reset;
    QTest::newRow("few records with end line") << OneC({ Rec(u"5"_s, u"A"_s) }) << -1 << QString() << QString();
    QTest::newRow("full file with end line")
        << OneC(full) << 6000 << u"Т3|Узкий|4600|1.5|7|"_s << u"Т6000|Узкий|4600|1.5|7|"_s;
    QTest::newRow("LF line ends") << OneC({ Rec(u"6000"_s, u"A"_s) }, false).replace("\r\n", "\n") << 1 << reset
                                  << u"A|Узкий|4600|1.5|7|"_s;
    QTest::newRow("line after end line examined") << OneC(full) + "x\r\n" << -1 << QString() << QString();
    QTest::newRow("wrong header") << Cp1251(u"\x01x\r\n"_s + Rec(u"1"_s, u"A"_s)) << -1 << QString() << QString();
    QTest::newRow("empty line") << OneC({ Rec(u"1"_s, u"A"_s), QString() }, false) << -1 << QString() << QString();
    QTest::newRow("no STX") << OneC({ Rec(u"1"_s, u"A"_s).mid(1) }, false) << -1 << QString() << QString();
    QTest::newRow("no ETX") << OneC({ Rec(u"1"_s, u"A"_s).chopped(1) }, false) << -1 << QString() << QString();
    QTest::newRow("six TABs") << OneC({ Rec(u"1"_s, u"A\tB"_s) }, false) << -1 << QString() << QString();
    QTest::newRow("number not integer") << OneC({ Rec(u"1x"_s, u"A"_s) }, false) << -1 << QString() << QString();
    QTest::newRow("number 0") << OneC({ Rec(u"0"_s, u"A"_s) }, false) << -1 << QString() << QString();
    QTest::newRow("number 6001") << OneC({ Rec(u"6001"_s, u"A"_s) }, false) << -1 << QString() << QString();
    QTest::newRow("price with comma") << OneC({ Rec(u"1"_s, u"A"_s, u"Узкий"_s, u"1,5"_s) }, false) << -1 << QString()
                                      << QString();
    QTest::newRow("empty price") << OneC({ Rec(u"1"_s, u"A"_s, u"Узкий"_s, QString()) }, false) << -1 << QString()
                                 << QString();
    QTest::newRow("empty font") << OneC({ Rec(u"1"_s, u"A"_s, QString()) }, false) << -1 << QString() << QString();
    // One reading of numbers: no blanks, no group separators, no exponent.
    for (const QString &price : { u"10,000"_s, u"1,000e3"_s, u" 12"_s, u"12 "_s, u"1e3"_s })
        QTest::addRow("price '%s'", qPrintable(price))
            << OneC({ Rec(u"1"_s, u"A"_s, u"Узкий"_s, price) }, false) << -1 << QString() << QString();
    for (const QString &number : { u" 7"_s, u"7 "_s, u"+ 7"_s })
        QTest::addRow("number '%s'", qPrintable(number))
            << OneC({ Rec(number, u"A"_s) }, false) << -1 << QString() << QString();
    QTest::newRow("same number twice") << OneC({ Rec(u"3"_s, u"A"_s), Rec(u"3"_s, u"B"_s) }, false) << 2
                                       << u"B|Узкий|4600|1.5|7|"_s << reset;
}

void TestGoodsFiles::oneCImportRules()
{
    QFETCH(QByteArray, file);
    QFETCH(int, count);
    QFETCH(QString, row3);
    QFETCH(QString, row6000);
    FillSample(*m_goods);
    const QString before = Snapshot(*m_goods);
    const PageResult result = ImportGoods1CBytes(file, *m_goods);
    if (count < 0) {
        QVERIFY(!result.ok);
        QCOMPARE(result.message, u"Структура файла не соответствует стандарту!"_s);
        QCOMPARE(Snapshot(*m_goods), before); // a rejected file changes nothing
        return;
    }
    QVERIFY(result.ok);
    // The count as it always was, then what the import did (the rows it cleared, here).
    QVERIFY2(result.message.startsWith(u"Загружено %1 позиций!"_s.arg(count)), qPrintable(result.message));
    QCOMPARE(result.count, count);
    QCOMPARE(m_goods->cell(1, 6), u"м"_s); // marking untouched
    QCOMPARE(Row(*m_goods, 3), row3);
    QCOMPARE(Row(*m_goods, 6000), row6000);
}

void TestGoodsFiles::oneCWriteFailureKeepsFile()
{
    if (!FileSizeLimit::supported())
        QSKIP("no file size limit on this platform");
    WriteBytes(path(u"a.1cdb"_s), "previous");
    {
        const FileSizeLimit limit(16 * 1024);
        const PageResult saved = ExportGoods1C(path(u"a.1cdb"_s), *m_goods);
        QVERIFY(!saved.ok);
        QVERIFY(saved.message.startsWith(u"ВНИМАНИЕ!\r\nНе удалось записать файл"_s));
    }
    QCOMPARE(ReadBytes(path(u"a.1cdb"_s)), QByteArray("previous"));
}

// A file the program writes, it can read: what would come out larger than the
// readers take is not written at all, and the largest that is written loads back.
void TestGoodsFiles::writersRefuseWhatReadersRefuse()
{
    const QByteArray previous = "[ТОВАР_#1]\r\nЦена=1\r\n";
    for (const QString &name : { u"a.db102"_s, u"a.1cdb"_s })
        QVERIFY(WriteBytes(path(name), previous));
    for (int row = 1; row <= 6000; ++row)
        m_goods->setCell(row, GoodsCol::Barcode, QString(5600, u'7')); // 33.6 MB of barcodes
    for (const PageResult &saved :
        { SaveGoodsDb102(path(u"a.db102"_s), *m_goods), ExportGoods1C(path(u"a.1cdb"_s), *m_goods) }) {
        QVERIFY(!saved.ok);
        QVERIFY2(saved.message.contains(u"он вышел бы больше 32 МБ, а такой файл программа не прочтёт"_s),
            qPrintable(saved.message));
    }
    for (const QString &name : { u"a.db102"_s, u"a.1cdb"_s })
        QCOMPARE(ReadBytes(path(name)), previous);

    for (int row = 1; row <= 6000; ++row)
        m_goods->setCell(row, GoodsCol::Barcode, QString(5400, u'7'));
    QVERIFY(SaveGoodsDb102(path(u"b.db102"_s), *m_goods).ok);
    QVERIFY(ExportGoods1C(path(u"b.1cdb"_s), *m_goods).ok);
    const auto back = MakeGrid(TableKind::Goods);
    QVERIFY(LoadGoodsDb102(path(u"b.db102"_s), *back).ok);
    QCOMPARE(back->cell(6000, GoodsCol::Barcode), QString(5400, u'7'));
    const auto back1c = MakeGrid(TableKind::Goods);
    QVERIFY(ImportGoods1C(path(u"b.1cdb"_s), *back1c).ok);
    QCOMPARE(back1c->cell(6000, GoodsCol::Barcode), QString(5400, u'7'));
}

// A name longer than the register's field, from another program's file, is
// kept as typing would have left it: 24 characters, whatever its font.
void TestGoodsFiles::importedNamesAreCutAsTheGridCutsThem()
{
    const QString longName = u"ДЛИННОЕ НАИМЕНОВАНИЕ ТОВАРА ИЗ 1С"_s;
    QString emojiAtTheCut = QString(23, u'А') + QString::fromUcs4(U"\U0001F35E") + u"Б"_s;
    QByteArray file = "\x01\r\n";
    const auto record = [&](int n, const QString &name, const QString &font) {
        file += Cp1251(u"\x02%1\t%2\t%3\t\t1\t0\x03\r\n"_s.arg(n).arg(name, font));
    };
    record(1, longName, u"Узкий"_s);
    record(2, longName, u"Широкий"_s);
    record(3, u"КОРОТКОЕ"_s, u"Широкий"_s);
    QVERIFY(ImportGoods1CBytes(file, *m_goods).ok);
    QCOMPARE(m_goods->cell(1, GoodsCol::Name), longName.left(24));
    QCOMPARE(m_goods->cell(2, GoodsCol::Name), longName.left(24));
    QCOMPARE(m_goods->cell(3, GoodsCol::Name), u"КОРОТКОЕ"_s);

    // The workbook reader's names, through a stand-in that hands back prepared cells.
#ifdef Q_OS_UNIX
    XlsCells::Sheet sheet;
    sheet.rows.resize(2);
    sheet.rows[0][XlsColumn::Name - XlsCells::kFirstColumn].text = longName;
    sheet.rows[1][XlsColumn::Name - XlsCells::kFirstColumn].text = emojiAtTheCut;
    QVERIFY(WriteBytes(path(u"cells.bin"_s), XlsCells::Encode(sheet)));
    XlsReader reader = XlsReader::Default();
    reader.program = path(u"reader.sh"_s);
    QVERIFY(WriteBytes(reader.program, "#!/bin/sh\nexec cat '" + QFile::encodeName(path(u"cells.bin"_s)) + "'\n"));
    QVERIFY(QFile::setPermissions(reader.program, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const PageResult xls = LoadXls(QStringLiteral(KKT_FIXTURES "/goods.xls"), *m_goods, reader);
    QVERIFY2(xls.ok, qPrintable(xls.message));
    QCOMPARE(m_goods->cell(1, GoodsCol::Name), longName.left(24));
    QCOMPARE(m_goods->cell(2, GoodsCol::Name), QString(23, u'А')); // the pair is not split
#endif
}

void TestGoodsFiles::xlsImport()
{
    m_goods->setCell(100, 1, u"reset me"_s);
    m_goods->setCell(100, 6, u"м"_s);
    const PageResult result = LoadXls(QStringLiteral(KKT_FIXTURES "/goods.xls"), *m_goods);
    QVERIFY2(result.ok, qPrintable(result.message));
    QCOMPARE(result.count, 6000);
    QCOMPARE(Row(*m_goods, 1), u"Хлеб|Узкий|4600000000001|35.5|2|м"_s);
    QCOMPARE(Row(*m_goods, 2), u"Молоко|Узкий|4601234567890|12.5|3|"_s);
    QCOMPARE(Row(*m_goods, 3), u"Сок|Узкий||12.00||"_s);
    QCOMPARE(Row(*m_goods, 4), u"Вода|Узкий||0.00||"_s);
    QCOMPARE(Row(*m_goods, 5), u"Чай|Узкий||0.00||м"_s);
    QCOMPARE(Row(*m_goods, 6), u"  Кофе  |Узкий|123456789012|0.05||"_s);
    QCOMPARE(Row(*m_goods, 100), u"|Узкий||0.00||"_s); // sheet rows without values transfer empty cells
    QCOMPARE(m_goods->cell(6000, 1), u"Последний"_s);
    QCOMPARE(m_goods->cell(6000, 4), u"1.00"_s);
}

void TestGoodsFiles::xlsHeadingOnly()
{
    FillSample(*m_goods);
    const PageResult result = LoadXls(QStringLiteral(KKT_FIXTURES "/heading-only.xls"), *m_goods);
    QVERIFY(result.ok);
    QCOMPARE(result.count, 0);
    QCOMPARE(Row(*m_goods, 1), u"|Узкий||0.00|0|"_s);
}

void TestGoodsFiles::xlsUnreadable()
{
    FillSample(*m_goods);
    const QString before = Snapshot(*m_goods);
    WriteBytes(path(u"bad.xls"_s), "this is not a workbook");
    PageResult result = LoadXls(path(u"bad.xls"_s), *m_goods);
    QVERIFY(!result.ok);
    QCOMPARE(result.message,
        u"ВНИМАНИЕ!\r\nНе удалось загрузить файл \"%1\": файл повреждён или не является книгой "
        u"Excel 97-2003 (*.xls)."_s.arg(path(u"bad.xls"_s)));
    QCOMPARE(Snapshot(*m_goods), before);

    result = LoadXls(path(u"missing.xls"_s), *m_goods);
    QVERIFY(!result.ok);
    QVERIFY(result.message.endsWith(u"файл не найден или недоступен."_s));
    QCOMPARE(Snapshot(*m_goods), before);
}

// The reader's output is decoded from whatever the child wrote: a length in
// it is never trusted before the bytes for it are there.
void TestGoodsFiles::readerOutputIsCheckedBeforeItIsTaken()
{
    // 255 rows with no bytes for them, and a text claiming 4 294 967 294 bytes
    // (the first was found by the fuzzer in an earlier form: it asked for 100 GB).
    QVERIFY(!XlsCells::Decode(QByteArray("KXS2\0\0\0\0\0\0\0\xFF", 12) + QByteArray(64, '\xFF')));
    QVERIFY(!XlsCells::Decode(QByteArray("KXS2\0\0\0\0\0\0\0\x01", 12) + QByteArray(4, '\0')
        + QByteArray("\xFF\xFF\xFF\xFE", 4) + QByteArray(64, '\0')));
    XlsCells::Sheet sheet;
    sheet.rows.resize(3);
    sheet.rows[0][1].text = u"Хлеб"_s;
    sheet.rows[1][2].text = u""_s; // empty, not null
    sheet.rows[1][3] = { QString(), XlsCells::Kind::FormulaUnread };
    sheet.rows[2][3] = { u"#DIV/0!"_s, XlsCells::Kind::FormulaError };
    sheet.rows[2][4].text = u"м"_s;
    sheet.moreRows = true;
    const QByteArray bytes = XlsCells::Encode(sheet);
    const std::optional<XlsCells::Sheet> back = XlsCells::Decode(bytes);
    QVERIFY(back);
    QVERIFY(*back == sheet);
    QCOMPARE(XlsCells::Encode(*back), bytes);
    // A text claiming more bytes than follow, a kind of cell the reader never writes, flags it does not know.
    QByteArray longer = bytes;
    longer[longer.indexOf(QByteArray("\x00\x00\x00\x08", 4))] = '\x7F';
    QVERIFY(!XlsCells::Decode(longer));
    QByteArray unknownKind = bytes;
    unknownKind[12 + 3] = '\x04'; // the first cell's kind
    QVERIFY(!XlsCells::Decode(unknownKind));
    QByteArray unknownFlag = bytes;
    unknownFlag[7] = '\x03';
    QVERIFY(!XlsCells::Decode(unknownFlag));
    for (qsizetype cut = 0; cut < bytes.size(); ++cut)
        QVERIFY2(!XlsCells::Decode(bytes.left(cut)), qPrintable(QString::number(cut)));
}

void TestGoodsFiles::xlsReaderFailures_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QByteArray>("script"); // a stand-in reader; empty: the real one
    QTest::addColumn<QString>("reason");

    const QString goods = QStringLiteral(KKT_FIXTURES "/goods.xls");
    QTest::newRow("workbook that crashes the library") << QStringLiteral(KKT_FIXTURES "/damaged.xls") << QByteArray()
                                                       << u"файл повреждён: чтение книги завершилось аварийно."_s;
    // More text than any goods base holds: refused as too large, before the
    // reader's memory runs out and it ends as if the book were damaged.
    QTest::newRow("workbook of huge cells") << QStringLiteral(KKT_FIXTURES "/huge-cells.xls") << QByteArray()
                                            << u"книга слишком велика: в её ячейках больше 33 млн знаков"_s;
    QTest::newRow("reader that hangs") << goods << QByteArray("#!/bin/sh\nexec sleep 30\n")
                                       << u"чтение книги не закончилось за 1 с; файл, вероятно, повреждён."_s;
    QTest::newRow("reader that writes garbage") << goods << QByteArray("#!/bin/sh\necho garbage\n")
                                                << u"файл повреждён или не является книгой Excel 97-2003 (*.xls)."_s;
    QTest::newRow("reader that dies") << goods << QByteArray("#!/bin/sh\nkill -9 $$\n")
                                      << u"файл повреждён: чтение книги завершилось аварийно."_s;
    QTest::newRow("reader missing") << goods << QByteArray("none") << u"не запускается программа чтения книг"_s;
}

// Whatever goes wrong in the child that reads the workbook, the program gets a
// message and the grid keeps what the user had.
void TestGoodsFiles::xlsReaderFailures()
{
    QFETCH(QString, fixture);
    QFETCH(QByteArray, script);
    QFETCH(QString, reason);
#ifndef Q_OS_UNIX
    if (!script.isEmpty())
        QSKIP("stand-in readers are shell scripts");
#endif
    XlsReader reader = XlsReader::Default();
    reader.timeOutMs = script.isEmpty() ? 5000 : 1000; // the real reader gets the program's time
    if (script == "none") {
        reader.program = path(u"no-such-reader"_s);
    } else if (!script.isEmpty()) {
        reader.program = path(u"reader.sh"_s);
        QVERIFY(WriteBytes(reader.program, script));
        QVERIFY(QFile::setPermissions(reader.program, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    FillSample(*m_goods);
    const QString before = Snapshot(*m_goods);
    QElapsedTimer timer;
    timer.start();
    const PageResult result = LoadXls(fixture, *m_goods, reader);
    QVERIFY(timer.elapsed() < reader.timeOutMs + 4000);
    QVERIFY(!result.ok);
    const QString head = u"ВНИМАНИЕ!\r\nНе удалось загрузить файл \"%1\": "_s.arg(fixture);
    QVERIFY2(result.message.startsWith(head + reason), qPrintable(result.message));
    QCOMPARE(Snapshot(*m_goods), before);
}

QTEST_GUILESS_MAIN(TestGoodsFiles)
#include "TestGoodsFiles.moc"
