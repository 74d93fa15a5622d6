// What the goods imports say after they ran, and the workbook layout check.
#include "GoodsText.h"
#include "TempFiles.h"

#include "kkt/KktText.h"
#include "pages/Goods1C.h"
#include "pages/GoodsDb102.h"
#include "pages/Grids102.h"
#include "pages/ImportReport.h"
#include "pages/ValueConv.h"
#include "pages/XlsCells.h"
#include "pages/xlsTool.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
struct GoodsLine
{
    QString name, barcode, price;
};

// The reader's cells of one sheet row in the expected layout.
QStringList SheetRow(const GoodsLine &line, const QString &section = u"1"_s)
{
    QStringList row(XlsCells::kColumns);
    row[XlsColumn::Barcode - XlsCells::kFirstColumn] = line.barcode;
    row[XlsColumn::Name - XlsCells::kFirstColumn] = line.name;
    row[XlsColumn::Section - XlsCells::kFirstColumn] = section;
    row[XlsColumn::Price - XlsCells::kFirstColumn] = line.price;
    return row;
}

// Goods rows 1 and 2 from a file of the reader's kind ("db102", "1cdb", "xls").
PageResult Import(const QString &reader, const QList<GoodsLine> &lines, StringGridModel &goods, const QString &dir)
{
    if (reader == u"xls"_s) {
        XlsCells::Sheet sheet;
        for (const GoodsLine &line : lines)
            sheet.rows.push_back(XlsCells::TextRow(SheetRow(line)));
        return ImportXlsRows(u"книга.xls"_s, sheet, goods);
    }
    QString text = reader == u"1cdb"_s ? u"\x01\r\n"_s : QString();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const GoodsLine &l = lines[i];
        text += reader == u"1cdb"_s
            ? u"\x02%1\t%2\tУзкий\t%3\t%4\t1\x03\r\n"_s.arg(i + 1).arg(l.name, l.barcode, l.price)
            : u"[ТОВАР_#%1]\r\nНаименование=%2\r\nШтрих-код=%3\r\nЦена=%4\r\nОтдел/Услуга=1\r\n"_s.arg(i + 1).arg(
                l.name, l.barcode, l.price);
    }
    if (reader == u"1cdb"_s)
        return ImportGoods1CBytes(ToCp1251(text), goods);
    const QString path = dir + u"/base.db102"_s;
    if (!WriteBytes(path, ToCp1251(text)))
        return PageResult::Failure(u"fixture not written"_s);
    return LoadGoodsDb102(path, goods);
}

const QString kLongName = u"ЧАЙ ЧЁРНЫЙ ЛИСТОВОЙ КРУПНЫЙ 100 Г"_s; // 33 characters
} // namespace

class TestImportReport : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void reportPerReader_data();
    void reportPerReader();
    void reportNamesTheFirstCellsAndCountsTheRest();

    void workbookLayoutCheck_data();
    void workbookLayoutCheck();
    void workbookOfAnotherLayoutIsRefused();
    void workbookWithOneBadRowLoads();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<StringGridModel> m_goods;
};

void TestImportReport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_goods = MakeGrid(TableKind::Goods);
}

void TestImportReport::reportPerReader_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("barcode");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("cells"); // goods row 2 after the import: name|barcode|price
    QTest::addColumn<QStringList>("marks"); // its Adjusted marks
    QTest::addColumn<QString>("message"); // after the first line, which the reader gives

    const QString rest = u"Остальные 5998 строк очищены."_s;
    const QString refusedBarcode = u"\r\n\r\nНе принято 1 значение из файла (в ячейках значения по умолчанию, ячейки "
                                   u"отмечены):\r\nстрока 2, «Штрих-код»: в файле «59.9х» — штрих-код не число"_s;
    const QString refusedPrice = u"\r\n\r\nНе принято 1 значение из файла (в ячейках значения по умолчанию, ячейки "
                                 u"отмечены):\r\nстрока 2, «Цена за единицу»: в файле «дёшево» — цена не число"_s;
    const QString otherName = u"\r\n\r\n1 наименование ККТ сохранит иначе:\r\nстрока 2, «Наименование»: «Чай №1» — "
                              u"символы, которых нет в ККТ: «№»"_s;
    const QString cutName = u"\r\n\r\nОбрезано 1 наименование (ячейки отмечены):\r\nстрока 2, «Наименование»: в файле "
                            u"«ЧАЙ ЧЁРНЫЙ ЛИСТОВОЙ КРУПНЫЙ 100 Г» — обрезано до 24 символов\r\n\r\n1 наименование ККТ "
                            u"сохранит иначе:\r\nстрока 2, «Наименование»: «ЧАЙ ЧЁРНЫЙ ЛИСТОВОЙ КРУП» — символы, "
                            u"которых нет в ККТ: «Ё»"_s;
    const QString barcodeMark = u"3: В файле: «59.9х» — штрих-код не число"_s;
    const QString priceMark = u"4: В файле: «дёшево» — цена не число"_s;
    const QString cutMark = u"1: В файле: «ЧАЙ ЧЁРНЫЙ ЛИСТОВОЙ КРУПНЫЙ 100 Г» — обрезано до 24 символов"_s;

    for (const QString &reader : { u"xls"_s, u"1cdb"_s }) {
        const QByteArray r = reader.toLatin1();
        QTest::addRow("%s: clean", r.data()) << reader << u"ХЛЕБ"_s << u"4601234567893"_s << u"12.50"_s
                                             << u"ХЛЕБ|4601234567893|12.50"_s << QStringList() << rest;
        QTest::addRow("%s: barcode no number", r.data())
            << reader << u"ХЛЕБ"_s << u"59.9х"_s << u"12.50"_s << u"ХЛЕБ||12.50"_s << QStringList { barcodeMark }
            << rest + refusedBarcode;
        QTest::addRow("%s: name with characters the register lacks", r.data())
            << reader << u"Чай №1"_s << QString() << u"1.00"_s << u"Чай №1||1.00"_s << QStringList()
            << rest + otherName;
        QTest::addRow("%s: name longer than the field", r.data())
            << reader << kLongName << QString() << u"1.00"_s << kLongName.left(24) + u"||1.00"_s
            << QStringList { cutMark } << rest + cutName;
        // Taken as the file has them; what the register makes of them is told.
        QTest::addRow("%s: lower case, a barcode no scanner reads", r.data())
            << reader << u"Хлеб"_s << u"4601234567890"_s << u"12.50"_s << u"Хлеб|4601234567890|12.50"_s << QStringList()
            << rest
                + u"\r\n\r\n1 наименование ККТ сохранит заглавными буквами (ячейки отмечены).\r\n\r\n1 штрих-код "
                  u"сканер не прочтёт (ККТ сохранит его как есть):\r\nстрока 2, «Штрих-код»: «4601234567890» — "
                  u"контрольная цифра штрих-кода неверна (должна быть 3): сканер такой код не прочтёт"_s;
    }
    // A workbook's price that is none: the row default, marked.
    QTest::newRow("xls: price no number") << u"xls"_s << u"ХЛЕБ"_s << QString() << u"дёшево"_s << u"ХЛЕБ||0.00"_s
                                          << QStringList { priceMark } << rest + refusedPrice;
    // A 1C file's price that is none rejects the file, as it always did.
    QTest::newRow("1cdb: price no number")
        << u"1cdb"_s << u"ХЛЕБ"_s << QString() << u"дёшево"_s << QString() << QStringList() << QString();

    // The program's own base file is taken as it is; what the register would
    // make of it is told, and the watcher of the grid marks it.
    QTest::newRow("db102: clean") << u"db102"_s << u"ХЛЕБ"_s << u"4601234567893"_s << u"12.50"_s
                                  << u"ХЛЕБ|4601234567893|12.50"_s << QStringList() << rest;
    QTest::newRow("db102: barcode no number")
        << u"db102"_s << u"ХЛЕБ"_s << u"59.9х"_s << u"12.50"_s << u"ХЛЕБ|59.9х|12.50"_s << QStringList()
        << rest
            + u"\r\n\r\n1 ячейку ККТ не примет при записи:\r\nстрока 2, «Штрих-код»: «59.9х» — штрих-код должен быть "
              u"числом меньше %1"_s.arg(kMarkBit);
    QTest::newRow("db102: price no number")
        << u"db102"_s << u"ХЛЕБ"_s << QString() << u"дёшево"_s << u"ХЛЕБ||дёшево"_s << QStringList()
        << rest
            + u"\r\n\r\n1 ячейку ККТ не примет при записи:\r\nстрока 2, «Цена за единицу»: «дёшево» — цена должна быть "
              u"числом с точкой (12.50)"_s;
    QTest::newRow("db102: name with characters the register lacks")
        << u"db102"_s << u"Чай №1"_s << QString() << u"1.00"_s << u"Чай №1||1.00"_s << QStringList()
        << rest + otherName;
}

void TestImportReport::reportPerReader()
{
    QFETCH(QString, reader);
    QFETCH(QString, name);
    QFETCH(QString, barcode);
    QFETCH(QString, price);
    QFETCH(QString, cells);
    QFETCH(QStringList, marks);
    QFETCH(QString, message);

    // Marks of an earlier paste speak of texts the import replaces.
    m_goods->setCell(1, GoodsCol::Section, u"7"_s);
    m_goods->setMark(1, GoodsCol::Section, MarkKind::Adjusted, u"Вставлялось «x»"_s);
    m_goods->setCell(3000, GoodsCol::Name, u"СТАРОЕ"_s);
    const QString before = GoodsWithMarks(*m_goods);
    const PageResult result = Import(
        reader, { { u"МОЛОКО"_s, u"4600000000008"_s, u"35.50"_s }, { name, barcode, price } }, *m_goods, m_dir->path());

    if (cells.isEmpty()) {
        QVERIFY(!result.ok);
        QCOMPARE(result.message, u"Структура файла не соответствует стандарту!"_s);
        QCOMPARE(GoodsWithMarks(*m_goods), before);
        return;
    }
    QVERIFY2(result.ok, qPrintable(result.message));
    const QString first = reader == u"1cdb"_s ? u"Загружено 2 позиций!"_s : u"Загружено 2 строки."_s;
    QCOMPARE(result.message, first + u"\r\n"_s + message);
    const QString row2 = QStringList { m_goods->cell(2, GoodsCol::Name), m_goods->cell(2, GoodsCol::Barcode),
        m_goods->cell(2, GoodsCol::Price) }
                             .join(u'|');
    QCOMPARE(row2, cells);
    QCOMPARE(AdjustedMarks(*m_goods, 2), marks);
    QCOMPARE(AdjustedMarks(*m_goods, 1), QStringList());
    QCOMPARE(m_goods->cell(1, GoodsCol::Barcode), u"4600000000008"_s);
    QCOMPARE(m_goods->cell(3000, GoodsCol::Name), QString());
}

// A long report names the first cells of each kind and counts the rest; a
// later record of a row takes the place of what an earlier one noted.
void TestImportReport::reportNamesTheFirstCellsAndCountsTheRest()
{
    QString text = u"\x01\r\n"_s;
    for (int row = 1; row <= 8; ++row)
        text += u"\x02%1\tТОВАР\tУзкий\tкод%1\t1.00\t1\x03\r\n"_s.arg(row);
    text += u"\x02"
            "8\tТОВАР\tУзкий\t48\t1.00\t1\x03\r\n"_s; // row 8 again, now with a number
    const PageResult result = ImportGoods1CBytes(ToCp1251(text), *m_goods);
    QVERIFY(result.ok);
    QCOMPARE(result.count, 9);
    QString expected = u"Загружено 9 позиций!\r\nОстальные 5992 строки очищены.\r\n\r\nНе принято 7 значений из файла "
                       u"(в ячейках значения по умолчанию, ячейки отмечены):"_s;
    for (int row = 1; row <= 5; ++row)
        expected += u"\r\nстрока %1, «Штрих-код»: в файле «код%1» — штрих-код не число"_s.arg(row);
    expected += u"\r\n… и ещё 2"_s;
    QCOMPARE(result.message, expected);
    QCOMPARE(AdjustedMarks(*m_goods, 7), QStringList { u"3: В файле: «код7» — штрих-код не число"_s });
    QCOMPARE(AdjustedMarks(*m_goods, 8), QStringList());
    QCOMPARE(m_goods->cell(8, GoodsCol::Barcode), u"48"_s);
}

void TestImportReport::workbookLayoutCheck_data()
{
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QString>("refusal"); // what the message says was found; empty: the workbook loads

    const QStringList good = SheetRow({ u"ХЛЕБ"_s, u"4600000000008"_s, u"35.5"_s });
    const QStringList badBarcode = SheetRow({ u"Сок"_s, u"59.9х"_s, u"35.5"_s });
    const QStringList badPrice = SheetRow({ u"Сок"_s, u"4600000000008"_s, u"дёшево"_s });
    const QStringList numberForName = SheetRow({ u"2"_s, u"4600000000008"_s, QString() });
    const QStringList empty(XlsCells::kColumns);
    const auto found = [](int misfits, int filled) {
        return u"в %1 из %2 строк с данными в столбце C не штрих-код, в столбце F не цена или в столбце D число "
               u"вместо наименования"_s.arg(misfits)
                   .arg(filled);
    };
    QTest::newRow("heading only") << QList<QStringList>() << QString();
    QTest::newRow("one bad row of four") << QList { good, badBarcode, good, good } << QString();
    QTest::newRow("half of the rows bad") << QList { good, badPrice, good, badBarcode } << QString();
    QTest::newRow("empty rows do not count")
        << QList { good, empty, badBarcode, empty, empty, badPrice, good } << QString();
    QTest::newRow("most rows bad") << QList { badBarcode, good, badPrice } << found(2, 3);
    QTest::newRow("numbers for names") << QList { numberForName, numberForName, good } << found(2, 3);
    QTest::newRow("nothing in the columns read")
        << QList { empty, empty } << u"в столбцах C–G нет ни одного значения"_s;
}

void TestImportReport::workbookLayoutCheck()
{
    QFETCH(QList<QStringList>, rows);
    QFETCH(QString, refusal);
    m_goods->setCell(1, GoodsCol::Name, u"СТАРОЕ"_s);
    const QString before = GoodsWithMarks(*m_goods);
    XlsCells::Sheet sheet;
    for (const QStringList &row : rows)
        sheet.rows.push_back(XlsCells::TextRow(row));
    const PageResult result = ImportXlsRows(u"книга.xls"_s, sheet, *m_goods);
    if (refusal.isEmpty()) {
        QVERIFY2(result.ok, qPrintable(result.message));
        QVERIFY(m_goods->cell(1, GoodsCol::Name) != u"СТАРОЕ"_s);
        return;
    }
    QVERIFY(!result.ok);
    QVERIFY2(result.message.startsWith(u"ВНИМАНИЕ!\r\nКнига \"книга.xls\" не загружена: её столбцы расположены не "
                                       u"так, как ждёт программа (%1).\r\n"_s.arg(refusal)),
        qPrintable(result.message));
    QCOMPARE(GoodsWithMarks(*m_goods), before);
}

// A workbook laid out as Name, Barcode, Price, Section would have put prices
// for barcodes and sections for names over the whole base.
void TestImportReport::workbookOfAnotherLayoutIsRefused()
{
    for (int row = 1; row <= 6000; ++row)
        m_goods->setCell(row, GoodsCol::Name, u"ТОВАР %1"_s.arg(row));
    m_goods->setMark(5, GoodsCol::Price, MarkKind::Adjusted, u"Вставлялось «x»"_s);
    const QString before = GoodsWithMarks(*m_goods);
    const QString file = QStringLiteral(KKT_FIXTURES "/wrong-layout.xls");
    const PageResult result = LoadXls(file, *m_goods);
    QVERIFY(!result.ok);
    QCOMPARE(result.message,
        u"ВНИМАНИЕ!\r\nКнига \"%1\" не загружена: её столбцы расположены не так, как ждёт программа (в 3 из 3 строк с "
        u"данными в столбце C не штрих-код, в столбце F не цена или в столбце D число вместо наименования).\r\n"
        u"Ожидается первый лист книги: строка 1 — заголовок, со строки 2 — по товару в строке (строка 2 — товар "
        u"с кодом 1), в столбцах:\r\nC — штрих-код (цифры);\r\nD — наименование;\r\nE — отдел/услуга;\r\n"
        u"F — цена (12.50 или 12,50);\r\nG — маркировка («м» или пусто).\r\nОстальные столбцы не читаются. "
        u"База товаров не изменена."_s.arg(file));
    QCOMPARE(GoodsWithMarks(*m_goods), before);
}

void TestImportReport::workbookWithOneBadRowLoads()
{
    const PageResult result = LoadXls(QStringLiteral(KKT_FIXTURES "/one-bad-row.xls"), *m_goods);
    QVERIFY2(result.ok, qPrintable(result.message));
    QCOMPARE(result.message,
        u"Загружено 4 строки.\r\nОстальные 5996 строк очищены.\r\n\r\nНе принято 2 значения из файла (в ячейках "
        u"значения по умолчанию, ячейки отмечены):\r\nстрока 3, «Штрих-код»: в файле «59.9х» — штрих-код не число\r\n"
        u"строка 3, «Цена за единицу»: в файле «дёшево» — цена не число\r\n\r\n4 наименования ККТ сохранит "
        u"заглавными буквами (ячейки отмечены).\r\n\r\n3 штрих-кода сканер не прочтёт (ККТ сохранит их как есть):\r\n"
        u"строка 1, «Штрих-код»: «4600000000001» — контрольная цифра штрих-кода неверна (должна быть 8): сканер такой "
        u"код не прочтёт\r\nстрока 2, «Штрих-код»: «4601234567890» — контрольная цифра штрих-кода неверна (должна "
        u"быть 3): сканер такой код не прочтёт\r\nстрока 4, «Штрих-код»: «4607000000001» — контрольная цифра "
        u"штрих-кода неверна (должна быть 7): сканер такой код не прочтёт"_s);
    QCOMPARE(m_goods->cell(2, GoodsCol::Price), u"12.5"_s);
    QCOMPARE(m_goods->cell(3, GoodsCol::Name), u"Сок"_s);
    QCOMPARE(m_goods->cell(3, GoodsCol::Barcode), QString());
    QCOMPARE(m_goods->cell(3, GoodsCol::Price), u"0.00"_s);
    QCOMPARE(AdjustedMarks(*m_goods, 3),
        (QStringList { u"3: В файле: «59.9х» — штрих-код не число"_s, u"4: В файле: «дёшево» — цена не число"_s }));
    QCOMPARE(AdjustedMarks(*m_goods, 2), QStringList());
    QCOMPARE(m_goods->cell(4, GoodsCol::Barcode), u"4607000000001"_s);
}

QTEST_GUILESS_MAIN(TestImportReport)
#include "TestImportReport.moc"
