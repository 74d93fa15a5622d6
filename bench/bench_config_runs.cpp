// The whole configuration against kkt-emulator with the line time imitated
// (--pace) at 115200 baud: "Записать всю конфигурацию в ККТ" from the main
// window beside `kkt-cli write-config` of the same file, in turns; and
// `kkt-cli verify-config` of it beside the line time its reads need.
//
//   bench_config_runs [ROUNDS]

#include "EmulatorProcess.h"
#include "PrintedPrompts.h"

#include "app/KktApplication.h"
#include "app/MainForm.h"
#include "app/pages/GsmSettingFrame.h"
#include "app/pages/Set102Frame.h"
#include "config/ConfigFile.h"
#include "kkt/KktTransaction.h"
#include "pages/ConfigCopy.h"
#include "pages/GridSet.h"
#include "pages/TableLayout.h"
#include "pages/TableRun.h"

#include <QAction>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
constexpr quint32 kSpeed = 115200;

void Fill(const GridSet &grids)
{
    for (int n = 1; n <= MaxRowOf(TableKind::Goods); ++n) {
        grids[TableKind::Goods].setCell(n, GoodsCol::Name, u"ТОВАР НОМЕР %1"_s.arg(n));
        grids[TableKind::Goods].setCell(n, GoodsCol::Barcode, QString::number(4600000000000LL + n));
        grids[TableKind::Goods].setCell(n, GoodsCol::Price, u"%1.50"_s.arg(n));
    }
    for (int k = int(TableKind::Oper); k < kTableKindCount; ++k) {
        const auto kind = TableKind(k);
        if (kind != TableKind::Goods)
            for (int row = 1; row <= MaxRowOf(kind); ++row)
                grids[kind].setCell(row, 1, u"СТРОКА %1"_s.arg(row));
    }
}

// Seconds of line time of every request and answer of a whole run: 10 bits a byte.
double LineSeconds()
{
    qint64 bytes = 0;
    for (int k = 0; k < kTableKindCount; ++k) {
        const auto kind = TableKind(k);
        const KktCommand command = kind == TableKind::Goods ? KktCommands::GoodsItem : KktCommands::TableParam;
        const int requests = kind == TableKind::Gsm ? 9 : FieldsPerRow(kind) * MaxRowOf(kind);
        bytes += qint64(requests) * (command.requestLength + command.answerLength);
    }
    return double(bytes) * 10.0 / kSpeed;
}

double RunCli(const QStringList &arguments, int expectedExit)
{
    QProcess cli;
    cli.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    QElapsedTimer timer;
    timer.start();
    cli.start(QStringLiteral(KKT_CLI_PATH), arguments);
    if (!cli.waitForFinished(-1) || cli.exitStatus() != QProcess::NormalExit || cli.exitCode() != expectedExit) {
        std::fprintf(stderr, "kkt-cli %s failed (exit %d)\n", qPrintable(arguments.join(u' ')), cli.exitCode());
        return -1;
    }
    return double(timer.nsecsElapsed()) / 1e9;
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    KktApplication app(argc, argv);
    const int rounds = app.arguments().size() > 1 ? std::max(1, app.arguments().at(1).toInt()) : 2;
    PrintedPrompts prompts;
    Prompts::setInstance(&prompts);

    QTemporaryDir dir;
    EmulatorProcess emulator;
    if (!emulator.start(QStringLiteral(KKT_EMULATOR_PATH), dir.filePath(u"KKT-EMU"_s), { u"--pace"_s })) {
        std::fprintf(stderr, "kkt-emulator did not start: %s\n", qPrintable(emulator.error()));
        return 1;
    }

    TFormMain form(dir.path(), dir.path());
    form.show();
    QCoreApplication::processEvents();
    form.StructSett.PortSett.Name = emulator.linkPath();
    form.StructSett.PortSett.Speed = kSpeed;
    GridSet grids;
    grids.set(TableKind::Gsm, form.GsmFrame->grid());
    for (int k = int(TableKind::Oper); k < kTableKindCount; ++k)
        grids.set(TableKind(k), form.Set102Frame->grid(TableKind(k)));
    Fill(grids);
    const QString conf = dir.filePath(u"full.conf"_s);
    GridsToConfig(grids, form.Config);
    QString error;
    if (!SaveConfigFile(conf, form.Config, &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(conf), qPrintable(error));
        return 1;
    }
    const QStringList port { u"--port"_s, emulator.linkPath(), u"--speed"_s, QString::number(kSpeed) };

    double cliS = 1e30, windowS = 1e30;
    for (int round = 1; round <= rounds; ++round) {
        const double c = RunCli(port + QStringList { u"write-config"_s, conf }, 0);
        if (c < 0)
            return 1;
        QElapsedTimer timer;
        timer.start();
        form.findChild<QAction *>(u"actWriteAll"_s)->trigger();
        const double w = double(timer.nsecsElapsed()) / 1e9;
        std::printf("round %d: kkt-cli write-config %.2f s, window \"Записать всю конфигурацию в ККТ\" %.2f s\n", round,
            c, w);
        std::fflush(stdout);
        cliS = std::min(cliS, c);
        windowS = std::min(windowS, w);
    }
    std::printf("whole configuration written at %u baud (--pace), best of %d: kkt-cli %.2f s, window %.2f s, "
                "ratio %.3f (target <= 1.05)\n",
        kSpeed, rounds, cliS, windowS, windowS / cliS);

    const double verifyS = RunCli(port + QStringList { u"verify-config"_s, conf }, 0);
    if (verifyS < 0)
        return 1;
    const double line = LineSeconds();
    std::printf("verify-config of the whole configuration: %.2f s; line time of its reads %.2f s; ratio %.3f "
                "(target <= 1.2)\n",
        verifyS, line, verifyS / line);
    return 0;
}
