#include "ScriptedLink.h"

#include "kkt/ComPort.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
constexpr int kLinkAnswer = 31;

struct Run
{
    ScriptedLink link;
    KktChannel channel { link };
    KktConnection conn { u"KKT-EMU"_s, 115200, 700, 0, 0 };
    QStringList log;

    Run()
    {
        channel.setLogSink([this](const TBufKKT &buf, bool answer) { log << LogBufText(buf, answer); });
    }
    quint8 testLink()
    {
        TTestLinkAnswer answer;
        return RequestTestLink(channel, conn, answer);
    }
};
} // namespace

class TestKktTransaction : public QObject
{
    Q_OBJECT
private slots:
    void busyRetries_data();
    void busyRetries();
    void failuresEndAtOnce_data();
    void failuresEndAtOnce();
    void shortValidAnswerAccepted();
    void portNotOpened();
    void badNumberSendsNothing();
    void frameCarriesKktNumberLittleEndian();
    void busyWriteRepeatsIdenticalFrame();
    void errorStatusStillTakesOverAnswer();
};

void TestKktTransaction::busyRetries_data()
{
    QTest::addColumn<int>("busyCount");
    QTest::addColumn<quint8>("busyStatus");
    QTest::addColumn<int>("writes");
    QTest::addColumn<quint8>("outcome");

    QTest::newRow("busy 9 then done") << 9 << quint8(0x15) << 10 << quint8(0);
    QTest::newRow("busy 10 times") << 10 << quint8(0x15) << 10 << quint8(21);
    QTest::newRow("status 20 counts as busy") << 3 << quint8(20) << 4 << quint8(0);
    QTest::newRow("status 22 counts as busy") << 10 << quint8(22) << 10 << quint8(22);
}

void TestKktTransaction::busyRetries()
{
    QFETCH(int, busyCount);
    QFETCH(quint8, busyStatus);
    QFETCH(int, writes);
    QFETCH(quint8, outcome);
    Run run;
    for (int i = 0; i < busyCount; ++i)
        run.link.answers << MakeAnswer(kLinkAnswer, busyStatus);
    run.link.answers << MakeAnswer(kLinkAnswer, 0) << MakeAnswer(kLinkAnswer, 0);
    QCOMPARE(run.testLink(), outcome);
    QCOMPARE(run.link.writes.size(), writes);
    QCOMPARE(run.link.purges, writes);
    QCOMPARE(run.log.size(), 2 * writes);
    QCOMPARE(run.link.opens, 1);
    QCOMPARE(run.link.closes, 1);
}

void TestKktTransaction::failuresEndAtOnce_data()
{
    QTest::addColumn<QList<QByteArray>>("answers");
    QTest::addColumn<quint8>("outcome");
    QTest::addColumn<int>("writes");

    QByteArray swapped = MakeAnswer(kLinkAnswer, 0);
    std::swap(swapped[kLinkAnswer - 1], swapped[kLinkAnswer - 2]);
    QByteArray cut = MakeAnswer(kLinkAnswer, 0).left(12);

    QTest::newRow("silence") << QList<QByteArray> { QByteArray() } << quint8(2) << 1;
    QTest::newRow("busy then silence") << QList<QByteArray> { MakeAnswer(kLinkAnswer, 0x15), QByteArray() } << quint8(2)
                                       << 2;
    QTest::newRow("swapped checksum") << QList<QByteArray> { swapped, MakeAnswer(kLinkAnswer, 0) } << quint8(3) << 1;
    QTest::newRow("partial answer") << QList<QByteArray> { cut, MakeAnswer(kLinkAnswer, 0) } << quint8(3) << 1;
    QTest::newRow("three bytes carry no status")
        << QList<QByteArray> { QByteArray::fromHex("171900") } << quint8(3) << 1;
    QTest::newRow("one byte") << QList<QByteArray> { QByteArray::fromHex("00") } << quint8(3) << 1;
    // A line in break state: zero bytes sum to a matching checksum and read as status 0.
    QTest::newRow("zero bytes of full length") << QList<QByteArray> { QByteArray(kLinkAnswer, 0) } << quint8(3) << 1;
    QTest::newRow("seven zero bytes") << QList<QByteArray> { QByteArray(7, 0) } << quint8(3) << 1;
    QTest::newRow("error status") << QList<QByteArray> { MakeAnswer(kLinkAnswer, 0x42) } << quint8(0x42) << 1;
    QTest::newRow("status 2 from the KKT") << QList<QByteArray> { MakeAnswer(kLinkAnswer, 2) } << quint8(2) << 1;
}

void TestKktTransaction::failuresEndAtOnce()
{
    QFETCH(QList<QByteArray>, answers);
    QFETCH(quint8, outcome);
    QFETCH(int, writes);
    Run run;
    run.link.answers = answers;
    QCOMPARE(run.testLink(), outcome);
    QCOMPARE(run.link.writes.size(), writes);
    QCOMPARE(run.link.closes, 1);
}

void TestKktTransaction::shortValidAnswerAccepted()
{
    Run run;
    run.link.answers << MakeAnswer(7, 0x33);
    QCOMPARE(run.testLink(), quint8(0x33));
    run.link.answers << MakeAnswer(7, 0);
    QCOMPARE(run.testLink(), quint8(0));
}

void TestKktTransaction::portNotOpened()
{
    Run run;
    run.link.openFails = true;
    QCOMPARE(run.testLink(), quint8(1));
    QVERIFY(run.link.writes.isEmpty());
    QVERIFY(run.log.isEmpty());
    QCOMPARE(run.link.closes, 0);
}

void TestKktTransaction::badNumberSendsNothing()
{
    Run run;
    quint16 number = 1, font = KktFont::Narrow;
    quint8 section = 0;
    QString name = u"ХЛЕБ"_s, barcode = u"12a"_s, price = u"100"_s;
    QCOMPARE(RequestPredmRasch(run.channel, run.conn, KktMode::Write, number, font, name, barcode, price, section),
        quint8(5));
    barcode = u"1"_s;
    price = u"2147483648"_s; // beyond signed 32 bits
    QCOMPARE(RequestPredmRasch(run.channel, run.conn, KktMode::Write, number, font, name, barcode, price, section),
        quint8(5));
    QVERIFY(run.link.writes.isEmpty());
    QVERIFY(run.log.isEmpty());
    QCOMPARE(run.link.closes, 2);
}

void TestKktTransaction::frameCarriesKktNumberLittleEndian()
{
    Run run;
    run.conn.NumKKT = 0x01020304;
    run.link.answers << MakeAnswer(kLinkAnswer, 0);
    run.testLink();
    QCOMPARE(run.link.writes.first().toHex(), QByteArray("170204030201750b19bc00"));
    QCOMPARE(run.link.openedName, u"KKT-EMU"_s);
    QCOMPARE(run.link.openedSpeed, 115200u);
    QCOMPARE(run.link.openedTimeOut, 700u);
}

void TestKktTransaction::busyWriteRepeatsIdenticalFrame()
{
    Run run;
    run.link.answers << MakeAnswer(36, 0x15) << MakeAnswer(36, 0);
    quint16 font = KktFont::Narrow;
    QString value = u"internet"_s;
    QCOMPARE(RequestParam(run.channel, run.conn, KktMode::Write, 5, 5, 0, font, value, false), quint8(0));
    QCOMPARE(run.link.writes.size(), 2);
    QCOMPARE(run.link.writes[0], run.link.writes[1]);
    QCOMPARE(value, u"internet"_s);
}

void TestKktTransaction::errorStatusStillTakesOverAnswer()
{
    Run run;
    QByteArray payload(40, 0);
    payload[0] = 7; // item number 7 at offset 4
    payload[3] = 'A'; // name at offset 7
    run.link.answers << MakeAnswer(46, 0x40, payload);
    quint16 number = 7, font = 0;
    quint8 section = 9;
    QString name, barcode, price;
    QCOMPARE(RequestPredmRasch(run.channel, run.conn, KktMode::Read, number, font, name, barcode, price, section),
        quint8(0x40));
    QCOMPARE(name, u"A"_s);
    QCOMPARE(section, quint8(0));
}

QTEST_GUILESS_MAIN(TestKktTransaction)
#include "TestKktTransaction.moc"
