#include "ScriptedLink.h"

#include "kkt/ComPort.h"
#include "kkt/KktFrame.h"
#include "pages/FixedLists.h"
#include "pages/GsmRun.h"
#include "pages/RegisterView.h"
#include "pages/TableRun.h"

#include <QTest>

#include <algorithm>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {
using Addr = QList<int>; // table, row, field

struct Bench
{
    ScriptedLink link;
    KktChannel channel { link };
    KktConnection conn { u"COM1"_s, 19200, 100, 0, 0 };
    QList<int> percents;
    QList<int> positions;
    QList<int> rowsDone;
    int rowsTotal = 0;
    QStringList shown;
    int idles = 0;
    int stopAfter = 0; // requests before the stop hook says stop; 0: never
    int asked = 0;
    RunHooks hooks {
        [this](const RunProgress &p) {
            percents << p.percent;
            positions << p.position;
            rowsDone << p.rowsDone;
            rowsTotal = p.rowsTotal;
        },
        [this](const QString &m) { shown << m; },
        [this] { ++idles; },
        [this] { return ++asked == stopAfter; },
    };

    void acceptAll(int count)
    {
        for (int i = 0; i < count; ++i)
            link.answers << MakeAnswer(36, 0);
    }
    QList<Addr> addresses() const
    {
        QList<Addr> out;
        for (const QByteArray &f : link.writes)
            out << Addr { quint8(f[9]), quint8(f[10]), quint8(f[11]) };
        return out;
    }
};

QByteArray ParamAnswer(quint8 font, const QByteArray &value)
{
    QByteArray payload(4, '\0');
    payload += char(font);
    payload += value.leftJustified(24, '\0', true);
    return MakeAnswer(36, 0, payload);
}

QByteArray Le(quint64 value, int width)
{
    QByteArray out;
    for (int i = 0; i < width; ++i)
        out += char((value >> (8 * i)) & 0xFF);
    return out;
}

QByteArray GoodsAnswer(
    quint16 number, quint8 font, const QByteArray &name, quint64 barcode, quint64 price, quint8 section)
{
    return MakeAnswer(46, 0,
        Le(number, 2) + char(font) + name.leftJustified(24, '\0', true) + Le(barcode, 6) + Le(price, 5)
            + char(section));
}

QByteArray ValueField(const QByteArray &frame)
{
    return frame.mid(13, 24);
}
} // namespace

class TestTableRun : public QObject
{
    Q_OBJECT
private slots:
    void writeOperatorsTwoToThree();
    void addressesOfTables_data();
    void addressesOfTables();
    void groupCodeBothWays();
    void goodsItemBothWays();
    void progressHalvesToEven();
    void silentKkt();
    void agentTableCountsFailedRequest();
    void goodsRowsRefusedBeforeSending_data();
    void goodsRowsRefusedBeforeSending();
    void undefinedCasesAreRefused();
    void gsmParameters();
    void gsmFailureNamesParameter();
    void clearGoodsBase();
    void stopEndsRunAfterRequest();
};

void TestTableRun::writeOperatorsTwoToThree()
{
    Bench b;
    const auto oper = MakeGrid(TableKind::Oper);
    oper->setCell(2, 1, u"кассир"_s);
    oper->setCell(2, 4, u"Широкий"_s);
    oper->setCell(2, 7, u"pw"_s);
    oper->setCell(2, 8, u"123456789012"_s);
    oper->setCell(3, 6, u"Широкий"_s);
    b.acceptAll(10);
    const RunResult r = RunTable(b.channel, b.conn, TableKind::Oper, RunDirection::Write, *oper, 2, 3, b.hooks);
    QVERIFY(r.ok);
    QCOMPARE(b.addresses(),
        (QList<Addr> { { 0, 2, 0 }, { 0, 2, 1 }, { 0, 2, 2 }, { 0, 2, 3 }, { 0, 2, 4 }, { 0, 3, 0 }, { 0, 3, 1 },
            { 0, 3, 2 }, { 0, 3, 3 }, { 0, 3, 4 } }));
    QList<int> fonts, modes;
    for (const QByteArray &f : b.link.writes) {
        fonts << quint8(f[12]);
        modes << quint8(f[8]);
    }
    QCOMPARE(fonts, (QList<int> { 0x30, 0x31, 0x30, 0x30, 0x30, 0x30, 0x30, 0x31, 0x30, 0x30 }));
    QCOMPARE(modes, QList<int>(10, 0));
    QCOMPARE(ValueField(b.link.writes[0]), ValueField(b.link.writes[0]).left(6) + QByteArray(18, '\0'));
    QCOMPARE(ValueField(b.link.writes[0]).left(6), QByteArray("kassir")); // КАССИР in the KKT code
    QCOMPARE(ValueField(b.link.writes[3]).left(3), QByteArray("PW\0", 3));
    QCOMPARE(ValueField(b.link.writes[4]).left(12), QByteArray("123456789012"));
    QCOMPARE(b.positions, (QList<int> { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 }));
    QCOMPARE(b.idles, 10);
}

void TestTableRun::addressesOfTables_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QList<Addr>>("expected");
    QTest::newRow("header lines 5-6") << int(TableKind::Klishe) << 5 << 6 << QList<Addr> { { 4, 1, 4 }, { 4, 1, 5 } };
    QTest::newRow("header line 21") << int(TableKind::Klishe) << 21 << 21 << QList<Addr> { { 4, 1, 20 } };
    QTest::newRow("agents 5-9") << int(TableKind::Agents) << 5 << 9
                                << QList<Addr> { { 6, 5, 0 }, { 6, 6, 0 }, { 6, 6, 1 }, { 6, 6, 2 }, { 6, 6, 3 } };
    QTest::newRow("agents 10-12") << int(TableKind::Agents) << 10 << 12
                                  << QList<Addr> { { 6, 7, 0 }, { 6, 7, 1 }, { 6, 8, 0 } };
    QTest::newRow("groups 8") << int(TableKind::Usl) << 8 << 8 << QList<Addr> { { 2, 8, 0 }, { 2, 8, 1 } };
    QTest::newRow("enterprises 89-90") << int(TableKind::Factory) << 89 << 90
                                       << QList<Addr> { { 8, 89, 1 }, { 8, 89, 2 }, { 8, 90, 1 }, { 8, 90, 2 } };
    QTest::newRow("stations 40") << int(TableKind::Station) << 40 << 40 << QList<Addr> { { 9, 40, 1 } };
}

void TestTableRun::addressesOfTables()
{
    QFETCH(int, kind);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QList<Addr>, expected);
    const auto k = TableKind(kind);
    for (const RunDirection dir : { RunDirection::Write, RunDirection::Read }) {
        Bench b;
        const auto grid = MakeGrid(k);
        b.acceptAll(int(expected.size()));
        QVERIFY(RunTable(b.channel, b.conn, k, dir, *grid, from, to, b.hooks).ok);
        QCOMPARE(b.addresses(), expected);
        QCOMPARE(PlanRun(k, from, to).size(), expected.size());
    }
}

void TestTableRun::groupCodeBothWays()
{
    Bench b;
    const auto usl = MakeGrid(TableKind::Usl);
    usl->setCell(1, 3, FixedLists::ItemKinds()[4]);
    b.acceptAll(2);
    QVERIFY(RunTable(b.channel, b.conn, TableKind::Usl, RunDirection::Write, *usl, 1, 1, b.hooks).ok);
    QCOMPARE(ValueField(b.link.writes[1]).left(5), QByteArray("0411\0", 5));
    QCOMPARE(quint8(b.link.writes[1][12]), quint8(0x30));

    b.link.writes.clear();
    b.link.answers << ParamAnswer(0x31, "ABC") << ParamAnswer(0x31, "0501");
    QVERIFY(RunTable(b.channel, b.conn, TableKind::Usl, RunDirection::Read, *usl, 1, 1, b.hooks).ok);
    QCOMPARE(quint8(b.link.writes[0][8]), quint8(1)); // read mode
    QCOMPARE(usl->cell(1, 1), u"ABC"_s);
    QCOMPARE(usl->cell(1, 2), u"Широкий"_s);
    QCOMPARE(usl->cell(1, 3), FixedLists::ItemKinds()[5]);
    QCOMPARE(usl->cell(1, 4), QString());
    QCOMPARE(usl->cell(1, 5), FixedLists::Taxation()[0]);
}

void TestTableRun::goodsItemBothWays()
{
    Bench b;
    const auto goods = MakeGrid(TableKind::Goods);
    goods->setCell(1, 1, u"MILK"_s);
    goods->setCell(1, 2, u"Широкий"_s);
    goods->setCell(1, 3, u"4600000000001"_s);
    goods->setCell(1, 4, u"35.5"_s);
    goods->setCell(1, 5, u"2"_s);
    goods->setCell(1, 6, u"м"_s);
    b.link.answers << MakeAnswer(46, 0) << MakeAnswer(46, 0);
    QVERIFY(RunTable(b.channel, b.conn, TableKind::Goods, RunDirection::Write, *goods, 1, 2, b.hooks).ok);
    const QByteArray f = b.link.writes[0];
    QCOMPARE(f.size(), 51);
    QCOMPARE(f.mid(8, 4), QByteArray("\x00\x01\x00\x31", 4)); // write, item 1, font "1"
    QCOMPARE(f.mid(12, 5), QByteArray("MILK\0", 5));
    QCOMPARE(f.mid(36, 6), Le(145337488355329ULL, 6));
    QCOMPARE(f.mid(42, 5), Le(3550, 5));
    QCOMPARE(quint8(f[47]), quint8(2));
    const QByteArray empty = b.link.writes[1]; // an empty row writes an empty item
    QCOMPARE(empty.mid(9, 3), QByteArray("\x02\x00\x30", 3));
    QCOMPARE(empty.mid(12, 36), QByteArray(36, '\0'));

    b.link.answers << GoodsAnswer(1, 0x31, "MILK", 145337488355329ULL, 3550, 2);
    const auto back = MakeGrid(TableKind::Goods);
    QVERIFY(RunTable(b.channel, b.conn, TableKind::Goods, RunDirection::Read, *back, 1, 1, b.hooks).ok);
    for (int col = 1; col <= 6; ++col)
        QCOMPARE(back->cell(1, col), col == 4 ? u"35.50"_s : goods->cell(1, col));

    // An answer for another item than asked (a stale frame, noise) is no answer and fills no row at all.
    b.link.answers << GoodsAnswer(7, 0x30, "X", 0, 5, 0);
    const RunResult other = RunTable(b.channel, b.conn, TableKind::Goods, RunDirection::Read, *back, 3, 3, b.hooks);
    QCOMPARE(other.messages, QStringList { u"Внимание!\r\nОшибка (2) при чтении базы. Товар номер 3 !"_s });
    QCOMPARE(back->cell(7, 1), QString());
    QCOMPARE(back->cell(3, 1), QString());
}

void TestTableRun::progressHalvesToEven()
{
    Bench b;
    const auto usl = MakeGrid(TableKind::Usl);
    b.acceptAll(16);
    QVERIFY(RunTable(b.channel, b.conn, TableKind::Usl, RunDirection::Write, *usl, 1, 8, b.hooks).ok);
    QCOMPARE(b.percents, (QList<int> { 6, 12, 19, 25, 31, 38, 44, 50, 56, 62, 69, 75, 81, 88, 94, 100 }));
}

void TestTableRun::silentKkt()
{
    Bench w;
    const auto oper = MakeGrid(TableKind::Oper);
    const RunResult written = RunTable(w.channel, w.conn, TableKind::Oper, RunDirection::Write, *oper, 1, 6, w.hooks);
    QVERIFY(!written.ok);
    QCOMPARE(written.messages, QStringList { u"Внимание!\r\nОшибка (2) при записи оператора с номером 1 !"_s });
    QCOMPARE(w.shown, written.messages);
    QCOMPARE(written.outcome, 2);
    QCOMPARE(written.resumeRow, 1);
    QCOMPARE(w.link.writes.size(), 1);
    QVERIFY(w.percents.isEmpty());

    Bench r;
    oper->setCell(4, 1, u"KEEP"_s);
    const RunResult read = RunTable(r.channel, r.conn, TableKind::Oper, RunDirection::Read, *oper, 1, 6, r.hooks);
    QCOMPARE(read.messages.size(), 6);
    QCOMPARE(read.outcome, 2);
    for (int n = 1; n <= 6; ++n)
        QCOMPARE(read.messages[n - 1], u"Внимание!\r\nОшибка (2) при чтении операторов. Оператор номер %1 !"_s.arg(n));
    QCOMPARE(r.addresses().size(), 6); // one request per operator, field 0 each
    QCOMPARE(r.addresses().last(), (Addr { 0, 6, 0 }));
    QCOMPARE(oper->cell(4, 1), u"KEEP"_s);
}

void TestTableRun::agentTableCountsFailedRequest()
{
    Bench agents;
    const auto grid = MakeGrid(TableKind::Agents);
    agents.acceptAll(1);
    const RunResult r
        = RunTable(agents.channel, agents.conn, TableKind::Agents, RunDirection::Read, *grid, 1, 12, agents.hooks);
    QCOMPARE(r.messages, QStringList { u"Внимание!\r\nОшибка (2) при чтении строки параметра агента с номером 2 !"_s });
    QCOMPARE(agents.positions, (QList<int> { 1, 2 }));

    Bench stations;
    const auto st = MakeGrid(TableKind::Station);
    stations.acceptAll(1);
    const RunResult s
        = RunTable(stations.channel, stations.conn, TableKind::Station, RunDirection::Read, *st, 1, 40, stations.hooks);
    QCOMPARE(s.messages, QStringList { u"Внимание!\r\nОшибка (2) при чтении строки станции с номером 2 !"_s });
    QCOMPARE(stations.positions, (QList<int> { 1 }));
}

void TestTableRun::goodsRowsRefusedBeforeSending_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message"); // empty: the value passes and is sent
    QTest::addColumn<int>("outcome");

    const QString badBarcode
        = u"ВНИМАНИЕ!\r\nНеверный штрих-код товара номер 2! Штрих-код должен быть числом меньше 140737488355328."_s;
    const QString outcome5 = u"Внимание!\r\nОшибка (5) при записи базы. Товар номер 2 !"_s;
    const auto add = [](const char *name, int col, const QString &value, const QString &message, int outcome = 0) {
        QTest::newRow(name) << col << value << message << outcome;
    };
    add("barcode with a letter", GoodsCol::Barcode, u"46O0"_s, badBarcode);
    add("barcode on the marking bit", GoodsCol::Barcode, u"140737488355328"_s, badBarcode);
    add("price with a comma", GoodsCol::Price, u"12,5"_s,
        u"ВНИМАНИЕ!\r\nНеверная цена товара номер 2: \"12,5\"! Цена должна быть числом с точкой (12.50)."_s);
    add("negative price", GoodsCol::Price, u"-5"_s,
        u"ВНИМАНИЕ!\r\nНеверная цена товара номер 2: \"-5\"! Цена не может быть отрицательной."_s);
    add("one kopeck below zero", GoodsCol::Price, u"-0.01"_s,
        u"ВНИМАНИЕ!\r\nНеверная цена товара номер 2: \"-0.01\"! Цена не может быть отрицательной."_s);
    add("negative beyond the field", GoodsCol::Price, u"-99999999999"_s,
        u"ВНИМАНИЕ!\r\nНеверная цена товара номер 2: \"-99999999999\"! Цена не может быть отрицательной."_s);
    add("price above the field", GoodsCol::Price, u"21474836.48"_s, outcome5, 5);
    add("price far above the field", GoodsCol::Price, u"99999999"_s, outcome5, 5);
    add("the highest price", GoodsCol::Price, u"21474836.47"_s, QString());
    add("minus zero", GoodsCol::Price, u"-0.00"_s, QString());
    add("the highest barcode", GoodsCol::Barcode, u"140737488355327"_s, QString());
}

// A row the register could not take, or would give back as another value, is
// refused before a byte is sent; the run stops there, and the check before
// writing names the same cell as the one the write stops at.
void TestTableRun::goodsRowsRefusedBeforeSending()
{
    QFETCH(int, col);
    QFETCH(QString, value);
    QFETCH(QString, message);
    QFETCH(int, outcome);
    const auto goods = MakeGrid(TableKind::Goods);
    goods->setCell(2, col, value);
    Bench b;
    b.link.answers << MakeAnswer(46, 0) << MakeAnswer(46, 0) << MakeAnswer(46, 0);
    const RunResult r = RunTable(b.channel, b.conn, TableKind::Goods, RunDirection::Write, *goods, 1, 3, b.hooks);
    const QList<StoreIssue> issues = CheckBeforeWrite(TableKind::Goods, *goods, 1, 3);
    if (message.isEmpty()) {
        QVERIFY(r.ok);
        QCOMPARE(b.link.writes.size(), 3);
        QVERIFY(std::none_of(issues.cbegin(), issues.cend(), [](const StoreIssue &i) { return i.refused(); }));
        return;
    }
    QCOMPARE(r.messages, QStringList { message });
    QCOMPARE(int(r.outcome), outcome);
    QCOMPARE(b.link.writes.size(), 1); // row 1 went, row 2 and on did not
    QCOMPARE(r.resumeRow, 2);
    QCOMPARE(issues.size(), 1);
    QCOMPARE(issues.first().row, 2);
    QCOMPARE(issues.first().col, col);
    QVERIFY(issues.first().refused());
    QCOMPARE(issues.first().stored, u"запись остановится на этой строке"_s);
}

void TestTableRun::undefinedCasesAreRefused()
{
    const auto goods = MakeGrid(TableKind::Goods);
    {
        Bench b;
        b.link.answers << GoodsAnswer(2, 0x30, "X", 0, 2147483648ULL, 0) << GoodsAnswer(0, 0x30, "X", 0, 0, 0);
        const RunResult r = RunTable(b.channel, b.conn, TableKind::Goods, RunDirection::Read, *goods, 2, 2, b.hooks);
        QCOMPARE(r.messages,
            QStringList { u"ВНИМАНИЕ!\r\nККТ вернула недопустимую цену товара номер 2 (2147483648 коп.)!"_s });
        QCOMPARE(goods->cell(2, 1), QString());
        const RunResult zero = RunTable(b.channel, b.conn, TableKind::Goods, RunDirection::Read, *goods, 2, 2, b.hooks);
        QCOMPARE(zero.messages, QStringList { u"Внимание!\r\nОшибка (2) при чтении базы. Товар номер 2 !"_s });
        QCOMPARE(goods->cell(0, 1), u"Наименование"_s); // never the title row
    }
    {
        Bench b;
        const auto usl = MakeGrid(TableKind::Usl);
        usl->setCell(3, 3, QString());
        b.acceptAll(6);
        const RunResult r = RunTable(b.channel, b.conn, TableKind::Usl, RunDirection::Write, *usl, 2, 4, b.hooks);
        QCOMPARE(r.messages, QStringList { u"ВНИМАНИЕ!\r\nНе выбран признак предмета расчета у группы номер 3!"_s });
        QCOMPARE(b.addresses(), (QList<Addr> { { 2, 2, 0 }, { 2, 2, 1 }, { 2, 3, 0 } }));
    }
    // A range that the page's check refuses sends nothing and fails with that check's message.
    const QString badStart = u"ВНИМАНИЕ!\r\nНеверно введено значение начала диапазона!"_s;
    const QString badEnd = u"ВНИМАНИЕ!\r\nНеверно введено значение конца диапазона!"_s;
    const QString zeroStart = u"ВНИМАНИЕ!\r\nЗначение начала диапазона не может начинаться с 0!"_s;
    for (const auto &[from, to, message] :
        { std::tuple { 0, 7, zeroStart }, std::tuple { 1, 7, badEnd }, std::tuple { 4, 3, badStart } }) {
        Bench b;
        const auto oper = MakeGrid(TableKind::Oper);
        const RunResult r = RunTable(b.channel, b.conn, TableKind::Oper, RunDirection::Write, *oper, from, to, b.hooks);
        QVERIFY(!r.ok);
        QCOMPARE(r.messages, QStringList { message });
        QVERIFY(b.link.writes.isEmpty());
    }
}

void TestTableRun::gsmParameters()
{
    Bench b;
    const auto gsm = MakeGrid(TableKind::Gsm);
    const QString server = u"ofd.example-server.ru/ab"_s + u"c12345"_s; // 30 characters
    gsm->setCell(1, 1, u"10.0.0.1"_s);
    gsm->setCell(2, 1, server);
    gsm->setCell(3, 1, u"7777"_s);
    gsm->setCell(5, 1, u"internet"_s);
    b.acceptAll(9);
    QVERIFY(RunTable(b.channel, b.conn, TableKind::Gsm, RunDirection::Write, *gsm, 1, 1, b.hooks).ok);
    QCOMPARE(b.addresses(),
        (QList<Addr> { { 5, 1, 0 }, { 5, 2, 0 }, { 5, 3, 0 }, { 5, 3, 1 }, { 5, 3, 2 }, { 5, 4, 0 }, { 5, 5, 0 },
            { 5, 6, 0 }, { 5, 7, 0 } }));
    QCOMPARE(ValueField(b.link.writes[1]).left(5), QByteArray("7777\0", 5)); // parameter 2 is the grid's row 3
    QCOMPARE(ValueField(b.link.writes[2]), server.left(24).toUpper().toLatin1());
    QCOMPARE(ValueField(b.link.writes[3]), QByteArray("C12345") + QByteArray(18, '\0'));
    QCOMPARE(ValueField(b.link.writes[4]), QByteArray(24, '\0')); // the empty third part is sent too
    QCOMPARE(ValueField(b.link.writes[6]).left(9), QByteArray("internet\0", 9)); // APN keeps its case
    QCOMPARE(b.percents, (QList<int> { 14, 29, 43, 57, 71, 86, 100 }));

    b.link.writes.clear();
    b.link.answers << ParamAnswer(0x30, "1.2.3.4") << ParamAnswer(0x30, "80")
                   << ParamAnswer(0x30, "ABCDEFGHIJKLMNOPQRSTUVWX") << ParamAnswer(0x30, "YZ") << ParamAnswer(0x30, "")
                   << ParamAnswer(0x30, "0000") << ParamAnswer(0x30, QByteArray("apn\0x", 5)) << ParamAnswer(0x30, "")
                   << ParamAnswer(0x30, "");
    QVERIFY(RunTable(b.channel, b.conn, TableKind::Gsm, RunDirection::Read, *gsm, 1, 1, b.hooks).ok);
    QCOMPARE(gsm->cell(1, 1), u"1.2.3.4"_s);
    QCOMPARE(gsm->cell(3, 1), u"80"_s);
    QCOMPARE(gsm->cell(2, 1), u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s);
    QCOMPARE(gsm->cell(5, 1), u"apnx"_s); // plain bytes: zeros dropped wherever they stand
}

void TestTableRun::gsmFailureNamesParameter()
{
    Bench b;
    const auto gsm = MakeGrid(TableKind::Gsm);
    gsm->setCell(2, 1, u"KEEP"_s);
    b.link.answers << ParamAnswer(0x30, "1.1.1.1") << ParamAnswer(0x30, "80") << ParamAnswer(0x30, "A");
    const RunResult r = RunGsm(b.channel, b.conn, RunDirection::Read, *gsm, b.hooks);
    QCOMPARE(r.messages, QStringList { u"ВНИМАНИЕ!\r\nНе удалось прочитать параметр Имя сервера!"_s });
    QCOMPARE(gsm->cell(2, 1), u"KEEP"_s); // a part was read, but the parameter failed
    QCOMPARE(gsm->cell(3, 1), u"80"_s);

    Bench w;
    w.link.openFails = true;
    const RunResult written = RunGsm(w.channel, w.conn, RunDirection::Write, *gsm, w.hooks);
    QCOMPARE(written.messages, QStringList { u"ВНИМАНИЕ!\r\nНе удалось записать параметр IP адрес сервера!"_s });
    QCOMPARE(written.outcome, 1);
}

void TestTableRun::clearGoodsBase()
{
    QCOMPARE(ClearBaseQuestion(), u"Внимание!\r\nВы действительно хотите очистить базу в ККТ!"_s);
    Bench b;
    b.link.openFails = true;
    PageResult r = ClearGoodsBase(b.channel, b.conn);
    QVERIFY(!r.ok);
    QCOMPARE(r.message, u"Внимание!\r\nОшибка очистки базы - 1!"_s);
    b.link.openFails = false;
    b.link.answers << MakeAnswer(7, 0);
    r = ClearGoodsBase(b.channel, b.conn);
    QVERIFY(r.ok);
    QCOMPARE(r.message, u"База успешно очищена!"_s);
    QCOMPARE(b.link.openedTimeOut, 30000u);
}

void TestTableRun::stopEndsRunAfterRequest()
{
    const auto oper = MakeGrid(TableKind::Oper);
    Bench whole;
    whole.acceptAll(15);
    const RunResult done
        = RunTable(whole.channel, whole.conn, TableKind::Oper, RunDirection::Write, *oper, 2, 4, whole.hooks);
    QVERIFY(done.ok && !done.stopped);
    QCOMPARE(done.count, 3);
    QCOMPARE(done.resumeRow, 0);
    QCOMPARE(whole.asked, 15); // asked after every request
    QCOMPARE(whole.rowsTotal, 3);
    QCOMPARE(whole.rowsDone, (QList<int> { 0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3 }));

    Bench stopped;
    stopped.acceptAll(15);
    stopped.stopAfter = 7; // the second field of operator 3
    const RunResult r
        = RunTable(stopped.channel, stopped.conn, TableKind::Oper, RunDirection::Write, *oper, 2, 4, stopped.hooks);
    QVERIFY(r.ok);
    QVERIFY(r.stopped);
    QCOMPARE(r.count, 1); // operator 2 only; operator 3 is half written
    QCOMPARE(r.partialRow, 3);
    QCOMPARE(r.partialFields, 2);
    QCOMPARE(r.resumeRow, 3); // a continuation writes operator 3 again, whole
    QCOMPARE(stopped.link.writes.size(), 7);
    QVERIFY(stopped.shown.isEmpty());
    QVERIFY(r.messages.isEmpty());

    // Reading operators goes on past a failure: the failed operator is not counted, and stop still ends it.
    Bench reading;
    reading.stopAfter = 2;
    const RunResult read
        = RunTable(reading.channel, reading.conn, TableKind::Oper, RunDirection::Read, *oper, 1, 6, reading.hooks);
    QVERIFY(!read.ok);
    QVERIFY(read.stopped);
    QCOMPARE(read.count, 0);
    QCOMPARE(read.messages.size(), 2);
    QCOMPARE(read.message, read.messages.first());
    QCOMPARE(read.resumeRow, 1); // the first operator that failed

    // Stopped right after a whole row: the next row is where it goes on.
    Bench rowEnd;
    rowEnd.acceptAll(15);
    rowEnd.stopAfter = 5;
    const RunResult atRowEnd
        = RunTable(rowEnd.channel, rowEnd.conn, TableKind::Oper, RunDirection::Write, *oper, 2, 4, rowEnd.hooks);
    QCOMPARE(atRowEnd.count, 1);
    QCOMPARE(atRowEnd.partialRow, 0);
    QCOMPARE(atRowEnd.resumeRow, 3);

    Bench gsm;
    gsm.acceptAll(9);
    gsm.stopAfter = 3; // after the server name's three parts
    const auto grid = MakeGrid(TableKind::Gsm);
    const RunResult g = RunTable(gsm.channel, gsm.conn, TableKind::Gsm, RunDirection::Write, *grid, 1, 7, gsm.hooks);
    QVERIFY(g.ok && g.stopped);
    QCOMPARE(g.count, 3);
    QCOMPARE(gsm.link.writes.size(), 5);
    QCOMPARE(gsm.rowsDone, (QList<int> { 1, 2, 3 }));
}

QTEST_GUILESS_MAIN(TestTableRun)
#include "TestTableRun.moc"
