// Looking over a whole grid: the cells a find stops at, in order and around
// the end, and the goods rows that share a barcode.
#include "pages/DuplicateBarcodes.h"
#include "pages/GridFind.h"
#include "pages/Grids102.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TableKind)

namespace {
QStringList Positions(const QList<CellPos> &cells)
{
    QStringList out;
    for (const CellPos &cell : cells)
        out << u"%1,%2"_s.arg(cell.row).arg(cell.col);
    return out;
}
} // namespace

class TestGridFind : public QObject
{
    Q_OBJECT
private slots:
    void findCells_data();
    void findCells();
    void nextMatchWrapsAround();
    void duplicateBarcodesMarked();
};

void TestGridFind::findCells_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found"); // "row,col" in reading order

    QTest::newRow("part of a name, any case") << TableKind::Goods << u"мол"_s << QStringList { u"2,1"_s, u"5999,1"_s };
    QTest::newRow("part of a barcode") << TableKind::Goods << u"7001"_s << QStringList { u"2,3"_s, u"4,3"_s };
    QTest::newRow("prices and sections are not looked in") << TableKind::Goods << u"12"_s << QStringList {};
    QTest::newRow("nor the font lists") << TableKind::Goods << u"узк"_s << QStringList {};
    QTest::newRow("no match") << TableKind::Goods << u"кефир"_s << QStringList {};
    QTest::newRow("empty text finds nothing") << TableKind::Goods << QString() << QStringList {};
    QTest::newRow("operators: name and inn") << TableKind::Oper << u"77"_s << QStringList { u"1,3"_s, u"1,8"_s };
    QTest::newRow("groups: not the hidden column") << TableKind::Usl << u"скрыт"_s << QStringList {};
    QTest::newRow("gsm values") << TableKind::Gsm << u"MTS"_s << QStringList { u"5,1"_s };
}

void TestGridFind::findCells()
{
    QFETCH(TableKind, kind);
    QFETCH(QString, text);
    QFETCH(QStringList, found);

    const auto grid = MakeGrid(kind);
    switch (kind) {
    case TableKind::Goods:
        grid->setCell(2, GoodsCol::Name, u"МОЛОКО 3,2%"_s);
        grid->setCell(2, GoodsCol::Barcode, u"4607001770015"_s);
        grid->setCell(2, GoodsCol::Price, u"12.50"_s);
        grid->setCell(3, GoodsCol::Section, u"12"_s);
        grid->setCell(4, GoodsCol::Barcode, u"2000070010001"_s);
        grid->setCell(5999, GoodsCol::Name, u"КОНФЕТЫ \"МОЛОЧНЫЕ\""_s);
        break;
    case TableKind::Oper:
        grid->setCell(1, OperCol::Name1, u"ИВАНОВ 77"_s);
        grid->setCell(1, OperCol::Inn, u"770708389312"_s);
        break;
    case TableKind::Usl:
        grid->setCell(1, UslCol::Landing, u"скрыто"_s);
        break;
    default:
        grid->setCell(5, GsmCol::Value, u"internet.mts.ru"_s);
        break;
    }
    QCOMPARE(Positions(FindCells(*grid, LayoutOf(kind), text)), found);
}

void TestGridFind::nextMatchWrapsAround()
{
    const QList<CellPos> matches { { 2, 1 }, { 2, 3 }, { 10, 1 } };
    QCOMPARE(NextMatch(matches, { 1, 1 }, true), 0);
    QCOMPARE(NextMatch(matches, { 2, 1 }, true), 1); // the one the user is on is passed
    QCOMPARE(NextMatch(matches, { 2, 1 }, true, true), 0); // unless it counts
    QCOMPARE(NextMatch(matches, { 2, 2 }, true), 1);
    QCOMPARE(NextMatch(matches, { 10, 1 }, true), 0); // round to the first
    QCOMPARE(NextMatch(matches, { 6000, 6 }, true), 0);
    QCOMPARE(NextMatch(matches, { 10, 1 }, false), 1);
    QCOMPARE(NextMatch(matches, { 2, 1 }, false), 2); // round to the last
    QCOMPARE(NextMatch(matches, { 2, 3 }, false, true), 1);
    QCOMPARE(NextMatch(matches, { 1, 1 }, false), 2);
    QCOMPARE(NextMatch({}, { 1, 1 }, true), -1);
}

void TestGridFind::duplicateBarcodesMarked()
{
    const auto goods = MakeGrid(TableKind::Goods);
    new DuplicateBarcodes(*goods);
    goods->setCell(3, GoodsCol::Barcode, u"4607001770015"_s);
    QVERIFY(goods->marks(3, GoodsCol::Barcode).isEmpty());
    goods->setCell(40, GoodsCol::Barcode, u"4607001770015"_s);
    QCOMPARE(goods->markReason(3, GoodsCol::Barcode, MarkKind::Duplicate), u"Такой же штрих-код в строке 40"_s);
    QCOMPARE(goods->markReason(40, GoodsCol::Barcode, MarkKind::Duplicate), u"Такой же штрих-код в строке 3"_s);
    QCOMPARE(
        goods->data(goods->index(40, GoodsCol::Barcode), StringGridModel::MarkRole).toInt(), int(MarkKind::Duplicate));
    QCOMPARE(goods->data(goods->index(40, GoodsCol::Barcode), Qt::ToolTipRole).toString(),
        u"Такой же штрих-код в строке 3"_s);

    // A whole base at once; one code on eight rows names five of the others.
    {
        const GridBulkUpdate bulk(*goods);
        for (int row = 100; row < 108; ++row)
            goods->setCell(row, GoodsCol::Barcode, u"2000000000015"_s);
    }
    QCOMPARE(goods->markReason(100, GoodsCol::Barcode, MarkKind::Duplicate),
        u"Такой же штрих-код в строках 101, 102, 103, 104, 105, …"_s);
    QCOMPARE(goods->markReason(40, GoodsCol::Barcode, MarkKind::Duplicate), u"Такой же штрих-код в строке 3"_s);

    // Changed away, the pair is no pair; empty cells are no duplicates.
    goods->setCell(40, GoodsCol::Barcode, QString());
    goods->setCell(41, GoodsCol::Barcode, QString());
    QVERIFY(goods->marks(3, GoodsCol::Barcode).isEmpty());
    // Nor are the "0" a read gives every item without a barcode.
    goods->setCell(50, GoodsCol::Barcode, u"0"_s);
    goods->setCell(51, GoodsCol::Barcode, u"0"_s);
    QVERIFY(goods->marks(50, GoodsCol::Barcode).isEmpty());
    QVERIFY(goods->marks(40, GoodsCol::Barcode).isEmpty());
    // A mark of another kind on the cell stays as it was.
    goods->setMark(101, GoodsCol::Barcode, MarkKind::Adjusted, u"вставка"_s);
    goods->setCell(100, GoodsCol::Barcode, u"1"_s);
    QCOMPARE(goods->marks(101, GoodsCol::Barcode).size(), 2);
    QCOMPARE(goods->markReason(101, GoodsCol::Barcode, MarkKind::Duplicate),
        u"Такой же штрих-код в строках 102, 103, 104, 105, 106, …"_s);
}

QTEST_GUILESS_MAIN(TestGridFind)
#include "TestGridFind.moc"
