#pragma once

#include "pages/Grids102.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Which tables a whole-register command runs, and over which rows, from its
// --tables and --range options. The tables always run in the register's
// request order (GSM, operators, goods, groups, header lines, agents,
// enterprises, stations), whatever order the list names them in.

struct TableSpan
{
    TableKind kind;
    int from; // rows; the GSM parameters ignore them and always run all seven
    int to;
    // Progress positions of the run: the seven parameters for GSM, one per request otherwise.
    int steps() const;
};

struct TablePlan
{
    QList<TableSpan> spans;
    QStringList outOfRange; // names of chosen tables that have no row in the range
    int steps() const;
};

namespace TableSelection {
// The names --tables takes, in request order: gsm, oper, goods, groups, klishe, agents, factory, station.
QString NameOf(TableKind kind);
// What the progress line calls the table.
QString TitleOf(TableKind kind);
QString NamesHelp(); // "gsm, oper, ..."

// tables: a comma-separated list, or nothing for all tables. range: "FROM-TO"
// or "N", or nothing for every row. FROM and TO lie in 1..6000 (the goods base, the
// largest table), FROM <= TO; each table takes its rows FROM..min(TO, its
// highest row), and a table whose highest row is below FROM is left out.
// Throws UsageError on a bad value, and when no chosen table is left.
TablePlan MakePlan(const std::optional<QString> &tables, const std::optional<QString> &range);
} // namespace TableSelection
