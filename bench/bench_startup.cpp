// Start-up time to the first shown main window with both pages created, the
// copy of a full configuration between the grids and the record, the memory
// after loading a full configuration from the window, and the cost of a long
// exchange log: 12000 paragraphs, as a full goods-base write adds.
#include "PrintedPrompts.h"
#include "app/KktApplication.h"
#include "app/MainForm.h"
#include "app/pages/GsmSettingFrame.h"
#include "app/pages/Set102Frame.h"
#include "app/service/UDebugKKT.h"
#include "config/ConfigFile.h"
#include "pages/GridSet.h"
#include "ui/Prompts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
double Ms(qint64 ns)
{
    return double(ns) / 1e6;
}

// Resident memory of this process in MB; -1 where the system does not tell.
double ResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

StringGridModel &Grid(TFormMain &form, TableKind kind)
{
    return kind == TableKind::Gsm ? form.GsmFrame->grid() : form.Set102Frame->grid(kind);
}

// Every data cell of both pages gets a text of ordinary length.
void FillGrids(TFormMain &form)
{
    int n = 0;
    for (int k = 0; k < GridSet::kCount; ++k) {
        StringGridModel &grid = Grid(form, TableKind(k));
        GridBulkUpdate bulk(grid);
        for (int row = 1; row < grid.rows(); ++row)
            for (int col = 1; col < grid.cols(); ++col)
                grid.setCell(row, col, QStringLiteral("Значение %1 = текст").arg(n++));
    }
}

// The copy of a full configuration both ways, best of several rounds, then a
// full configuration saved and loaded back through the window's command.
void BenchConfiguration(TFormMain &form, PrintedPrompts &prompts, const QString &folder)
{
    form.N1021Click();
    FillGrids(form);
    form.GridsToConfig();
    std::vector<double> rounds;
    for (int i = 0; i < 7; ++i) {
        // Every cell differs from the record, as after a load over the start values.
        for (int k = 0; k < GridSet::kCount; ++k)
            InitGrid(TableKind(k), Grid(form, TableKind(k)));
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        form.ConfigToGrids();
        form.GridsToConfig();
        QCoreApplication::processEvents();
        rounds.push_back(Ms(timer.nsecsElapsed()));
    }
    std::sort(rounds.begin(), rounds.end());
    std::printf("GridsToConfig + ConfigToGrids of a full configuration: best %.1f ms, median %.1f ms (target 50 ms)\n",
        rounds.front(), rounds[rounds.size() / 2]);

    prompts.fileToOpen = QDir(folder).filePath(QStringLiteral("full.conf"));
    QString error;
    if (!SaveConfigFile(prompts.fileToOpen, form.Config, &error)) {
        std::printf("cannot save the configuration: %s\n", qPrintable(error));
        return;
    }
    QElapsedTimer timer;
    timer.start();
    form.N8Click();
    QCoreApplication::processEvents();
    std::printf("load of a full configuration from the window: %.0f ms (of which 1000 ms the wait box's pause)\n",
        Ms(timer.nsecsElapsed()));
    std::printf("resident memory after loading a full configuration: %.1f MB (target 120 MB)\n", ResidentMb());
}

// Processor time of the whole process: on a busy machine the wall clock also
// counts the time other programs had the processor.
double ProcessCpuMs()
{
    timespec t {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

TBufKKT Frame(int count, quint8 seed)
{
    TBufKKT buf;
    buf.count = quint32(count);
    for (int i = 0; i < count; ++i)
        buf.data[i] = quint8(seed + i * 7);
    return buf;
}
} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    KktApplication app(argc, argv);
    PrintedPrompts prompts;
    Prompts::setInstance(&prompts);
    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("ports"));

    TFormMain form(folder.path(), folder.filePath(QStringLiteral("ports")));
    form.show();
    while (!form.windowHandle() || !form.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::printf("start-up to the first shown main window, both pages created: %.1f ms (target 500 ms, platform %s)\n",
        Ms(clock.nsecsElapsed()), qPrintable(QGuiApplication::platformName()));

    BenchConfiguration(form, prompts, folder.path());

    // The log window shown, so every paragraph pays its scroll and repaint.
    TfrmDebugKKM *log = form.frmDebugKKM();
    log->show();
    QCoreApplication::processEvents();
    const TBufKKT request = Frame(51, 0x17), answer = Frame(46, 0x21);
    constexpr int kParagraphs = 12000, kBlock = 1000;
    std::vector<qint64> blocks;
    QElapsedTimer total;
    total.start();
    const double cpuStart = ProcessCpuMs();
    for (int done = 0; done < kParagraphs; done += kBlock) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < kBlock; i += 2) {
            log->LogBufKKT(request, false);
            log->LogBufKKT(answer, true);
        }
        blocks.push_back(timer.nsecsElapsed());
    }
    const double cpuMs = ProcessCpuMs() - cpuStart;
    const double first = Ms(blocks.front()), last = Ms(blocks.back());
    std::printf(
        "log of %d paragraphs: %.0f ms in all, %.3f ms per paragraph (target <= 0.2 ms; processor time %.3f ms)\n",
        kParagraphs, Ms(total.nsecsElapsed()), Ms(total.nsecsElapsed()) / kParagraphs, cpuMs / kParagraphs);
    std::printf("first 1000 paragraphs: %.1f ms, last 1000: %.1f ms, ratio last/first: %.2f (must stay below 1.5)\n",
        first, last, last / first);
    Prompts::setInstance(nullptr);
    return last / first < 1.5 ? 0 : 1;
}
