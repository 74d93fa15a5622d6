#include "ConfigFields.h"

#include "pages/ConfigCopy.h"
#include "pages/FixedLists.h"
#include "pages/GridSet.h"
#include "pages/RangeCheck.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestGrids : public QObject
{
    Q_OBJECT
private slots:
    void modelCellsAndFlags();
    void modelPassesModelTester();
    void bulkUpdateSignalsOnce();
    void startState();
    void configCopyBothWays();
    void rangeCheck_data();
    void rangeCheck();
};

void TestGrids::modelCellsAndFlags()
{
    StringGridModel grid(3, 4);
    grid.setCell(1, 2, u"x"_s);
    grid.setCell(3, 0, u"outside"_s); // ignored
    QCOMPARE(grid.cell(1, 2), u"x"_s);
    QCOMPARE(grid.cell(3, 0), QString());
    QCOMPARE(grid.data(grid.index(1, 2)).toString(), u"x"_s);
    QVERIFY(grid.flags(grid.index(1, 1)) & Qt::ItemIsEditable);
    QVERIFY(!(grid.flags(grid.index(0, 1)) & Qt::ItemIsEditable)); // title row
    QVERIFY(!(grid.flags(grid.index(1, 0)) & Qt::ItemIsEditable)); // title column
    QVERIFY(!grid.setData(grid.index(0, 1), u"t"_s));
    QVERIFY(grid.setData(grid.index(2, 3), u"typed"_s));
    QCOMPARE(grid.cell(2, 3), u"typed"_s);
}

void TestGrids::modelPassesModelTester()
{
    const auto grid = MakeGrid(TableKind::Usl);
    const QAbstractItemModelTester tester(grid.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    grid->setCell(3, 4, u"changed"_s);
    grid->setData(grid->index(2, 1), u"typed"_s);
    {
        const GridBulkUpdate bulk(*grid);
        InitGrid(TableKind::Usl, *grid);
    }
    QCOMPARE(grid->cell(3, 4), u"1 - Ставка НДС 20%"_s);
}

void TestGrids::bulkUpdateSignalsOnce()
{
    const auto goods = MakeGrid(TableKind::Goods);
    QSignalSpy spy(goods.get(), &QAbstractItemModel::dataChanged);
    {
        const GridBulkUpdate outer(*goods);
        const GridBulkUpdate inner(*goods);
        for (int row = 10; row <= 6000; ++row)
            for (int col = 1; col <= 3; ++col)
                goods->setCell(row, col, u"v"_s);
    }
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toModelIndex(), goods->index(10, 1));
    QCOMPARE(spy.at(0).at(1).toModelIndex(), goods->index(6000, 3));

    goods->setCell(5, 5, u"single"_s);
    QCOMPARE(spy.count(), 2);
    {
        const GridBulkUpdate nothing(*goods);
    }
    QCOMPARE(spy.count(), 2);
}

void TestGrids::startState()
{
    const OwnedGrids grids;
    const StringGridModel &goods = grids[TableKind::Goods];
    QCOMPARE(goods.rows(), 6001);
    QCOMPARE(goods.cell(0, 4), u"Цена за единицу"_s);
    QCOMPARE(goods.cell(6000, 0), u"6000"_s);
    QCOMPARE(goods.cell(6000, 2), u"Узкий"_s);
    QCOMPARE(goods.cell(6000, 4), QString());
    const StringGridModel &usl = grids[TableKind::Usl];
    QCOMPARE(usl.cell(0, 1), u"Наименование отдела/услуги "_s);
    QCOMPARE(usl.cell(8, 3), u"00 - Временный запрет работы секционной клавиши"_s);
    QCOMPARE(usl.cell(8, 4), u"1 - Ставка НДС 20%"_s);
    QCOMPARE(usl.cell(8, 5), u"1 - Общая"_s);
    QCOMPARE(grids[TableKind::Oper].cell(6, 6), u"Узкий"_s);
    QCOMPARE(grids[TableKind::Klishe].cell(21, 0), u"21.   Электронная почта отправителя #2"_s);
    QCOMPARE(grids[TableKind::Agents].cell(5, 2), u"Узкий"_s);
    QCOMPARE(grids[TableKind::Agents].cell(12, 0), u"12. Операция платежного агента"_s);
    QCOMPARE(grids[TableKind::Factory].cell(9, 0), u"9.   Предприятие #9"_s);
    QCOMPARE(grids[TableKind::Factory].cell(10, 0), u"10. Предприятие #10"_s);
    QCOMPARE(grids[TableKind::Station].cell(9, 0), u"9.    Станция #9"_s);
    QCOMPARE(grids[TableKind::Station].cell(40, 0), u"40.  Станция #40"_s);
    QCOMPARE(grids[TableKind::Gsm].cell(2, 0), u"Имя сервера ОФД"_s);
}

void TestGrids::configCopyBothWays()
{
    const OwnedGrids grids;
    auto cfg = std::make_unique<TConfig>();
    FillDistinct(*cfg);
    cfg->Scan = { TScanTypeDevice::Bee2, u"COM5"_s, u"9600"_s, true };
    ConfigToGrids(*cfg, grids.set());
    QCOMPARE(grids[TableKind::Oper].cell(1, 8), cfg->Cfg102.Oper[0].Inn);
    QCOMPARE(grids[TableKind::Goods].cell(6000, 6), cfg->Cfg102.PredmRasch[5999].Mark);
    QCOMPARE(grids[TableKind::Usl].cell(8, 4), cfg->Cfg102.RpiznPredmRasch[7].Name);
    QCOMPARE(grids[TableKind::Agents].cell(12, 2), cfg->Cfg102.Agent[11].fontValue);
    QCOMPARE(grids[TableKind::Station].cell(40, 1), cfg->Cfg102.Station[39].Name);
    QCOMPARE(grids[TableKind::Gsm].cell(7, 1), cfg->Gsm.arrParam[6]);
    QCOMPARE(grids[TableKind::Goods].cell(1, 0), u"1"_s); // title column untouched
    QCOMPARE(grids[TableKind::Usl].cell(1, 6), QString()); // hidden column untouched

    auto back = std::make_unique<TConfig>();
    GridsToConfig(grids.set(), *back);
    QCOMPARE(ConfigTexts(*back), ConfigTexts(*cfg));
    QCOMPARE(back->Scan.ComPort, QString()); // the scanner is not a grid's business
}

void TestGrids::rangeCheck_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("max");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focus");
    const QString start = u"ВНИМАНИЕ!\r\nНеверно введено значение начала диапазона!"_s;
    const QString end = u"ВНИМАНИЕ!\r\nНеверно введено значение конца диапазона!"_s;
    const QString zero = u"ВНИМАНИЕ!\r\nЗначение начала диапазона не может начинаться с 0!"_s;
    const int s = int(RangeCheck::Field::Start), e = int(RangeCheck::Field::End), n = int(RangeCheck::Field::None);
    QTest::newRow("empty start") << QString() << u"6"_s << 6 << start << s;
    QTest::newRow("empty end") << u"1"_s << QString() << 6 << end << e;
    QTest::newRow("start 0") << u"0"_s << u"6"_s << 6 << zero << s;
    QTest::newRow("start 00") << u"00"_s << u"6"_s << 6 << zero << s;
    QTest::newRow("start above max") << u"7"_s << u"6"_s << 6 << start << s;
    QTest::newRow("end above max") << u"1"_s << u"7"_s << 6 << end << e;
    QTest::newRow("start above end") << u"5"_s << u"3"_s << 6 << start << s;
    QTest::newRow("end 0") << u"1"_s << u"0"_s << 6 << start << s;
    QTest::newRow("pasted text") << u"1a"_s << u"6"_s << 6 << QString() << n;
    QTest::newRow("pasted sign") << u"-1"_s << u"6"_s << 6 << QString() << n;
    QTest::newRow("all operators") << u"1"_s << u"6"_s << 6 << QString() << n;
    QTest::newRow("all goods") << u"1"_s << u"6000"_s << 6000 << QString() << n;
    QTest::newRow("goods 6001") << u"1"_s << u"6001"_s << 6000 << end << e;
}

void TestGrids::rangeCheck()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, max);
    QFETCH(QString, message);
    QFETCH(int, focus);
    const RangeCheck check = CheckRangeValues(from, to, max);
    QCOMPARE(check.message, message);
    QCOMPARE(int(check.focus), focus);
    const bool accepted = focus == int(RangeCheck::Field::None) && message.isEmpty() && from.toInt() > 0;
    QCOMPARE(check.ok, accepted);
    if (accepted)
        QCOMPARE(check.to, max);
}

QTEST_GUILESS_MAIN(TestGrids)
#include "TestGrids.moc"
