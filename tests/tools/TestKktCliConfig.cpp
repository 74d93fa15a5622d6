// kkt-cli's whole-register commands (write-config, read-config) against
// kkt-emulator on a pseudo-terminal, and its goods file conversion.

#include "CliProcess.h"
#include "ProgressReporter.h"
#include "TempFiles.h"
#include "config/ConfigFile.h"
#include "config/SafeFile.h"
#include "config/classMyIniFile.h"
#include "kkt/KktText.h"
#include "pages/ConfigCopy.h"
#include "pages/FixedLists.h"
#include "pages/Goods1C.h"
#include "pages/GoodsDb102.h"
#include "scanner/ShtrihCheck.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
std::unique_ptr<TConfig> Load(const QString &path)
{
    auto cfg = std::make_unique<TConfig>();
    QString error;
    if (!LoadConfigFile(path, *cfg, &error))
        qWarning() << path << error;
    return cfg;
}

// A configuration as a user types it (lower case, short prices, empty cells),
// and the same configuration as the register gives it back: upper case where
// the text code applies, prices with two decimals, "0" for an empty barcode or
// section, no marking without a barcode.
struct SampleConfig
{
    std::unique_ptr<TConfig> typed = std::make_unique<TConfig>();
    std::unique_ptr<TConfig> kept = std::make_unique<TConfig>();

    SampleConfig()
    {
        set([](TConfig &c) { return &c.Gsm.arrParam[0]; }, u"10.0.0.1"_s);
        set([](TConfig &c) { return &c.Gsm.arrParam[1]; }, u"ofd.example.ru"_s, u"OFD.EXAMPLE.RU"_s);
        set([](TConfig &c) { return &c.Gsm.arrParam[2]; }, u"21101"_s);
        set([](TConfig &c) { return &c.Gsm.arrParam[3]; }, u"1234"_s);
        // APN, login and password travel as plain bytes and keep their case.
        set([](TConfig &c) { return &c.Gsm.arrParam[4]; }, u"internet.mts.ru"_s);
        set([](TConfig &c) { return &c.Gsm.arrParam[5]; }, u"mts"_s);
        set([](TConfig &c) { return &c.Gsm.arrParam[6]; }, u"Secret-1"_s);

        const QString narrow = FixedLists::Narrow(), wide = FixedLists::Wide();
        const auto font = [&](int i) { return i % 2 ? wide : narrow; };
        for (int i = 0; i < ConfigSize::Oper; ++i) {
            const QString n = QString::number(i + 1);
            const auto o = [i](TConfig &c) { return &c.Cfg102.Oper[size_t(i)]; };
            set([&](TConfig &c) { return &o(c)->Dol; }, u"Кассир "_s + n, u"КАССИР "_s + n);
            set([&](TConfig &c) { return &o(c)->fontDol; }, font(i));
            set([&](TConfig &c) { return &o(c)->FioStr1; }, u"Иванов"_s, u"ИВАНОВ"_s);
            set([&](TConfig &c) { return &o(c)->fontFioStr1; }, narrow);
            set([&](TConfig &c) { return &o(c)->FioStr2; }, u"Петр "_s + n, u"ПЕТР "_s + n);
            set([&](TConfig &c) { return &o(c)->fontFioStr2; }, wide);
            set([&](TConfig &c) { return &o(c)->Password; }, u"pw"_s + n, u"PW"_s + n);
            set([&](TConfig &c) { return &o(c)->Inn; }, u"77010000000"_s + n);
        }
        for (int i = 0; i < ConfigSize::PredmRasch; ++i)
            goods(i);
        const auto &kinds = FixedLists::ItemKinds();
        const auto &vat = FixedLists::Vat();
        const auto &tax = FixedLists::Taxation();
        for (int i = 0; i < ConfigSize::RpiznPredmRasch; ++i) {
            const auto u = [i](TConfig &c) { return &c.Cfg102.RpiznPredmRasch[size_t(i)]; };
            set([&](TConfig &c) { return &u(c)->NameUsl; }, u"Отдел %1"_s.arg(i + 1), u"ОТДЕЛ %1"_s.arg(i + 1));
            set([&](TConfig &c) { return &u(c)->fontName; }, font(i));
            set([&](TConfig &c) { return &u(c)->Priznak; }, kinds[(i + 7) % 12]); // not 05, 06: they have no VAT
            set([&](TConfig &c) { return &u(c)->Name; }, vat[i % 6]);
            set([&](TConfig &c) { return &u(c)->SystemTax; }, tax[(i + 3) % 6]);
        }
        for (int i = 0; i < ConfigSize::Klishe; ++i) {
            set([i](TConfig &c) { return &c.Cfg102.Klishe[size_t(i)].Name; }, u"Строка %1"_s.arg(i + 1),
                u"СТРОКА %1"_s.arg(i + 1));
            set([i](TConfig &c) { return &c.Cfg102.Klishe[size_t(i)].fontName; }, font(i));
        }
        for (int i = 0; i < ConfigSize::Agent; ++i) {
            set([i](TConfig &c) { return &c.Cfg102.Agent[size_t(i)].Value; }, u"тел 8-800-%1"_s.arg(i + 1),
                u"ТЕЛ 8-800-%1"_s.arg(i + 1));
            set([i](TConfig &c) { return &c.Cfg102.Agent[size_t(i)].fontValue; }, font(i + 1));
        }
        for (int i = 0; i < ConfigSize::Factory; ++i) {
            set([i](TConfig &c) { return &c.Cfg102.Factory[size_t(i)].Name; }, u"ООО Ромашка %1"_s.arg(i + 1),
                u"ООО РОМАШКА %1"_s.arg(i + 1));
            set([i](TConfig &c) { return &c.Cfg102.Factory[size_t(i)].INN; }, u"7701%1"_s.arg(i + 1));
        }
        for (int i = 0; i < ConfigSize::Station; ++i)
            set([i](TConfig &c) { return &c.Cfg102.Station[size_t(i)].Name; }, u"АЗС %1"_s.arg(i + 1));
    }

    template <typename Field> void set(Field field, const QString &typedText, const QString &keptText = {})
    {
        *field(*typed) = typedText;
        *field(*kept) = keptText.isNull() ? typedText : keptText;
    }

    void goods(int i)
    {
        const int n = i + 1;
        auto &t = typed->Cfg102.PredmRasch[size_t(i)];
        auto &k = kept->Cfg102.PredmRasch[size_t(i)];
        t.NameTov = u"Молоко %1"_s.arg(n);
        k.NameTov = u"МОЛОКО %1"_s.arg(n);
        t.fontNameTov = k.fontNameTov = n % 2 ? FixedLists::Wide() : FixedLists::Narrow();
        const bool barcode = n % 4 != 0;
        const QString code = QString::number(460000000000LL + n);
        t.Shtrih = barcode ? code + QString::number(Gs1CheckDigit(code)) : QString(); // EAN-13
        k.Shtrih = barcode ? t.Shtrih : u"0"_s;
        t.Mark = n % 3 == 0 ? u"м"_s : QString();
        k.Mark = barcode ? t.Mark : QString();
        switch (n % 3) {
        case 0:
            t.Price = u"%1.5"_s.arg(n);
            k.Price = u"%1.50"_s.arg(n);
            break;
        case 1:
            t.Price = QString::number(n);
            k.Price = u"%1.00"_s.arg(n);
            break;
        default:
            t.Price = QString();
            k.Price = u"0.00"_s;
        }
        t.Section = n % 5 ? QString::number(n % 256) : QString();
        k.Section = QString::number(n % 5 ? n % 256 : 0);
    }
};

// Every cell of a in which b differs, named by table, row and column.
QStringList Differences(const TConfig &a, const TConfig &b)
{
    const OwnedGrids ga, gb;
    ConfigToGrids(a, ga.set());
    ConfigToGrids(b, gb.set());
    QStringList out;
    for (int kind = 0; kind < GridSet::kCount; ++kind) {
        const StringGridModel &x = ga[TableKind(kind)];
        const StringGridModel &y = gb[TableKind(kind)];
        for (int row = 1; row < x.rows(); ++row)
            for (int col = 1; col < x.cols(); ++col)
                if (x.cell(row, col) != y.cell(row, col) && out.size() < 20)
                    out << u"table %1 row %2 col %3: «%4» / «%5»"_s.arg(kind).arg(row).arg(col).arg(
                        x.cell(row, col), y.cell(row, col));
    }
    return out;
}

// The progress lines of a run with stderr not a terminal: one line per update.
QStringList ProgressLines(const QString &err)
{
    static const QRegularExpression line(
        u"^(Запись в ККТ|Чтение из ККТ): \\d{1,3}% \\(\\d+ из \\d+\\), \\d+/с, осталось \\d+:\\d\\d — .+$"_s);
    QStringList lines;
    for (const QString &l : err.split(u'\n', Qt::SkipEmptyParts))
        if (line.match(l).hasMatch())
            lines << l;
    return lines;
}

const QString kCheckLine = u"kkt-cli: предупреждение: проверка перед записью: "_s;

// Standard error without the lines of the check before writing.
QString WithoutCheckLines(const QString &err)
{
    QStringList lines = err.split(u'\n');
    lines.removeIf([](const QString &line) { return line.startsWith(kCheckLine); });
    return lines.join(u'\n');
}

QString GoodsRow(const StringGridModel &g, int row)
{
    QStringList cells;
    for (int col = 1; col <= 6; ++col)
        cells << g.cell(row, col);
    return cells.join(u'|');
}
} // namespace

class TestKktCliConfig : public QObject
{
    Q_OBJECT
private slots:
    void helpListsTheCommands();
    void wholeConfigurationRoundTrip();
    void tablesAndRangeChooseRows();
    void readingOneTableKeepsTheRestOfTheFile();
    void failingRegister_data();
    void failingRegister();
    void repeatedAnswersFailTheRead();
    void fileThatIsNoConfiguration_data();
    void fileThatIsNoConfiguration();
    void cellCheckStopsTheWrite();
    void checkNamesWhereTheWriteStops_data();
    void checkNamesWhereTheWriteStops();
    void registerValueTheProgramCannotHold_data();
    void registerValueTheProgramCannotHold();
    void checkBeforeWriting();
    void truncatedFileIsRefused_data();
    void truncatedFileIsRefused();
    void usageErrors_data();
    void usageErrors();
    void convertBetweenGoodsFiles();
    void convertFromSpreadsheet();
    void convertEveryPair();
    void convertSaysWhatWindows1251Lacks();
    void convertFailures_data();
    void convertFailures();
    void convertNeverWritesWhatItCannotRead();
    void readOnlyTargetStaysReadOnly();
    void inputThatIsNoRegularFile_data();
    void inputThatIsNoRegularFile();
    void progressIsThinnedOut();
    void progressOnATerminalKeepsOneLine();
};

void TestKktCliConfig::helpListsTheCommands()
{
    const CliRun run = RunKktCli({ u"--help"_s });
    QCOMPARE(run.exitCode, 0);
    for (const QString &text : { u"write-config ФАЙЛ.conf [--tables СПИСОК] [--range ОТ-ДО]"_s,
             u"verify-config ФАЙЛ.conf [--tables СПИСОК] [--range ОТ-ДО]"_s, u"Код 80"_s,
             u"read-config ФАЙЛ.conf [--tables СПИСОК] [--range ОТ-ДО]"_s, u"convert ВХОД ВЫХОД"_s,
             u"gsm, oper, goods, groups, klishe, agents, factory, station"_s, u"Код 65"_s, u"73"_s,
             // Every status in the closing lines.
             u"64 — ошибка в командной строке"_s, u"65 — неверный входной файл"_s, u"73 — файл не удалось записать"_s,
             u"76 — ККТ вернула значение, которое программа не может принять"_s, u"80 — сверка нашла различия"_s })
        QVERIFY2(run.out.contains(text), qPrintable(text));
    const CliRun own = RunKktCli({ u"read-config"_s, u"--help"_s });
    QCOMPARE(own.exitCode, 0);
    QVERIFY2(own.out.contains(u"--range <ОТ-ДО>"_s) && own.out.contains(u"ограничивается последней строкой"_s),
        qPrintable(own.out));
}

void TestKktCliConfig::wholeConfigurationRoundTrip()
{
    CliBench b;
    QVERIFY(b.start());
    const SampleConfig sample;
    QVERIFY(SaveConfigFile(b.path(u"in.conf"_s), *sample.typed));

    // 6306 transactions each way, some 10 s on a quiet machine; the limit only guards against a hang.
    const int limit = 180000;
    const CliRun written = b.run({ u"write-config"_s, b.path(u"in.conf"_s) }, limit);
    QCOMPARE(written.exitCode, 0);
    QCOMPARE(written.out, QString());
    const QStringList progress = ProgressLines(written.err);
    // Nothing but progress, the one thing the register cannot keep: the
    // marking of the items without a barcode (every twelfth), and one line
    // for each field typed in lower case (gsm 1, oper 4, goods, groups,
    // klishe, agents, factory 1 each).
    QCOMPARE(written.err.count(kCheckLine), 510);
    QVERIFY(written.err.contains(kCheckLine + u"goods 12 Маркировка: «м» → «»: без штрих-кода"_s));
    QVERIFY(written.err.contains(kCheckLine
        + u"goods 1 Наименование: «Молоко 1» → «МОЛОКО 1»: строчные буквы станут заглавными (и ещё 5999 значений "
          u"этого поля)\n"_s));
    QCOMPARE(progress.size() + 510, written.err.count(u'\n'));
    QVERIFY2(progress.last().startsWith(u"Запись в ККТ: 100% (6306 из 6306)"_s), qPrintable(progress.last()));
    QVERIFY2(progress.last().endsWith(u" — станции"_s), qPrintable(progress.last()));

    const CliRun read = b.run({ u"read-config"_s, b.path(u"out.conf"_s) }, limit);
    QCOMPARE(read.exitCode, 0);
    QVERIFY2(ProgressLines(read.err).last().startsWith(u"Чтение из ККТ: 100% (6306 из 6306)"_s), qPrintable(read.err));
    QCOMPARE(Differences(*Load(b.path(u"out.conf"_s)), *sample.kept), QStringList());

    // The register holds what the file meant, lower case and short prices included.
    const CliRun same = b.run({ u"verify-config"_s, b.path(u"in.conf"_s) }, limit);
    QCOMPARE(same.exitCode, 0);
    QCOMPARE(same.out, QString());
    QVERIFY2(same.err.endsWith(u"kkt-cli: предупреждение: строк совпадает: 6184 из 6184, ячеек различается: 0\n"_s),
        qPrintable(same.err.right(200)));
    // One item changed behind the file's back: exactly that cell.
    QCOMPARE(b.run({ u"item-set"_s, u"5"_s, u"--name"_s, u"МОЛОКО 5"_s, u"--font"_s, u"1"_s, u"--barcode"_s,
                       u"4600000000053"_s, u"--price"_s, u"599"_s, u"--section"_s, u"0"_s })
                 .exitCode,
        0);
    const CliRun changed = b.run({ u"verify-config"_s, b.path(u"in.conf"_s) }, limit);
    QCOMPARE(changed.exitCode, 80);
    QCOMPARE(changed.out, u"goods 5 Цена за единицу: file=0.00 kkt=5.99\n"_s);
}

void TestKktCliConfig::tablesAndRangeChooseRows()
{
    CliBench b;
    QVERIFY(b.start());
    const SampleConfig sample;
    QVERIFY(SaveConfigFile(b.path(u"in.conf"_s), *sample.typed));
    // Operators have six rows: the range ends there for them and goes on to 40 for the stations.
    const CliRun written
        = b.run({ u"write-config"_s, b.path(u"in.conf"_s), u"--tables"_s, u"station,OPER"_s, u"--range"_s, u"5-40"_s });
    QCOMPARE(written.exitCode, 0);
    QVERIFY2(ProgressLines(written.err).last().startsWith(u"Запись в ККТ: 100% (46 из 46)"_s), qPrintable(written.err));

    QVERIFY(WriteBytes(b.path(u"out.conf"_s), "")); // an empty file is as good as a new one
    const CliRun read = b.run({ u"read-config"_s, b.path(u"out.conf"_s), u"--tables"_s, u"oper,station"_s });
    QCOMPARE(read.exitCode, 0);
    const auto back = Load(b.path(u"out.conf"_s));
    // A new file starts from the pages' start values, which are also what the
    // register gives for rows it was never sent (empty texts, narrow fonts).
    auto expected = std::make_unique<TConfig>();
    GridsToConfig(OwnedGrids().set(), *expected);
    QCOMPARE(expected->Cfg102.Oper[0].fontDol, FixedLists::Narrow());
    QCOMPARE(expected->Cfg102.RpiznPredmRasch[0].Priznak, FixedLists::ItemKinds().first());
    for (int i = 4; i < ConfigSize::Oper; ++i)
        expected->Cfg102.Oper[size_t(i)] = sample.kept->Cfg102.Oper[size_t(i)];
    for (int i = 4; i < ConfigSize::Station; ++i)
        expected->Cfg102.Station[size_t(i)] = sample.kept->Cfg102.Station[size_t(i)];
    QCOMPARE(Differences(*back, *expected), QStringList());

    // A table without a row in the range is left out with a warning; the others still run.
    const CliRun skipped
        = b.run({ u"write-config"_s, b.path(u"in.conf"_s), u"--tables"_s, u"oper,goods"_s, u"--range"_s, u"7-8"_s });
    QCOMPARE(skipped.exitCode, 0);
    QVERIFY2(skipped.err.startsWith(u"kkt-cli: предупреждение: в таблице oper нет строк диапазона 7-8"_s),
        qPrintable(skipped.err));
    QVERIFY2(ProgressLines(skipped.err).last().startsWith(u"Запись в ККТ: 100% (2 из 2)"_s), qPrintable(skipped.err));
    const CliRun item = b.run({ u"item-get"_s, u"7"_s });
    QVERIFY2(item.out.contains(u"name=МОЛОКО 7\n"_s), qPrintable(item.out));
    QVERIFY2(b.run({ u"item-get"_s, u"9"_s }).out.contains(u"name=\n"_s), "row 9 is outside the range");
}

void TestKktCliConfig::readingOneTableKeepsTheRestOfTheFile()
{
    CliBench b;
    QVERIFY(b.start());
    const SampleConfig sample;
    QVERIFY(SaveConfigFile(b.path(u"in.conf"_s), *sample.typed));
    QCOMPARE(b.run({ u"write-config"_s, b.path(u"in.conf"_s), u"--tables"_s, u"oper"_s }).exitCode, 0);

    // The file to read into: other operators, one goods row, and a section of someone else's.
    auto present = std::make_unique<TConfig>();
    GridsToConfig(OwnedGrids().set(), *present);
    present->Cfg102.Oper[0].Dol = u"СТАРЫЙ"_s;
    present->Cfg102.PredmRasch[0].NameTov = u"Хлеб"_s;
    present->Cfg102.PredmRasch[0].Price = u"35.5"_s;
    const QString path = b.path(u"present.conf"_s);
    QVERIFY(WriteBytes(path, ToCp1251(u"[Заметки]\r\nКто=Петров\r\n"_s)));
    QVERIFY(SaveConfigFile(path, *present));

    const CliRun read = b.run({ u"read-config"_s, path, u"--tables"_s, u"oper"_s });
    QCOMPARE(read.exitCode, 0);
    auto expected = std::make_unique<TConfig>(*present);
    expected->Cfg102.Oper = sample.kept->Cfg102.Oper;
    QCOMPARE(Differences(*Load(path), *expected), QStringList());
    const TmyIniFile ini(path);
    QCOMPARE(ini.ReadString(u"Заметки"_s, u"Кто"_s, {}), u"Петров"_s);
}

void TestKktCliConfig::failingRegister_data()
{
    QTest::addColumn<QStringList>("emulatorOptions");
    QTest::addColumn<QStringList>("arguments"); // FILE stands for the configuration file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("messages");

    const QStringList silent { u"--silent"_s };
    const QStringList status { u"--status"_s, u"0x42"_s };
    const QString timeOut = u"--timeout=100"_s;
    QTest::newRow("GSM first, no answer") << silent << QStringList { timeOut, u"write-config"_s, u"FILE"_s } << 2
                                          << u"ВНИМАНИЕ!\nНе удалось записать параметр IP адрес сервера!\n"_s;
    QTest::newRow("operators, no answer")
        << silent << QStringList { timeOut, u"write-config"_s, u"FILE"_s, u"--tables"_s, u"oper,goods"_s } << 2
        << u"Внимание!\nОшибка (2) при записи оператора с номером 1 !\n"_s;
    QString sixOperators;
    for (int n = 1; n <= 6; ++n)
        sixOperators += u"Внимание!\nОшибка (2) при чтении операторов. Оператор номер %1 !\n"_s.arg(n);
    QTest::newRow("reading operators goes on")
        << silent << QStringList { timeOut, u"read-config"_s, u"FILE"_s, u"--tables"_s, u"oper,station"_s } << 2
        << sixOperators;
    QTest::newRow("goods, KKT status") << status
                                       << QStringList { u"write-config"_s, u"FILE"_s, u"--tables"_s, u"goods"_s,
                                              u"--range"_s, u"5-9"_s }
                                       << 66 << u"Внимание!\nОшибка (66) при записи базы. Товар номер 5 !\n"_s;
    QTest::newRow("stations, KKT status")
        << status << QStringList { u"read-config"_s, u"FILE"_s, u"--tables"_s, u"station"_s } << 66
        << u"Внимание!\nОшибка (66) при чтении строки станции с номером 1 !\n"_s;
}

void TestKktCliConfig::failingRegister()
{
    QFETCH(QStringList, emulatorOptions);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, messages);
    CliBench b;
    QVERIFY(b.start(emulatorOptions));
    const SampleConfig sample;
    const QString path = b.path(u"a.conf"_s);
    QVERIFY(SaveConfigFile(path, *sample.typed));
    const QByteArray before = ReadBytes(path);
    arguments.replace(arguments.indexOf(u"FILE"_s), path);

    const CliRun run = b.run(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, QString());
    if (arguments.contains(u"read-config"_s))
        messages += u"kkt-cli: чтение не завершено, файл «%1» не изменён\n"_s.arg(path);
    QCOMPARE(WithoutCheckLines(run.err), messages);
    QCOMPARE(ReadBytes(path), before);
}

// A register (or a line) that sends every answer twice, 30 ms apart: left
// alone, each read takes the answer to the request before it.
void TestKktCliConfig::repeatedAnswersFailTheRead()
{
    CliBench b;
    QVERIFY(b.start({ u"--repeat-ms"_s, u"30"_s }));
    const QString path = b.path(u"a.conf"_s);
    const CliRun run = b.run({ u"read-config"_s, path, u"--tables"_s, u"station"_s });
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.contains(u"Внимание!\nОшибка (2) при чтении строки станции с номером "_s), qPrintable(run.err));
    // Where the second copy is caught depends on when it lands: at the purge
    // after the answer, after the answer's pause, or before the next request.
    QVERIFY2(run.err.contains(u"\nkkt-cli: на линии лишние байты после полного ответа"_s)
            || run.err.contains(u"\nkkt-cli: после полного ответа пришли ещё байты"_s)
            || run.err.contains(u"\nkkt-cli: байты пришли, когда ККТ ни о чём не спрашивали (линия зашумлена); "
                                u"запрос не отправлен"_s),
        qPrintable(run.err));
    QVERIFY(!QFile::exists(path));
}

void TestKktCliConfig::fileThatIsNoConfiguration_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message"); // FILE stands for the path
    const QByteArray goodsFile = ToCp1251(u"[ТОВАР_#1]\r\nНаименование=Хлеб\r\n"_s);
    const QString notConfig = u"«FILE» не является файлом конфигурации: в нём нет ни одного её ключа"_s;
    QTest::newRow("write, missing") << u"write-config"_s << u"x.conf"_s << QByteArray() << 65
                                    << u"файл конфигурации «FILE» не найден"_s;
    QTest::newRow("write, empty") << u"write-config"_s << u"x.conf"_s << QByteArray("") << 65 << notConfig;
    QTest::newRow("write, goods base") << u"write-config"_s << u"x.conf"_s << goodsFile << 65 << notConfig;
    QTest::newRow("read into a goods base") << u"read-config"_s << u"x.conf"_s << goodsFile << 65 << notConfig;
    // Found out before the register is read, not after.
    QTest::newRow("read into a missing folder")
        << u"read-config"_s << u"no/x.conf"_s << QByteArray() << 73 << u"не удастся записать файл «FILE»"_s;
}

void TestKktCliConfig::fileThatIsNoConfiguration()
{
    QFETCH(QString, command);
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    CliBench b;
    QVERIFY(b.start());
    QCOMPARE(b.run({ u"item-set"_s, u"1"_s, u"--name"_s, u"X"_s }).exitCode, 0);
    const QString path = b.path(name);
    if (!content.isNull())
        QVERIFY(WriteBytes(path, content));
    const CliRun run = b.run({ command, path });
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.startsWith(u"kkt-cli: "_s + message.replace(u"FILE"_s, path)) && run.err.count(u'\n') == 1,
        qPrintable(run.err));
    QCOMPARE(ReadBytes(path), content.isNull() ? QByteArray() : content); // nothing written into it
    QVERIFY(b.run({ u"item-get"_s, u"1"_s }).out.contains(u"name=X\n"_s)); // nor into the register
}

void TestKktCliConfig::cellCheckStopsTheWrite()
{
    CliBench b;
    QVERIFY(b.start());
    const SampleConfig sample;
    sample.typed->Cfg102.PredmRasch[2].Shtrih = u"46O0"_s; // a letter O among the digits
    QVERIFY(SaveConfigFile(b.path(u"in.conf"_s), *sample.typed));
    const CliRun run
        = b.run({ u"write-config"_s, b.path(u"in.conf"_s), u"--tables"_s, u"goods,station"_s, u"--range"_s, u"1-5"_s });
    QCOMPARE(run.exitCode, 65);
    QVERIFY2(run.err.endsWith(u"ВНИМАНИЕ!\nНеверный штрих-код товара номер 3! Штрих-код должен быть числом меньше "
                              u"140737488355328.\n"_s),
        qPrintable(run.err));
    QVERIFY(b.run({ u"item-get"_s, u"2"_s }).out.contains(u"name=МОЛОКО 2\n"_s));
    QVERIFY(b.run({ u"item-get"_s, u"4"_s }).out.contains(u"name=\n"_s));
    QVERIFY(b.run({ u"get"_s, u"9"_s, u"1"_s, u"1"_s }).out.contains(u"value=\n"_s)); // the stations never began
}

// A value the write refuses is listed before anything is sent, saying that
// the write stops at its row and, with tables after it, that they stay
// unwritten; the write then stops there.
void TestKktCliConfig::checkNamesWhereTheWriteStops_data()
{
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("tables");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("exitCode");
    const QString later = u" — запись остановится на этой строке, следующие таблицы не будут записаны"_s;
    QTest::newRow("negative price, stations after it")
        << u"-5"_s << u"goods,station"_s << u"goods 3 Цена за единицу: «-5»: отрицательная цена"_s + later << 65;
    QTest::newRow("price above the field, the last table")
        << u"21474836.48"_s << u"goods"_s
        << u"goods 3 Цена за единицу: «21474836.48»: цена больше 21474836.47 — запись остановится на этой строке"_s
        << 5;
}

void TestKktCliConfig::checkNamesWhereTheWriteStops()
{
    QFETCH(QString, price);
    QFETCH(QString, tables);
    QFETCH(QString, line);
    QFETCH(int, exitCode);
    CliBench b;
    QVERIFY(b.start());
    const SampleConfig sample;
    sample.typed->Cfg102.PredmRasch[2].Price = price;
    QVERIFY(SaveConfigFile(b.path(u"in.conf"_s), *sample.typed));
    const CliRun run
        = b.run({ u"write-config"_s, b.path(u"in.conf"_s), u"--tables"_s, tables, u"--range"_s, u"1-5"_s });
    QVERIFY2(run.err.contains(u"\n"_s + kCheckLine + line + u"\n"_s), qPrintable(run.err));
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(b.run({ u"item-get"_s, u"2"_s }).out.contains(u"name=МОЛОКО 2\n"_s));
    const QString third = b.run({ u"item-get"_s, u"3"_s }).out; // nothing of the row went
    QVERIFY2(third.contains(u"name=\n"_s) && third.contains(u"price=0\n"_s), qPrintable(third));
}

// A register holding a value the program cannot hold (here a price written
// by other means as -5.00): the read and the verification stop with a status
// of their own, not that of a bad file.
void TestKktCliConfig::registerValueTheProgramCannotHold_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("read-config") << u"read-config"_s;
    QTest::newRow("verify-config") << u"verify-config"_s;
}

void TestKktCliConfig::registerValueTheProgramCannotHold()
{
    QFETCH(QString, command);
    CliBench b;
    QVERIFY(b.start());
    const SampleConfig sample;
    QVERIFY(SaveConfigFile(b.path(u"in.conf"_s), *sample.typed));
    QCOMPARE(b.run({ u"item-set"_s, u"2"_s, u"--price"_s, u"-500"_s }).exitCode, 0);
    const CliRun run = b.run({ command, b.path(u"in.conf"_s), u"--tables"_s, u"goods"_s, u"--range"_s, u"1-3"_s });
    QVERIFY2(run.err.contains(u"ВНИМАНИЕ!\nККТ вернула недопустимую цену товара номер 2 (1099511627276 коп.)!\n"_s),
        qPrintable(run.err));
    QCOMPARE(run.exitCode, 76);
}

// Values the register would keep otherwise are listed before anything is
// sent; the write goes on, unless --strict, which sends nothing.
void TestKktCliConfig::checkBeforeWriting()
{
    CliBench b;
    QVERIFY(b.start());
    const SampleConfig sample;
    sample.typed->Cfg102.PredmRasch[1].NameTov = u"Чай чёрный листовой 100 г №7"_s;
    sample.typed->Gsm.arrParam[2] = u"77909"_s;
    QVERIFY(SaveConfigFile(b.path(u"in.conf"_s), *sample.typed));
    const QStringList issues {
        kCheckLine + u"gsm 2 Имя сервера ОФД: «ofd.example.ru» → «OFD.EXAMPLE.RU»: строчные буквы станут заглавными"_s,
        u"kkt-cli: предупреждение: проверка перед записью: gsm 3 Порт сервера ОФД: «77909» → «77909»: порт должен быть "
        u"от 1 до "
        "65535"_s,
        kCheckLine
            + u"goods 1 Наименование: «Молоко 1» → «МОЛОКО 1»: строчные буквы станут заглавными (и ещё 1 значение "
              u"этого поля)"_s,
        u"kkt-cli: предупреждение: проверка перед записью: goods 2 Наименование: «Чай чёрный листовой 100 г №7» → «ЧАЙ "
        "Ч РНЫЙ ЛИСТОВОЙ 100 »: длиннее поля: сохранится 24 символа; символы, которых нет в ККТ: «Ё»"_s,
    };
    const QStringList write { u"write-config"_s, b.path(u"in.conf"_s), u"--tables"_s, u"gsm,goods"_s, u"--range"_s,
        u"1-3"_s };

    const CliRun strict = b.run(write + QStringList { u"--strict"_s });
    QCOMPARE(strict.exitCode, 65);
    const QString refusal = u"kkt-cli: ничего не записано: ККТ сохранит значения выше не так, как в файле (--strict)"_s;
    QVERIFY2(strict.err == (issues + QStringList { refusal }).join(u'\n') + u'\n', qPrintable(strict.err));
    QVERIFY(b.run({ u"item-get"_s, u"1"_s }).out.contains(u"name=\n"_s));

    const CliRun asIs = b.run(write);
    QCOMPARE(asIs.exitCode, 0);
    QVERIFY2(asIs.err.startsWith(issues.join(u'\n') + u'\n'), qPrintable(asIs.err));
    QVERIFY(b.run({ u"item-get"_s, u"2"_s }).out.contains(u"name=ЧАЙ Ч РНЫЙ ЛИСТОВОЙ 100 \n"_s));
}

void TestKktCliConfig::truncatedFileIsRefused_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("all tables") << QStringList() << 65;
    QTest::newRow("a table the cut took") << QStringList { u"--tables"_s, u"station"_s } << 65;
    QTest::newRow("only tables the file holds whole") << QStringList { u"--tables"_s, u"gsm,oper"_s } << 0;
    QTest::newRow("missing keys allowed") << QStringList { u"--tables"_s, u"station"_s, u"--allow-missing"_s } << 0;
}

// A file cut in the middle would load its missing keys as empty values and
// blank the register's tables.
void TestKktCliConfig::truncatedFileIsRefused()
{
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    CliBench b;
    QVERIFY(b.start());
    const SampleConfig sample;
    const QString path = b.path(u"cut.conf"_s);
    QVERIFY(SaveConfigFile(path, *sample.typed));
    QByteArray bytes = ReadBytes(path);
    bytes.truncate(bytes.lastIndexOf("\r\n", bytes.size() / 2) + 2); // at a line end, amid the goods
    QVERIFY(WriteBytes(path, bytes));
    QCOMPARE(b.run({ u"set"_s, u"9"_s, u"1"_s, u"1"_s, u"ДЕПО"_s }).exitCode, 0);

    const CliRun run = b.run(QStringList { u"write-config"_s, path } + options, 60000);
    QCOMPARE(run.exitCode, exitCode);
    const bool stationsWritten = b.run({ u"get"_s, u"9"_s, u"1"_s, u"1"_s }).out.contains(u"value=\n"_s);
    if (exitCode == 65) {
        QVERIFY2(run.err.startsWith(u"kkt-cli: в файле «%1» нет ключа «"_s.arg(path)) && run.err.count(u'\n') == 1,
            qPrintable(run.err));
        QVERIFY(!stationsWritten);
    } else {
        QVERIFY2(stationsWritten == options.contains(u"station"_s), qPrintable(run.err));
    }
}

void TestKktCliConfig::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    const QStringList write { u"--port"_s, u"/dev/null"_s, u"write-config"_s, u"x.conf"_s };
    const QStringList read { u"--port"_s, u"/dev/null"_s, u"read-config"_s, u"x.conf"_s };
    QTest::newRow("unknown table") << write + QStringList { u"--tables"_s, u"oper,tovar"_s }
                                   << u"--tables: неизвестная таблица «tovar»; таблицы: gsm, oper, goods"_s;
    QTest::newRow("empty table list") << read + QStringList { u"--tables"_s, QString() } << u"пустое имя таблицы"_s;
    QTest::newRow("range from 0") << write + QStringList { u"--range"_s, u"0-5"_s } << u"--range: ожидается ОТ-ДО"_s;
    QTest::newRow("range backwards") << read + QStringList { u"--range"_s, u"5-3"_s } << u"не «5-3»"_s;
    QTest::newRow("range not numbers") << write + QStringList { u"--range"_s, u"a-b"_s } << u"--range"_s;
    QTest::newRow("range beyond the goods") << write + QStringList { u"--range"_s, u"1-6001"_s } << u"до 6000"_s;
    QTest::newRow("no chosen table in range")
        << read + QStringList { u"--tables"_s, u"oper,klishe"_s, u"--range"_s, u"30-40"_s }
        << u"ни в одной из выбранных таблиц (oper, klishe)"_s;
    QTest::newRow("file missing") << QStringList { u"--port"_s, u"/dev/null"_s, u"write-config"_s }
                                  << u"ожидается аргументов: 1"_s;
    QTest::newRow("convert, unknown kind")
        << QStringList { u"convert"_s, u"a.db102"_s, u"b.pdf"_s } << u"неизвестный вид файла «b.pdf»"_s;
    QTest::newRow("convert from an unknown kind") << QStringList { u"convert"_s, u"a.doc"_s,
        u"b.csv"_s } << u"ожидается .db102, .1cdb, .csv, .tsv, .txt, .xls, .xlsx или .ods"_s;
    QTest::newRow("convert into xls") << QStringList { u"convert"_s, u"a.db102"_s, u"b.XLS"_s }
                                      << u".xls можно только прочитать"_s;
    QTest::newRow("convert into ods") << QStringList { u"convert"_s, u"a.csv"_s,
        u"b.ods"_s } << u".ods можно только прочитать, запишите в .db102, .1cdb, .csv, .tsv, .txt или .xlsx"_s;
}

void TestKktCliConfig::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const CliRun run = RunKktCli(arguments);
    QCOMPARE(run.exitCode, 64);
    QVERIFY2(run.err.startsWith(u"kkt-cli: "_s) && run.err.contains(message), qPrintable(run.err));
    QCOMPARE(run.out, QString());
}

void TestKktCliConfig::convertBetweenGoodsFiles()
{
    QTemporaryDir dir;
    const auto goods = MakeGrid(TableKind::Goods);
    goods->setCell(1, 1, u"Хлеб"_s);
    goods->setCell(1, 3, u"4600000000001"_s);
    goods->setCell(1, 4, u"35.5"_s);
    goods->setCell(1, 5, u"2"_s);
    goods->setCell(1, 6, u"м"_s);
    goods->setCell(6000, 1, u"Последний"_s);
    goods->setCell(6000, 2, FixedLists::Wide());
    const QString db = dir.filePath(u"a.DB102"_s); // the kind is told by the extension in any case
    QVERIFY(SaveGoodsDb102(db, *goods).ok);

    const CliRun exported = RunKktCli({ u"convert"_s, db, dir.filePath(u"b.1cdb"_s) });
    QCOMPARE(exported.exitCode, 0);
    QCOMPARE(exported.out, u"Файл успешно сохранен!\n"_s);
    // What the load made of the input goes to standard error.
    QCOMPARE(exported.err,
        u"Загружено 6000 строк.\n\n2 наименования ККТ сохранит заглавными буквами (ячейки отмечены).\n\n1 штрих-код "
        u"сканер не прочтёт (ККТ "
        u"сохранит его как есть):\nстрока 1, «Штрих-код»: «4600000000001» — контрольная цифра штрих-кода неверна (должна быть 8): сканер такой код не прочтёт\n"_s);
    QCOMPARE(ReadBytes(dir.filePath(u"b.1cdb"_s)), Goods1CBytes(*goods));

    const CliRun imported = RunKktCli({ u"convert"_s, dir.filePath(u"b.1cdb"_s), dir.filePath(u"c.db102"_s) });
    QCOMPARE(imported.exitCode, 0);
    QCOMPARE(imported.out, QString());
    QCOMPARE(imported.err,
        u"Загружено 6000 позиций!\n\n2 наименования ККТ сохранит заглавными буквами (ячейки отмечены).\n\n1 штрих-код "
        u"сканер не прочтёт (ККТ "
        u"сохранит его как есть):\nстрока 1, «Штрих-код»: «4600000000001» — контрольная цифра штрих-кода неверна (должна быть 8): сканер такой код не прочтёт\n"_s);
    const auto back = MakeGrid(TableKind::Goods);
    QVERIFY(LoadGoodsDb102(dir.filePath(u"c.db102"_s), *back).ok);
    QCOMPARE(GoodsRow(*back, 1), u"Хлеб|Узкий|4600000000001|35.5|2|"_s); // the 1C file carries no marking
    QCOMPARE(GoodsRow(*back, 2), u"|Узкий||0.0||"_s); // an empty price goes into the 1C file as 0.0
    QCOMPARE(GoodsRow(*back, 6000), u"Последний|Широкий||0.0||"_s);
}

// Every kind read into every kind written: the rows come back as each goods
// file carries them (name, barcode, price, section).
void TestKktCliConfig::convertEveryPair()
{
    QTemporaryDir dir;
    const auto goods = MakeGrid(TableKind::Goods);
    const QList<int> cols { GoodsCol::Name, GoodsCol::Barcode, GoodsCol::Price, GoodsCol::Section };
    const QStringList rows[] = { { u"Хлеб"_s, u"0012345678905"_s, u"12.50"_s, u"07"_s },
        { u"Сок; \"Я\""_s, u"46000001"_s, u"0.00"_s, u"1"_s } };
    for (int r = 0; r < 2; ++r)
        for (int i = 0; i < cols.size(); ++i)
            goods->setCell(r + 1, cols[i], rows[r][i]);
    goods->setCell(6000, GoodsCol::Name, u"Последний"_s);
    const auto carried = [&](const StringGridModel &g) {
        QString all;
        for (int row : { 1, 2 })
            for (int col : cols)
                all += g.cell(row, col) + u'|';
        return all + g.cell(6000, GoodsCol::Name);
    };
    const QString start = dir.filePath(u"start.db102"_s);
    QVERIFY(SaveGoodsDb102(start, *goods).ok);
    const QStringList kinds { u"db102"_s, u"1cdb"_s, u"csv"_s, u"tsv"_s, u"txt"_s };
    for (const QString &from : kinds) {
        const QString in = dir.filePath(u"in."_s + from);
        const CliRun made = RunKktCli({ u"convert"_s, start, in });
        QVERIFY2(made.exitCode == 0, qPrintable(made.err));
        for (const QString &to : kinds + QStringList { u"xlsx"_s }) {
            const QString out = dir.filePath(from + u"-to."_s + to);
            const CliRun run = RunKktCli({ u"convert"_s, in, out });
            QVERIFY2(run.exitCode == 0, qPrintable(from + u" -> "_s + to + u": "_s + run.err));
            QVERIFY(QFileInfo(out).size() > 0);
            if (to == u"xlsx"_s)
                continue; // its cells are read back by the workbook export's own tests
            const QString check = dir.filePath(u"check.db102"_s);
            QFile::remove(check);
            QCOMPARE(RunKktCli({ u"convert"_s, out, check }).exitCode, 0);
            const auto loaded = MakeGrid(TableKind::Goods);
            QVERIFY(LoadGoodsDb102(check, *loaded).ok);
            QCOMPARE(carried(*loaded), carried(*goods));
        }
    }
}

void TestKktCliConfig::convertFromSpreadsheet()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(u"from-xls.db102"_s);
    const CliRun run = RunKktCli({ u"convert"_s, QStringLiteral(KKT_FIXTURES "/goods.xls"), out });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QString());
    // The rows loaded and the cell refused, as the page says them.
    QCOMPARE(run.err,
        u"Загружено 7 строк.\nОстальные 5993 строки очищены.\n\nНе принято 1 значение из файла (в ячейках значения "
        u"по умолчанию, ячейки отмечены):\nстрока 5, «Цена за единицу»: в файле «abc» — цена не число\n\n7 "
        u"наименований ККТ сохранит заглавными буквами (ячейки отмечены).\n\n2 штрих-кода сканер не прочтёт (ККТ "
        u"сохранит их как есть):\nстрока 1, «Штрих-код»: «4600000000001» — контрольная цифра штрих-кода неверна "
        u"(должна быть 8): сканер такой код не прочтёт\n"
        u"строка 2, «Штрих-код»: «4601234567890» — контрольная цифра штрих-кода неверна (должна быть 3): сканер такой код не прочтёт\n\n"
        u"Строки листа ниже 6001-й не загружены: в базе товаров 6000 строк.\n"_s);
    // The newer workbooks through the same reader; their codes keep every digit.
    for (const QString &book : { u"goods.xls"_s, u"goods.xlsx"_s, u"goods.ods"_s }) {
        const QString from = QStringLiteral(KKT_FIXTURES "/") + book;
        const QString to = dir.filePath(book + u".db102"_s);
        QCOMPARE(RunKktCli({ u"convert"_s, from, to }).exitCode, 0);
        const auto back = MakeGrid(TableKind::Goods);
        QVERIFY(LoadGoodsDb102(to, *back).ok);
        QCOMPARE(GoodsRow(*back, 1), u"Хлеб|Узкий|4600000000001|35.5|2|м"_s);
        QCOMPARE(GoodsRow(*back, 3), u"Сок|Узкий||12.00||"_s);
        QCOMPARE(back->cell(6, GoodsCol::Barcode), u"123456789012"_s);
        QCOMPARE(back->cell(6000, 1), u"Последний"_s);
    }
}

// Names a Windows-1251 file cannot hold (a workbook's may hold any): written
// as "?", and said so, with the rows.
void TestKktCliConfig::convertSaysWhatWindows1251Lacks()
{
    QTemporaryDir dir;
    for (const QString &name : { u"out.1cdb"_s, u"out.db102"_s }) {
        const QString out = dir.filePath(name);
        const CliRun run = RunKktCli({ u"convert"_s, QStringLiteral(KKT_FIXTURES "/foreign-names.xls"), out });
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.endsWith(
                     u"kkt-cli: предупреждение: знаки, которых нет в кодировке Windows-1251, есть в строках базы 1, 3 "
                     u"(всего строк: 2); в файле «%1» они будут записаны как «?»\n"_s.arg(out)),
            qPrintable(run.err));
        const auto back = MakeGrid(TableKind::Goods);
        QVERIFY(name.endsWith(u"1cdb"_s) ? ImportGoods1C(out, *back).ok : LoadGoodsDb102(out, *back).ok);
        QCOMPARE(back->cell(1, 1), u"??"_s);
        QCOMPARE(back->cell(2, 1), u"Чай"_s);
        QCOMPARE(back->cell(3, 1), u"Кофе ?"_s);
    }
}

void TestKktCliConfig::convertFailures_data()
{
    QTest::addColumn<QByteArray>("input"); // empty: no input file at all
    QTest::addColumn<QString>("inName");
    QTest::addColumn<QString>("outName");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message"); // IN and OUT stand for the paths
    QTest::newRow("1C file without its header")
        << QByteArray("\x02"
                      "1\tX\tУзкий\t\t1\t0\x03\r\n")
        << u"a.1cdb"_s << u"b.db102"_s << 65 << u"Структура файла не соответствует стандарту!\n"_s;
    QTest::newRow("1C file with a bad font")
        << QByteArray("\x01\r\n\x02"
                      "1\tX\tBold\t\t1\t0\x03\r\n")
        << u"a.1CDB"_s << u"b.db102"_s << 65 << u"Структура файла не соответствует стандарту!\n"_s;
    QTest::newRow("goods base that is none")
        << QByteArray("root:x:0:0:root:/root:/bin/bash\n") << u"a.db102"_s << u"b.1cdb"_s << 65
        << u"ВНИМАНИЕ!\nФайл \"IN\" не является базой товаров"_s;
    QTest::newRow("input missing") << QByteArray() << u"a.db102"_s << u"b.1cdb"_s << 65
                                   << u"kkt-cli: файл «IN» не найден\n"_s;
    QTest::newRow("not a workbook") << QByteArray("plain text") << u"a.xls"_s << u"b.1cdb"_s << 65
                                    << u"ВНИМАНИЕ!\nНе удалось загрузить файл \"IN\": файл повреждён"_s;
    QTest::newRow("workbook that crashes the reading library")
        << ReadBytes(QStringLiteral(KKT_FIXTURES "/damaged.xls")) << u"a.xls"_s << u"b.1cdb"_s << 65
        << u"ВНИМАНИЕ!\nНе удалось загрузить файл \"IN\": файл повреждён: чтение книги завершилось аварийно."_s;
    QTest::newRow("output folder missing") << QByteArray("\x01\r\n") << u"a.1cdb"_s << u"no/such/b.1cdb"_s << 73
                                           << u"ВНИМАНИЕ!\nНе удалось записать файл \"OUT\""_s;
}

void TestKktCliConfig::convertFailures()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, inName);
    QFETCH(QString, outName);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString in = dir.filePath(inName), out = dir.filePath(outName);
    if (!input.isEmpty())
        QVERIFY(WriteBytes(in, input));
    const CliRun run = RunKktCli({ u"convert"_s, in, out });
    QCOMPARE(run.exitCode, exitCode);
    // What a load made of the input comes first when it is the write that fails.
    QVERIFY2(run.err.contains(message.replace(u"IN"_s, in).replace(u"OUT"_s, out)), qPrintable(run.err));
    QVERIFY(!QFile::exists(out));
    if (input.isEmpty())
        QVERIFY(!QFile::exists(in)); // never created, as a load of the page would
}

// A 1C file just under the size the readers take grows as a goods base: the
// conversion is refused rather than leaving a file no reader takes.
void TestKktCliConfig::convertNeverWritesWhatItCannotRead()
{
    QTemporaryDir dir;
    QByteArray file = "\x01\r\n";
    for (int row = 1; row <= 6000; ++row)
        file += "\x02" + QByteArray::number(row) + "\t\t" + ToCp1251(u"Узкий"_s) + "\t" + QByteArray(5500, '7')
            + "\t1\t0\x03\r\n";
    QVERIFY(file.size() < SafeFile::kMaxReadSize);
    const QString in = dir.filePath(u"big.1cdb"_s), out = dir.filePath(u"big.db102"_s);
    QVERIFY(WriteBytes(in, file));
    const CliRun run = RunKktCli({ u"convert"_s, in, out });
    QCOMPARE(run.exitCode, 73);
    QVERIFY2(run.err.contains(u"он вышел бы больше 32 МБ, а такой файл программа не прочтёт"_s), qPrintable(run.err));
    QVERIFY(!QFile::exists(out));
}

// A file nobody may write is kept as it is, also when root runs the tool.
void TestKktCliConfig::readOnlyTargetStaysReadOnly()
{
    CliBench b;
    QVERIFY(b.start());
    const QString in = b.path(u"in.1cdb"_s);
    QVERIFY(WriteBytes(in, "\x01\r\n"));
    const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    for (const QString &name : { u"out.db102"_s, u"out.1cdb"_s, u"out.conf"_s }) {
        const QString out = b.path(name);
        const QByteArray previous = name.endsWith(u"conf"_s)
            ? ToCp1251(u"[CFGKKT_ПАРАМЕТРЫ_СТАНЦИИ]\r\nСтанция #0=\x7FX\x7F\r\n"_s)
            : "as it is";
        QVERIFY(WriteBytes(out, previous));
        QVERIFY(QFile::setPermissions(out, readOnly));
        const CliRun run = name.endsWith(u"conf"_s)
            ? b.run({ u"read-config"_s, out, u"--tables"_s, u"station"_s, u"--range"_s, u"1-1"_s })
            : RunKktCli({ u"convert"_s, in, out });
        QCOMPARE(run.exitCode, 73);
        QVERIFY2(run.err.contains(u"файл только для чтения; он не изменён."_s), qPrintable(run.err));
        QCOMPARE(ReadBytes(out), previous);
        QCOMPARE(
            QFileInfo(out).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
            readOnly);
    }
}

void TestKktCliConfig::inputThatIsNoRegularFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("command");
    for (const QString &command : { u"convert"_s, u"write-config"_s })
        for (const QString &kind : { u"folder"_s, u"FIFO"_s, u"device"_s })
            QTest::addRow("%s, %s", qPrintable(command), qPrintable(kind)) << kind << command;
}

// Named for what it is, not as a file that is not there.
void TestKktCliConfig::inputThatIsNoRegularFile()
{
#ifndef Q_OS_UNIX
    QSKIP("FIFOs and device links are a Unix thing");
#else
    QFETCH(QString, kind);
    QFETCH(QString, command);
    QTemporaryDir dir;
    const QString in = dir.filePath(command == u"convert"_s ? u"in.db102"_s : u"in.conf"_s);
    QVERIFY(MakeNonRegular(in, kind));
    const QStringList arguments = command == u"convert"_s
        ? QStringList { u"convert"_s, in, dir.filePath(u"out.1cdb"_s) }
        : QStringList { u"--port"_s, u"/dev/null"_s, u"write-config"_s, in };
    const CliRun run = RunKktCli(arguments, 10000);
    QCOMPARE(run.exitCode, 65);
    QCOMPARE(run.err, u"kkt-cli: «%1» не является обычным файлом: это %2\n"_s.arg(in, NonRegularName(kind)));
    QVERIFY(!QFile::exists(dir.filePath(u"out.1cdb"_s)));
#endif
}

// A reporter writing into a text, on a clock the test moves.
struct ProgressProbe
{
    QString text;
    QTextStream stream { &text };
    qint64 now = 0;
    ProgressReporter progress;

    ProgressProbe(bool terminal, const QString &action, int total)
        : progress(stream, terminal, action, total, [this] { return now; })
    { }
};

void TestKktCliConfig::progressIsThinnedOut()
{
    ProgressProbe p(false, u"Запись в ККТ"_s, 1000);
    p.progress.setStage(u"товары"_s);
    for (int done = 1; done <= 451; ++done, p.now += 2) // a step every 2 ms: a line every 100 ms
        p.progress.update(done);
    p.now = 1500; // the percent stays: nothing new within a second of the last line
    p.progress.update(451);
    p.now = 2000; // ... but after a second the rate and time left move on
    p.progress.update(452);
    for (int done = 453; done <= 1000; ++done)
        p.progress.update(done); // all at once: only the last shows
    const QStringList lines = p.text.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 10 + 1 + 1);
    QCOMPARE(lines[0], u"Запись в ККТ: 0% (1 из 1000), 1000/с, осталось 0:01 — товары"_s);
    QCOMPARE(lines[9], u"Запись в ККТ: 45% (451 из 1000), 501/с, осталось 0:01 — товары"_s);
    QCOMPARE(lines[10], u"Запись в ККТ: 45% (452 из 1000), 226/с, осталось 0:02 — товары"_s);
    QCOMPARE(lines[11], u"Запись в ККТ: 100% (1000 из 1000), 500/с, осталось 0:00 — товары"_s);
    QCOMPARE(ProgressReporter::TimeText(3723), u"1:02:03"_s);
    QCOMPARE(ProgressReporter::TimeText(599), u"9:59"_s);
}

void TestKktCliConfig::progressOnATerminalKeepsOneLine()
{
    ProgressProbe p(true, u"Чтение из ККТ"_s, 3);
    p.progress.setStage(u"параметры агентов"_s);
    p.progress.update(1);
    p.now = 200;
    p.progress.setStage(u"станции"_s);
    p.progress.update(2);
    p.progress.interrupt(); // a message follows on a line of its own
    p.progress.interrupt(); // and only once
    const QString first = u"Чтение из ККТ: 33% (1 из 3), 1000/с, осталось 0:00 — параметры агентов"_s;
    const QString second = u"Чтение из ККТ: 66% (2 из 3), 10/с, осталось 0:00 — станции"_s;
    QCOMPARE(p.text, u"\r"_s + first + u"\r"_s + second + QString(first.size() - second.size(), u' ') + u"\n"_s);
}

QTEST_GUILESS_MAIN(TestKktCliConfig)
#include "TestKktCliConfig.moc"
