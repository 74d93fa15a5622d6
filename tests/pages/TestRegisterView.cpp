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
#include "scanner/ShtrihCheck.h"

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

// Row 1 of one table written to a fresh register and read back.
void FirstRowThroughRegister(TableKind kind, StringGridModel &grid, StringGridModel &read)
{
    KktDevice device;
    DeviceLink link(device);
    KktChannel channel(link);
    QVERIFY(RunTable(channel, KktConnection(), kind, RunDirection::Write, grid, 1, 1).ok);
    QVERIFY(RunTable(channel, KktConnection(), kind, RunDirection::Read, read, 1, 1).ok);
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
    void startValuesAndNumberFormsAreNoIssue();
    void capitalsAreOneLinePerField();
    void wideTextsWarn_data();
    void wideTextsWarn();
    void barcodesNoScannerReads_data();
    void barcodesNoScannerReads();
    void refusedRowStopsLaterTables();
    void verifyNeverCallsAnUnlistedCodeEqual();
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
    QTest::addColumn<int>("level");

    const auto add = [](const char *name, TableKind kind, int row, int col, const QString &value, const QString &stored,
                         const QString &reason, StoreLevel level = StoreLevel::Changed) {
        QTest::newRow(name) << int(kind) << row << col << value << stored << reason << int(level);
    };
    // What the check says of a refused cell in place of a stored value.
    const QString stops = u"запись остановится на этой строке"_s;
    const auto refused
        = [&](const char *name, TableKind kind, int row, int col, const QString &value, const QString &reason) {
              add(name, kind, row, col, value, stops, reason, StoreLevel::Refused);
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
    refused("price too large", TableKind::Goods, 2, GoodsCol::Price, u"21474836.48"_s, u"цена больше 21474836.47"_s);
    refused("price not a number", TableKind::Goods, 2, GoodsCol::Price, u"12,50"_s,
        u"цена должна быть числом с точкой (12.50)"_s);
    refused("negative price", TableKind::Goods, 2, GoodsCol::Price, u"-5"_s, u"отрицательная цена"_s);
    add("section over a byte", TableKind::Goods, 2, GoodsCol::Section, u"300"_s, u"44"_s,
        u"не помещается в поле (0–255): будет 44"_s);
    add("section not a number", TableKind::Goods, 2, GoodsCol::Section, u"2а"_s, u"0"_s, u"не число: будет 0"_s);
    refused("barcode too large", TableKind::Goods, 4, GoodsCol::Barcode, u"140737488355328"_s,
        u"штрих-код должен быть числом меньше 140737488355328"_s);
    refused("barcode with letters", TableKind::Goods, 4, GoodsCol::Barcode, u"12ABC"_s,
        u"штрих-код должен быть числом меньше 140737488355328"_s);
    add("mark not м", TableKind::Goods, 4, GoodsCol::Mark, u"M"_s, QString(),
        u"отметка не «м»: товар не будет маркирован"_s);
    add("mark without a barcode", TableKind::Goods, 4, GoodsCol::Mark, u"м"_s, QString(),
        u"без штрих-кода отметка о маркировке не сохранится"_s);
    add("font not from the list", TableKind::Oper, 2, OperCol::PostFont, QString(), u"Широкий"_s,
        u"шрифт не из списка: будет «Широкий»"_s);
    refused("group without kind", TableKind::Usl, 3, UslCol::Kind, QString(), u"не выбран признак предмета расчета"_s);
    add("VAT not from the list", TableKind::Usl, 3, UslCol::Vat, u"9 - НДС 99%"_s, QString(),
        u"нет в списке: ККТ получит код налога «0», при чтении ячейка будет пустой"_s);
    add("VAT empty", TableKind::Usl, 3, UslCol::Vat, QString(), QString(),
        u"пусто: ККТ получит код налога «0», при чтении ячейка будет пустой"_s);
    add("taxation not from the list", TableKind::Usl, 3, UslCol::Tax, u"7 - Никакая"_s, QString(),
        u"нет в списке: ККТ получит код системы налогообложения «9», при чтении ячейка будет пустой"_s);
    add("barcode check digit", TableKind::Goods, 4, GoodsCol::Barcode, u"4607001770016"_s, u"4607001770016"_s,
        u"контрольная цифра штрих-кода неверна (должна быть 5): сканер такой код не прочтёт"_s, StoreLevel::Warning);
    add("lower case alone", TableKind::Klishe, 2, KlisheCol::Text, u"Добро пожаловать"_s, u"ДОБРО ПОЖАЛОВАТЬ"_s,
        u"строчные буквы станут заглавными"_s, StoreLevel::Case);
}

void TestRegisterView::checkNamesEachReason()
{
    QFETCH(int, kind);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, value);
    QFETCH(QString, stored);
    QFETCH(QString, reason);
    QFETCH(int, level);
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
    QCOMPARE(int(issue.level), level);
    // Outside the range asked for, the same cell is no issue.
    if (table != TableKind::Gsm && row > 1)
        QVERIFY(CheckBeforeWrite(table, grids[table], 1, row - 1).isEmpty());
}

// Fresh grids, the same number in another form, empty rows, groups of the
// VAT-exempt kinds: nothing to warn of.
void TestRegisterView::startValuesAndNumberFormsAreNoIssue()
{
    const OwnedGrids grids;
    grids[TableKind::Goods].setCell(7, GoodsCol::Name, u"МОЛОКО 3,2% 1Л"_s);
    grids[TableKind::Goods].setCell(7, GoodsCol::Price, u"89.5"_s);
    grids[TableKind::Goods].setCell(7, GoodsCol::Section, u"07"_s);
    grids[TableKind::Goods].setCell(7, GoodsCol::Barcode, u"0012345678905"_s); // a UPC-A as an EAN-13
    grids[TableKind::Goods].setCell(8, GoodsCol::Barcode, u"4607001770015"_s);
    grids[TableKind::Goods].setCell(9, GoodsCol::Barcode, u"96385074"_s); // EAN-8
    grids[TableKind::Goods].setCell(10, GoodsCol::Barcode, u"123456"_s); // an item code, typed at the register
    grids[TableKind::Goods].setCell(11, GoodsCol::Barcode, u"0"_s);
    grids[TableKind::Goods].setCell(12, GoodsCol::Name, u"МОЛОКО 1Л"_s);
    grids[TableKind::Goods].setCell(12, GoodsCol::Font, FixedLists::Wide()); // 9 characters
    grids[TableKind::Usl].setCell(2, UslCol::Kind, FixedLists::ItemKinds().at(5));
    grids[TableKind::Usl].setCell(2, UslCol::Vat, FixedLists::VatExempt());
    grids[TableKind::Gsm].setCell(1, GsmCol::Value, u"91.107.67.212"_s);
    grids[TableKind::Gsm].setCell(3, GsmCol::Value, u"7790"_s);
    for (int k = 0; k < kTableKindCount; ++k) {
        const auto kind = TableKind(k);
        const QList<StoreIssue> issues = StoreIssues(kind, grids[kind], 1, MaxRowOf(kind));
        QVERIFY2(issues.isEmpty(), qPrintable(issues.value(0).reason));
    }
}

// Lower-case texts reach the register in capitals: every cell is marked, and
// the check names each field once, counting the rest, so that a goods list
// typed in lower case hides nothing else.
void TestRegisterView::capitalsAreOneLinePerField()
{
    const OwnedGrids grids;
    StringGridModel &goods = grids[TableKind::Goods];
    new StoreMarks(TableKind::Goods, goods);
    for (int row = 1; row <= 3; ++row)
        goods.setCell(row, GoodsCol::Name, u"молоко %1"_s.arg(row));
    goods.setCell(5, GoodsCol::Price, u"12,5"_s);
    QCOMPARE(StoreIssues(TableKind::Goods, goods, 1, 10).size(), 4);
    QCOMPARE(goods.markReason(2, GoodsCol::Name, MarkKind::Stored),
        u"В ККТ будет «МОЛОКО 2»: строчные буквы станут заглавными"_s);

    const QList<StoreIssue> check = CheckBeforeWrite(TableKind::Goods, goods, 1, 10);
    QCOMPARE(check.size(), 2);
    QCOMPARE(check[0].row, 1);
    QCOMPARE(check[0].level, StoreLevel::Case);
    QCOMPARE(check[0].stored, u"МОЛОКО 1"_s);
    QCOMPARE(check[0].reason, u"строчные буквы станут заглавными (и ещё 2 значения этого поля)"_s);
    QCOMPARE(check[1].row, 5);
    QVERIFY(check[1].refused());
    // One such cell is a line of its own, without a count.
    QCOMPARE(CheckBeforeWrite(TableKind::Goods, goods, 3, 3).value(0).reason, u"строчные буквы станут заглавными"_s);
}

// Texts of the wide font: the register keeps the field's 24 characters
// whatever the font, so a longer one is a warning naming all it keeps.
void TestRegisterView::wideTextsWarn_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("fontCol");
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason"); // empty: no issue

    const QString thirteen = u"ХЛЕБ РЖАНОЙ 1"_s;
    const QString warned13 = u"широкий шрифт, больше 12 символов: ККТ сохранит все 13 символов"_s;
    const auto row
        = [](const char *name, TableKind kind, int col, int fontCol, const QString &font, const QString &text,
              const QString &reason) { QTest::newRow(name) << int(kind) << col << fontCol << font << text << reason; };
    row("goods name of 13", TableKind::Goods, GoodsCol::Name, GoodsCol::Font, FixedLists::Wide(), thirteen, warned13);
    row("goods name of 12", TableKind::Goods, GoodsCol::Name, GoodsCol::Font, FixedLists::Wide(), thirteen.left(12),
        QString());
    row("narrow name of 13", TableKind::Goods, GoodsCol::Name, GoodsCol::Font, FixedLists::Narrow(), thirteen,
        QString());
    row("operator of 21", TableKind::Oper, OperCol::Name1, OperCol::Name1Font, FixedLists::Wide(),
        u"ИВАНОВА-ПЕТРОВА А. Б."_s, u"широкий шрифт, больше 12 символов: ККТ сохранит все 21 символ"_s);
    row("header line cut to 24", TableKind::Klishe, KlisheCol::Text, KlisheCol::Font, FixedLists::Wide(),
        QString(30, u'Ж'),
        u"длиннее поля: сохранится 24 символа; широкий шрифт, больше 12 символов: ККТ сохранит все 24 символа"_s);
    row("group name", TableKind::Usl, UslCol::Name, UslCol::Font, FixedLists::Wide(), thirteen, warned13);
    row("agent line", TableKind::Agents, AgentCol::Value, AgentCol::Font, FixedLists::Wide(), thirteen, warned13);
}

void TestRegisterView::wideTextsWarn()
{
    QFETCH(int, kind);
    QFETCH(int, col);
    QFETCH(int, fontCol);
    QFETCH(QString, font);
    QFETCH(QString, text);
    QFETCH(QString, reason);
    const OwnedGrids grids;
    const auto table = TableKind(kind);
    grids[table].setCell(1, fontCol, font);
    grids[table].setCell(1, col, text);
    const QList<StoreIssue> issues = CheckBeforeWrite(table, grids[table], 1, 1);
    if (reason.isEmpty()) {
        QVERIFY2(issues.isEmpty(), qPrintable(issues.value(0).reason));
        return;
    }
    QCOMPARE(issues.size(), 1);
    QCOMPARE(issues.first().col, col);
    QCOMPARE(issues.first().reason, reason);
    QCOMPARE(issues.first().stored, text.left(24));
    // The register keeps it so: what it gives back is all of it, no cut at 12.
    const OwnedGrids read;
    FirstRowThroughRegister(table, grids[table], read[table]);
    QCOMPARE(read[table].cell(1, col), text.left(24));
}

// A barcode the register takes but no scanner gives is a warning, never a
// refusal: the cell and the register keep it as it is.
void TestRegisterView::barcodesNoScannerReads_data()
{
    QTest::addColumn<QString>("barcode");
    QTest::addColumn<QString>("reason");
    const QString tooLong = u"больше 13 цифр: не EAN-13 и не EAN-8, сканер такой код не прочтёт"_s;
    const auto wrong = [](int digit) {
        return u"контрольная цифра штрих-кода неверна (должна быть %1): сканер такой код не прочтёт"_s.arg(digit);
    };
    QTest::newRow("EAN-13") << u"4607001770016"_s << wrong(5);
    QTest::newRow("EAN-8") << u"96385070"_s << wrong(4);
    QTest::newRow("EAN-13 with zeros in front") << u"0012345678900"_s << wrong(5);
    QTest::newRow("seven digits, an EAN-8 without its zero") << u"1234567"_s << wrong(5);
    QTest::newRow("ten digits") << u"1234567890"_s << wrong(5);
    QTest::newRow("fourteen digits") << u"46070017700150"_s << tooLong;
    QTest::newRow("marked goods") << u"4607001770016"_s << wrong(5);
}

void TestRegisterView::barcodesNoScannerReads()
{
    QFETCH(QString, barcode);
    QFETCH(QString, reason);
    const OwnedGrids grids;
    StringGridModel &goods = grids[TableKind::Goods];
    new StoreMarks(TableKind::Goods, goods);
    goods.setCell(1, GoodsCol::Barcode, barcode);
    if (QByteArray(QTest::currentDataTag()) == "marked goods")
        goods.setCell(1, GoodsCol::Mark, u"м"_s);
    const QList<StoreIssue> issues = CheckBeforeWrite(TableKind::Goods, goods, 1, 1);
    QCOMPARE(issues.size(), 1);
    QCOMPARE(issues.first().level, StoreLevel::Warning);
    QCOMPARE(issues.first().reason, reason);
    const QString held = QString::number(barcode.toLongLong());
    QCOMPARE(issues.first().stored, held);
    // The tool tip is the reason itself, unless the register drops zeros in front.
    QCOMPARE(goods.markReason(1, GoodsCol::Barcode, MarkKind::Stored),
        held == barcode ? reason.left(1).toUpper() + reason.mid(1) : u"В ККТ будет «%1»: %2"_s.arg(held, reason));
    // Written as it is, and verification finds the register holding just that.
    const OwnedGrids read;
    FirstRowThroughRegister(TableKind::Goods, goods, read[TableKind::Goods]);
    QCOMPARE(read[TableKind::Goods].cell(1, GoodsCol::Barcode), held);
    QVERIFY(CompareWithRegister(TableKind::Goods, goods, read[TableKind::Goods], 1, 1).differences.isEmpty());
}

// Before a write of several tables in turn, a refused row also says that
// the tables after it stay unwritten.
void TestRegisterView::refusedRowStopsLaterTables()
{
    const OwnedGrids grids;
    grids[TableKind::Goods].setCell(3, GoodsCol::Barcode, u"59.9"_s);
    grids[TableKind::Goods].setCell(4, GoodsCol::Name, u"ЧАЙ Ё"_s);
    const QList<StoreIssue> issues = CheckBeforeWrite(TableKind::Goods, grids[TableKind::Goods], 1, 6000, true);
    QCOMPARE(issues.size(), 2);
    QCOMPARE(issues[0].stored, u"запись остановится на этой строке, следующие таблицы не будут записаны"_s);
    QCOMPARE(issues[1].stored, u"ЧАЙ  "_s); // not refused: the register's value as ever
}

// A group's VAT or taxation cell that is none of its list's entries reaches
// the register as the code the list lacks; a read gives an empty cell back.
// Verification never calls the two equal: the register cannot hold the cell.
void TestRegisterView::verifyNeverCallsAnUnlistedCodeEqual()
{
    const OwnedGrids grids, read;
    StringGridModel &groups = grids[TableKind::Usl];
    groups.setCell(2, UslCol::Vat, u"9 - НДС 99%"_s);
    groups.setCell(3, UslCol::Tax, u"7 - Никакая"_s);
    ThroughRegister(grids.set(), read.set());
    QCOMPARE(read[TableKind::Usl].cell(2, UslCol::Vat), QString());
    const VerifyResult result = CompareWithRegister(TableKind::Usl, groups, read[TableKind::Usl], 1, 8);
    QCOMPARE(result.differences.size(), 2);
    QCOMPARE(result.differences[0].row, 2);
    QCOMPARE(result.differences[0].col, UslCol::Vat);
    QCOMPARE(result.differences[0].program, u"9 - НДС 99%"_s);
    QCOMPARE(result.differences[0].kkt, QString());
    QCOMPARE(result.differences[1].col, UslCol::Tax);
    QCOMPARE(result.differences[1].program, u"7 - Никакая"_s);
    QCOMPARE(result.equalRows, 6);
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
    goods.setCell(7, GoodsCol::Name, u"ЧАЙ"_s);
    QCOMPARE(stored(goods, 7, GoodsCol::Name), QString());

    // A whole table at once, as a file loads it: the bad rows, and only they.
    {
        const GridBulkUpdate bulk(goods);
        for (int row = 1; row <= 6000; ++row) {
            const QString code = QString::number(460700177000LL + row);
            goods.setCell(row, GoodsCol::Barcode, code + QString::number(Gs1CheckDigit(code)));
        }
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
