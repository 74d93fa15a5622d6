#include "CliProcess.h"
#include "TempFiles.h"
#include "config/ExchangeLogFile.h"
#include "emulator/DeviceLink.h"
#include "emulator/KktDevice.h"
#include "kkt/ComPort.h"

#include <sys/stat.h>

#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
using CliFixture = CliBench;
CliRun Cli(const QStringList &arguments)
{
    return RunKktCli(arguments);
}
} // namespace

class TestKktCli : public QObject
{
    Q_OBJECT
private slots:
    void linkPrintsTheAnswerFields();
    void setThenGet_data();
    void setThenGet();
    void itemSetThenGet_data();
    void itemSetThenGet();
    void traceWordsFramesLikeTheLog();
    void logFileTakesEveryFrameAsTheLogShowsIt();
    void findsTheRegister();
    void portsFolderBesideTheTools();
    void usageErrors_data();
    void usageErrors();
    void failingOutcomeIsTheExitStatus_data();
    void failingOutcomeIsTheExitStatus();
};

void TestKktCli::linkPrintsTheAnswerFields()
{
    CliFixture f;
    QVERIFY(f.start({ u"--kkt"_s, u"42"_s }));
    const CliRun run = f.run({ u"--kkt"_s, u"42"_s, u"link"_s });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    const QStringList names { u"b4"_s, u"b5"_s, u"b6"_s, u"b7"_s, u"w8"_s, u"b10"_s, u"b11"_s, u"b12"_s, u"b13"_s,
        u"b14"_s, u"b15"_s, u"d16"_s, u"b20"_s, u"b21"_s, u"q22"_s };
    QCOMPARE(lines.size(), names.size());
    for (int i = 0; i < names.size(); ++i)
        QVERIFY2(lines[i].startsWith(names[i] + u'='), qPrintable(lines[i]));
    QVERIFY(lines.contains(u"d16=42"_s));
    QVERIFY(lines.contains(u"q22=1000042"_s));
}

void TestKktCli::setThenGet_data()
{
    QTest::addColumn<QStringList>("set");
    QTest::addColumn<QStringList>("get");
    QTest::addColumn<QString>("output");

    QTest::newRow("converted, wide") << QStringList { u"0"_s, u"2"_s, u"1"_s, u"Иванов Иван"_s, u"--font"_s, u"1"_s }
                                     << QStringList { u"0"_s, u"2"_s, u"1"_s } << u"font=1\nvalue=ИВАНОВ ИВАН\n"_s;
    QTest::newRow("raw keeps case") << QStringList { u"5"_s, u"5"_s, u"0"_s, u"internet.mts.ru"_s, u"--raw"_s }
                                    << QStringList { u"5"_s, u"5"_s, u"0"_s, u"--raw"_s }
                                    << u"font=0\nvalue=internet.mts.ru\n"_s;
    // The register's own code seen as plain bytes: Russian capitals sit at the Latin lower-case places.
    QTest::newRow("converted, read raw") << QStringList { u"4"_s, u"1"_s, u"20"_s, u"Хлеб"_s }
                                         << QStringList { u"--raw"_s, u"4"_s, u"1"_s, u"20"_s }
                                         << u"font=0\nvalue=hleb\n"_s;
}

void TestKktCli::setThenGet()
{
    QFETCH(QStringList, set);
    QFETCH(QStringList, get);
    QFETCH(QString, output);
    CliFixture f;
    QVERIFY(f.start());
    const CliRun written = f.run(QStringList { u"set"_s } + set);
    QCOMPARE(written.exitCode, 0);
    QCOMPARE(written.out, QString());
    const CliRun read = f.run(QStringList { u"get"_s } + get);
    QCOMPARE(read.exitCode, 0);
    QCOMPARE(read.out, output);
}

void TestKktCli::itemSetThenGet_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("output");
    QTest::newRow("every field") << QStringList { u"--name"_s, u"Молоко 3,2%"_s, u"--font"_s, u"1"_s, u"--barcode"_s,
        u"4600000000001"_s, u"--price"_s, u"8990"_s, u"--section"_s, u"2"_s }
                                 << u"number=12\nfont=1\nname=МОЛОКО 3,2%\nbarcode=4600000000001\nprice=8990\n"
                                    "section=2\n"_s;
    QTest::newRow("defaults") << QStringList {} << u"number=12\nfont=0\nname=\nbarcode=0\nprice=0\nsection=0\n"_s;
}

void TestKktCli::itemSetThenGet()
{
    QFETCH(QStringList, options);
    QFETCH(QString, output);
    CliFixture f;
    QVERIFY(f.start());
    // Something else in the item first, so the defaults have to overwrite it.
    QCOMPARE(
        f.run({ u"item-set"_s, u"12"_s, u"--name"_s, u"X"_s, u"--price"_s, u"1"_s, u"--font"_s, u"1"_s }).exitCode, 0);
    const CliRun written = f.run(QStringList { u"item-set"_s, u"12"_s } + options);
    QCOMPARE(written.exitCode, 0);
    const CliRun read = f.run({ u"item-get"_s, u"12"_s });
    QCOMPARE(read.exitCode, 0);
    QCOMPARE(read.out, output);
}

void TestKktCli::traceWordsFramesLikeTheLog()
{
    // The same request run in-process against a fresh device gives the texts the
    // exchange log would show.
    KktDevice device;
    DeviceLink link(device);
    KktChannel channel(link);
    QString expected;
    channel.setLogSink([&](const TBufKKT &buf, bool isAnswer) {
        expected += LogBufText(buf, isAnswer).replace(u"\r\n"_s, u"\n"_s) + u'\n';
    });
    quint16 font = KktFont::Narrow;
    QString value = u"Услуга"_s;
    QCOMPARE(RequestParam(channel, KktConnection {}, KktMode::Write, 2, 1, 0, font, value, true), KktOutcome::Ok);
    QVERIFY(expected.startsWith(u"Запрос: \n00-17H;  01-02H;  "_s));

    CliFixture f;
    QVERIFY(f.start());
    const CliRun run = f.run({ u"--trace"_s, u"set"_s, u"2"_s, u"1"_s, u"0"_s, u"Услуга"_s });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, expected);
    QCOMPARE(run.out, QString());
}

void TestKktCli::logFileTakesEveryFrameAsTheLogShowsIt()
{
    // The in-process run of the same request gives the frames.
    KktDevice device;
    DeviceLink link(device);
    KktChannel channel(link);
    QString expected;
    channel.setLogSink(
        [&](const TBufKKT &buf, bool isAnswer) { expected += ExchangeLogFile::FrameText(buf, isAnswer); });
    TTestLinkAnswer answer;
    QCOMPARE(RequestTestLink(channel, KktConnection {}, answer), KktOutcome::Ok);
    QVERIFY(expected.startsWith(u" Запрос: \n00-17H;"_s));

    CliFixture f;
    QVERIFY(f.start());
    const QString log = f.path(u"exchange.log"_s);
    QVERIFY(WriteBytes(log, "earlier run\n"));
    const CliRun run = f.run({ u"--log"_s, log, u"link"_s });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());
    // Appended: what was there stays.
    QCOMPARE(QString::fromUtf8(ReadBytes(log)), u"earlier run\n"_s + expected);

    // A log that cannot be written: nothing is sent, status 73 with the reason.
    const QString fifo = f.path(u"pipe"_s);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const CliRun refused = f.run({ u"--log"_s, fifo, u"link"_s }, 5000);
    QCOMPARE(refused.exitCode, 73);
    QVERIFY2(refused.err.startsWith(u"kkt-cli: Не удалось записать файл"_s) && refused.err.contains(u"pipe"_s),
        qPrintable(refused.err));
    QCOMPARE(refused.out, QString());
}

void TestKktCli::findsTheRegister()
{
    CliFixture f;
    QVERIFY(f.start({ u"--kkt"_s, u"5"_s }));
    const QString emulator = f.emulator.linkPath();
    const QString missing = f.path(u"COM9"_s);
    const CliRun run = f.run({ u"--kkt"_s, u"5"_s, u"find"_s, u"--ports"_s, missing + u","_s + emulator });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, u"port=%1 speed=115200\n"_s.arg(emulator));
    QCOMPARE(run.err, QString());

    // Nowhere to be found: status 2, and which ports were tried.
    const CliRun none = Cli({ u"find"_s, u"--ports"_s, missing + u","_s + f.path(u"COM10"_s) });
    QCOMPARE(none.exitCode, 2);
    QCOMPARE(none.out, QString());
    QVERIFY2(none.err.startsWith(u"kkt-cli: ККТ не найдена; проверены порты %1, %2 на скоростях 115200 1200"_s.arg(
                 missing, f.path(u"COM10"_s))),
        qPrintable(none.err));
}

void TestKktCli::portsFolderBesideTheTools()
{
    // Published where kkt-cli looks, the emulator is found by its name.
    const QString name = u"KKT-TEST-%1"_s.arg(QCoreApplication::applicationPid());
    const QString folder = QFileInfo(QStringLiteral(KKT_CLI_PATH)).absolutePath() + u"/ports"_s;
    EmulatorProcess emulator;
    QVERIFY2(emulator.start(QStringLiteral(KKT_EMULATOR_PATH), folder + u'/' + name), qPrintable(emulator.error()));
    const CliRun ports = Cli({ u"ports"_s });
    QCOMPARE(ports.exitCode, 0);
    QVERIFY2(ports.out.split(u'\n').contains(name), qPrintable(ports.out));
    QCOMPARE(Cli({ u"--port"_s, name, u"link"_s }).exitCode, 0);
    QVERIFY(emulator.stop());
    QVERIFY(!Cli({ u"ports"_s }).out.split(u'\n').contains(name));
}

void TestKktCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    const QString port = u"/dev/null"_s;
    QTest::newRow("no command") << QStringList { u"--port"_s, port } << u"не задана команда"_s;
    QTest::newRow("unknown command") << QStringList { u"--port"_s, port, u"frob"_s } << u"неизвестная команда"_s;
    QTest::newRow("no port") << QStringList { u"link"_s } << u"не задан порт"_s;
    QTest::newRow("unknown option") << QStringList { u"--bogus"_s, u"ports"_s } << u"неизвестный параметр"_s;
    QTest::newRow("command option unknown")
        << QStringList { u"--port"_s, port, u"link"_s, u"--raw"_s } << u"неизвестный параметр"_s;
    QTest::newRow("speed not a number") << QStringList { u"--port"_s, port, u"--speed"_s, u"fast"_s, u"link"_s }
                                        << u"--speed"_s;
    QTest::newRow("table not a number") << QStringList { u"--port"_s, port, u"get"_s, u"x"_s, u"1"_s, u"0"_s }
                                        << u"ТАБЛИЦА"_s;
    QTest::newRow("row out of range") << QStringList { u"--port"_s, port, u"get"_s, u"0"_s, u"256"_s, u"0"_s }
                                      << u"РЯД"_s;
    QTest::newRow("missing argument") << QStringList { u"--port"_s, port, u"get"_s, u"0"_s, u"1"_s }
                                      << u"ожидается аргументов: 3"_s;
    QTest::newRow("font 2") << QStringList { u"--port"_s, port, u"item-set"_s, u"1"_s, u"--font"_s, u"2"_s }
                            << u"--font"_s;
    QTest::newRow("section 300") << QStringList { u"--port"_s, port, u"item-set"_s, u"1"_s, u"--section"_s, u"300"_s }
                                 << u"--section"_s;
}

void TestKktCli::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const CliRun run = Cli(arguments);
    QCOMPARE(run.exitCode, 64);
    QVERIFY2(run.err.startsWith(u"kkt-cli: "_s) && run.err.contains(message), qPrintable(run.err));
    QCOMPARE(run.out, QString());
}

void TestKktCli::failingOutcomeIsTheExitStatus_data()
{
    QTest::addColumn<QStringList>("emulatorOptions");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    QTest::newRow("KKT status") << QStringList { u"--status"_s, u"0x42"_s } << QStringList { u"link"_s } << 66
                                << u"ошибка 66: ККТ вернула статус 66 (0x42)"_s;
    QTest::newRow("no answer") << QStringList { u"--silent"_s } << QStringList { u"--timeout"_s, u"200"_s, u"link"_s }
                               << 2 << u"ошибка 2: нет ответа"_s;
    QTest::newRow("checksum") << QStringList { u"--bad-checksum"_s } << QStringList { u"clear-base"_s } << 3
                              << u"ошибка 3: ошибка контрольной суммы"_s;
    QTest::newRow("price not a number") << QStringList {}
                                        << QStringList { u"item-set"_s, u"1"_s, u"--price"_s, u"12.50"_s } << 5
                                        << u"ошибка 5: штрих-код или цена не являются числом"_s;
    QTest::newRow("item outside the base") << QStringList {} << QStringList { u"item-get"_s, u"6001"_s }
                                           << int(KktDevice::kStatusBadAddress) << u"ККТ вернула статус"_s;
    // A loopback plug, a modem's echo: the request comes back, and is no answer.
    QTest::newRow("echoing line") << QStringList { u"--echo"_s } << QStringList { u"link"_s } << 2
                                  << u"ошибка 2: нет ответа от ККТ: пришёл обратно сам запрос"_s;
    QTest::newRow("bare status to an item read")
        << QStringList { u"--short"_s } << QStringList { u"item-get"_s, u"5"_s } << 2
        << u"ошибка 2: нет ответа от ККТ: в ответе ККТ нет записи товара (7 байт из 46)"_s;
    QTest::newRow("port not opened") << QStringList {} << QStringList { u"--port"_s, u"/nonexistent/tty"_s, u"link"_s }
                                     << 1 << u"ошибка 1: порт не открыт"_s;
}

void TestKktCli::failingOutcomeIsTheExitStatus()
{
    QFETCH(QStringList, emulatorOptions);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    CliFixture f;
    QVERIFY(f.start(emulatorOptions));
    // A later --port wins, so the last row can point elsewhere.
    const CliRun run = f.run(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(run.out, QString());
}

QTEST_GUILESS_MAIN(TestKktCli)
#include "TestKktCli.moc"
