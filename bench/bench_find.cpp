// Finding the register ("Найти ККТ", kkt-cli find) over real pseudo-terminals:
// eight ports nobody answers on (terminals whose other end is held open and
// never read), the whole search over every speed; then the same eight ports
// with kkt-emulator (pacing its bytes at the line rate) on the third.
// Prints figures; asserts nothing.
//   bench_find [--rounds N]

#include "EmulatorProcess.h"
#include "kkt/KktSearch.h"
#include "kkt/SerialLinkFactory.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// A terminal whose master end is held and never read: a port on which nothing answers.
class DeadTerminal
{
public:
    DeadTerminal()
        : m_master(::posix_openpt(O_RDWR | O_NOCTTY))
    {
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0)
            m_path = QString::fromLocal8Bit(::ptsname(m_master));
    }
    ~DeadTerminal()
    {
        if (m_master >= 0)
            ::close(m_master);
    }
    DeadTerminal(const DeadTerminal &) = delete;
    DeadTerminal &operator=(const DeadTerminal &) = delete;
    QString path() const { return m_path; }

private:
    int m_master;
    QString m_path;
};

struct Timed
{
    KktSearchResult result;
    double ms;
};

Timed Search(const QStringList &ports)
{
    const KktSearch search([] { return MakeSerialLink(); });
    const std::atomic_bool never = false;
    QElapsedTimer timer;
    timer.start();
    KktSearchResult result = search.run(ports, 0, never);
    return { result, double(timer.nsecsElapsed()) / 1e6 };
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption rounds(u"rounds"_s, u"runs of each search"_s, u"N"_s, u"3"_s);
    parser.addOption(rounds);
    parser.process(app);
    const int runs = qMax(1, parser.value(rounds).toInt());

    std::vector<std::unique_ptr<DeadTerminal>> dead;
    QStringList ports;
    for (int i = 0; i < 8; ++i) {
        dead.push_back(std::make_unique<DeadTerminal>());
        if (dead.back()->path().isEmpty()) {
            std::fprintf(stderr, "bench_find: no pseudo-terminal\n");
            return 1;
        }
        ports << dead.back()->path();
    }
    const QList<quint32> speeds = KktSearch::SpeedOrder();
    quint32 waits = 0;
    for (quint32 speed : speeds)
        waits += KktSearch::TimeOutMs(speed);
    std::printf(
        "8 ports x %d speeds, nothing answering (the time-outs alone: %u ms):\n", int(speeds.size()), 8 * waits);
    std::vector<double> silent;
    for (int i = 0; i < runs; ++i) {
        const Timed t = Search(ports);
        silent.push_back(t.ms);
        std::printf(
            "  run %d: %.0f ms, %d tries, found: %s\n", i + 1, t.ms, t.result.tries, t.result.found ? "yes" : "no");
    }
    std::printf("  median %.0f ms (target <= 10000 ms)\n", Median(silent));

    QTemporaryDir dir;
    EmulatorProcess emulator;
    if (!emulator.start(QStringLiteral(KKT_EMULATOR_PATH), dir.filePath(u"KKT-EMU"_s), { u"--pace"_s })) {
        std::fprintf(stderr, "bench_find: %s\n", qPrintable(emulator.error()));
        return 1;
    }
    ports[2] = emulator.linkPath();
    std::printf("the emulated register at 115200 on the third of 8 ports:\n");
    std::vector<double> found;
    for (int i = 0; i < runs; ++i) {
        const Timed t = Search(ports);
        found.push_back(t.ms);
        std::printf("  run %d: %.1f ms, %d tries, found: %s at %u\n", i + 1, t.ms, t.result.tries,
            t.result.found && t.result.port == ports[2] ? "yes" : "NO", t.result.speed);
    }
    std::printf("  median %.1f ms (target <= 1000 ms)\n", Median(found));
    emulator.stop();
    return 0;
}
