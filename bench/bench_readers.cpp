// The heap every file reader takes at its peak, against the size of the file
// it reads: hostile files as large as a reader takes (line ends only, the
// shortest lines the format allows, one huge value) and ordinary ones.
//
//   bench_readers [MIB]   size of the hostile files, 1 to 32 (default: the readers' limit, 32 MiB)
//
// Target: at most 10 x the file for every reader and every file.

#include "HeapMeter.h"
#include "config/ConfigFile.h"
#include "config/HeapTuning.h"
#include "config/SafeFile.h"
#include "config/classMyIniFile.h"
#include "kkt/KktText.h"
#include "pages/Goods1C.h"
#include "pages/GoodsDb102.h"
#include "pages/Grids102.h"
#include "pages/XlsCells.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
// Repeats the piece made for each count until the text holds size bytes, then cuts it there.
QByteArray Repeated(qint64 size, const QByteArray &head, const std::function<QByteArray(qint64)> &piece)
{
    QByteArray bytes = head;
    bytes.reserve(size + 64);
    for (qint64 i = 0; bytes.size() < size; ++i)
        bytes += piece(i);
    bytes.truncate(size);
    return bytes;
}

QByteArray Base36(qint64 n)
{
    return QByteArray::number(n, 36);
}

// A full goods grid with a value in every cell, as a user's base holds.
std::unique_ptr<StringGridModel> FilledGoods()
{
    auto goods = MakeGrid(TableKind::Goods);
    for (int row = 1; row <= 6000; ++row) {
        goods->setCell(row, 1, u"ТОВАР НОМЕР %1"_s.arg(row));
        goods->setCell(row, 3, QString::number(4600000000000LL + row));
        goods->setCell(row, 4, u"%1.50"_s.arg(row));
        goods->setCell(row, 5, QString::number(row % 16));
        goods->setCell(row, 6, row % 2 ? u"м"_s : QString());
    }
    return goods;
}

struct Input
{
    const char *shape;
    QByteArray bytes;
};

struct Reader
{
    const char *name;
    const char *suffix;
    std::function<bool(const QString &path)> read;
    std::vector<Input> inputs;
};

void Measure(const QTemporaryDir &dir, const Reader &reader, double &worst)
{
    const QString path = dir.filePath(u"input."_s + QLatin1StringView(reader.suffix));
    for (const Input &input : reader.inputs) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(input.bytes) != input.bytes.size()) {
            std::printf("%-8s %-30s cannot write the input\n", reader.name, input.shape);
            continue;
        }
        file.close();
        HeapMeter::reset();
        QElapsedTimer timer;
        timer.start();
        const bool ok = reader.read(path);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        const double peak = double(HeapMeter::peakSinceReset());
        const double factor = peak / double(qMax<qsizetype>(1, input.bytes.size()));
        worst = qMax(worst, factor);
        std::printf("%-8s %-30s %8.2f MB  %7.1f MB  %6.2f x  %8.1f ms  %s\n", reader.name, input.shape,
            double(input.bytes.size()) / 1e6, peak / 1e6, factor, ms, ok ? "read" : "refused");
        std::fflush(stdout);
    }
    QFile::remove(path);
}
} // namespace

int main(int argc, char *argv[])
{
    KeepFreedMemory(); // as the program and kkt-cli do
    QCoreApplication app(argc, argv);
    const qint64 hostile = argc > 1 ? qBound(qint64(1), app.arguments().at(1).toLongLong(), qint64(32)) * 1024 * 1024
                                    : SafeFile::kMaxReadSize;
    if (!HeapMeter::available()) {
        std::printf("heap peaks cannot be measured on this system\n");
        return 0;
    }
    QTemporaryDir dir;
    const auto goods = MakeGrid(TableKind::Goods);
    auto cfg = std::make_unique<TConfig>();

    const QByteArray lineEnds(hostile, '\n');
    const QByteArray keyLines = Repeated(hostile, "[S]\n", [](qint64 i) { return Base36(i) + "=\n"; });
    const QByteArray sectionLines = Repeated(hostile, {}, [](qint64 i) { return '[' + Base36(i) + "]\n"; });
    // The most a store keeps: every line an entry of its own.
    const auto entries = [](const QByteArray &head, const std::function<QByteArray(qint64)> &piece) {
        QByteArray bytes = head;
        for (qint64 i = head.isEmpty() ? 0 : 1; i < TmyIniFile::kMaxEntries; ++i)
            bytes += piece(i);
        return bytes;
    };
    const QByteArray mostKeys = entries("[S]\n", [](qint64 i) { return Base36(i) + "=\n"; });
    const QByteArray mostSections = entries({}, [](qint64 i) { return '[' + Base36(i) + "]\n"; });
    const QByteArray mostBare = entries("[S]\n", [](qint64) { return QByteArray("x\n"); });
    const QByteArray longValue
        = Repeated(hostile, ToCp1251(u"[ТОВАР_#1]\r\nНаименование="_s), [](qint64) { return QByteArray(4096, 'X'); });

    const auto filled = FilledGoods();
    const QString goodsFile = dir.filePath(u"full.db102"_s);
    SaveGoodsDb102(goodsFile, *filled);
    QFile db(goodsFile);
    db.open(QIODevice::ReadOnly);
    const QByteArray fullDb102 = db.readAll();
    db.close();
    QFile::remove(goodsFile);
    const QByteArray full1c = Goods1CBytes(*filled);

    const QByteArray shortRecords = Repeated(hostile, "\x01\r\n", [](qint64 i) {
        return "\x02" + QByteArray::number(i % 6000 + 1) + "\t\t" + ToCp1251(u"Узкий"_s) + "\t\t0\t\x03\r\n";
    });
    const QByteArray longName = Repeated(hostile,
                                    "\x01\r\n\x02"
                                    "1\t",
                                    [](qint64) { return QByteArray(4096, 'X'); })
                                    .left(hostile - 32)
        + "\t" + ToCp1251(u"Узкий"_s) + "\t\t1\t0\x03\r\n";

    XlsCells::Sheet maxRows;
    maxRows.rows.assign(XlsCells::kMaxRows, XlsCells::TextRow(QStringList(XlsCells::kColumns, QString(1000, u'Я'))));

    const std::vector<Reader> readers {
        { ".conf", "conf", [&](const QString &p) { return LoadConfigFile(p, *cfg); },
            { { "line ends", lineEnds }, { "key lines", keyLines }, { "section lines", sectionLines },
                { "key lines, as many as kept", mostKeys }, { "sections, as many as kept", mostSections },
                { "lines without =, as many as kept", mostBare }, { "one long value", longValue } } },
        { ".db102", "db102", [&](const QString &p) { return LoadGoodsDb102(p, *goods).ok; },
            { { "line ends", lineEnds }, { "key lines", keyLines }, { "section lines", sectionLines },
                { "key lines, as many as kept", mostKeys }, { "sections, as many as kept", mostSections },
                { "one long value", longValue }, { "a full base", fullDb102 } } },
        { ".1cdb", "1cdb", [&](const QString &p) { return ImportGoods1C(p, *goods).ok; },
            { { "line ends", lineEnds }, { "shortest records", shortRecords }, { "one long name", longName },
                { "a full base", full1c } } },
        { ".xls", "xlsout",
            [&](const QString &p) {
                QFile f(p);
                return f.open(QIODevice::ReadOnly) && XlsCells::Decode(f.readAll()).has_value();
            },
            { { "reader's output, 6000 full rows", XlsCells::Encode(maxRows) } } },
    };
    std::printf("%-8s %-30s %11s  %10s  %8s  %11s\n", "reader", "file", "size", "peak heap", "factor", "time");
    double worst = 0;
    for (const Reader &reader : readers)
        Measure(dir, reader, worst);
    std::printf("largest factor: %.2f x the file (target <= 10)\n", worst);
    return 0;
}
