// What the register holds after a write: the check before writing names every
// cell the register would change and why; its stored values agree with a real
// write and read through the imitated register; verification finds exactly
// the cells the register holds otherwise.
#include "emulator/DeviceLink.h"
#include "emulator/KktDevice.h"
#include "pages/EditBaseline.h"
#include "pages/FixedLists.h"
#include "pages/GridSet.h"
#include "pages/RegisterView.h"
#include "pages/StoreMarks.h"
#include "pages/TableLayout.h"
#include "pages/TableRun.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
struct Cell
{
    TableKind kind;
    int row;
    int col;
    QString value;
};

// Values each of which the register keeps otherwise than typed, but can take.
const QList<Cell> &TrickyCells()
{
    static const QList<Cell> cells {
        { TableKind::Goods, 1, GoodsCol::Name, u"Чай чёрный листовой 100 г №7"_s },
        { TableKind::Goods, 2, GoodsCol::Price, u"12.345"_s },
        { TableKind::Goods, 2, GoodsCol::Section, u"300"_s },
        { TableKind::Goods, 3, GoodsCol::Font, QString() },
        { TableKind::Goods, 3, GoodsCol::Barcode, u"140737488355327"_s },
        { TableKind::Goods, 3, GoodsCol::Mark, u"M"_s },
        { TableKind::Oper, 1, OperCol::Post, u"ст. {кассир} ~1~"_s },
        { TableKind::Oper, 2, OperCol::Name1, u"Щукин\tЁ"_s },
        { TableKind::Klishe, 1, KlisheCol::Text, u"ДОБРО ПОЖАЛОВАТЬ В НАШ МАГАЗИН!"_s },
        { TableKind::Station, 4, StationCol::Name, u"АЗС № 4 (Σ)"_s },
        { TableKind::Gsm, 2, GsmCol::Value, QString(80, u'ы') },
        { TableKind::Gsm, 5, GsmCol::Value, u"ёлка.internet"_s },
        { TableKind::Gsm, 1, GsmCol::Value, u"91.107.67..999"_s },
        { TableKind::Gsm, 3, GsmCol::Value, u"77909"_s },
    };
    return cells;
}

void Put(const GridSet &grids, const QList<Cell> &cells)
{
    for (const Cell &c : cells)
        grids[c.kind].setCell(c.row, c.col, c.value);
}

// Every table written to a fresh register and read back into fresh grids.
void ThroughRegister(const GridSet &grids, const GridSet &read);

// The tricky cells and a kind for every group, written and read back.
void TrickyThroughRegister(const OwnedGrids &grids, const OwnedGrids &read)
{
    Put(grids.set(), TrickyCells());
    for (int row = 1; row <= MaxRowOf(TableKind::Usl); ++row)
        grids[TableKind::Usl].setCell(row, UslCol::Kind, FixedLists::ItemKinds().at(row));
    ThroughRegister(grids.set(), read.set());
}

void ThroughRegister(const GridSet &grids, const GridSet &read)
{
    KktDevice device;
    DeviceLink link(device);
    KktChannel channel(link);
    const KktConnection connection;
    for (int k = 0; k < kTableKindCount; ++k) {
        const auto kind = TableKind(k);
        const int last = MaxRowOf(kind);
        QVERIFY(RunTable(channel, connection, kind, RunDirection::Write, grids[kind], 1, last).ok);
        QVERIFY(RunTable(channel, connection, kind, RunDirection::Read, read[kind], 1, last).ok);
    }
}
} // namespace

class TestRegisterView : public QObject
{
    Q_OBJECT
private slots:
    void checkNamesEachReason_data();
    void checkNamesEachReason();
    void startValuesAndCaseAloneAreNoIssue();
    void storedAgreesWithWriteAndRead();
    void verifyFindsTheCellsThatDiffer();
    void marksFollowTheCells();
    void editedCellsSinceTheyLastMatched();
};

void TestRegisterView::checkNamesEachReason_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("refused");

    const auto add = [](const char *name, TableKind kind, int row, int col, const QString &value, const QString &stored,
                         const QString &reason, bool refused = false) {
        QTest::newRow(name) << int(kind) << row << col << value << stored << reason << refused;
    };
    add("name cut, ё lost", TableKind::Goods, 1, GoodsCol::Name, u"Чай чёрный листовой 100 г №7"_s,
        u"ЧАЙ Ч РНЫЙ ЛИСТОВОЙ 100 "_s, u"длиннее поля: сохранится 24 символа; символы, которых нет в ККТ: «Ё»"_s);
    add("№ and braces", TableKind::Oper, 1, OperCol::Post, u"№{1}"_s, u" Ш1Щ"_s,
        u"символы, которых нет в ККТ: «№», «{», «}»"_s);
    add("tab dropped", TableKind::Klishe, 3, KlisheCol::Text, u"А\tБ"_s, u"АБ"_s,
        u"управляющие символы будут удалены"_s);
    add("plain text keeps case, not ё", TableKind::Gsm, 5, GsmCol::Value, u"ёlka"_s, u"Qlka"_s,
        u"символы, которых нет в ККТ: «ё»"_s);
    add("server name over 72", TableKind::Gsm, 2, GsmCol::Value, QString(73, u'A'), QString(72, u'A'),
        u"длиннее поля: сохранится 72 символа"_s);
    add("not an IP address", TableKind::Gsm, 1, GsmCol::Value, u"91.107.67..999"_s, u"91.107.67..999"_s,
        u"не IP-адрес: нужны четыре числа от 0 до 255 через точку"_s);
    add("IP part over 255", TableKind::Gsm, 1, GsmCol::Value, u"10.0.0.256"_s, u"10.0.0.256"_s,
        u"не IP-адрес: нужны четыре числа от 0 до 255 через точку"_s);
    add("port over 65535", TableKind::Gsm, 3, GsmCol::Value, u"77909"_s, u"77909"_s,
        u"порт должен быть от 1 до 65535"_s);
    add("port 0", TableKind::Gsm, 3, GsmCol::Value, u"0"_s, u"0"_s, u"порт должен быть от 1 до 65535"_s);
    add("kopecks cut", TableKind::Goods, 2, GoodsCol::Price, u"12.345"_s, u"12.34"_s,
        u"копейки после второго знака будут отброшены"_s);
    add("price too large", TableKind::Goods, 2, GoodsCol::Price, u"21474836.48"_s, u"21474836.48"_s,
        u"цена больше 21474836.47"_s, true);
    add("price not a number", TableKind::Goods, 2, GoodsCol::Price, u"12,50"_s, u"12,50"_s,
        u"цена должна быть числом с точкой (12.50)"_s, true);
    add("section over a byte", TableKind::Goods, 2, GoodsCol::Section, u"300"_s, u"44"_s,
        u"не помещается в поле (0–255): будет 44"_s);
    add("section not a number", TableKind::Goods, 2, GoodsCol::Section, u"2а"_s, u"0"_s, u"не число: будет 0"_s);
    add("barcode too large", TableKind::Goods, 4, GoodsCol::Barcode, u"140737488355328"_s, u"140737488355328"_s,
        u"штрих-код должен быть числом меньше 140737488355328"_s, true);
    add("barcode with letters", TableKind::Goods, 4, GoodsCol::Barcode, u"12ABC"_s, u"12ABC"_s,
        u"штрих-код должен быть числом меньше 140737488355328"_s, true);
    add("mark not м", TableKind::Goods, 4, GoodsCol::Mark, u"M"_s, QString(),
        u"отметка не «м»: товар не будет маркирован"_s);
    add("mark without a barcode", TableKind::Goods, 4, GoodsCol::Mark, u"м"_s, QString(),
        u"без штрих-кода отметка о маркировке не сохранится"_s);
    add("font not from the list", TableKind::Oper, 2, OperCol::PostFont, QString(), u"Широкий"_s,
        u"шрифт не из списка: будет «Широкий»"_s);
    add("group without kind", TableKind::Usl, 3, UslCol::Kind, QString(), QString(),
        u"не выбран признак предмета расчета"_s, true);
}

void TestRegisterView::checkNamesEachReason()
{
    QFETCH(int, kind);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, value);
    QFETCH(QString, stored);
    QFETCH(QString, reason);
    QFETCH(bool, refused);
    const OwnedGrids grids;
    const auto table = TableKind(kind);
    grids[table].setCell(row, col, value);
    const QList<StoreIssue> issues = CheckBeforeWrite(table, grids[table], 1, MaxRowOf(table));
    QCOMPARE(issues.size(), 1);
    const StoreIssue &issue = issues.first();
    QCOMPARE(issue.row, row);
    QCOMPARE(issue.col, col);
    QCOMPARE(issue.value, value);
    QCOMPARE(issue.stored, stored);
    QCOMPARE(issue.reason, reason);
    QCOMPARE(issue.refused, refused);
    // Outside the range asked for, the same cell is no issue.
    if (table != TableKind::Gsm && row > 1)
        QVERIFY(CheckBeforeWrite(table, grids[table], 1, row - 1).isEmpty());
}

// Fresh grids, lower-case texts within their fields, empty rows, groups of the
// VAT-exempt kinds: nothing to warn of.
void TestRegisterView::startValuesAndCaseAloneAreNoIssue()
{
    const OwnedGrids grids;
    grids[TableKind::Goods].setCell(7, GoodsCol::Name, u"молоко 3,2% 1л"_s);
    grids[TableKind::Goods].setCell(7, GoodsCol::Price, u"89.5"_s);
    grids[TableKind::Oper].setCell(3, OperCol::Name1, u"иванов и. и."_s);
    grids[TableKind::Usl].setCell(2, UslCol::Kind, FixedLists::ItemKinds().at(5));
    grids[TableKind::Usl].setCell(2, UslCol::Vat, FixedLists::VatExempt());
    grids[TableKind::Gsm].setCell(1, GsmCol::Value, u"91.107.67.212"_s);
    grids[TableKind::Gsm].setCell(3, GsmCol::Value, u"7790"_s);
    for (int k = 0; k < kTableKindCount; ++k) {
        const auto kind = TableKind(k);
        const QList<StoreIssue> issues = CheckBeforeWrite(kind, grids[kind], 1, MaxRowOf(kind));
        QVERIFY2(issues.isEmpty(), qPrintable(issues.value(0).reason));
    }
}

// The view's stored values are what a write and a read through the imitated
// register really give: verification of a fresh write finds nothing.
void TestRegisterView::storedAgreesWithWriteAndRead()
{
    const OwnedGrids grids, read;
    TrickyThroughRegister(grids, read);
    for (int k = 0; k < kTableKindCount; ++k) {
        const auto kind = TableKind(k);
        const VerifyResult result = CompareWithRegister(kind, grids[kind], read[kind], 1, MaxRowOf(kind));
        QVERIFY2(result.differences.isEmpty(),
            qPrintable(u"%1 row %2 col %3: program «%4», register «%5»"_s.arg(TableTitle(kind))
                           .arg(result.differences.value(0).row)
                           .arg(result.differences.value(0).col)
                           .arg(result.differences.value(0).program, result.differences.value(0).kkt)));
        QCOMPARE(result.equalRows, result.rows);
    }
    // And the cells did change on the way: the view is not the grid itself.
    QCOMPARE(read[TableKind::Goods].cell(1, GoodsCol::Name), u"ЧАЙ Ч РНЫЙ ЛИСТОВОЙ 100 "_s);
    QCOMPARE(read[TableKind::Goods].cell(2, GoodsCol::Section), u"44"_s);
}

void TestRegisterView::verifyFindsTheCellsThatDiffer()
{
    const OwnedGrids grids, read;
    TrickyThroughRegister(grids, read);
    // One cell of each kind of column: a text, a font, a price, a list, a GSM value.
    read[TableKind::Goods].setCell(2, GoodsCol::Price, u"12.35"_s);
    read[TableKind::Oper].setCell(1, OperCol::PostFont, FixedLists::Wide());
    read[TableKind::Usl].setCell(4, UslCol::Tax, FixedLists::Taxation().at(2));
    read[TableKind::Station].setCell(4, StationCol::Name, u"АЗС 5"_s);
    read[TableKind::Gsm].setCell(3, GsmCol::Value, u"7790"_s);
    const QList<VerifyDifference> expected {
        { TableKind::Goods, 2, GoodsCol::Price, u"12.34"_s, u"12.35"_s },
        { TableKind::Oper, 1, OperCol::PostFont, u"Узкий"_s, u"Широкий"_s },
        { TableKind::Usl, 4, UslCol::Tax, grids[TableKind::Usl].cell(4, UslCol::Tax), FixedLists::Taxation().at(2) },
        { TableKind::Station, 4, StationCol::Name, u"АЗС   4 (?)"_s, u"АЗС 5"_s },
        { TableKind::Gsm, 3, GsmCol::Value, u"77909"_s, u"7790"_s },
    };
    for (const VerifyDifference &want : expected) {
        const VerifyResult result
            = CompareWithRegister(want.kind, grids[want.kind], read[want.kind], 1, MaxRowOf(want.kind));
        QCOMPARE(result.differences.size(), 1);
        const VerifyDifference &got = result.differences.first();
        QCOMPARE(got.row, want.row);
        QCOMPARE(got.col, want.col);
        QCOMPARE(got.program, want.program);
        QCOMPARE(got.kkt, want.kkt);
        QCOMPARE(result.equalRows, result.rows - 1);
    }
}

// The marks of what the register would keep otherwise come and go with the
// cells, whether typed one by one or loaded as a whole table.
void TestRegisterView::marksFollowTheCells()
{
    const OwnedGrids grids;
    StringGridModel &goods = grids[TableKind::Goods];
    StringGridModel &gsm = grids[TableKind::Gsm];
    new StoreMarks(TableKind::Goods, goods);
    new StoreMarks(TableKind::Gsm, gsm);
    const auto stored
        = [](const StringGridModel &grid, int row, int col) { return grid.markReason(row, col, MarkKind::Stored); };

    goods.setCell(7, GoodsCol::Name, u"Чай чёрный листовой 100 г №7"_s);
    QCOMPARE(stored(goods, 7, GoodsCol::Name),
        u"В ККТ будет «ЧАЙ Ч РНЫЙ ЛИСТОВОЙ 100 »: длиннее поля: сохранится 24 символа; "
        u"символы, которых нет в ККТ: «Ё»"_s);
    QCOMPARE(goods.data(goods.index(7, GoodsCol::Name), StringGridModel::MarkRole).toInt(), int(MarkKind::Stored));
    goods.setCell(7, GoodsCol::Name, u"Чай"_s);
    QCOMPARE(stored(goods, 7, GoodsCol::Name), QString());

    // A whole table at once, as a file loads it: the bad rows, and only they.
    {
        const GridBulkUpdate bulk(goods);
        for (int row = 1; row <= 6000; ++row)
            goods.setCell(row, GoodsCol::Barcode, QString::number(4607001770000LL + row));
        goods.setCell(5000, GoodsCol::Barcode, u"59.9"_s);
    }
    QCOMPARE(stored(goods, 5000, GoodsCol::Barcode),
        u"Строка не будет записана в ККТ: штрих-код должен быть числом меньше 140737488355328"_s);
    QCOMPARE(stored(goods, 4999, GoodsCol::Barcode), QString());

    gsm.setCell(3, GsmCol::Value, u"77909"_s);
    QCOMPARE(stored(gsm, 3, GsmCol::Value), u"В ККТ будет «77909»: порт должен быть от 1 до 65535"_s);
    gsm.setCell(3, GsmCol::Value, u"7790"_s);
    QCOMPARE(stored(gsm, 3, GsmCol::Value), QString());

    // A verification's mark goes with the cell's next change; the check's stays.
    goods.setCell(5000, GoodsCol::Price, u"1.5"_s);
    MarkDifference(goods, { TableKind::Goods, 5000, GoodsCol::Price, u"1.50"_s, u"2.00"_s });
    QCOMPARE(goods.markReason(5000, GoodsCol::Price, MarkKind::Differs), u"Сверка: в ККТ «2.00», в программе «1.50»"_s);
    goods.setCell(5000, GoodsCol::Price, u"2"_s);
    QCOMPARE(goods.markReason(5000, GoodsCol::Price, MarkKind::Differs), QString());
    QVERIFY(!stored(goods, 5000, GoodsCol::Barcode).isEmpty());
}

// Cells differ from what they held when they last matched; rows taken again
// (a read) and whole grids (a file) count as matching.
void TestRegisterView::editedCellsSinceTheyLastMatched()
{
    const OwnedGrids grids;
    EditBaseline baseline;
    baseline.takeAll(grids.set());
    StringGridModel &oper = grids[TableKind::Oper];
    QCOMPARE(baseline.editedCells(grids.set()), 0);
    oper.setCell(2, OperCol::Name1, u"ИВАНОВ"_s);
    oper.setCell(5, OperCol::Name1, u"ПЕТРОВ"_s);
    QCOMPARE(baseline.editedCells(grids.set()), 2);
    QCOMPARE(baseline.editedCells(TableKind::Oper, oper, 3, 6), 1);
    QCOMPARE(baseline.editedCells(TableKind::Oper, oper, 3, 4), 0);
    baseline.takeRows(TableKind::Oper, oper, 1, 3);
    QCOMPARE(baseline.editedCells(TableKind::Oper, oper, 1, 6), 1);
    oper.setCell(2, OperCol::Name1, QString()); // back to nothing: an edit of what the read brought
    QCOMPARE(baseline.editedCells(TableKind::Oper, oper, 1, 6), 2);
    baseline.take(TableKind::Oper, oper);
    QCOMPARE(baseline.editedCells(grids.set()), 0);
    // A grid never taken held nothing: every cell with a text counts.
    int texts = 0;
    for (int row = 1; row <= 6; ++row)
        for (int col = 1; col < oper.cols(); ++col)
            texts += !oper.cell(row, col).isEmpty();
    QVERIFY(texts > 0);
    QCOMPARE(EditBaseline().editedCells(TableKind::Oper, oper, 1, 6), texts);
}

QTEST_GUILESS_MAIN(TestRegisterView)
#include "TestRegisterView.moc"
