// The old texts of a change, kept to go back and forth: only cells that
// differ, every text exactly as it was, recordings that nest.
#include "pages/GridDelta.h"
#include "pages/Grids102.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestGridDelta : public QObject
{
    Q_OBJECT
private slots:
    void keepsOnlyCellsThatDiffer();
    void textsComeBackExactly_data();
    void textsComeBackExactly();
    void wholeBaseBackAndForth();
    void innerRecordingPausesOuter();
    void marksOfTheTextGoBackAndForth();
};

void TestGridDelta::keepsOnlyCellsThatDiffer()
{
    const auto goods = MakeGrid(TableKind::Goods);
    goods->setCell(1, GoodsCol::Name, u"ХЛЕБ"_s);
    GridDelta delta(*goods);
    delta.startRecording();
    goods->setCell(1, GoodsCol::Name, u"БАТОН"_s);
    goods->setCell(1, GoodsCol::Name, u"ХЛЕБ"_s); // back where it was
    goods->setCell(2, GoodsCol::Price, u"1.00"_s);
    goods->setCell(3, GoodsCol::Font, u"Узкий"_s); // no change at all
    goods->setCell(6000, GoodsCol::Mark, u"м"_s);
    delta.stopRecording();
    QCOMPARE(delta.cellCount(), 2);
    QVERIFY(!delta.matchesGrid());

    QSignalSpy changed(goods.get(), &QAbstractItemModel::dataChanged);
    delta.swap();
    QCOMPARE(changed.size(), 1); // one signal for the lot
    QCOMPARE(goods->cell(2, GoodsCol::Price), QString());
    QCOMPARE(goods->cell(6000, GoodsCol::Mark), QString());
    QCOMPARE(goods->cell(1, GoodsCol::Name), u"ХЛЕБ"_s);
    delta.swap();
    QCOMPARE(goods->cell(2, GoodsCol::Price), u"1.00"_s);
    QCOMPARE(goods->cell(6000, GoodsCol::Mark), u"м"_s);

    // Nothing changed: an empty delta.
    GridDelta none(*goods);
    none.startRecording();
    goods->setCell(5, GoodsCol::Name, u"X"_s);
    goods->setCell(5, GoodsCol::Name, QString());
    none.stopRecording();
    QVERIFY(none.isEmpty());
    QVERIFY(none.matchesGrid());
}

void TestGridDelta::textsComeBackExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("cyrillic") << u"МОЛОКО 3,2% «Домик»"_s;
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + u"x"_s;
    QTest::newRow("nul and controls") << QString::fromUtf16(u"a\0b\x01\r\n\t", 7);
    QTest::newRow("long") << QString(100000, u'ж');
    QTest::newRow("wide characters") << QString::fromUtf16(u"\U0001F600\U0001F4A9");
}

// Whatever a file put into a cell comes back unit for unit, packed or not.
void TestGridDelta::textsComeBackExactly()
{
    QFETCH(QString, text);
    for (const int cells : { 1, 400 }) { // one cell kept as is, many packed
        const auto grid = MakeGrid(TableKind::Goods);
        for (int row = 1; row <= cells; ++row)
            grid->setCell(row, GoodsCol::Name, text + QString::number(row));
        GridDelta delta(*grid);
        delta.startRecording();
        for (int row = 1; row <= cells; ++row)
            grid->setCell(row, GoodsCol::Name, u"НОВОЕ"_s);
        delta.stopRecording();
        delta.swap();
        for (int row = 1; row <= cells; ++row)
            QCOMPARE(grid->cell(row, GoodsCol::Name), text + QString::number(row));
        delta.swap();
        QCOMPARE(grid->cell(cells, GoodsCol::Name), u"НОВОЕ"_s);
    }
}

void TestGridDelta::wholeBaseBackAndForth()
{
    const auto goods = MakeGrid(TableKind::Goods);
    for (int row = 1; row <= 6000; ++row)
        goods->setCell(row, GoodsCol::Barcode, u"46%1"_s.arg(row * 7919, 11, 10, QChar(u'0')));
    const auto before = MakeGrid(TableKind::Goods);
    for (int row = 1; row <= 6000; ++row)
        before->setCell(row, GoodsCol::Barcode, goods->cell(row, GoodsCol::Barcode));

    GridDelta delta(*goods);
    delta.startRecording();
    {
        const GridBulkUpdate bulk(*goods);
        InitGrid(TableKind::Goods, *goods); // every barcode emptied
        for (int row = 1; row <= 6000; row += 2)
            goods->setCell(row, GoodsCol::Name, u"ТОВАР %1"_s.arg(row));
    }
    delta.stopRecording();
    QCOMPARE(delta.cellCount(), 6000 + 3000);
    delta.swap();
    for (int row = 1; row <= 6000; ++row) {
        QCOMPARE(goods->cell(row, GoodsCol::Barcode), before->cell(row, GoodsCol::Barcode));
        QCOMPARE(goods->cell(row, GoodsCol::Name), QString());
    }
    delta.swap();
    QCOMPARE(goods->cell(5999, GoodsCol::Name), u"ТОВАР 5999"_s);
    QCOMPARE(goods->cell(5999, GoodsCol::Barcode), QString());
}

// A change recorded on its own while a longer one records (a key typed during
// a read): the longer one neither sees it nor stops recording.
void TestGridDelta::innerRecordingPausesOuter()
{
    const auto grid = MakeGrid(TableKind::Station);
    GridDelta outer(*grid);
    outer.startRecording();
    grid->setCell(1, StationCol::Name, u"ИЗ ККТ"_s);
    {
        GridDelta inner(*grid);
        inner.startRecording();
        grid->setCell(2, StationCol::Name, u"НАБРАНО"_s);
        inner.stopRecording();
        QCOMPARE(inner.cellCount(), 1);
    }
    QCOMPARE(grid->recorder(), &outer);
    grid->setCell(3, StationCol::Name, u"ИЗ ККТ"_s);
    outer.stopRecording();
    QCOMPARE(grid->recorder(), nullptr);
    QCOMPARE(outer.cellCount(), 2);
    outer.swap();
    QCOMPARE(grid->cell(1, StationCol::Name), QString());
    QCOMPARE(grid->cell(2, StationCol::Name), u"НАБРАНО"_s);
    QCOMPARE(grid->cell(3, StationCol::Name), QString());
}

// A mark saying what a paste or an import made of a cell belongs to that
// step: it goes with an undo and comes back with a redo, also where the text
// itself did not change (a refused value left the cell as it was). Marks kept
// by watchers (shared barcodes) are theirs to set.
void TestGridDelta::marksOfTheTextGoBackAndForth()
{
    const auto goods = MakeGrid(TableKind::Goods);
    goods->setCell(1, GoodsCol::Name, u"ХЛЕБ"_s);
    goods->setMark(1, GoodsCol::Name, MarkKind::Adjusted, u"раньше"_s);
    goods->setMark(4, GoodsCol::Barcode, MarkKind::Duplicate, u"как в строке 5"_s);
    GridDelta delta(*goods);
    delta.startRecording();
    goods->setCell(1, GoodsCol::Name, u"БАТОН"_s); // takes the earlier mark away
    goods->setMark(2, GoodsCol::Barcode, MarkKind::Adjusted, u"не число"_s); // text unchanged
    goods->setCell(3, GoodsCol::Price, u"1.00"_s);
    goods->setMark(3, GoodsCol::Price, MarkKind::Adjusted, u"обрезано"_s);
    goods->clearMark(4, GoodsCol::Barcode, MarkKind::Duplicate);
    delta.stopRecording();
    QVERIFY(!delta.isEmpty());
    QVERIFY(!delta.matchesGrid());

    delta.swap(); // back
    QCOMPARE(goods->cell(1, GoodsCol::Name), u"ХЛЕБ"_s);
    QCOMPARE(goods->markReason(1, GoodsCol::Name, MarkKind::Adjusted), u"раньше"_s);
    QCOMPARE(goods->marks(2, GoodsCol::Barcode), QList<CellMark>());
    QCOMPARE(goods->marks(3, GoodsCol::Price), QList<CellMark>());
    QCOMPARE(goods->marks(4, GoodsCol::Barcode), QList<CellMark>());

    delta.swap(); // forth
    QCOMPARE(goods->marks(1, GoodsCol::Name), QList<CellMark>());
    QCOMPARE(goods->markReason(2, GoodsCol::Barcode, MarkKind::Adjusted), u"не число"_s);
    QCOMPARE(goods->cell(3, GoodsCol::Price), u"1.00"_s);
    QCOMPARE(goods->markReason(3, GoodsCol::Price, MarkKind::Adjusted), u"обрезано"_s);

    // Only a mark changed: still a step.
    GridDelta marksOnly(*goods);
    marksOnly.startRecording();
    goods->setMark(9, GoodsCol::Name, MarkKind::Adjusted, u"x"_s);
    marksOnly.stopRecording();
    QCOMPARE(marksOnly.cellCount(), 0);
    QVERIFY(!marksOnly.isEmpty());
    QVERIFY(!marksOnly.matchesGrid());
    goods->clearMark(9, GoodsCol::Name, MarkKind::Adjusted); // the change came to nothing
    QVERIFY(marksOnly.matchesGrid());
}

QTEST_GUILESS_MAIN(TestGridDelta)
#include "TestGridDelta.moc"
