// Editing the goods grid at full size: a 6000 x 6 block pasted from the
// clipboard (the text read, every cell through its rule, the grid and its view
// updated, the report built), timed in the core and through the grid widget;
// then the memory the window's history holds after 100 steps that each
// replaced the whole goods base with other goods, and the time of one undo.
#include "HeapMeter.h"
#include "PrintedPrompts.h"
#include "pages/DuplicateBarcodes.h"
#include "pages/GridPaste.h"
#include "pages/Grids102.h"
#include "ui/GridEditCommand.h"
#include "ui/GridEdits.h"
#include "ui/StringGrid.h"

#include <QUndoStack>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
constexpr int kRows = 6000;
constexpr int kRounds = 7;
constexpr int kSteps = 100;

// A goods list as a shop keeps it in a spreadsheet: lower-case names (some too
// long), a comma in the prices, now and then a stray letter in a barcode.
QString GoodsSheet(quint32 seed)
{
    static const QStringList words { u"молоко"_s, u"хлеб"_s, u"батон"_s, u"сыр"_s, u"кефир"_s, u"масло"_s,
        u"сливочное"_s, u"пастеризованное"_s, u"ржаной"_s, u"нарезка"_s, u"упак."_s, u"1л"_s, u"400г"_s, u"3,2%"_s };
    QRandomGenerator random(seed);
    QString text;
    for (int row = 1; row <= kRows; ++row) {
        QString name;
        while (name.size() < 12 + int(random.bounded(20)))
            name += words[int(random.bounded(words.size()))] + u' ';
        QString barcode = u"46%1"_s.arg(random.bounded(1000000000u) * 10ull + row % 10, 11, 10, QChar(u'0'));
        if (row % 97 == 0)
            barcode[5] = u'O';
        text += name.trimmed() + u'\t' + (row % 3 ? u"Узкий"_s : u"Широкий"_s) + u'\t' + barcode + u'\t'
            + u"%1,%2"_s.arg(random.bounded(5000)).arg(random.bounded(100), 2, 10, QChar(u'0')) + u'\t'
            + QString::number(random.bounded(1, 16)) + u'\t' + (row % 5 ? QString() : u"м"_s) + u"\r\n"_s;
    }
    return text;
}

struct Figures
{
    std::vector<double> ms;
    void add(qint64 ns) { ms.push_back(double(ns) / 1e6); }
    void print(const char *what)
    {
        std::sort(ms.begin(), ms.end());
        std::printf(
            "%-46s best %7.1f ms, median %7.1f ms, worst %7.1f ms\n", what, ms.front(), ms[ms.size() / 2], ms.back());
    }
};
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    PrintedPrompts prompts;
    Prompts::setInstance(&prompts);
    const QString sheet = GoodsSheet(1);
    std::printf("block: %d rows x 6 columns, %lld characters\n", kRows, (long long)sheet.size());

    Figures parse, core, widget;
    QString message;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const TextBlock block = ParseTabText(sheet);
        parse.add(timer.nsecsElapsed());

        const auto grid = MakeGrid(TableKind::Goods);
        PasteReport report;
        timer.start();
        PasteBlock(*grid, LayoutOf(TableKind::Goods), 1, 1, block, report);
        core.add(timer.nsecsElapsed());
        message = report.message();
    }
    for (int round = 0; round < kRounds; ++round) {
        // As on the page: shared barcodes watched, every change kept in the history.
        const auto grid = MakeGrid(TableKind::Goods);
        new DuplicateBarcodes(*grid);
        GridEdits history;
        TStringGrid view(grid.get(), TableKind::Goods);
        view.setEdits(&history);
        view.resize(1200, 700);
        view.show();
        QApplication::processEvents();
        QGuiApplication::clipboard()->setText(sheet);
        view.selectCell(1, 1);
        QElapsedTimer timer;
        timer.start();
        view.paste(); // its report printed once per round by the prompts: not timed apart
        QApplication::processEvents(); // the view repaints what changed
        widget.add(timer.nsecsElapsed());
    }
    std::printf("report of the paste: %s\n", qPrintable(message.section(u'\n', 0, 0)));
    parse.print("reading the clipboard text");
    core.print("pasting the block into the grid (core)");
    widget.print("Ctrl+V in the goods grid (widget, history, shown)");
    std::printf("target: Ctrl+V of 6000 x 6 cells <= 300 ms\n\n");

    // The history: 100 whole goods bases, each unlike the one before.
    std::vector<TextBlock> bases;
    for (int step = 0; step < kSteps; ++step)
        bases.push_back(ParseTabText(GoodsSheet(quint32(100 + step))));
    const auto grid = MakeGrid(TableKind::Goods);
    PasteReport first;
    PasteBlock(*grid, LayoutOf(TableKind::Goods), 1, 1, ParseTabText(GoodsSheet(99)), first);
    Figures record, undo;
    GridEdits edits;
    HeapMeter::reset();
    for (const TextBlock &base : bases) {
        QElapsedTimer timer;
        timer.start();
        edits.record({ grid.get() }, u"Загрузка базы товаров"_s, [&] {
            PasteReport report;
            PasteBlock(*grid, LayoutOf(TableKind::Goods), 1, 1, base, report);
        });
        record.add(timer.nsecsElapsed());
    }
    const long long held = HeapMeter::heldSinceReset();
    long long packed = 0;
    for (int i = 0; i < edits.stack()->count(); ++i)
        packed += static_cast<const GridEditCommand *>(edits.stack()->command(i))->bytes();
    for (int step = 0; step < 20; ++step) {
        QElapsedTimer timer;
        timer.start();
        edits.undo();
        undo.add(timer.nsecsElapsed());
    }
    std::printf("steps kept: %d, each replacing %d goods rows\n", edits.stack()->count(), kRows);
    std::printf("heap held by the history and the grid's new texts: %.1f MB (%.0f KB a step)\n", double(held) / 1e6,
        double(held) / 1e3 / kSteps);
    std::printf("of which the old texts and marks, packed: %.1f MB\n", double(packed) / 1e6);
    record.print("a whole-base step recorded (paste included)");
    undo.print("one whole-base step undone");
    std::printf("target: 100 whole-grid steps <= 50 MB\n");
    Prompts::setInstance(nullptr);
    return 0;
}
