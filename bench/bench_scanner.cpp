// The scanner: from the last byte a scanner sends to the barcode cell filled,
// over 100 codes from scanner-emulator on a real pseudo-terminal (the reader's
// 50 ms pause for the rest of a code included); and the processor time of a
// reader that waits 10 s for a code that does not come.
//
//   bench_scanner [--split K:MS]   each code in two writes, MS apart after its first K bytes
#include "EmulatorProcess.h"
#include "kkt/MonotonicClock.h"

#include "app/ScannerControl.h"
#include "pages/StringGridModel.h"
#include "scanner/ScanThread.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
constexpr int kCodes = 100;
constexpr int kIdleSeconds = 10;

double ProcessCpuMs()
{
    timespec t {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Runs the event loop until done() or the time is up, looking every millisecond.
bool Until(const std::function<bool()> &done, int ms)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

// Runs the event loop for a while, waking for nothing but its own events.
void Idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5))];
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList emulatorOptions { u"--interval-ms"_s, u"0"_s };
    QString split;
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == u"--split"_s) {
        split = args[2];
        emulatorOptions << u"--split"_s << split;
    } else if (args.size() != 1) {
        std::fprintf(stderr, "usage: bench_scanner [--split K:MS]\n");
        return 64;
    }
    QTemporaryDir dir;
    const QString ports = dir.filePath(u"ports"_s);
    QDir().mkpath(ports);
    QFile cfg(dir.filePath(u"Scan.cfg"_s));
    if (!cfg.open(QIODevice::WriteOnly)
        || cfg.write("[CURRENT]\r\nModelName=Bee2 (RS-232)\r\nComPort=SCAN-EMU\r\nSpeedPort=9600\r\n") < 0)
        return 1;
    cfg.close();

    EmulatorProcess scanner;
    if (!scanner.start(QStringLiteral(SCANNER_EMULATOR_PATH), ports + u"/SCAN-EMU"_s, emulatorOptions)) {
        std::fprintf(stderr, "scanner-emulator: %s\n", qPrintable(scanner.error()));
        return 1;
    }

    // The goods tab as the scanner sees it, the barcode cell of row 1 selected.
    QWidget page;
    StringGridModel grid(2, 7);
    QWidget shape(&page);
    QLabel caption(&page), verdict(&page);
    std::vector<qint64> filled;
    QObject::connect(&grid, &StringGridModel::dataChanged, [&] { filled.push_back(MonotonicNs()); });
    TStructSetting sett;
    TScanner scan;
    TScannerControl control(&page, dir.path(), ports, nullptr, sett, scan);
    control.setGoodsTab({ &grid, [] { return 3; }, [] { return 1; }, &shape, {}, &caption, &verdict, {} });
    control.ScanStartUp();
    control.GoodsTabShown();
    if (control.st()->Suspended()) {
        std::fprintf(stderr, "the reader did not start on %s\n", qPrintable(scanner.linkPath()));
        return 1;
    }

    std::vector<double> latencies;
    QProcess &process = scanner.process();
    for (int i = 0; i < kCodes; ++i) {
        // Each code after the reader is back at its wait, as from a person scanning.
        Idle(20);
        grid.setCell(1, 3, QString());
        const size_t before = filled.size();
        process.write("4607001770015\n");
        qint64 sentNs = 0;
        const bool done = Until(
            [&] {
                while (process.canReadLine()) {
                    const QByteArray line = process.readLine();
                    const qsizetype at = line.indexOf("t=");
                    if (at >= 0)
                        sentNs = line.mid(at + 2).split(' ').constFirst().toLongLong();
                }
                return sentNs != 0 && filled.size() > before;
            },
            3000);
        if (!done) {
            std::fprintf(stderr, "code %d: no cell filled in 3 s\n", i + 1);
            return 1;
        }
        latencies.push_back(double(filled.back() - sentNs) / 1e6);
    }
    // A code in two reads waits out the pause after each of them: from its last
    // byte, two pauses less the gap between the parts.
    const QString target = split.isEmpty()
        ? u"target: median <= 60 ms"_s
        : u"two reads, each followed by the 50 ms pause: expected 100 ms less the gap"_s;
    std::printf("last byte -> barcode cell filled, %d codes%s: median %.1f ms, p90 %.1f ms, max %.1f ms (%s)\n", kCodes,
        split.isEmpty() ? "" : qPrintable(u", split "_s + split + u" ms"_s), Percentile(latencies, 0.5),
        Percentile(latencies, 0.9), Percentile(latencies, 1.0), qPrintable(target));

    Idle(200);
    const double cpuBefore = ProcessCpuMs();
    QElapsedTimer wall;
    wall.start();
    Idle(kIdleSeconds * 1000);
    const double cpu = ProcessCpuMs() - cpuBefore;
    std::printf("reader waiting %d s with its port open: %.1f ms of processor, %.3f %% of one core "
                "(whole program; target <= 1 %%)\n",
        kIdleSeconds, cpu, 100.0 * cpu / double(wall.elapsed()));
    return 0;
}
