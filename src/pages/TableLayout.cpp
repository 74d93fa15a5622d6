#include "pages/TableLayout.h"

#include "config/ConfigFile.h"
#include "pages/FixedLists.h"

#include <array>
#include <functional>

using namespace Qt::StringLiterals;

namespace {
CellRule Rule(EditRule edit, int limit = 0)
{
    CellRule rule;
    rule.edit = edit;
    rule.limit = limit;
    return rule;
}

CellRule UpperFont(int fontCol)
{
    CellRule rule = Rule(EditRule::UpperFont);
    rule.fontCol = fontCol;
    return rule;
}

CellRule List(ListKind list, const QString &listName, int landCol)
{
    CellRule rule = Rule(EditRule::List);
    rule.list = list;
    rule.listName = listName;
    rule.landCol = landCol;
    return rule;
}

CellRule FontList(const QString &listName, int fontCol)
{
    return List(ListKind::Fonts, listName, fontCol - 1); // the text it sets the font of
}

ColumnLayout Column(const QString &title, int width, const CellRule &rule = {}, const QString &start = {})
{
    return { title, width, false, rule, start };
}

// A column a find passes over: a search for part of a barcode should not stop at every price.
ColumnLayout NotSearched(ColumnLayout column)
{
    column.searched = false;
    return column;
}

ColumnLayout TitleColumn(const QString &title, int width)
{
    return Column(title, width);
}

QStringList Numbers(int count)
{
    QStringList titles;
    titles.reserve(count);
    for (int n = 1; n <= count; ++n)
        titles << QString::number(n);
    return titles;
}

// "1.   Предприятие #1" ... "10. Предприятие #10": the blanks keep the numbers aligned.
QStringList NumberedTitles(int count, const QString &shortGap, const QString &longGap, const QString &name)
{
    QStringList titles;
    for (int n = 1; n <= count; ++n)
        titles << QString::number(n) + u'.' + (n < 10 ? longGap : shortGap) + name + QString::number(n);
    return titles;
}

RangeFields Range(const QString &start, const QString &end, int longest, int highest)
{
    return { start, end, longest, highest, u"1"_s, QString::number(highest) };
}

// One KKT row per grid row, with these fields.
QList<QList<ParamSlot>> SlotsPerRow(int rows, const std::function<QList<ParamSlot>(int row)> &slotsOf)
{
    QList<QList<ParamSlot>> fields;
    for (int row = 1; row <= rows; ++row)
        fields << slotsOf(row);
    return fields;
}

TableLayout Gsm()
{
    TableLayout t;
    t.kind = TableKind::Gsm;
    t.gridName = u"sgGsm"_s;
    t.rows = 8;
    t.cols = 2;
    t.rowHeight = 21;
    t.columns = { TitleColumn(u"Параметр"_s, 250), Column(u"Значение"_s, 595, Rule(EditRule::AnyLimit, 24)) };
    for (int n = 0; n < 7; ++n)
        t.rowTitles << GetGsmKeyName(n); // the configuration file names the rows alike
    // IP address, server name, port, PIN, APN, login, password.
    const std::array<CellRule, 7> rules { Rule(EditRule::Address, 15), Rule(EditRule::AnyLimit, 72),
        Rule(EditRule::Digits, 5), Rule(EditRule::Digits, 4), Rule(EditRule::AnyLimit, 24),
        Rule(EditRule::AnyLimit, 24), Rule(EditRule::AnyLimit, 24) };
    for (int row = 1; row <= 7; ++row)
        t.exceptions << CellException { row, GsmCol::Value, rules[size_t(row - 1)] };
    t.fieldsPerRow = 1;
    return t;
}

TableLayout Oper()
{
    using namespace OperCol;
    const QString narrow = FixedLists::Narrow();
    const QString list = u"ComboBox2"_s;
    TableLayout t;
    t.kind = TableKind::Oper;
    t.gridName = u"sgOper"_s;
    t.tabTitle = u"Операторы"_s;
    t.rows = 7;
    t.cols = 9;
    t.columns = {
        TitleColumn(u"Опер. №"_s, 55),
        Column(u"Должность"_s, 160, UpperFont(PostFont)),
        Column(u"Шрифт"_s, 65, FontList(list, PostFont), narrow),
        Column(u"Фамилия (строка 1)"_s, 160, UpperFont(Name1Font)),
        Column(u"Шрифт"_s, 65, FontList(list, Name1Font), narrow),
        Column(u"Фамилия (строка 2)"_s, 160, UpperFont(Name2Font)),
        Column(u"Шрифт"_s, 65, FontList(list, Name2Font), narrow),
        Column(u"Пароль"_s, 75, Rule(EditRule::Free)),
        Column(u"ИНН кассира"_s, 80, Rule(EditRule::Digits, 12)),
    };
    t.rowTitles = Numbers(6);
    t.range = Range(u"Edit1"_s, u"Edit2"_s, 1, 6);
    t.fieldsPerRow = 5;
    t.rowFields = SlotsPerRow(6, [](int row) {
        const auto r = quint8(row);
        return QList<ParamSlot> { { 0, r, 0, Post, PostFont, false }, { 0, r, 1, Name1, Name1Font, false },
            { 0, r, 2, Name2, Name2Font, false }, { 0, r, 3, Password, -1, false }, { 0, r, 4, Inn, -1, false } };
    });
    t.writeFailure = u") при записи оператора с номером "_s;
    t.readFailure = u") при чтении операторов. Оператор номер "_s;
    return t;
}

TableLayout Goods()
{
    using namespace GoodsCol;
    TableLayout t;
    t.kind = TableKind::Goods;
    t.gridName = u"SGBase"_s;
    t.tabTitle = u"Предмет расчета"_s;
    t.rows = 6001;
    t.cols = 7;
    t.columns = {
        TitleColumn(u"Код товара"_s, 82),
        Column(u"Наименование"_s, 500, UpperFont(Font)),
        Column(u"Тип шрифта"_s, 100, FontList(u"ComboBox1"_s, Font), FixedLists::Narrow()),
        Column(u"Штрих-код"_s, 155, Rule(EditRule::Digits, 13)),
        NotSearched(Column(u"Цена за единицу"_s, 155, Rule(EditRule::Price, 13))),
        NotSearched(Column(u"Отдел/Услуга"_s, 200, Rule(EditRule::Digits, 2))),
        NotSearched(Column(u"Маркировка"_s, 200, Rule(EditRule::Free))),
    };
    t.rowTitles = Numbers(6000);
    t.range = Range(u"Edit3"_s, u"Edit4"_s, 4, 6000);
    t.fieldsPerRow = 1;
    t.writeFailure = u") при записи базы. Товар номер "_s;
    t.readFailure = u") при чтении базы. Товар номер "_s;
    return t;
}

TableLayout Usl()
{
    using namespace UslCol;
    TableLayout t;
    t.kind = TableKind::Usl;
    t.gridName = u"sgUsl"_s;
    t.tabTitle = u"Группы предметов расчета"_s;
    t.rows = 9;
    t.cols = 7;
    ColumnLayout landing = Column(QString(), 0);
    landing.hidden = true;
    t.columns = {
        TitleColumn(u"№"_s, 35),
        Column(u"Наименование отдела/услуги "_s, 250, UpperFont(Font)),
        Column(u"Шрифт"_s, 85, FontList(u"ComboBox3"_s, Font), FixedLists::Narrow()),
        Column(u"Признак предмета расчета"_s, 290, List(ListKind::ItemKinds, u"ComboBox5"_s, Landing),
            FixedLists::ItemKinds().first()),
        Column(u"Номер налога"_s, 180, List(ListKind::Vat, u"ComboBox7"_s, Landing), FixedLists::Vat().first()),
        Column(u"Система налогооблажения"_s, 175, List(ListKind::Taxation, u"ComboBox8"_s, Landing),
            FixedLists::Taxation().first()),
        landing,
    };
    t.rowTitles = Numbers(8);
    t.range = Range(u"Edit5"_s, u"Edit6"_s, 1, 8);
    t.fieldsPerRow = 2;
    t.rowFields = SlotsPerRow(8, [](int row) {
        return QList<ParamSlot> { { 2, quint8(row), 0, Name, Font, false }, { 2, quint8(row), 1, Kind, -1, true } };
    });
    t.writeFailure = u") при записи признака предмета расчета с номером "_s;
    t.readFailure = u") при чтении признака предмета расчета с номером "_s;
    return t;
}

TableLayout Klishe()
{
    using namespace KlisheCol;
    TableLayout t;
    t.kind = TableKind::Klishe;
    t.gridName = u"sgKl"_s;
    t.tabTitle = u"Клише"_s;
    t.rows = 22;
    t.cols = 3;
    t.columns = {
        TitleColumn(u"Строка №"_s, 250),
        Column(u"Наименование"_s, 400, UpperFont(Font)),
        Column(u"Шрифт"_s, 150, FontList(u"ComboBox4"_s, Font), FixedLists::Narrow()),
    };
    t.rowTitles = QStringList {
        u"1.     Имя пользователя #1"_s,
        u"2.     Имя пользователя #2"_s,
        u"3.     Имя пользователя #3"_s,
        u"4.     Имя пользователя #4"_s,
        u"5.     Имя пользователя #5"_s,
        u"6.     Адрес расчетов #1"_s,
        u"7.     Адрес расчетов #2"_s,
        u"8.     Адрес расчетов #3"_s,
        u"9.     Адрес расчетов #4"_s,
        u"10.    Адрес расчетов #5"_s,
        u"11.   Место расчетов #1"_s,
        u"12.   Место расчетов #2"_s,
        u"13.   Место расчетов #3"_s,
        u"14.   Место расчетов #4"_s,
        u"15.   Реклама #1"_s,
        u"16.   Наименование ОФД #1"_s,
        u"17.   Наименование ОФД #2"_s,
        u"18.   Сайт налогового органа #1"_s,
        u"19.   Сайт налогового органа #2"_s,
        u"20.   Электронная почта отправителя #1"_s,
        u"21.   Электронная почта отправителя #2"_s,
    };
    t.range = Range(u"Edit7"_s, u"Edit8"_s, 2, 21);
    // All lines are fields of KKT table 4, row 1.
    t.rowFields = SlotsPerRow(21, [](int row) {
        return QList<ParamSlot> { { 4, 1, quint8(row - 1), Text, Font, false } };
    });
    t.writeFailure = u") при записи строки клише с номером "_s;
    t.readFailure = u") при чтении строки клише с номером "_s;
    return t;
}

TableLayout Agents()
{
    using namespace AgentCol;
    TableLayout t;
    t.kind = TableKind::Agents;
    t.gridName = u"sgAgents"_s;
    t.tabTitle = u"Параметры агентов"_s;
    t.rows = 13;
    t.cols = 3;
    t.columns = {
        TitleColumn(u"Параметр"_s, 350),
        Column(u"Значение"_s, 250, UpperFont(Font)),
        Column(u"Шрифт"_s, 150, FontList(u"ComboBox6"_s, Font), FixedLists::Narrow()),
    };
    t.rowTitles = QStringList {
        u"1.  Телефон поставщика"_s,
        u"2.  Телефон платежного агента"_s,
        u"3.  Телефон оператора по приему платежей"_s,
        u"4.  Телефон оператора перевода"_s,
        u"5.  ИНН оператора перевода"_s,
        u"6.  Адрес оператора перевода (строка #1)"_s,
        u"7.  Адрес оператора перевода (строка #2)"_s,
        u"8.  Адрес оператора перевода (строка #3)"_s,
        u"9.  Адрес оператора перевода (строка #4)"_s,
        u"10. Наименование оператора перевода (строка #1)"_s,
        u"11. Наименование оператора перевода (строка #2)"_s,
        u"12. Операция платежного агента"_s,
    };
    // The INN takes digits only and has no font choice. The grid applies the
    // value column's rule to whichever of its columns is current, so the INN
    // row's font cell takes the INN's digits too.
    t.exceptions = { { InnRow, Value, Rule(EditRule::Digits, 12) }, { InnRow, Font, Rule(EditRule::Digits, 12) } };
    t.range = Range(u"Edit9"_s, u"Edit10"_s, 2, 12);
    // Parameters 6..9 share KKT row 6 and 10..11 row 7, one field each; 12 is row 8.
    t.rowFields = SlotsPerRow(12, [](int row) {
        const auto kktRow = quint8(row <= 5 ? row : row <= 9 ? 6 : row <= 11 ? 7 : 8);
        const auto field = quint8(row <= 5 ? 0 : row <= 9 ? row - 6 : row <= 11 ? row - 10 : 0);
        return QList<ParamSlot> { { 6, kktRow, field, Value, Font, false } };
    });
    t.writeFailure = u") при записи строки параметра агента с номером "_s;
    t.readFailure = u") при чтении строки параметра агента с номером "_s;
    return t;
}

TableLayout Factory()
{
    using namespace FactoryCol;
    TableLayout t;
    t.kind = TableKind::Factory;
    t.gridName = u"stringGridFactory"_s;
    t.tabTitle = u"Предприятие"_s;
    t.rows = 91;
    t.cols = 3;
    t.columns = {
        TitleColumn(u"Строка №"_s, 200),
        Column(u"Наименование"_s, 400, Rule(EditRule::UpperLimit, 24)),
        Column(u"ИНН предприятия"_s, 200, Rule(EditRule::Digits, 12)),
    };
    t.rowTitles = NumberedTitles(90, u" "_s, u"   "_s, u"Предприятие #"_s);
    t.range = Range(u"edtFirstElement"_s, u"edtLastElement"_s, 2, 90);
    t.fieldsPerRow = 2;
    t.rowFields = SlotsPerRow(90, [](int row) {
        return QList<ParamSlot> { { 8, quint8(row), 1, Name, -1, false }, { 8, quint8(row), 2, Inn, -1, false } };
    });
    t.writeFailure = u") при записи строки предприятия с номером "_s;
    t.readFailure = u") при чтении строки предприятия с номером "_s;
    return t;
}

TableLayout Station()
{
    using namespace StationCol;
    TableLayout t;
    t.kind = TableKind::Station;
    t.gridName = u"stringGridStation"_s;
    t.tabTitle = u"Станция"_s;
    t.rows = 41;
    t.cols = 2;
    t.columns = {
        TitleColumn(u"Строка №"_s, 200),
        Column(u"Наименование"_s, 400, Rule(EditRule::UpperLimit, 24)),
    };
    t.rowTitles = NumberedTitles(40, u"  "_s, u"    "_s, u"Станция #"_s);
    t.range = Range(u"edtFirstRange"_s, u"edtLastRange"_s, 2, 40);
    t.rowFields = SlotsPerRow(40, [](int row) { return QList<ParamSlot> { { 9, quint8(row), 1, Name, -1, false } }; });
    t.writeFailure = u") при записи строки станции с номером "_s;
    t.readFailure = u") при чтении строки станции с номером "_s;
    return t;
}
} // namespace

const ColumnLayout &TableLayout::column(int col) const
{
    static const ColumnLayout none;
    return col >= 0 && col < columns.size() ? columns[col] : none;
}

QList<int> TableLayout::listColumns() const
{
    QList<int> cols;
    for (int col = 1; col < columns.size(); ++col)
        if (columns[col].rule.edit == EditRule::List)
            cols << col;
    return cols;
}

const TableLayout &LayoutOf(TableKind kind)
{
    static const std::array<TableLayout, kTableKindCount> layouts { Gsm(), Oper(), Goods(), Usl(), Klishe(), Agents(),
        Factory(), Station() };
    return layouts[size_t(kind)];
}

const QStringList &ListEntries(ListKind list)
{
    static const QStringList none;
    switch (list) {
    case ListKind::Fonts:
        return FixedLists::Fonts();
    case ListKind::ItemKinds:
        return FixedLists::ItemKinds();
    case ListKind::Vat:
        return FixedLists::Vat();
    case ListKind::Taxation:
        return FixedLists::Taxation();
    case ListKind::None:
        break;
    }
    return none;
}
