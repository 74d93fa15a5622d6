// Start-up time to the first shown main window, and the cost of a long
// exchange log: 12000 paragraphs, as a full goods-base write adds.
#include "app/KktApplication.h"
#include "app/MainForm.h"
#include "app/service/UDebugKKT.h"
#include "ui/Prompts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWindow>

#include <cstdio>
#include <ctime>
#include <vector>

namespace {
// Nobody is there to press OK: a start-up message is printed instead.
class PrintedPrompts final : public Prompts
{
public:
    void information(QWidget *, const QString &text) override { Print(text); }
    void error(QWidget *, const QString &text) override { Print(text); }
    void warning(QWidget *, const QString &text) override { Print(text); }
    bool question(QWidget *, const QString &text) override
    {
        Print(text);
        return false;
    }
    QString openFileName(QWidget *, const QString &, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &, const QString &) override { return {}; }

private:
    static void Print(const QString &text) { std::printf("message: %s\n", qPrintable(text)); }
};

double Ms(qint64 ns)
{
    return double(ns) / 1e6;
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

    KktApplication app(argc, argv);
    PrintedPrompts prompts;
    Prompts::setInstance(&prompts);
    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("ports"));

    TFormMain form(folder.path(), folder.filePath(QStringLiteral("ports")));
    form.show();
    while (!form.windowHandle() || !form.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::printf("start-up to the first shown main window: %.1f ms (platform %s)\n", Ms(clock.nsecsElapsed()),
        qPrintable(QGuiApplication::platformName()));

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
