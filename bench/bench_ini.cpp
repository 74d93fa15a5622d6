// Saves and loads a full configuration (6045 sections, every key non-empty)
// through the INI store and the configuration file functions, and prints the
// times beside the time Python's configparser needs to read the same file,
// the two halves of the copy of unsaved edits (snapshot, write),
// and the heap each step takes at its peak beside the file's size.
//
//   bench_ini [ROUNDS]   rounds per figure (default 9); the best and the median are printed

#include "HeapMeter.h"
#include "config/ConfigFile.h"
#include "config/HeapTuning.h"
#include "config/RecoveryStore.h"
#include "config/classMyIniFile.h"
#include "pages/ConfigCopy.h"
#include "pages/GridSet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
struct Figure
{
    double best;
    double median;
    double first = 0; // the first round, the process's memory still fresh
};

Figure Measure(int rounds, const std::function<void()> &work)
{
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    const double first = ms.front();
    std::sort(ms.begin(), ms.end());
    return { ms.front(), ms[ms.size() / 2], first };
}

void Print(const char *what, const Figure &f)
{
    std::printf("%-46s best %8.1f ms   median %8.1f ms\n", what, f.best, f.median);
}

// Every text field gets a value of ordinary length with Cyrillic, blanks and "=".
void FillConfig(TConfig &cfg)
{
    int i = 0;
    const auto set = [&](QString &field) { field = u" Значение %1 = текст "_s.arg(i++); };
    for (QString &p : cfg.Gsm.arrParam)
        set(p);
    auto &t = cfg.Cfg102;
    for (auto &o : t.Oper)
        for (QString *f :
            { &o.Dol, &o.fontDol, &o.FioStr1, &o.fontFioStr1, &o.FioStr2, &o.fontFioStr2, &o.Password, &o.Inn })
            set(*f);
    for (auto &g : t.PredmRasch)
        for (QString *f : { &g.NameTov, &g.fontNameTov, &g.Shtrih, &g.Price, &g.Section, &g.Mark })
            set(*f);
    for (auto &u : t.RpiznPredmRasch)
        for (QString *f : { &u.NameUsl, &u.fontName, &u.Priznak, &u.Name, &u.SystemTax })
            set(*f);
    for (auto &k : t.Klishe)
        for (QString *f : { &k.Name, &k.fontName })
            set(*f);
    for (auto &a : t.Agent)
        for (QString *f : { &a.Value, &a.fontValue })
            set(*f);
    for (auto &f : t.Factory)
        for (QString *x : { &f.Name, &f.INN })
            set(*x);
    for (auto &s : t.Station)
        set(s.Name);
}

// Reads the file with configparser inside python and prints its own timing.
std::optional<Figure> PythonRead(const QString &path, int rounds)
{
    const QString python = QStandardPaths::findExecutable(u"python3"_s);
    if (python.isEmpty())
        return std::nullopt;
    const QString script = uR"(
import configparser, sys, time
path, rounds = sys.argv[1], int(sys.argv[2])
times = []
for _ in range(rounds):
    t = time.perf_counter()
    with open(path, 'rb') as f:
        text = f.read().decode('cp1251')
    cp = configparser.ConfigParser(interpolation=None, strict=False)
    cp.read_string(text)
    times.append((time.perf_counter() - t) * 1000)
    keys = sum(len(cp[s]) for s in cp.sections())
times.sort()
print(times[0], times[len(times) // 2], len(cp.sections()), keys)
)"_s;
    QProcess proc;
    proc.start(python, { u"-c"_s, script, path, QString::number(rounds) });
    if (!proc.waitForFinished(300000) || proc.exitCode() != 0) {
        std::fprintf(stderr, "python3 failed: %s\n", proc.readAllStandardError().constData());
        return std::nullopt;
    }
    const QStringList out = QString::fromLatin1(proc.readAllStandardOutput()).simplified().split(u' ');
    if (out.size() < 4)
        return std::nullopt;
    std::printf("configparser sees %s sections and %s keys\n", qPrintable(out[2]), qPrintable(out[3]));
    return Figure { out[0].toDouble(), out[1].toDouble() };
}
} // namespace

int main(int argc, char *argv[])
{
    KeepFreedMemory(); // as the program and kkt-cli do
    QCoreApplication app(argc, argv);
    const int rounds = qMax(1, app.arguments().value(1, u"9"_s).toInt());
    QTemporaryDir dir;
    const QString path = dir.filePath(u"full.conf"_s);

    auto cfg = std::make_unique<TConfig>();
    FillConfig(*cfg);
    auto loaded = std::make_unique<TConfig>();
    const auto saveNew = [&] {
        QFile::remove(path);
        SaveConfigFile(path, *cfg);
    };
    const auto saveOver = [&] { SaveConfigFile(path, *cfg); };
    const auto load = [&] { LoadConfigFile(path, *loaded); };
    const auto storeLoad = [&] { const TmyIniFile ini(path); };

    const Figure newFile = Measure(rounds, saveNew);
    Print("SaveConfigFile into a new file", newFile);
    std::printf("%-46s %8.1f ms (page faults of fresh memory)\n", "  its first round, the first save of the process",
        newFile.first);
    const qint64 fileSize = QFileInfo(path).size();
    std::printf("file: %lld bytes\n", qlonglong(fileSize));
    Print("SaveConfigFile over the full file", Measure(rounds, saveOver));
    const Figure loadFigure = Measure(rounds, load);
    Print("LoadConfigFile", loadFigure);
    const Figure storeFigure = Measure(rounds, storeLoad);
    Print("TmyIniFile load (store only)", storeFigure);
    TmyIniFile copy(path);
    std::printf("store: %d sections\n", copy.sectionCount());
    Print("TmyIniFile text of the file (no disk)", Measure(rounds, [&] { (void)copy.toBytes(); }));
    Print("TmyIniFile UpdateFile (with the disk sync)", Measure(rounds, [&] { copy.UpdateFile(); }));

    // The copy of unsaved edits: a snapshot of full grids on the window's
    // thread, then the write (on a thread of its own in the program).
    {
        OwnedGrids grids;
        ConfigToGrids(*cfg, grids.set());
        auto snapshot = std::make_unique<TConfig>();
        Print("recovery copy: snapshot of the grids", Measure(rounds, [&] { GridsToConfig(grids.set(), *snapshot); }));
        const RecoveryStore store(dir.path(), u"unsaved-1"_s);
        const RecoveryRecord record { path, QDateTime::currentDateTime() };
        Print("recovery copy: write (.conf and record, synced)",
            Measure(rounds, [&] { store.write(*snapshot, record); }));
    }

    if (const std::optional<Figure> py = PythonRead(path, rounds)) {
        Print("python3 configparser read (decode + parse)", *py);
        std::printf("ratio to configparser, best against best: LoadConfigFile %.3f, store load %.3f (target <= 0.1)\n",
            loadFigure.best / py->best, storeFigure.best / py->best);
    } else {
        std::printf("python3 configparser: not measured (python3 missing or failed)\n");
    }

    if (!HeapMeter::available()) {
        std::printf("heap peaks: not measured on this system\n");
        return 0;
    }
    // The store's own peaks, then the whole file functions with their TConfig texts.
    const auto peak = [&](const char *what, const std::function<void()> &work) {
        HeapMeter::reset();
        work();
        const double bytes = double(HeapMeter::peakSinceReset());
        std::printf("%-46s peak heap %6.2f MB = %5.2f x the file\n", what, bytes / 1e6, bytes / double(fileSize));
    };
    std::printf("heap peaks (target for the store: <= 10 x the file):\n");
    peak("TmyIniFile load", storeLoad);

    peak("TmyIniFile load + UpdateFile", [&] {
        TmyIniFile ini(path);
        ini.UpdateFile();
    });
    peak("SaveConfigFile into a new file", saveNew);
    peak("SaveConfigFile over the full file", saveOver);
    peak("LoadConfigFile (the loaded texts included)", [&] {
        auto fresh = std::make_unique<TConfig>();
        LoadConfigFile(path, *fresh);
    });
    return 0;
}
