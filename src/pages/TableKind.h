#pragma once

// The grids of the two parameter pages: the GSM/Wi-Fi parameters and the seven
// tables of "Параметры 102".
enum class TableKind { Gsm, Oper, Goods, Usl, Klishe, Agents, Factory, Station };

constexpr int kTableKindCount = 8;
