// Blocks of text from spreadsheets into the grids: reading and writing the
// clipboard's tab-separated text, and what each cell's rule makes of a paste.
#include "pages/FixedLists.h"
#include "pages/GridPaste.h"
#include "pages/Grids102.h"

#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TableKind)
Q_DECLARE_METATYPE(TextBlock)

class TestGridPaste : public QObject
{
    Q_OBJECT
private slots:
    void tabText_data();
    void tabText();
    void quotedCellsRoundTrip();
    void htmlKeepsCellsAsText();
    void htmlMarksCellsAsSpreadsheetsReadThem();
    void pasteBlock_data();
    void pasteBlock();
    void fillAndClear();
    void copySkipsHiddenColumn();
    void writtenRangeCopiesBack_data();
    void writtenRangeCopiesBack();
};

void TestGridPaste::tabText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<TextBlock>("block");

    QTest::newRow("one value") << u"4607001770015"_s << TextBlock { { u"4607001770015"_s } };
    QTest::newRow("one value and its line end") << u"хлеб\r\n"_s << TextBlock { { u"хлеб"_s } };
    QTest::newRow("nothing") << QString() << TextBlock {};
    QTest::newRow("rows of LibreOffice") << u"a\tb\nc\td\n"_s << TextBlock { { u"a"_s, u"b"_s }, { u"c"_s, u"d"_s } };
    QTest::newRow("rows of Excel") << u"a\tb\r\nc\td\r\n"_s << TextBlock { { u"a"_s, u"b"_s }, { u"c"_s, u"d"_s } };
    QTest::newRow("old Mac line ends") << u"a\rb"_s << TextBlock { { u"a"_s }, { u"b"_s } };
    QTest::newRow("empty cells") << u"\tb\t\n\t"_s
                                 << TextBlock { { QString(), u"b"_s, QString() }, { QString(), QString() } };
    QTest::newRow("an empty row between") << u"a\n\nb"_s << TextBlock { { u"a"_s }, { QString() }, { u"b"_s } };
    QTest::newRow("quoted: tab and line end inside")
        << u"\"a\tb\"\t\"c\r\nd\"\ne"_s << TextBlock { { u"a\tb"_s, u"c\r\nd"_s }, { u"e"_s } };
    QTest::newRow("quoted: doubled quote") << u"\"say \"\"hi\"\"\"\tx"_s << TextBlock { { u"say \"hi\""_s, u"x"_s } };
    QTest::newRow("quote inside a cell is a character")
        << u"12\" pizza\tx"_s << TextBlock { { u"12\" pizza"_s, u"x"_s } };
    QTest::newRow("text after the closing quote") << u"\"Рога\" и копыта"_s << TextBlock { { u"Рога и копыта"_s } };
    QTest::newRow("quote never closed") << u"\"a\tb\nc"_s << TextBlock { { u"a\tb\nc"_s } };
}

void TestGridPaste::tabText()
{
    QFETCH(QString, text);
    QFETCH(TextBlock, block);
    QCOMPARE(ParseTabText(text), block);
}

void TestGridPaste::quotedCellsRoundTrip()
{
    const TextBlock block { { u"\"в кавычках\""_s, u"a\tb"_s, u"строка 1\nстрока 2"_s, u"12\""_s },
        { QString(), u"x"_s, u"\r"_s, u"Ё"_s } };
    const QString text = ToTabText(block);
    QCOMPARE(text, u"\"\"\"в кавычках\"\"\"\t\"a\tb\"\t\"строка 1\nстрока 2\"\t12\"\n\tx\t\"\r\"\tЁ\n"_s);
    QCOMPARE(ParseTabText(text), block);
    // A last row of one empty cell is a row still (a cell to clear when pasted).
    const TextBlock column { { u"a"_s }, { QString() } };
    QCOMPARE(ToTabText(column), u"a\n\n"_s);
    QCOMPARE(ParseTabText(ToTabText(column)), column);
}

void TestGridPaste::htmlKeepsCellsAsText()
{
    const QString html = ToHtmlTable({ { u"0012"_s, u"<b>&"_s }, { u"a\nb"_s, QString() } });
    QVERIFY(html.contains(u"<meta charset=\"utf-8\">"_s));
    QCOMPARE(html.count(u"<tr>"_s), 2);
    QVERIFY(html.contains(u">0012</td>"_s));
    QVERIFY(html.contains(u">&lt;b&gt;&amp;</td>"_s));
    QVERIFY(html.contains(u">a<br>b</td>"_s));
}

// The goods block as LibreOffice Calc and Excel read the clipboard's HTML: each
// cell's own format decides. Codes and names keep their text (a barcode's
// leading zeros, a section "07", a name "1/2" that is no date); a plain price
// is a number with the grid's decimals; a price text that no number gives
// back stays text.
void TestGridPaste::htmlMarksCellsAsSpreadsheetsReadThem()
{
    const auto goods = MakeGrid(TableKind::Goods);
    const QList<QStringList> rows { { u"1/2"_s, u"Узкий"_s, u"0012345678905"_s, u"12.50"_s, u"07"_s, u"м"_s },
        { u"ХЛЕБ"_s, u"Широкий"_s, u"46000001"_s, u"0.5"_s, u"0"_s, QString() },
        { u"СОК"_s, u"Узкий"_s, QString(), u"012.5"_s, u"1"_s, QString() },
        { u"ЧАЙ"_s, u"Узкий"_s, u"2"_s, u"7"_s, u"99"_s, QString() } };
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 6; ++c)
            goods->setCell(r + 1, c + 1, rows[r][c]);
    const CellRange range { 1, GoodsCol::Name, 4, GoodsCol::Mark };
    const QString html = ToHtmlTable(
        CopyRange(*goods, LayoutOf(TableKind::Goods), range), CopyColumnKinds(LayoutOf(TableKind::Goods), range));
    QVERIFY(html.contains(u"xmlns:x=\"urn:schemas-microsoft-com:office:excel\""_s)); // Excel's x:num

    // Every cell, in order: its start tag and its text.
    const QRegularExpression cellPattern(u"<td([^>]*)>([^<]*)</td>"_s);
    QList<QRegularExpressionMatch> cells;
    for (auto it = cellPattern.globalMatch(html); it.hasNext();)
        cells << it.next();
    QCOMPARE(cells.size(), 24);
    const QString text = u" sdnum=\"1049;0;@\" style=\"mso-number-format:'\\@'\""_s;
    const auto number = [](const QString &value, const QString &format) {
        return u" sdval=\"%1\" sdnum=\"1033;0;%2\" x:num=\"%1\" style=\"mso-number-format:'%3'\""_s.arg(
            value, format, QString(format).replace(u"."_s, u"\\."_s));
    };
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < 6; ++c) {
            const QRegularExpressionMatch &cell = cells[r * 6 + c];
            QCOMPARE(cell.captured(2), rows[r][c]);
            const bool price = c + 1 == GoodsCol::Price;
            const QString expected = !price || r == 2 ? text
                : r == 0                              ? number(u"12.50"_s, u"0.00"_s)
                : r == 1                              ? number(u"0.5"_s, u"0.0"_s)
                                                      : number(u"7"_s, u"0"_s);
            QCOMPARE(cell.captured(1), expected);
        }
    }
}

void TestGridPaste::pasteBlock_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QStringList>("cells"); // "row,col=text" after the paste
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("marked"); // cells with an Adjusted mark

    const QString vat20 = FixedLists::Vat().at(0), vat10 = FixedLists::Vat().at(1);
    const QString kind05 = FixedLists::ItemKinds().at(5);
    QTest::newRow("goods 2x3 from a spreadsheet")
        << TableKind::Goods << 1 << 1 << u"молоко\tУзкий\t4607001770015\r\nхлеб\tШирокий\t2000000000015\r\n"_s
        << QStringList { u"1,1=МОЛОКО"_s, u"1,2=Узкий"_s, u"1,3=4607001770015"_s, u"2,1=ХЛЕБ"_s, u"2,2=Широкий"_s,
               u"2,3=2000000000015"_s, u"3,1="_s }
        << QString() << 0;
    QTest::newRow("every goods rule at once")
        << TableKind::Goods << 1 << 1 << u"хлеб бородинский нарезка\tширокий\t46070017700ab15\t59,90\t123\tм"_s
        << QStringList { u"1,1=ХЛЕБ БОРОДИН"_s, u"1,2=Широкий"_s, u"1,3=4607001770015"_s, u"1,4=59.90"_s, u"1,5=12"_s,
               u"1,6=м"_s }
        << u"Вставлено 6 ячеек, изменено 3:\r\n"
           "строка 1, «Наименование»: обрезано до 12 символов\r\n"
           "строка 1, «Штрих-код»: убраны недопустимые символы (2)\r\n"
           "строка 1, «Отдел/Услуга»: обрезано до 2 символов"_s
        << 3;
    QTest::newRow("quoted cells") << TableKind::Oper << 2 << 7 << u"\"say \"\"hi\"\"\"\t\"77\n07\""_s
                                  << QStringList { u"2,7=say \"hi\""_s, u"2,8=7707"_s }
                                  << u"Вставлено 2 ячейки, изменена 1:\r\n"
                                     "строка 2, «ИНН кассира»: убраны недопустимые символы (1)"_s
                                  << 1;
    QTest::newRow("past the last row") << TableKind::Goods << 5999 << 3 << u"1\n2\n3\n"_s
                                       << QStringList { u"5999,3=1"_s, u"6000,3=2"_s }
                                       << u"Вставлено 2 ячейки.\r\nНе вставлена 1 ячейка за краем таблицы."_s << 0;
    QTest::newRow("past the last column")
        << TableKind::Station << 40 << 1 << u"касса\tлишнее\tещё"_s << QStringList { u"40,1=КАССА"_s }
        << u"Вставлена 1 ячейка.\r\nНе вставлено 2 ячейки за краем таблицы."_s << 0;
    QTest::newRow("hidden column skipped, then the edge")
        << TableKind::Usl << 3 << 4 << u"2 - ставка ндс 10%\t1 - Общая\tв скрытую"_s
        << QStringList { u"3,4="_s + vat10, u"3,5=1 - Общая"_s, u"3,6="_s }
        << u"Вставлено 2 ячейки.\r\nНе вставлена 1 ячейка за краем таблицы."_s << 0;
    QTest::newRow("item kind 05 takes the VAT choice away")
        << TableKind::Usl << 1 << 1 << u"доставка\tУзкий\t"_s + kind05 + u"\t"_s + vat10
        << QStringList { u"1,1=ДОСТАВКА"_s, u"1,3="_s + kind05, u"1,4=НДС не облагается"_s }
        << u"Вставлено 4 ячейки, изменена 1:\r\n"
           "строка 1, «Номер налога»: у признака с кодом 05 или 06 НДС не выбирается"_s
        << 1;
    QTest::newRow("list: no such entry, and an empty one")
        << TableKind::Usl << 2 << 2 << u"Жирный\t\t"_s + vat20
        << QStringList { u"2,2=Узкий"_s, u"2,3="_s + FixedLists::ItemKinds().at(0), u"2,4="_s + vat20 }
        << u"Вставлено 3 ячейки, изменена 1:\r\nстрока 2, «Шрифт»: такого значения нет в списке"_s << 1;
    QTest::newRow("many cells changed: the first ten named")
        << TableKind::Goods << 1 << 3 << u"1a\n2b\n3c\n4d\n5e\n6f\n7g\n8h\n9i\n10j\n11k\n12l"_s
        << QStringList { u"12,3=12"_s }
        << u"Вставлено 12 ячеек, изменено 12:\r\n"
           "строка 1, «Штрих-код»: убраны недопустимые символы (1)\r\n"
           "строка 2, «Штрих-код»: убраны недопустимые символы (1)\r\n"
           "строка 3, «Штрих-код»: убраны недопустимые символы (1)\r\n"
           "строка 4, «Штрих-код»: убраны недопустимые символы (1)\r\n"
           "строка 5, «Штрих-код»: убраны недопустимые символы (1)\r\n"
           "строка 6, «Штрих-код»: убраны недопустимые символы (1)\r\n"
           "строка 7, «Штрих-код»: убраны недопустимые символы (1)\r\n"
           "строка 8, «Штрих-код»: убраны недопустимые символы (1)\r\n"
           "строка 9, «Штрих-код»: убраны недопустимые символы (1)\r\n"
           "строка 10, «Штрих-код»: убраны недопустимые символы (1)\r\n"
           "… и ещё 2"_s
        << 12;
    // Taken as they are (the register keeps them so), but counted.
    QTest::newRow("barcodes no scanner reads")
        << TableKind::Goods << 1 << 3 << u"4607001770016\n96385074\n123\n0\n2000000000011"_s
        << QStringList { u"1,3=4607001770016"_s, u"5,3=2000000000011"_s }
        << u"Вставлено 5 ячеек.\r\n2 штрих-кода сканер не прочтёт (ККТ сохранит их как есть):\r\n"
           "строка 1: контрольная цифра штрих-кода неверна (должна быть 5): сканер такой код не прочтёт\r\n"
           "строка 5: контрольная цифра штрих-кода неверна (должна быть 5): сканер такой код не прочтёт"_s
        << 0;
    QTest::newRow("gsm values keep their case")
        << TableKind::Gsm << 5 << 1 << u"Internet.Beeline.ru\nBee\nPass Word"_s
        << QStringList { u"5,1=Internet.Beeline.ru"_s, u"6,1=Bee"_s, u"7,1=Pass Word"_s } << QString() << 0;
}

void TestGridPaste::pasteBlock()
{
    QFETCH(TableKind, kind);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, clipboard);
    QFETCH(QStringList, cells);
    QFETCH(QString, message);
    QFETCH(int, marked);

    const auto grid = MakeGrid(kind);
    const TableLayout &layout = LayoutOf(kind);
    PasteReport report;
    PasteBlock(*grid, layout, row, col, ParseTabText(clipboard), report);
    for (const QString &expected : cells) {
        const qsizetype comma = expected.indexOf(u','), equals = expected.indexOf(u'=');
        const int r = expected.left(comma).toInt(), c = expected.mid(comma + 1, equals - comma - 1).toInt();
        QCOMPARE(grid->cell(r, c), expected.mid(equals + 1));
    }
    QCOMPARE(report.message(), message);
    int marks = 0;
    for (int r = 1; r < grid->rows(); ++r)
        for (int c = 1; c < grid->cols(); ++c)
            marks += grid->markReason(r, c, MarkKind::Adjusted).isEmpty() ? 0 : 1;
    QCOMPARE(marks, marked);
    // Titles never change.
    QCOMPARE(grid->cell(0, 1), layout.column(1).title);
    QCOMPARE(grid->cell(row, 0), layout.rowTitle(row));
}

void TestGridPaste::fillAndClear()
{
    const auto goods = MakeGrid(TableKind::Goods);
    const TableLayout &layout = LayoutOf(TableKind::Goods);
    PasteReport report;
    FillRange(*goods, layout, { 2, 1, 4, 3 }, u"5a"_s, report);
    QCOMPARE(goods->cell(4, 1), u"5A"_s);
    QCOMPARE(goods->cell(2, 2), u"Узкий"_s); // not an entry: refused
    QCOMPARE(goods->cell(3, 3), u"5"_s);
    QCOMPARE(goods->cell(5, 3), QString());
    QCOMPARE(report.reachedCount(), 9);
    QCOMPARE(report.adjustedCount(), 6);
    QCOMPARE(goods->markReason(3, 3, MarkKind::Adjusted), u"Вставлялось «5a»: убраны недопустимые символы (1)"_s);

    goods->setCell(3, 2, u"Широкий"_s);
    ClearRange(*goods, layout, { 3, 1, 3, 6 });
    QCOMPARE(goods->cell(3, 1), QString());
    QCOMPARE(goods->cell(3, 2), u"Узкий"_s); // a list cell gets its start value
    QCOMPARE(goods->cell(3, 3), QString());
    QVERIFY(goods->marks(3, 3).isEmpty());
    QCOMPARE(goods->cell(4, 3), u"5"_s);

    // The VAT a kind without VAT choice set stays; the rest of the row clears.
    const auto usl = MakeGrid(TableKind::Usl);
    usl->setCell(1, UslCol::Kind, FixedLists::ItemKinds().at(6));
    usl->setCell(1, UslCol::Vat, FixedLists::VatExempt());
    usl->setCell(2, UslCol::Kind, FixedLists::ItemKinds().at(6));
    usl->setCell(2, UslCol::Vat, FixedLists::VatExempt());
    ClearRange(*usl, LayoutOf(TableKind::Usl), { 1, UslCol::Vat, 1, UslCol::Tax });
    QCOMPARE(usl->cell(1, UslCol::Vat), FixedLists::VatExempt());
    ClearRange(*usl, LayoutOf(TableKind::Usl), { 2, UslCol::Name, 2, UslCol::Tax });
    QCOMPARE(usl->cell(2, UslCol::Kind), FixedLists::ItemKinds().at(0));
    QCOMPARE(usl->cell(2, UslCol::Vat), FixedLists::Vat().at(0));
}

void TestGridPaste::copySkipsHiddenColumn()
{
    const auto usl = MakeGrid(TableKind::Usl);
    usl->setCell(1, UslCol::Landing, u"скрыто"_s);
    const TextBlock block = CopyRange(*usl, LayoutOf(TableKind::Usl), { 1, UslCol::Tax, 2, UslCol::Landing });
    QCOMPARE(block, (TextBlock { { FixedLists::Taxation().at(0) }, { FixedLists::Taxation().at(0) } }));
    // What is copied pastes back as it was.
    const auto goods = MakeGrid(TableKind::Goods);
    goods->setCell(7, GoodsCol::Name, u"А\tБ"_s); // from a file, with a tab
    goods->setCell(7, GoodsCol::Price, u"1.5"_s);
    const QString text = ToTabText(CopyRange(*goods, LayoutOf(TableKind::Goods), { 7, 1, 7, 6 }));
    QCOMPARE(text, u"\"А\tБ\"\tУзкий\t\t1.5\t\t\n"_s);
    QCOMPARE(ParseTabText(text).first().size(), 6);
}

void TestGridPaste::writtenRangeCopiesBack_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("written"); // "top,left-bottom,right", or "none"

    // Empty cells copied from a grid: every row ends with its line end, so each is still a cell.
    const auto empties = MakeGrid(TableKind::Goods);
    const QString emptyCells
        = ToTabText(CopyRange(*empties, LayoutOf(TableKind::Goods), { 1, GoodsCol::Barcode, 3, GoodsCol::Price }));
    QTest::newRow("empty cells copied") << TableKind::Goods << 10 << GoodsCol::Name << emptyCells << u"10,1-12,2"_s;
    QTest::newRow("one empty cell copied") << TableKind::Goods << 10 << GoodsCol::Name << u"\n"_s << u"10,1-10,1"_s;
    QTest::newRow("nothing") << TableKind::Goods << 10 << GoodsCol::Name << QString() << u"none"_s;
    QTest::newRow("nothing, on the hidden column") << TableKind::Usl << 4 << UslCol::Landing << QString() << u"none"_s;
    QTest::newRow("a value, on the hidden column") << TableKind::Usl << 4 << UslCol::Landing << u"x"_s << u"none"_s;
    QTest::newRow("from the column before the hidden one")
        << TableKind::Usl << 4 << UslCol::Tax << u"1 - Общая\tx\n1 - Общая"_s << u"4,5-5,5"_s;
    QTest::newRow("past the last row") << TableKind::Goods << 6000 << GoodsCol::Price << u"1\n2\n"_s
                                       << u"6000,4-6000,4"_s;
}

// What a paste says it wrote is what it wrote: copied again, those cells read
// back as the grid has them, and a paste of nothing wrote nothing.
void TestGridPaste::writtenRangeCopiesBack()
{
    QFETCH(TableKind, kind);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, clipboard);
    QFETCH(QString, written);

    const auto grid = MakeGrid(kind);
    const TableLayout &layout = LayoutOf(kind);
    for (int r = 1; r <= layout.maxRow(); ++r) // something to clear or keep
        grid->setCell(r, 1, u"Ъ"_s);
    const auto before = MakeGrid(kind);
    before->copyCellsFrom(*grid);
    PasteReport report;
    const CellRange range = PasteBlock(*grid, layout, row, col, ParseTabText(clipboard), report);
    const QString got = range.isEmpty()
        ? u"none"_s
        : u"%1,%2-%3,%4"_s.arg(range.top).arg(range.left).arg(range.bottom).arg(range.right);
    QCOMPARE(got, written);
    const TextBlock copied = CopyRange(*grid, layout, range);
    QCOMPARE(ParseTabText(ToTabText(copied)), copied);
    if (range.isEmpty()) {
        QCOMPARE(range.cellCount(), 0);
        QVERIFY(copied.isEmpty());
        for (int r = 1; r < grid->rows(); ++r)
            for (int c = 1; c < grid->cols(); ++c)
                QCOMPARE(grid->cell(r, c), before->cell(r, c));
    }
    if (clipboard == u"\n"_s || written == u"10,1-12,2"_s) // the empty cells cleared what was there
        QCOMPARE(grid->cell(row, col), QString());
}

QTEST_GUILESS_MAIN(TestGridPaste)
#include "TestGridPaste.moc"
