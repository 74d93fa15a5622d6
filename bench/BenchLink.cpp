// The KKT link against kkt-emulator on a pseudo-terminal with the line time
// imitated (--pace), through the real serial adapters:
//  1. goods items written one by one at 115200 baud through every adapter
//     built: the median transaction, its overhead over the line time, and
//     where the overhead goes (open + close, purge);
//  2. a whole write-config (every table, every row, as kkt-cli and the pages
//     send it) through the program's adapter at each speed, against the time
//     its bytes need on the line.
//
//   bench_link [--items N] [--rows N] [--speeds LIST] [--adapters LIST] [--spread]
// The full run (the defaults) takes some ten minutes: the write-config at
// 19200 baud alone needs over five minutes of line time. --rows 500 and
// --speeds 115200 give a run of a minute or so.

#include "EmulatorProcess.h"
#include "kkt/ComPort.h"
#include "kkt/MonotonicClock.h"
#include "kkt/SerialLinkFactory.h"
#include "pages/GridSet.h"
#include "pages/TableRun.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>
#ifdef __linux__
#include <sched.h>
#endif

using namespace Qt::StringLiterals;

namespace {
constexpr quint32 kItemSpeed = 115200;
constexpr double kOverheadTarget = 1.2; // ms per transaction at 115200

double LineMs(qint64 bytes, quint32 speed)
{
    return double(bytes) * 10 * 1000.0 / speed;
}

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[size_t(p * double(values.size() - 1) + 0.5)];
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

// Times each step of every transaction through the link it wraps, to tell
// where the overhead over the line time goes.
class PhaseClock final : public SerialLink
{
public:
    explicit PhaseClock(SerialLink &inner)
        : m_inner(inner)
    { }

    bool open(const QString &name, quint32 speed, quint32 totalTimeOutMs) override
    {
        if (m_lastClose > 0)
            m_between.push_back(Since(m_lastClose));
        const qint64 start = MonotonicNs();
        m_speed = speed;
        const bool ok = m_inner.open(name, speed, totalTimeOutMs);
        m_open.push_back(Since(start));
        return ok;
    }
    bool isOpen() const override { return m_inner.isOpen(); }
    void purge() override
    {
        timed(m_purge, [&] { m_inner.purge(); });
    }
    int write(const quint8 *data, int count) override
    {
        m_requestBytes = count;
        int n = 0;
        timed(m_write, [&] { n = m_inner.write(data, count); });
        return n;
    }
    int read(quint8 *data, int maxCount) override
    {
        const qint64 start = MonotonicNs();
        const int n = m_inner.read(data, maxCount);
        // The answer comes after the request's line time and its own.
        m_readLate.push_back(Since(start) - LineMs(m_requestBytes + n, m_speed));
        return n;
    }
    void close() override
    {
        timed(m_close, [&] { m_inner.close(); });
        m_lastClose = MonotonicNs();
    }
    int pendingInput() override
    {
        int n = 0;
        timed(m_checks, [&] { n = m_inner.pendingInput(); });
        return n;
    }
    int discardUntilQuiet(int quietMs, int maxMs) override { return m_inner.discardUntilQuiet(quietMs, maxMs); }

    void print() const
    {
        std::printf("  per step, median / 90th:    open %s, purge %s, write %s, close %s ms\n", Spread(m_open).data(),
            Spread(m_purge).data(), Spread(m_write).data(), Spread(m_close).data());
        std::printf("  answer after its line time: %s ms; between transactions %s ms\n", Spread(m_readLate).data(),
            Spread(m_between).data());
        std::printf("  look for stray bytes:       %s ms a look, %.1f looks a transaction\n", Spread(m_checks).data(),
            m_open.empty() ? 0.0 : double(m_checks.size()) / double(m_open.size()));
    }

private:
    static double Since(qint64 startNs) { return double(MonotonicNs() - startNs) / 1e6; }
    static std::array<char, 32> Spread(const std::vector<double> &values)
    {
        std::array<char, 32> text {};
        if (values.empty())
            std::snprintf(text.data(), text.size(), "-");
        else
            std::snprintf(text.data(), text.size(), "%.3f / %.3f", Percentile(values, 0.5), Percentile(values, 0.9));
        return text;
    }
    template <typename Step> static void timed(std::vector<double> &into, Step step)
    {
        const qint64 start = MonotonicNs();
        step();
        into.push_back(Since(start));
    }

    SerialLink &m_inner;
    quint32 m_speed = 0;
    int m_requestBytes = 0;
    qint64 m_lastClose = 0;
    std::vector<double> m_open, m_purge, m_write, m_close, m_readLate, m_between, m_checks;
};

// Counts the bytes that went over the line both ways, from the exchange log hook.
struct LineBytes
{
    qint64 bytes = 0;
    int requests = 0;
    void attach(KktChannel &channel)
    {
        channel.setLogSink([this](const TBufKKT &buf, bool isAnswer) {
            bytes += buf.count;
            requests += isAnswer ? 0 : 1;
        });
    }
};

void GoodsItems(SerialLinkKind kind, const EmulatorProcess &emulator, int items)
{
    const std::unique_ptr<SerialLink> link = MakeSerialLink(kind);
    PhaseClock phases(*link);
    KktChannel channel(phases);
    LineBytes line;
    line.attach(channel);
    const KktConnection conn { emulator.linkPath(), kItemSpeed, 3500, 0, 0 };

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
    const double runMs = double(run.nsecsElapsed()) / 1e6;
    const double lineMs = LineMs(line.bytes, kItemSpeed);
    const double lineMsPerItem = lineMs / items;
    const double median = Percentile(ms, 0.5);

    std::printf("\n[%s adapter] goods items at %u baud\n", qPrintable(SerialLinkKindName(kind)), kItemSpeed);
    std::printf("  items written:              %d (failed: %d)\n", items, failures);
    std::printf("  line time per item:         %.3f ms\n", lineMsPerItem);
    std::printf("  median per transaction:     %.3f ms\n", median);
    std::printf(
        "  median overhead:            %.3f ms (target <= %.1f ms, of which 1 ms is the pause after the purge)\n",
        median - lineMsPerItem, kOverheadTarget);
    phases.print();
    std::printf("  90th / 99th percentile:     %.3f / %.3f ms\n", Percentile(ms, 0.9), Percentile(ms, 0.99));
    std::printf("  whole run:                  %.2f s (line time %.2f s, ratio %.3f)\n", runMs / 1000, lineMs / 1000,
        runMs / lineMs);
    std::printf("  port open + close alone:    %.3f ms\n", MedianMs(200, [&] {
        link->open(conn.Name, conn.Speed, conn.TimeOut);
        link->close();
    }));
    link->open(conn.Name, conn.Speed, conn.TimeOut);
    std::printf("  purge alone:                %.3f ms\n", MedianMs(200, [&] { link->purge(); }));
    link->close();
}

// Every table in the register's request order, rows 1..rows of each, from the pages' start values.
void WriteConfig(const EmulatorProcess &emulator, quint32 speed, int rows, double target)
{
    const std::unique_ptr<SerialLink> link = MakeSerialLink();
    PhaseClock phases(*link);
    KktChannel channel(phases);
    LineBytes line;
    line.attach(channel);
    const KktConnection conn { emulator.linkPath(), speed, 3500, 0, 0 };
    const OwnedGrids grids;
    QStringList failures;
    QElapsedTimer run;
    run.start();
    for (TableKind kind : { TableKind::Gsm, TableKind::Oper, TableKind::Goods, TableKind::Usl, TableKind::Klishe,
             TableKind::Agents, TableKind::Factory, TableKind::Station }) {
        const RunResult result
            = RunTable(channel, conn, kind, RunDirection::Write, grids[kind], 1, std::min(rows, MaxRowOf(kind)));
        failures += result.messages;
    }
    const double runMs = double(run.nsecsElapsed()) / 1e6;
    const double lineMs = LineMs(line.bytes, speed);
    std::printf("\n[%s adapter] write-config at %u baud, rows 1..%d of every table\n",
        qPrintable(SerialLinkKindName(DefaultSerialLinkKind())), speed, rows);
    std::printf("  transactions:               %d (failed runs: %lld)\n", line.requests, qlonglong(failures.size()));
    std::printf("  whole run:                  %.2f s (line time %.2f s)\n", runMs / 1000, lineMs / 1000);
    if (target > 0)
        std::printf("  ratio to the line time:     %.3f (target <= %.2f)\n", runMs / lineMs, target);
    else
        std::printf("  ratio to the line time:     %.3f\n", runMs / lineMs);
    std::printf("  overhead per transaction:   %.3f ms\n", (runMs - lineMs) / line.requests);
    phases.print();
    for (const QString &failure : failures)
        std::printf("  failure: %s\n", qPrintable(QString(failure).replace(u"\r\n"_s, u" "_s)));
}

// The emulator stands in for the register, and the register's wake-ups are no
// part of the link. On a virtual machine a wake-up on another virtual
// processor costs some 40 us, and now and then the host holds both for
// milliseconds when the second one wakes; on one processor neither happens.
// The emulator, started later, inherits the placement. The processor, or -1.
int KeepOnOneProcessor()
{
#ifdef __linux__
    const int cpu = ::sched_getcpu();
    cpu_set_t set;
    CPU_ZERO(&set);
    if (cpu >= 0)
        CPU_SET(cpu, &set);
    if (cpu >= 0 && ::sched_setaffinity(0, sizeof set, &set) == 0)
        return cpu;
#endif
    return -1;
}

// The write-config targets: the slower the line, the smaller the share the overhead may take. 0: none.
double ConfigTarget(quint32 speed)
{
    return speed == 115200 ? 1.15 : speed == 19200 ? 1.03 : 0;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Serial link benchmark against kkt-emulator."_s);
    parser.addHelpOption();
    parser.addOption({ u"items"_s, u"Goods items per adapter (1..6000, default 1000)."_s, u"N"_s, u"1000"_s });
    parser.addOption(
        { u"rows"_s, u"Rows per table in the write-config runs (0..6000, default 6000: all)."_s, u"N"_s, u"6000"_s });
    parser.addOption(
        { u"speeds"_s, u"Speeds of the write-config runs (default 115200,19200)."_s, u"LIST"_s, u"115200,19200"_s });
    parser.addOption({ u"adapters"_s, u"Adapters of the goods runs: posix, qt (default: all built)."_s, u"LIST"_s });
    parser.addOption({ u"spread"_s,
        u"Leave the benchmark and the emulator wherever the system runs them (default: both on one processor)."_s });
    parser.process(app);

    bool itemsOk = false, rowsOk = false;
    const int items = parser.value(u"items"_s).toInt(&itemsOk);
    const int rows = parser.value(u"rows"_s).toInt(&rowsOk);
    QList<quint32> speeds;
    for (const QString &text : parser.value(u"speeds"_s).split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        speeds << text.toUInt(&ok);
        if (!ok || speeds.last() == 0) {
            std::fprintf(stderr, "bench_link: bad speed %s\n", qPrintable(text));
            return 64;
        }
    }
    QList<SerialLinkKind> kinds;
    for (SerialLinkKind kind : BuiltSerialLinkKinds())
        if (!parser.isSet(u"adapters"_s) || parser.value(u"adapters"_s).split(u',').contains(SerialLinkKindName(kind)))
            kinds << kind;
    if (!itemsOk || items < 1 || items > 6000 || !rowsOk || rows < 0 || rows > 6000) {
        std::fputs("bench_link: --items takes 1..6000, --rows 0..6000\n", stderr);
        return 64;
    }

    const int processor = parser.isSet(u"spread"_s) ? -1 : KeepOnOneProcessor();
    QTemporaryDir dir;
    EmulatorProcess emulator;
    if (!emulator.start(QStringLiteral(KKT_EMULATOR_PATH), dir.filePath(u"KKT-EMU"_s), { u"--pace"_s })) {
        std::fprintf(stderr, "kkt-emulator did not start: %s\n", qPrintable(emulator.error()));
        return 1;
    }
    // QSerialPort writes, syncs and removes a lock file there on every open.
    const QStorageInfo locks(u"/var/lock"_s);
    std::printf("lock folder /var/lock: %s on %s\n", qPrintable(locks.rootPath()),
        locks.isValid() ? locks.fileSystemType().constData() : "(none)");
    std::printf("program adapter: %s\n", qPrintable(SerialLinkKindName(DefaultSerialLinkKind())));
    if (processor >= 0)
        std::printf("benchmark and emulator on processor %d (--spread: wherever the system runs them)\n", processor);
    else
        std::printf("benchmark and emulator wherever the system runs them\n");
    // Every figure below is wake-up latency as much as our own code: a busy machine shows here.
    QFile loadAvg(u"/proc/loadavg"_s);
    if (loadAvg.open(QIODevice::ReadOnly))
        std::printf("load average at start: %s", loadAvg.readLine().constData());

    for (SerialLinkKind kind : kinds)
        GoodsItems(kind, emulator, items);
    if (rows > 0)
        for (quint32 speed : speeds)
            WriteConfig(emulator, speed, rows, ConfigTarget(speed));
    return 0;
}
