#include "pages/Grids102.h"

#include "config/ConfigFile.h"
#include "pages/FixedLists.h"

using namespace Qt::StringLiterals;

namespace {
const QStringList &KlisheTitles()
{
    static const QStringList list {
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
    return list;
}

const QStringList &AgentTitles()
{
    static const QStringList list {
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
    return list;
}

// Font columns start narrow; the group lists start on their first entries.
void SetStartValues(TableKind kind, StringGridModel &grid, int row)
{
    const QString narrow = FixedLists::Narrow();
    switch (kind) {
    case TableKind::Oper:
        grid.setCell(row, 2, narrow);
        grid.setCell(row, 4, narrow);
        grid.setCell(row, 6, narrow);
        break;
    case TableKind::Goods:
    case TableKind::Klishe:
    case TableKind::Agents:
        grid.setCell(row, 2, narrow);
        break;
    case TableKind::Usl:
        grid.setCell(row, 2, narrow);
        grid.setCell(row, 3, FixedLists::ItemKinds().first());
        grid.setCell(row, 4, FixedLists::Vat().first());
        grid.setCell(row, 5, FixedLists::Taxation().first());
        break;
    case TableKind::Gsm:
    case TableKind::Factory:
    case TableKind::Station:
        break;
    }
}
} // namespace

GridShape ShapeOf(TableKind kind)
{
    switch (kind) {
    case TableKind::Gsm:
        return { 8, 2 };
    case TableKind::Oper:
        return { 7, 9 };
    case TableKind::Goods:
        return { 6001, 7 };
    case TableKind::Usl:
        return { 9, 7 };
    case TableKind::Klishe:
        return { 22, 3 };
    case TableKind::Agents:
        return { 13, 3 };
    case TableKind::Factory:
        return { 91, 3 };
    case TableKind::Station:
        return { 41, 2 };
    }
    return { 0, 0 };
}

QStringList ColumnTitles(TableKind kind)
{
    switch (kind) {
    case TableKind::Gsm:
        return { u"Параметр"_s, u"Значение"_s };
    case TableKind::Oper:
        return { u"Опер. №"_s, u"Должность"_s, u"Шрифт"_s, u"Фамилия (строка 1)"_s, u"Шрифт"_s, u"Фамилия (строка 2)"_s,
            u"Шрифт"_s, u"Пароль"_s, u"ИНН кассира"_s };
    case TableKind::Goods:
        return { u"Код товара"_s, u"Наименование"_s, u"Тип шрифта"_s, u"Штрих-код"_s, u"Цена за единицу"_s,
            u"Отдел/Услуга"_s, u"Маркировка"_s };
    case TableKind::Usl:
        return { u"№"_s, u"Наименование отдела/услуги "_s, u"Шрифт"_s, u"Признак предмета расчета"_s, u"Номер налога"_s,
            u"Система налогооблажения"_s, QString() };
    case TableKind::Klishe:
        return { u"Строка №"_s, u"Наименование"_s, u"Шрифт"_s };
    case TableKind::Agents:
        return { u"Параметр"_s, u"Значение"_s, u"Шрифт"_s };
    case TableKind::Factory:
        return { u"Строка №"_s, u"Наименование"_s, u"ИНН предприятия"_s };
    case TableKind::Station:
        return { u"Строка №"_s, u"Наименование"_s };
    }
    return {};
}

QString RowTitle(TableKind kind, int row)
{
    if (row < 1 || row > MaxRowOf(kind))
        return {};
    switch (kind) {
    case TableKind::Gsm:
        return GetGsmKeyName(row - 1); // the configuration file names the rows alike
    case TableKind::Klishe:
        return KlisheTitles().at(row - 1);
    case TableKind::Agents:
        return AgentTitles().at(row - 1);
    case TableKind::Factory: // the blanks keep the numbers of rows 9 and 10 aligned
        return QString::number(row) + (row < 10 ? u".   Предприятие #"_s : u". Предприятие #"_s) + QString::number(row);
    case TableKind::Station:
        return QString::number(row) + (row < 10 ? u".    Станция #"_s : u".  Станция #"_s) + QString::number(row);
    case TableKind::Oper:
    case TableKind::Goods:
    case TableKind::Usl:
        break;
    }
    return QString::number(row);
}

void InitGrid(TableKind kind, StringGridModel &grid)
{
    const GridBulkUpdate bulk(grid);
    const QStringList titles = ColumnTitles(kind);
    for (int col = 0; col < grid.cols(); ++col)
        grid.setCell(0, col, titles.value(col));
    for (int row = 1; row < grid.rows(); ++row) {
        grid.setCell(row, 0, RowTitle(kind, row));
        for (int col = 1; col < grid.cols(); ++col)
            grid.setCell(row, col, QString());
        SetStartValues(kind, grid, row);
    }
}

std::unique_ptr<StringGridModel> MakeGrid(TableKind kind, QObject *parent)
{
    const GridShape shape = ShapeOf(kind);
    auto grid = std::make_unique<StringGridModel>(shape.rows, shape.cols, parent);
    InitGrid(kind, *grid);
    return grid;
}
