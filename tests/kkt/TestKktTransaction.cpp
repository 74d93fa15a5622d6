#include "ScriptedLink.h"

#include "kkt/ComPort.h"

#include <QTest>

#include <cstring>

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
    quint8 readParam(quint8 row, QString &value)
    {
        quint16 font = KktFont::Narrow;
        return RequestParam(channel, conn, KktMode::Read, 0, row, 0, font, value, true);
    }
};

// The bytes followed by their checksum.
QByteArray WithChecksum(const QByteArray &head)
{
    TBufKKT buf;
    std::memcpy(buf.data, head.constData(), size_t(head.size()));
    buf.count = quint32(head.size() + 2);
    SetCheckSum(buf);
    return QByteArray(reinterpret_cast<const char *>(buf.data), qsizetype(buf.count));
}

// A table parameter answer carrying value at offset 9.
QByteArray ParamAnswer(const QByteArray &value)
{
    return MakeAnswer(36, 0, QByteArray(5, '\0') + value);
}
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
    void answersThatAnswerNothing_data();
    void answersThatAnswerNothing();
    void echoOfEveryRequestIsNoAnswer();
    void strayBytesAfterAWholeAnswer();
    void lateAnswerIsDroppedNotTaken();
    void goodsReadAboutAnotherItem();
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

void TestKktTransaction::answersThatAnswerNothing_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("echo");
    QTest::addColumn<QByteArray>("afterAnswer");
    QTest::addColumn<QString>("fault");

    const QByteArray good = MakeAnswer(kLinkAnswer, 0);
    // The request of a link check for KKT 0, sent back by the line: its checksum
    // is right and its byte 3 (the KKT number's) reads as status 0.
    QTest::newRow("echo") << QByteArray() << true << QByteArray() << u"сам запрос"_s;
    // Four bytes a, b, a + b, 0: the checksum matches and the status is its high byte.
    QTest::newRow("four bytes") << QByteArray::fromHex("05070c00") << false << QByteArray() << u"всего 4 байт"_s;
    QTest::newRow("six bytes") << WithChecksum(QByteArray::fromHex("17020000")) << false << QByteArray()
                               << u"всего 6 байт"_s;
    QTest::newRow("answer followed by more") << good << false << QByteArray::fromHex("1702") << u"ещё байты"_s;
}

void TestKktTransaction::answersThatAnswerNothing()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, echo);
    QFETCH(QByteArray, afterAnswer);
    QFETCH(QString, fault);
    Run run;
    run.link.echo = echo;
    run.link.answers << answer;
    run.link.arriveAfterAnswer = afterAnswer;
    QCOMPARE(run.testLink(), KktOutcome::NoAnswer);
    QVERIFY2(run.channel.lastFault().contains(fault), qPrintable(run.channel.lastFault()));
    QCOMPARE(run.link.writes.size(), 1);
    QCOMPARE(run.link.closes, 1);
    // The next transaction waits for a quiet line first and then works.
    run.link.echo = false;
    run.link.answers = { MakeAnswer(kLinkAnswer, 0) };
    QCOMPARE(run.testLink(), KktOutcome::Ok);
    QCOMPARE(run.link.quietWaits, 1);
    QVERIFY(run.channel.lastFault().isEmpty());
}

void TestKktTransaction::echoOfEveryRequestIsNoAnswer()
{
    // Only the answer's length of each echo is read: the beginning of the request.
    Run run;
    run.link.echo = true;
    QString value = u"kept"_s;
    QCOMPARE(run.readParam(1, value), KktOutcome::NoAnswer);
    QCOMPARE(value, u"kept"_s);
    quint16 number = 3, font = 0;
    quint8 section = 0;
    QString name, barcode, price;
    QCOMPARE(RequestPredmRasch(run.channel, run.conn, KktMode::Read, number, font, name, barcode, price, section),
        KktOutcome::NoAnswer);
    quint8 status = 0xFF;
    QCOMPARE(RequestClearBase(run.channel, run.conn, status), KktOutcome::NoAnswer);
    QVERIFY(run.channel.lastFault().contains(u"сам запрос"_s));
}

void TestKktTransaction::strayBytesAfterAWholeAnswer()
{
    Run run;
    QString value;
    run.link.answers << ParamAnswer("ONE");
    QCOMPARE(run.readParam(1, value), KktOutcome::Ok);
    // A repeat of that answer waits at the next purge: that request is not sent.
    run.link.waiting = ParamAnswer("ONE");
    run.link.answers << ParamAnswer("TWO");
    QCOMPARE(run.readParam(2, value), KktOutcome::NoAnswer);
    QCOMPARE(value, u"ONE"_s);
    QCOMPARE(run.link.writes.size(), 1);
    QVERIFY2(run.channel.lastFault().contains(u"лишние байты"_s), qPrintable(run.channel.lastFault()));
    // Bytes that come in the pause after the purge, when nothing is asked, likewise.
    run.link.arriveInPause << QByteArray("\x17", 1);
    QCOMPARE(run.readParam(2, value), KktOutcome::NoAnswer);
    QCOMPARE(run.link.writes.size(), 1);
    QVERIFY2(run.channel.lastFault().contains(u"ни о чём не спрашивали"_s), qPrintable(run.channel.lastFault()));
    // Once the line is quiet again, the request goes out and gets its own answer.
    QCOMPARE(run.readParam(2, value), KktOutcome::Ok);
    QCOMPARE(value, u"TWO"_s);
    QCOMPARE(run.link.quietWaits, 2);

    // Bytes waiting before the first transaction on a port answer nothing
    // either, but nothing was owed: they are dropped, not reported.
    run.conn.Name = u"COM7"_s;
    run.link.waiting = "noise";
    run.link.answers << ParamAnswer("THREE");
    QCOMPARE(run.readParam(3, value), KktOutcome::Ok);
    QCOMPARE(value, u"THREE"_s);
    QCOMPARE(run.link.quietWaits, 3);
}

void TestKktTransaction::lateAnswerIsDroppedNotTaken()
{
    // Operator 1's answer comes after its time-out, while operator 2 is asked.
    Run run;
    QString value;
    run.link.answers << QByteArray() << ParamAnswer("OPERATOR 2");
    QCOMPARE(run.readParam(1, value), KktOutcome::NoAnswer);
    run.link.lateAnswer = ParamAnswer("OPERATOR 1");
    QCOMPARE(run.readParam(2, value), KktOutcome::Ok);
    QCOMPARE(value, u"OPERATOR 2"_s);
    // The wait: the line quiet for 300 ms, at most the interval time-out in all.
    QCOMPARE(run.link.quietWaits, 1);
    QCOMPARE(run.link.lastQuietMs, 300);
    QCOMPARE(run.link.lastQuietMaxMs, SerialLink::kIntervalTimeOutMs);
    // A whole answer leaves nothing owed: the next transaction does not wait.
    run.link.answers << ParamAnswer("OPERATOR 3");
    QCOMPARE(run.readParam(3, value), KktOutcome::Ok);
    QCOMPARE(run.link.quietWaits, 1);
}

void TestKktTransaction::goodsReadAboutAnotherItem()
{
    Run run;
    QByteArray payload(40, 0);
    payload[0] = 7; // item number 7 at offset 4
    payload[3] = 'A';
    run.link.answers << MakeAnswer(46, 0, payload) << MakeAnswer(7, 0);
    for (int i = 0; i < 2; ++i) {
        quint16 number = 3, font = 0x31;
        quint8 section = 9;
        QString name = u"kept"_s, barcode, price;
        QCOMPARE(RequestPredmRasch(run.channel, run.conn, KktMode::Read, number, font, name, barcode, price, section),
            KktOutcome::NoAnswer);
        QCOMPARE(number, quint16(3));
        QCOMPARE(name, u"kept"_s);
        QCOMPARE(section, quint8(9));
        const QString fault
            = i == 0 ? u"о товаре номер 7, а спрошен товар номер 3"_s : u"нет записи товара (7 байт из 46)"_s;
        QVERIFY2(run.channel.lastFault().contains(fault), qPrintable(run.channel.lastFault()));
    }
    // A write is answered by a bare status.
    run.link.answers << MakeAnswer(7, 0);
    quint16 number = 3, font = 0x30;
    quint8 section = 0;
    QString name = u"A"_s, barcode = u"1"_s, price = u"100"_s;
    QCOMPARE(RequestPredmRasch(run.channel, run.conn, KktMode::Write, number, font, name, barcode, price, section),
        KktOutcome::Ok);
}

QTEST_GUILESS_MAIN(TestKktTransaction)
#include "TestKktTransaction.moc"
