#include "kkt/ExchangeLog.h"
#include "kkt/KktFrame.h"

#include <QTest>

using namespace Qt::StringLiterals;

static TBufKKT Buf(std::initializer_list<int> bytes)
{
    TBufKKT buf;
    for (int b : bytes)
        buf.data[buf.count++] = quint8(b);
    return buf;
}

class TestKktFrame : public QObject
{
    Q_OBJECT
private slots:
    void linkCheckChecksum();
    void checksumVerdicts_data();
    void checksumVerdicts();
    void logText_data();
    void logText();
    void dumpNumbersAllPositions();
};

void TestKktFrame::linkCheckChecksum()
{
    TBufKKT buf = Buf({ 0x17, 0x02, 0x00, 0x00, 0x00, 0x00, 0x75, 0x0B, 0x19, 0x00, 0x00 });
    SetCheckSum(buf);
    QCOMPARE(buf.data[9], quint8(0xB2));
    QCOMPARE(buf.data[10], quint8(0x00));
    QCOMPARE(TestCheckSum(buf), quint16(0));
}

void TestKktFrame::checksumVerdicts_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("matches");
    // 0x17+0x02+0x00+0x00+0x19 = 0x32; with 0xF0 more it is 0x0122.
    QTest::newRow("sum low byte first") << QByteArray::fromHex("1702000019F02201") << true;
    QTest::newRow("checksum bytes swapped") << QByteArray::fromHex("1702000019F00122") << false;
    QTest::newRow("one byte only") << QByteArray::fromHex("17") << false;
    QTest::newRow("seven-byte answer") << QByteArray::fromHex("17020000193200") << true;
}

void TestKktFrame::checksumVerdicts()
{
    QFETCH(QByteArray, frame);
    QFETCH(bool, matches);
    TBufKKT buf;
    memcpy(buf.data, frame.constData(), size_t(frame.size()));
    buf.count = quint32(frame.size());
    QCOMPARE(TestCheckSum(buf) == 0, matches);
}

void TestKktFrame::logText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("isAnswer");
    QTest::addColumn<QString>("text");

    QTest::newRow("request") << QByteArray::fromHex("021AFF") << false << u"Запрос: \r\n00-02H;  01-1AH;  02-FFH;  "_s;
    QTest::newRow("answer ends with empty line")
        << QByteArray::fromHex("0600") << true << u"Ответ: \r\n00-06H;  01-00H;  \r\n"_s;
    QTest::newRow("empty request") << QByteArray() << false << u"Запрос пуст\r\n"_s;
    QTest::newRow("empty answer") << QByteArray() << true << u"Ответ пуст\r\n"_s;
    QTest::newRow("single byte") << QByteArray::fromHex("0A") << false << u"Запрос: \r\n00-0AH;  "_s;
}

void TestKktFrame::logText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, isAnswer);
    QFETCH(QString, text);
    TBufKKT buf;
    memcpy(buf.data, bytes.constData(), size_t(bytes.size()));
    buf.count = quint32(bytes.size());
    QCOMPARE(LogBufText(buf, isAnswer), text);
}

void TestKktFrame::dumpNumbersAllPositions()
{
    TBufKKT buf;
    for (int i = 0; i < TBufKKT::kSize; ++i)
        buf.data[i] = quint8(i);
    buf.count = TBufKKT::kSize;
    const QString dump = DumpBuf(buf);
    QVERIFY(dump.startsWith(u"00-00H;  01-01H;  "_s));
    QVERIFY(dump.contains(u"09-09H;  10-0AH;  "_s));
    QVERIFY(dump.contains(u"99-63H;  100-64H;  "_s));
    QVERIFY(dump.endsWith(u"255-FFH;  "_s));
    QVERIFY(!dump.contains(QLatin1Char('\n')));
}

QTEST_GUILESS_MAIN(TestKktFrame)
#include "TestKktFrame.moc"
