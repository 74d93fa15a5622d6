// Start-up time to the first shown main window, and the cost of a long
// exchange log: 12000 paragraphs, as a full goods-base write adds.
#include "PrintedPrompts.h"
#include "app/KktApplication.h"
#include "app/MainForm.h"
#include "app/service/UDebugKKT.h"
#include "ui/Prompts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWindow>

#include <cstdio>
#include <vector>

namespace {
double Ms(qint64 ns)
{
    return double(ns) / 1e6;
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
    for (int done = 0; done < kParagraphs; done += kBlock) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < kBlock; i += 2) {
            log->LogBufKKT(request, false);
            log->LogBufKKT(answer, true);
        }
        blocks.push_back(timer.nsecsElapsed());
    }
    const double first = Ms(blocks.front()), last = Ms(blocks.back());
    std::printf("log of %d paragraphs: %.0f ms in all, %.3f ms per paragraph\n", kParagraphs, Ms(total.nsecsElapsed()),
        Ms(total.nsecsElapsed()) / kParagraphs);
    std::printf("first 1000 paragraphs: %.1f ms, last 1000: %.1f ms, ratio last/first: %.2f (must stay below 1.5)\n",
        first, last, last / first);
    Prompts::setInstance(nullptr);
    return last / first < 1.5 ? 0 : 1;
}
