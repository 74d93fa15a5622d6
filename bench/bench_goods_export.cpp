// The goods base of 6000 rows written to a spreadsheet and read back: the
// .xlsx export (libxlsxwriter, then the atomic save), the CSV export and the
// CSV import, each the median of several rounds, with the heap at its peak
// and the file's size.
//
//   bench_goods_export [ROUNDS]

#include "HeapMeter.h"

#include "pages/GoodsCsv.h"
#include "pages/GoodsXlsx.h"
#include "pages/Grids102.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
void Fill(StringGridModel &goods)
{
    for (int n = 1; n <= 6000; ++n) {
        goods.setCell(n, GoodsCol::Name, u"ЧАЙ ЧЕРНЫЙ %1 Г"_s.arg(n));
        goods.setCell(n, GoodsCol::Barcode, QString::number(4600000000000LL + n).rightJustified(13, u'0'));
        goods.setCell(n, GoodsCol::Price, u"%1.50"_s.arg(n));
        goods.setCell(n, GoodsCol::Section, u"%1"_s.arg(n % 16, 2, 10, QChar(u'0')));
        goods.setCell(n, GoodsCol::Mark, n % 3 == 0 ? u"м"_s : QString());
    }
}

void Measure(const char *what, int rounds, const QString &file, const std::function<PageResult()> &work)
{
    std::vector<double> ms, cpu;
    long long peak = 0;
    for (int round = 0; round < rounds; ++round) {
        HeapMeter::reset();
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpuStart = std::clock();
        const PageResult result = work();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(double(std::clock() - cpuStart) * 1000 / CLOCKS_PER_SEC);
        peak = std::max(peak, HeapMeter::peakSinceReset());
        if (!result.ok) {
            std::printf("%s: failed: %s\n", what, qPrintable(result.message));
            return;
        }
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    // The processor time shows the work itself where other programs share the machine.
    std::printf("%-14s median %7.1f ms (min %7.1f, max %7.1f; %d rounds), processor %7.1f ms, heap peak %5.1f MiB, "
                "file %6.1f KiB\n",
        what, ms[ms.size() / 2], ms.front(), ms.back(), rounds, cpu[cpu.size() / 2], double(peak) / (1024 * 1024),
        double(QFileInfo(file).size()) / 1024);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 11;
    QTemporaryDir dir;
    const auto goods = MakeGrid(TableKind::Goods);
    Fill(*goods);
    const QString xlsx = dir.filePath(u"goods.xlsx"_s);
    const QString csv = dir.filePath(u"goods.csv"_s);
    std::printf("6000 goods rows%s\n", HeapMeter::available() ? "" : " (heap not measured here)");
    Measure("export .xlsx", rounds, xlsx, [&] { return ExportGoodsXlsx(xlsx, *goods); });
    Measure("export .csv", rounds, csv, [&] { return ExportGoodsCsv(csv, *goods); });
    const auto back = MakeGrid(TableKind::Goods);
    Measure("import .csv", rounds, csv, [&] { return ImportGoodsCsv(csv, *back); });
    return 0;
}
