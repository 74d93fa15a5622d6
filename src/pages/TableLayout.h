#pragma once

#include "pages/TableKind.h"

#include <QList>
#include <QString>
#include <QStringList>

// How a cell takes typed characters.
enum class EditRule {
    None, // not typed into: a title cell, a hidden cell
    UpperFont, // upper-cased; 24 characters when the font cell is narrow, 12 otherwise
    UpperLimit, // upper-cased, at most `limit` characters
    Digits, // 0..9 only, at most `limit`
    Price, // 0..9 and one ".", at most `limit`
    Address, // 0..9 and ".", at most `limit` (an IP address)
    AnyLimit, // anything, at most `limit`, case kept
    Free, // anything, no limit, case kept
    List, // chosen from a fixed list laid over the cell; nothing is typed
};

// The fixed list a list cell takes its entries from.
enum class ListKind { None, Fonts, ItemKinds, Vat, Taxation };

struct CellRule
{
    EditRule edit = EditRule::None;
    int limit = 0; // for UpperLimit, Digits, Price, Address, AnyLimit
    int fontCol = -1; // for UpperFont: the row's font cell
    ListKind list = ListKind::None; // for List
    QString listName; // the list widget's object name ("ComboBox1".."ComboBox8")
    int landCol = -1; // for List: where the selection goes after a choice, same row

    bool operator==(const CellRule &) const = default;
};

struct ColumnLayout
{
    QString title;
    int width = 0;
    bool hidden = false;
    CellRule rule;
    QString startValue; // of every data row; column 0 has the row titles instead
    bool searched = true; // a find looks in it, when it holds text
};

// A cell whose rule differs from its column's (agent row 5, the GSM rows).
struct CellException
{
    int row;
    int col;
    CellRule rule;
};

// One field of a KKT table with the grid cells it comes from and goes to.
struct ParamSlot
{
    quint8 table;
    quint8 row;
    quint8 field;
    int textCol; // the text's grid column
    int fontCol; // the font's grid column; -1: code "0" sent, code read ignored
    bool groupCode; // the text is the code built from the group's list cells
};

// The two fields of a tab that give the rows a KKT run acts on.
struct RangeFields
{
    QString startName; // object names
    QString endName;
    int longest = 0; // characters a field takes
    int highestRow = 0;
    QString startValue; // after start-up
    QString endValue;
};

// Everything there is to know about one table: the grid, its editing rules and
// how its rows reach the KKT. Row 0 is the title row and column 0 the title
// column, as in the grids.
struct TableLayout
{
    TableKind kind = TableKind::Gsm;
    QString gridName; // the grid widget's object name
    QString tabTitle; // the page tab (the GSM table has its own page)
    int rows = 0; // title row included
    int cols = 0; // title column included
    int rowHeight = 19;
    QList<ColumnLayout> columns; // cols entries
    QStringList rowTitles; // rows - 1 entries: the title of data row n is rowTitles[n - 1]
    QList<CellException> exceptions;
    RangeFields range; // empty for the GSM table

    // KKT side: the requests of one grid row and where their fields go.
    int fieldsPerRow = 1;
    QList<QList<ParamSlot>> rowFields; // per data row (index row - 1); empty for goods and GSM
    QString writeFailure; // the text after "Ошибка (<outcome>" that names the table,
    QString readFailure; // followed by the row number

    int maxRow() const { return rows - 1; }
    QString rowTitle(int row) const { return row >= 1 && row <= rowTitles.size() ? rowTitles[row - 1] : QString(); }
    const ColumnLayout &column(int col) const;
    // The columns that hold a list, in column order.
    QList<int> listColumns() const;
};

// The one description of each table.
const TableLayout &LayoutOf(TableKind kind);

// The entries of a fixed list (empty for ListKind::None).
const QStringList &ListEntries(ListKind list);

// The goods tab's item number field ("Перейти к товару").
namespace ItemNumberField {
constexpr int kLongest = 4;
} // namespace ItemNumberField

// Named grid columns of every table.
namespace GsmCol {
constexpr int Title = 0, Value = 1;
} // namespace GsmCol
namespace OperCol {
constexpr int Post = 1, PostFont = 2, Name1 = 3, Name1Font = 4, Name2 = 5, Name2Font = 6, Password = 7, Inn = 8;
} // namespace OperCol
namespace GoodsCol {
constexpr int Name = 1, Font = 2, Barcode = 3, Price = 4, Section = 5, Mark = 6;
} // namespace GoodsCol
namespace UslCol {
constexpr int Name = 1, Font = 2, Kind = 3, Vat = 4, Tax = 5, Landing = 6;
} // namespace UslCol
namespace KlisheCol {
constexpr int Text = 1, Font = 2;
} // namespace KlisheCol
namespace AgentCol {
constexpr int Value = 1, Font = 2;
constexpr int InnRow = 5; // digits only, and no font list
} // namespace AgentCol
namespace FactoryCol {
constexpr int Name = 1, Inn = 2;
} // namespace FactoryCol
namespace StationCol {
constexpr int Name = 1;
} // namespace StationCol
