// The check before writing over a full configuration: every cell of every
// table through the same encoders and decoders as a write and a read. It runs
// before every write from the window and from kkt-cli. Two configurations:
// every row filled, one goods name in twenty too long or with a character the
// register lacks; and the worst case, every row such.
//
//   bench_check [ROUNDS]

#include "pages/GridSet.h"
#include "pages/RegisterView.h"
#include "pages/TableLayout.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
// Every row of every table filled; `every` of the goods names (and of the
// other tables' texts) too long, with "ё" and "№": 1 for all of them.
void Fill(const OwnedGrids &grids, int every)
{
    StringGridModel &goods = grids[TableKind::Goods];
    for (int n = 1; n <= MaxRowOf(TableKind::Goods); ++n) {
        const bool bad = n % every == 0;
        goods.setCell(n, GoodsCol::Name,
            bad ? u"Чай чёрный листовой %1 г №7 с бергамотом"_s.arg(n) : u"Чай черный %1 г"_s.arg(n));
        goods.setCell(n, GoodsCol::Barcode, QString::number(4600000000000LL + n));
        goods.setCell(n, GoodsCol::Price, bad ? u"%1.505"_s.arg(n) : u"%1.50"_s.arg(n));
        goods.setCell(n, GoodsCol::Section, QString::number(bad ? n % 300 : n % 16));
    }
    for (int k = 0; k < kTableKindCount; ++k) {
        const auto kind = TableKind(k);
        if (kind == TableKind::Goods || kind == TableKind::Gsm)
            continue;
        StringGridModel &grid = grids[kind];
        for (int row = 1; row <= MaxRowOf(kind); ++row)
            grid.setCell(row, 1,
                row % every == 0 ? u"Строка %1 с буквой ё и знаком № в конце поля"_s.arg(row)
                                 : u"Строка %1"_s.arg(row));
    }
}

void Measure(const char *what, int every, int rounds)
{
    const OwnedGrids grids;
    Fill(grids, every);
    std::vector<double> ms;
    qsizetype issues = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        issues = 0;
        for (int k = 0; k < kTableKindCount; ++k) {
            const auto kind = TableKind(k);
            issues += CheckBeforeWrite(kind, grids[kind], 1, MaxRowOf(kind)).size();
        }
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("check before writing, %s (%lld cells named), %d rounds: best %.1f ms, median %.1f ms%s\n", what,
        qlonglong(issues), rounds, ms.front(), ms[ms.size() / 2], every > 1 ? " (target <= 30 ms)" : "");
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = app.arguments().size() > 1 ? std::max(1, app.arguments().at(1).toInt()) : 20;
    Measure("full configuration, 1 row in 20 to name", 20, rounds);
    Measure("worst case, every row to name", 1, rounds);
    return 0;
}
