// The goods import of a workbook of 6000 rows, from the file dialog's answer
// to the filled grid (the reader's child process, its output, the layout
// check, the report), for the same rows as .xls, .xlsx and .ods, in one run.
//
//   bench_imports [RUNS]   runs of each book (default 5); the best and the median are printed
//
// Targets: .xls at most 1 s; .xlsx at most 1 s and at most 2 x the .xls.

#include "pages/Grids102.h"
#include "pages/xlsTool.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <JlCompress.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
struct Figures
{
    double best = 0, median = 0;
    int rows = 0;
    bool ok = false;
};

Figures Measure(const QString &book, int runs)
{
    std::vector<double> times;
    Figures figures;
    for (int i = 0; i < runs; ++i) {
        const auto goods = MakeGrid(TableKind::Goods);
        QElapsedTimer timer;
        timer.start();
        const PageResult result = LoadXls(book, *goods);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        figures.ok = result.ok && goods->cell(6000, GoodsCol::Name) == u"Товар номер 6000"_s;
        figures.rows = result.count;
        if (!figures.ok) {
            std::printf("%s: %s\n", qPrintable(book), qPrintable(result.message));
            return figures;
        }
    }
    std::sort(times.begin(), times.end());
    figures.best = times.front();
    figures.median = times[times.size() / 2];
    return figures;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? qBound(1, QString::fromLocal8Bit(argv[1]).toInt(), 100) : 5;
    // The three books travel in one archive; the import reads them from files of their own.
    QTemporaryDir folder;
    if (JlCompress::extractDir(QStringLiteral(KKT_BENCH_WORKBOOKS "/goods-6000.zip"), folder.path()).size() != 3) {
        std::printf("cannot unpack %s\n", KKT_BENCH_WORKBOOKS "/goods-6000.zip");
        return 1;
    }
    std::printf("%-18s %9s %6s %10s %10s\n", "book", "size", "rows", "best ms", "median ms");
    double xls = 0, xlsx = 0;
    for (const QString &name : { u"goods-6000.xls"_s, u"goods-6000.xlsx"_s, u"goods-6000.ods"_s }) {
        const QString book = folder.filePath(name);
        const Figures f = Measure(book, runs);
        if (!f.ok)
            return 1;
        std::printf(
            "%-18s %9lld %6d %10.1f %10.1f\n", qPrintable(name), QFileInfo(book).size(), f.rows, f.best, f.median);
        if (name.endsWith(u".xls"_s))
            xls = f.median;
        else if (name.endsWith(u".xlsx"_s))
            xlsx = f.median;
    }
    std::printf(".xls %.0f ms (target <= 1000), .xlsx %.0f ms (target <= 1000), .xlsx / .xls %.2f (target <= 2)\n", xls,
        xlsx, xlsx / xls);
    return 0;
}
