// Writes the goods base through the real serial adapter to kkt-emulator on a
// pseudo-terminal at 115200 baud, with the line time imitated (--pace), and
// prints how the run compares with the time the bytes need on the line.
//
//   bench_link [ITEMS]   ITEMS goods items (1..6000, default 6000)

#include "EmulatorProcess.h"
#include "kkt/ComPort.h"
#include "kkt/QtSerialLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
constexpr quint32 kSpeed = 115200;
constexpr int kBytesPerItem = 51 + 46; // request and answer
constexpr double kLineMsPerItem = kBytesPerItem * 10 * 1000.0 / kSpeed;

double Percentile(std::vector<double> sorted, double p)
{
    std::sort(sorted.begin(), sorted.end());
    return sorted[size_t(p * double(sorted.size() - 1) + 0.5)];
}

// Median of `count` runs of `step`, in milliseconds.
template <typename Step> double MedianMs(int count, Step step)
{
    std::vector<double> ms;
    QElapsedTimer timer;
    for (int i = 0; i < count; ++i) {
        timer.start();
        step();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return Percentile(ms, 0.5);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    bool ok = true;
    const int items = app.arguments().size() > 1 ? app.arguments().at(1).toInt(&ok) : 6000;
    if (!ok || items < 1 || items > 6000) {
        std::fputs("usage: bench_link [ITEMS 1..6000]\n", stderr);
        return 64;
    }
    QTemporaryDir dir;
    EmulatorProcess emulator;
    if (!emulator.start(QStringLiteral(KKT_EMULATOR_PATH), dir.filePath(u"KKT-EMU"_s), { u"--pace"_s })) {
        std::fprintf(stderr, "kkt-emulator did not start: %s\n", qPrintable(emulator.error()));
        return 1;
    }
    QtSerialLink link;
    KktChannel channel(link);
    const KktConnection conn { emulator.linkPath(), kSpeed, 3500, 0, 0 };

    std::vector<double> ms;
    ms.reserve(size_t(items));
    int failures = 0;
    QElapsedTimer run, one;
    run.start();
    for (int n = 1; n <= items; ++n) {
        quint16 number = quint16(n), font = KktFont::Narrow;
        quint8 section = quint8(n % 16);
        QString name = u"ТОВАР НОМЕР %1"_s.arg(n), barcode = QString::number(4600000000000LL + n),
                price = QString::number(n * 100);
        one.start();
        const quint8 outcome
            = RequestPredmRasch(channel, conn, KktMode::Write, number, font, name, barcode, price, section);
        ms.push_back(double(one.nsecsElapsed()) / 1e6);
        failures += outcome != KktOutcome::Ok;
    }
    const double runS = double(run.nsecsElapsed()) / 1e9;
    const double lineS = items * kLineMsPerItem / 1000.0;
    const double median = Percentile(ms, 0.5);

    std::printf("goods items written:        %d (failed: %d)\n", items, failures);
    std::printf("line time per item:         %.3f ms (%d bytes of 10 bits at %u baud)\n", kLineMsPerItem, kBytesPerItem,
        kSpeed);
    std::printf("median per transaction:     %.3f ms\n", median);
    std::printf("median overhead:            %.3f ms (target <= 1.6 ms, of which 1 ms is the pause after the purge)\n",
        median - kLineMsPerItem);
    std::printf("90th / 99th percentile:     %.3f / %.3f ms\n", Percentile(ms, 0.9), Percentile(ms, 0.99));
    std::printf("whole run:                  %.2f s (line time %.2f s, ratio %.3f)\n", runS, lineS, runS / lineS);
    // Where the overhead goes, measured alone on the same terminal. Opening a
    // port includes QSerialPort's lock file (created, synced and removed again),
    // whose cost depends on the file system under /var/lock.
    std::printf("port open + close alone:    %.3f ms\n", MedianMs(200, [&] {
        link.open(conn.Name, conn.Speed, conn.TimeOut);
        link.close();
    }));
    // A bare device name, the way the port list offers ttyUSB0, goes to the port as it is.
    const QString bareName = emulator.terminalPath().sliced(int(sizeof "/dev/") - 1);
    std::printf("open + close by bare name:  %.3f ms (%s)\n",
        MedianMs(200,
            [&] {
                link.open(bareName, conn.Speed, conn.TimeOut);
                link.close();
            }),
        qPrintable(bareName));
    std::printf("purge alone:                %.3f ms\n", MedianMs(200, [&] { link.purge(); }));
    return failures == 0 ? 0 : 1;
}
