#include "pages/Grids102.h"
#include "pages/TypingRules.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TableKind)

// Every column of every grid, the GSM rows and the digit fields, as one table:
// the cell's text before the key, the row's font, the key and what reaches the cell.
class TestTypingRules : public QObject
{
    Q_OBJECT
private slots:
    void typedCharacter_data();
    void typedCharacter();
    void severalCharactersInOneKey();
    void textPassingRule_data();
    void textPassingRule();
    void listAndTitleCells();
    void vatCellOfExemptKindOpensNoList();
};

namespace {
const QString kNarrow = u"Узкий"_s;
const QString kWide = u"Широкий"_s;
const QChar kRefused = QChar(0xFFFF); // marks a refusal in the table

QString Repeat(int count, QChar c = u'Ж')
{
    return QString(count, c);
}

// A range field or the item number field, by object name.
CellRule FieldRule(const QString &name)
{
    if (name == u"Edit11"_s)
        return DigitsRule(ItemNumberField::kLongest);
    for (int kind = 0; kind < kTableKindCount; ++kind) {
        const RangeFields &range = LayoutOf(TableKind(kind)).range;
        if (name == range.startName || name == range.endName)
            return DigitsRule(range.longest);
    }
    return {};
}
} // namespace

void TestTypingRules::typedCharacter_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<QString>("field"); // a range or item field instead of a cell
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("font");
    QTest::addColumn<QChar>("typed");
    QTest::addColumn<QChar>("expected");

    const QChar bs = kBackspace;
    auto cell = [](const char *tag, TableKind kind, int row, int col, const QString &text, const QString &font,
                    QChar typed, QChar expected) {
        QTest::newRow(tag) << kind << QString() << row << col << text << font << typed << expected;
    };
    auto field = [](const char *tag, const QString &name, const QString &text, QChar typed, QChar expected) {
        QTest::newRow(tag) << TableKind::Gsm << name << 0 << 0 << text << QString() << typed << expected;
    };

    // Operators: three text columns judged by the font to their right.
    cell("oper post: latin upper-cased", TableKind::Oper, 1, 1, {}, kNarrow, u'a', u'A');
    cell("oper post: narrow takes the 24th", TableKind::Oper, 1, 1, Repeat(23), kNarrow, u'б', u'Б');
    cell("oper post: narrow refuses the 25th", TableKind::Oper, 1, 1, Repeat(24), kNarrow, u'б', kRefused);
    cell("oper name 1: wide refuses the 13th", TableKind::Oper, 2, 3, Repeat(12), kWide, u'x', kRefused);
    cell("oper name 1: wide takes the 12th", TableKind::Oper, 2, 3, Repeat(11), kWide, u'я', u'Я');
    cell("oper name 2: empty font counts wide", TableKind::Oper, 6, 5, Repeat(12), QString(), u'x', kRefused);
    cell("oper name 2: backspace at the limit", TableKind::Oper, 6, 5, Repeat(30), kWide, bs, bs);
    cell("oper password: anything, case kept", TableKind::Oper, 3, 7, Repeat(200), kWide, u'q', u'q');
    cell("oper inn: digit", TableKind::Oper, 1, 8, u"12345678901"_s, {}, u'2', u'2');
    cell("oper inn: 13th digit", TableKind::Oper, 1, 8, u"123456789012"_s, {}, u'3', kRefused);
    cell("oper inn: letter", TableKind::Oper, 1, 8, {}, {}, u'a', kRefused);

    // Goods.
    cell("goods name: cyrillic upper-cased", TableKind::Goods, 6000, 1, {}, kNarrow, u'а', u'А');
    cell("goods name: sharp s stays one character", TableKind::Goods, 1, 1, {}, kNarrow, u'ß', u'ß');
    cell("goods name: wide refuses the 13th", TableKind::Goods, 1, 1, Repeat(12), kWide, u'1', kRefused);
    cell("goods name: over-long narrow text", TableKind::Goods, 1, 1, Repeat(20), kWide, u'1', kRefused);
    cell("goods barcode: 13th digit", TableKind::Goods, 1, 3, Repeat(12, u'4'), {}, u'6', u'6');
    cell("goods barcode: 14th digit", TableKind::Goods, 1, 3, Repeat(13, u'4'), {}, u'6', kRefused);
    cell("goods barcode: letter", TableKind::Goods, 1, 3, {}, {}, u'e', kRefused);
    cell("goods barcode: control character", TableKind::Goods, 1, 3, {}, {}, QChar(22), kRefused);
    cell("goods price: first point", TableKind::Goods, 1, 4, u"12"_s, {}, u'.', u'.');
    cell("goods price: digit after the point", TableKind::Goods, 1, 4, u"12."_s, {}, u'5', u'5');
    cell("goods price: second point", TableKind::Goods, 1, 4, u"12.5"_s, {}, u'.', kRefused);
    cell("goods price: comma is the point", TableKind::Goods, 1, 4, u"12"_s, {}, u',', u'.');
    cell("goods price: comma after the point", TableKind::Goods, 1, 4, u"12.5"_s, {}, u',', kRefused);
    cell("goods price: 14th character", TableKind::Goods, 1, 4, Repeat(13, u'9'), {}, u'9', kRefused);
    cell("goods section: 2nd digit", TableKind::Goods, 1, 5, u"1"_s, {}, u'2', u'2');
    cell("goods section: 3rd digit", TableKind::Goods, 1, 5, u"12"_s, {}, u'3', kRefused);
    cell("goods mark: small em kept", TableKind::Goods, 1, 6, {}, {}, u'м', u'м');
    cell("goods mark: no limit", TableKind::Goods, 1, 6, Repeat(100), {}, u'z', u'z');
    cell("goods mark: tab", TableKind::Goods, 1, 6, {}, {}, u'\t', kRefused);
    cell("oper password: line end", TableKind::Oper, 1, 7, {}, {}, u'\n', kRefused);

    // Groups, header lines, agents.
    cell("groups name: upper-cased", TableKind::Usl, 8, 1, {}, kNarrow, u'ё', u'Ё');
    cell("groups name: wide limit", TableKind::Usl, 8, 1, Repeat(12), kWide, u'ё', kRefused);
    cell("groups hidden column", TableKind::Usl, 1, 6, {}, {}, u'1', kRefused);
    cell("header line: narrow limit", TableKind::Klishe, 21, 1, Repeat(24), kNarrow, u'a', kRefused);
    cell("header line: upper-cased", TableKind::Klishe, 1, 1, {}, kWide, u'ы', u'Ы');
    cell("agents value: upper-cased", TableKind::Agents, 1, 1, {}, kNarrow, u'w', u'W');
    cell("agents value: wide limit", TableKind::Agents, 12, 1, Repeat(12), kWide, u'w', kRefused);
    cell("agents inn: 12th digit", TableKind::Agents, 5, 1, Repeat(11, u'7'), kWide, u'7', u'7');
    cell("agents inn: 13th digit", TableKind::Agents, 5, 1, Repeat(12, u'7'), kNarrow, u'7', kRefused);
    cell("agents inn: letter", TableKind::Agents, 5, 1, {}, kNarrow, u'a', kRefused);
    cell("agents inn font cell: the inn's digits", TableKind::Agents, 5, 2, {}, {}, u'1', u'1');
    cell("agents inn font cell: letter", TableKind::Agents, 5, 2, {}, {}, u'a', kRefused);
    cell("agents inn font cell: 13th digit", TableKind::Agents, 5, 2, Repeat(12, u'1'), {}, u'1', kRefused);

    // List cells take nothing typed: their list is laid over them.
    cell("oper font 2", TableKind::Oper, 1, 2, kNarrow, {}, u'1', kRefused);
    cell("oper font 4", TableKind::Oper, 2, 4, kNarrow, {}, u'x', kRefused);
    cell("oper font 6", TableKind::Oper, 3, 6, kNarrow, {}, u'x', kRefused);
    cell("goods font", TableKind::Goods, 1, 2, kNarrow, {}, u'x', kRefused);
    cell("groups font", TableKind::Usl, 1, 2, kNarrow, {}, u'x', kRefused);
    cell("groups item kind", TableKind::Usl, 1, 3, {}, {}, u'0', kRefused);
    cell("groups VAT", TableKind::Usl, 1, 4, {}, {}, u'1', kRefused);
    cell("groups taxation", TableKind::Usl, 1, 5, {}, {}, u'1', kRefused);
    cell("header line font", TableKind::Klishe, 1, 2, kNarrow, {}, u'x', kRefused);
    cell("agents font", TableKind::Agents, 1, 2, kNarrow, {}, u'x', kRefused);

    // Enterprises and stations: fixed limits, no font.
    cell("factory name: 24th", TableKind::Factory, 90, 1, Repeat(23), {}, u'ф', u'Ф');
    cell("factory name: 25th", TableKind::Factory, 90, 1, Repeat(24), {}, u'ф', kRefused);
    cell("factory inn: 13th digit", TableKind::Factory, 1, 2, Repeat(12, u'1'), {}, u'1', kRefused);
    cell("factory inn: letter", TableKind::Factory, 1, 2, {}, {}, u'Z', kRefused);
    cell("station name: upper-cased", TableKind::Station, 40, 1, {}, {}, u'z', u'Z');
    cell("station name: 25th", TableKind::Station, 40, 1, Repeat(24), {}, u'z', kRefused);

    // GSM rows: IP, name, port, PIN, APN, login, password; case is kept.
    cell("gsm ip: point", TableKind::Gsm, 1, 1, u"10"_s, {}, u'.', u'.');
    cell("gsm ip: letter", TableKind::Gsm, 1, 1, u"10"_s, {}, u'a', kRefused);
    cell("gsm ip: 16th", TableKind::Gsm, 1, 1, u"192.168.100.100"_s, {}, u'1', kRefused);
    cell("gsm ip: backspace at 15", TableKind::Gsm, 1, 1, u"192.168.100.100"_s, {}, bs, bs);
    cell("gsm name: 72nd, case kept", TableKind::Gsm, 2, 1, Repeat(71), {}, u'a', u'a');
    cell("gsm name: 73rd", TableKind::Gsm, 2, 1, Repeat(72), {}, u'a', kRefused);
    cell("gsm port: point", TableKind::Gsm, 3, 1, u"80"_s, {}, u'.', kRefused);
    cell("gsm port: 6th digit", TableKind::Gsm, 3, 1, u"12345"_s, {}, u'6', kRefused);
    cell("gsm pin: 4th digit", TableKind::Gsm, 4, 1, u"123"_s, {}, u'4', u'4');
    cell("gsm pin: 5th digit", TableKind::Gsm, 4, 1, u"1234"_s, {}, u'5', kRefused);
    cell("gsm apn: 24th, case kept", TableKind::Gsm, 5, 1, Repeat(23), {}, u'i', u'i');
    cell("gsm apn: 25th", TableKind::Gsm, 5, 1, Repeat(24), {}, u'i', kRefused);
    cell("gsm login: 25th", TableKind::Gsm, 6, 1, Repeat(24), {}, u'l', kRefused);
    cell("gsm password: any character", TableKind::Gsm, 7, 1, {}, {}, u'#', u'#');
    cell("gsm title column", TableKind::Gsm, 1, 0, {}, {}, u'a', kRefused);

    // The digit fields: each range field's longest entry, and the item number.
    field("Edit1: one digit", u"Edit1"_s, {}, u'6', u'6');
    field("Edit2: second digit", u"Edit2"_s, u"6"_s, u'1', kRefused);
    field("Edit4: 4 digits", u"Edit4"_s, u"600"_s, u'0', u'0');
    field("Edit3: 5th digit", u"Edit3"_s, u"6000"_s, u'0', kRefused);
    field("Edit5: letter", u"Edit5"_s, {}, u'a', kRefused);
    field("Edit8: 2 digits", u"Edit8"_s, u"2"_s, u'1', u'1');
    field("Edit10: 3rd digit", u"Edit10"_s, u"12"_s, u'1', kRefused);
    field("edtLastElement: 3rd digit", u"edtLastElement"_s, u"90"_s, u'0', kRefused);
    field("edtFirstRange: backspace", u"edtFirstRange"_s, u"40"_s, bs, bs);
    field("Edit11: 4th digit", u"Edit11"_s, u"600"_s, u'0', u'0');
    field("Edit11: 5th digit", u"Edit11"_s, u"6000"_s, u'1', kRefused);
    field("Edit11: minus", u"Edit11"_s, {}, u'-', kRefused);
}

void TestTypingRules::typedCharacter()
{
    QFETCH(TableKind, kind);
    QFETCH(QString, field);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, text);
    QFETCH(QString, font);
    QFETCH(QChar, typed);
    QFETCH(QChar, expected);

    const CellRule rule = field.isEmpty() ? RuleAt(LayoutOf(kind), row, col) : FieldRule(field);
    if (!field.isEmpty())
        QVERIFY2(rule.edit == EditRule::Digits, "every range field is known to a layout");
    const TypedChar result = ApplyTypingRule(rule, text, font, typed);
    QCOMPARE(result.accepted, expected != kRefused);
    if (result.accepted)
        QCOMPARE(result.ch, expected);
}

void TestTypingRules::severalCharactersInOneKey()
{
    const QString smile = QString::fromUtf16(u"\U0001F600"); // two UTF-16 units
    const CellRule name = RuleAt(LayoutOf(TableKind::Goods), 1, GoodsCol::Name);
    const CellRule barcode = RuleAt(LayoutOf(TableKind::Goods), 1, GoodsCol::Barcode);
    QCOMPARE(ApplyTypingRule(name, {}, kNarrow, smile), std::optional<QString>(smile));
    QCOMPARE(ApplyTypingRule(name, {}, kNarrow, u"аб"_s), std::optional<QString>(u"АБ"_s));
    QCOMPARE(ApplyTypingRule(name, Repeat(23), kNarrow, smile), std::nullopt); // its second half passes the limit
    QCOMPARE(ApplyTypingRule(barcode, {}, {}, smile), std::nullopt);
    QCOMPARE(ApplyTypingRule(barcode, {}, {}, u"12"_s), std::optional<QString>(u"12"_s));
    QCOMPARE(ApplyTypingRule(barcode, {}, {}, u"1a"_s), std::nullopt);
}

void TestTypingRules::textPassingRule_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("kept"); // the cell's text beside the insertion
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QString>("text"); // what goes in
    QTest::addColumn<int>("refused");
    QTest::addColumn<int>("cut");

    const QString smile = QString::fromUtf16(u"\U0001F600");
    auto row = [](const char *tag, TableKind kind, int r, int c, const QString &kept, const QString &font,
                   const QString &inserted, const QString &text, int refused, int cut) {
        QTest::newRow(tag) << kind << r << c << kept << font << inserted << text << refused << cut;
    };
    row("barcode: letters dropped", TableKind::Goods, 1, 3, {}, {}, u"12ABC"_s, u"12"_s, 3, 0);
    row("barcode: past 13 cut", TableKind::Goods, 1, 3, {}, {}, u"46070017700150"_s, u"4607001770015"_s, 0, 1);
    row("barcode: spaces and dashes", TableKind::Goods, 1, 3, {}, {}, u" 460-700 "_s, u"460700"_s, 3, 0);
    row("section: XXXX", TableKind::Goods, 1, 5, {}, {}, u"XXXX"_s, QString(), 4, 0);
    row("price: comma becomes the point", TableKind::Goods, 1, 4, {}, {}, u"12,50"_s, u"12.50"_s, 0, 0);
    row("price: second separator dropped", TableKind::Goods, 1, 4, {}, {}, u"1,234.50"_s, u"1.23450"_s, 1, 0);
    row("price: into a text with a point", TableKind::Goods, 1, 4, u"12.5"_s, {}, u",0"_s, u"0"_s, 1, 0);
    row("name: 34 characters, narrow", TableKind::Goods, 1, 1, {}, kNarrow, Repeat(34, u'ж'), Repeat(24, u'Ж'), 0, 10);
    row("name: wide cuts at 12", TableKind::Goods, 1, 1, {}, kWide, u"молоко пастеризованное"_s, u"МОЛОКО ПАСТЕ"_s, 0,
        10);
    row("name: tabs and line ends dropped", TableKind::Goods, 1, 1, {}, kNarrow, u"хлеб\t12\r\nбатон"_s,
        u"ХЛЕБ12БАТОН"_s, 3, 0);
    row("name: beside kept text", TableKind::Goods, 1, 1, Repeat(20), kNarrow, u"abcdef"_s, u"ABCD"_s, 0, 2);
    row("name: wide character whole or not", TableKind::Goods, 1, 1, Repeat(23), kNarrow, smile, QString(), 0, 1);
    row("name: wide character fits", TableKind::Goods, 1, 1, Repeat(22), kNarrow, smile, smile, 0, 0);
    row("barcode: wide character", TableKind::Goods, 1, 3, {}, {}, smile + u"7"_s, u"7"_s, 1, 0);
    row("mark: case kept, no limit", TableKind::Goods, 1, 6, {}, {}, u"мМ"_s + Repeat(40), u"мМ"_s + Repeat(40), 0, 0);
    row("password: backspace character is no key", TableKind::Oper, 1, 7, u"ab"_s, {}, u"\b"_s, QString(), 1, 0);
    row("range field: XXXX", TableKind::Oper, 0, 0, {}, {}, u"XXXX"_s, QString(), 4, 0);
    row("range field: № 12 of 1", TableKind::Oper, 0, 0, {}, {}, u"№ 12"_s, u"1"_s, 2, 1);
    row("gsm ip: letters", TableKind::Gsm, 1, 1, {}, {}, u"10.0.0.x1"_s, u"10.0.0.1"_s, 1, 0);
    row("gsm apn: case kept, 24 at most", TableKind::Gsm, 5, 1, {}, {}, u"Internet.Beeline.Ru/Extra/Long"_s,
        u"Internet.Beeline.Ru/Extr"_s, 0, 6);
    row("list cell takes nothing", TableKind::Goods, 1, 2, {}, {}, u"Узкий"_s, QString(), 5, 0);
}

// A text entering a cell otherwise than by keys: as if typed character by character.
void TestTypingRules::textPassingRule()
{
    QFETCH(TableKind, kind);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, kept);
    QFETCH(QString, font);
    QFETCH(QString, inserted);
    QFETCH(QString, text);
    QFETCH(int, refused);
    QFETCH(int, cut);

    // Row 0 stands for the operators' one-digit range field.
    const CellRule rule = row == 0 ? DigitsRule(LayoutOf(kind).range.longest) : RuleAt(LayoutOf(kind), row, col);
    const RuledText ruled = PassRule(rule, kept, font, inserted);
    QCOMPARE(ruled.text, text);
    QCOMPARE(ruled.refused, refused);
    QCOMPARE(ruled.cut, cut);
    QCOMPARE(ruled.changedAnything(), refused + cut > 0);
}

// List cells are never typed into; they name their list and where the selection lands.
void TestTypingRules::listAndTitleCells()
{
    struct Case
    {
        TableKind kind;
        int row;
        int col;
        ListKind list;
        const char16_t *name;
        int land;
    };
    const Case cases[] = {
        { TableKind::Oper, 1, 2, ListKind::Fonts, u"ComboBox2", 1 },
        { TableKind::Oper, 3, 4, ListKind::Fonts, u"ComboBox2", 3 },
        { TableKind::Oper, 6, 6, ListKind::Fonts, u"ComboBox2", 5 },
        { TableKind::Goods, 6000, 2, ListKind::Fonts, u"ComboBox1", 1 },
        { TableKind::Usl, 1, 2, ListKind::Fonts, u"ComboBox3", 1 },
        { TableKind::Usl, 2, 3, ListKind::ItemKinds, u"ComboBox5", 6 },
        { TableKind::Usl, 3, 4, ListKind::Vat, u"ComboBox7", 6 },
        { TableKind::Usl, 8, 5, ListKind::Taxation, u"ComboBox8", 6 },
        { TableKind::Klishe, 21, 2, ListKind::Fonts, u"ComboBox4", 1 },
        { TableKind::Agents, 4, 2, ListKind::Fonts, u"ComboBox6", 1 },
        { TableKind::Agents, 6, 2, ListKind::Fonts, u"ComboBox6", 1 },
    };
    for (const Case &c : cases) {
        const CellRule rule = RuleAt(LayoutOf(c.kind), c.row, c.col);
        const QByteArray where = QByteArray::number(int(c.kind)) + ':' + QByteArray::number(c.col);
        QVERIFY2(rule.edit == EditRule::List, where.constData());
        QVERIFY2(rule.list == c.list, where.constData());
        QCOMPARE(rule.listName, QString::fromUtf16(c.name));
        QCOMPARE(rule.landCol, c.land);
        QVERIFY(!ApplyTypingRule(rule, {}, {}, u'1').accepted);
    }
    const auto agents = MakeGrid(TableKind::Agents);
    QVERIFY(OpensList(LayoutOf(TableKind::Agents), *agents, 4, AgentCol::Font));
    QVERIFY(!OpensList(LayoutOf(TableKind::Agents), *agents, AgentCol::InnRow, AgentCol::Font));
    for (int kind = 0; kind < kTableKindCount; ++kind) {
        const TableLayout &layout = LayoutOf(TableKind(kind));
        QCOMPARE(RuleAt(layout, 0, 1).edit, EditRule::None); // title row
        QCOMPARE(RuleAt(layout, 1, 0).edit, EditRule::None); // title column
        QCOMPARE(RuleAt(layout, layout.rows, 1).edit, EditRule::None); // below the grid
    }
}

void TestTypingRules::vatCellOfExemptKindOpensNoList()
{
    const TableLayout &layout = LayoutOf(TableKind::Usl);
    const auto usl = MakeGrid(TableKind::Usl);
    QVERIFY(OpensList(layout, *usl, 2, UslCol::Vat));
    usl->setCell(2, UslCol::Kind, ListEntries(ListKind::ItemKinds).at(5));
    QVERIFY(!OpensList(layout, *usl, 2, UslCol::Vat));
    usl->setCell(2, UslCol::Kind, ListEntries(ListKind::ItemKinds).at(6));
    QVERIFY(!OpensList(layout, *usl, 2, UslCol::Vat));
    QVERIFY(OpensList(layout, *usl, 2, UslCol::Tax)); // only the VAT choice goes
    usl->setCell(2, UslCol::Kind, ListEntries(ListKind::ItemKinds).at(4));
    QVERIFY(OpensList(layout, *usl, 2, UslCol::Vat));
}

QTEST_GUILESS_MAIN(TestTypingRules)
#include "TestTypingRules.moc"
