// The emulator's command line: numbers are decimal unless written with 0x.

#include "EmulatorOptions.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestEmulatorOptions : public QObject
{
    Q_OBJECT
private slots:
    void numbers_data();
    void numbers();
    void badNumbers_data();
    void badNumbers();
};

void TestEmulatorOptions::numbers_data()
{
    QTest::addColumn<QString>("kkt");
    QTest::addColumn<QString>("busy");
    QTest::addColumn<quint32>("kktNumber");
    QTest::addColumn<int>("busyCount");

    QTest::newRow("plain decimal") << u"12345"_s << u"3"_s << 12345u << 3;
    QTest::newRow("leading zeros stay decimal") << u"010"_s << u"08"_s << 10u << 8;
    QTest::newRow("zero") << u"0"_s << u"00"_s << 0u << 0;
    QTest::newRow("hexadecimal") << u"0x1F"_s << u"0X0a"_s << 31u << 10;
    QTest::newRow("largest number") << u"4294967295"_s << u"1000000"_s << 4294967295u << 1000000;
    QTest::newRow("largest number in hex") << u"0xFFFFFFFF"_s << u"0"_s << 0xFFFFFFFFu << 0;
}

void TestEmulatorOptions::numbers()
{
    QFETCH(QString, kkt);
    QFETCH(QString, busy);
    QFETCH(quint32, kktNumber);
    QFETCH(int, busyCount);
    EmulatorOptions options;
    QString error, help;
    QVERIFY2(ParseEmulatorOptions({ u"kkt-emulator"_s, u"--kkt"_s, kkt, u"--busy"_s, busy }, options, error, help),
        qPrintable(error));
    QCOMPARE(options.kktNumber, kktNumber);
    QCOMPARE(options.faults.busy, busyCount);
}

void TestEmulatorOptions::badNumbers_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("value");

    QTest::newRow("beyond 32 bits") << u"kkt"_s << u"4294967296"_s;
    QTest::newRow("status beyond a byte") << u"status"_s << u"0x100"_s;
    QTest::newRow("negative") << u"busy"_s << u"-1"_s;
    QTest::newRow("sign") << u"busy"_s << u"+1"_s;
    QTest::newRow("prefix without digits") << u"kkt"_s << u"0x"_s;
    QTest::newRow("prefix twice") << u"kkt"_s << u"0x0x1F"_s;
    QTest::newRow("hex digits without prefix") << u"kkt"_s << u"1F"_s;
    QTest::newRow("spaces") << u"delay-ms"_s << u" 5"_s;
    QTest::newRow("empty") << u"delay-ms"_s << QString();
}

void TestEmulatorOptions::badNumbers()
{
    QFETCH(QString, option);
    QFETCH(QString, value);
    EmulatorOptions options;
    QString error, help;
    QVERIFY(!ParseEmulatorOptions({ u"kkt-emulator"_s, u"--"_s + option, value }, options, error, help));
    QVERIFY2(error.startsWith(u"значение --%1 должно быть целым числом от 0 до "_s.arg(option)), qPrintable(error));
    QVERIFY(help.isEmpty());
}

QTEST_GUILESS_MAIN(TestEmulatorOptions)
#include "TestEmulatorOptions.moc"
