#include "scanner/ScanAssembly.h"
#include "scanner/ShtrihCheck.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// One read of the scanner's port; an empty entry stands for a wait that found
// nothing received (the line went idle), which drops a partial code.
using Reads = QList<QByteArray>;

struct Fed
{
    QStringList trace;
    QStringList codes;
};

// The bytes of each read as the reader takes them: logged, collected, delivered.
Fed Feed(const Reads &reads)
{
    TScanAssembly assembly;
    Fed fed;
    for (const QByteArray &read : reads) {
        if (read.isEmpty()) {
            assembly.Reset();
            continue;
        }
        const QString text = TScanAssembly::BufToLogStr(read);
        if (text.isEmpty())
            continue;
        fed.trace << u"buf = "_s + text;
        const TScanAssembly::Step step = assembly.Collect(read);
        fed.trace << step.trace;
        if (step.code)
            fed.codes << *step.code;
    }
    return fed;
}

const QString kDigits13 = u"4607001770015"_s;
} // namespace

class TestScanAssembly : public QObject
{
    Q_OBJECT
private slots:
    void recognition_data();
    void recognition();
    void bufToLogStr_data();
    void bufToLogStr();
    void checkShtrihCode_data();
    void checkShtrihCode();
    void verdictText();
};

void TestScanAssembly::recognition_data()
{
    QTest::addColumn<Reads>("reads");
    QTest::addColumn<QStringList>("trace");
    QTest::addColumn<QStringList>("codes");

    const QString d13 = kDigits13;
    QTest::newRow("13 digits + CR") << Reads { "4607001770015\r" }
                                    << QStringList { u"buf = "_s + d13 + u"< 13 >"_s, u"lenEan = 14"_s,
                                           u"EAN13 or EAN8 bufEan = "_s + d13 + u"< 13 >"_s }
                                    << QStringList { d13 };
    QTest::newRow("8 digits + CR") << Reads { "96385074\r" }
                                   << QStringList { u"buf = 96385074< 13 >"_s, u"lenEan = 9"_s,
                                          u"EAN13 or EAN8 bufEan = 96385074< 13 >"_s }
                                   << QStringList { u"96385074"_s };
    // The LF stays behind the CR after the decrement: 14 bytes are no code.
    QTest::newRow("13 digits + CR LF") << Reads { "4607001770015\r\n" }
                                       << QStringList { u"buf = "_s + d13 + u"< 13 >"_s, u"lenEan = 15"_s,
                                              u"EAN13 or EAN8 bufEan = "_s + d13 + u"< 13 >"_s }
                                       << QStringList { QString() };
    QTest::newRow("12 digits + CR") << Reads { "460700177001\r" }
                                    << QStringList { u"buf = 460700177001< 13 >"_s, u"lenEan = 13"_s }
                                    << QStringList { u"460700177001\r"_s };
    QTest::newRow("7 digits + CR") << Reads { "9638507\r" } << QStringList { u"buf = 9638507< 13 >"_s, u"lenEan = 8"_s }
                                   << QStringList { u"9638507\r"_s };
    QTest::newRow("14 characters + CR") << Reads { "46070017700151\r" }
                                        << QStringList { u"buf = 46070017700151< 13 >"_s, u"lenEan = 15"_s }
                                        << QStringList { QString() };
    QTest::newRow("DataMatrix 01..21") << Reads { "0104607001770015215hJk8\r" }
                                       << QStringList { u"buf = 0104607001770015215hJk8< 13 >"_s, u"lenEan = 24"_s,
                                              u"DataMatrix 01-21 bufEan = 0104607001770015215hJk8< 13 >"_s }
                                       << QStringList { d13 };
    QTest::newRow("six zeros") << Reads { "0000009638507412\r" }
                               << QStringList { u"buf = 0000009638507412< 13 >"_s, u"lenEan = 17"_s,
                                      u"DataMatrix EAN8 bufEan = 0000009638507412< 13 >"_s }
                               << QStringList { u"96385074"_s };
    QTest::newRow("other payload") << Reads { "X4607001770015ABCD\r" }
                                   << QStringList { u"buf = X4607001770015ABCD< 13 >"_s, u"lenEan = 19"_s,
                                          u"DataMatrix 0 + \"\" bufEan = X4607001770015ABCD< 13 >"_s }
                                   << QStringList { d13 };
    // A 15-character payload: byte 16 lies beyond the CR, so it is no 01..21 payload.
    QTest::newRow("01 without 21") << Reads { "010460700177001\r" }
                                   << QStringList { u"buf = 010460700177001< 13 >"_s, u"lenEan = 16"_s,
                                          u"DataMatrix 0 + \"\" bufEan = 010460700177001< 13 >"_s }
                                   << QStringList { u"1046070017700"_s };
    QTest::newRow("CR at index 0") << Reads { "\r" } << QStringList { u"buf = < 13 >"_s, u"lenEan = 1"_s }
                                   << QStringList {};
    QTest::newRow("LF only") << Reads { "\n" } << QStringList {} << QStringList {};
    QTest::newRow("blanks and zeros only") << Reads { QByteArray(" \t\0\0", 4) } << QStringList {} << QStringList {};
    QTest::newRow("digits, idle, CR") << Reads { "4607001770015", "",
        "\r" } << QStringList { u"buf = "_s + d13, u"lenEan = 13"_s, u"buf = < 13 >"_s, u"lenEan = 1"_s }
                                      << QStringList {};
    QTest::newRow("code over two reads") << Reads { "46070017", "70015\r" }
                                         << QStringList { u"buf = 46070017"_s, u"lenEan = 8"_s, u"buf = 70015< 13 >"_s,
                                                u"lenEan = 14"_s, u"EAN13 or EAN8 bufEan = "_s + d13 + u"< 13 >"_s }
                                         << QStringList { d13 };
    const QByteArray noise(201, 'A');
    QTest::newRow("more than 200 bytes") << Reads { noise, "4607001770015\r" }
                                         << QStringList { u"buf = "_s + QString(201, u'A'), u"lenEan = 200"_s,
                                                u"buf = "_s + d13 + u"< 13 >"_s, u"lenEan = 200"_s }
                                         << QStringList {};
    QTest::newRow("buffer reset after a code")
        << Reads { "96385074\r", "4607001770015\r" }
        << QStringList { u"buf = 96385074< 13 >"_s, u"lenEan = 9"_s, u"EAN13 or EAN8 bufEan = 96385074< 13 >"_s,
               u"buf = "_s + d13 + u"< 13 >"_s, u"lenEan = 14"_s, u"EAN13 or EAN8 bufEan = "_s + d13 + u"< 13 >"_s }
        << QStringList { u"96385074"_s, d13 };
}

void TestScanAssembly::recognition()
{
    QFETCH(Reads, reads);
    QFETCH(QStringList, trace);
    QFETCH(QStringList, codes);
    const Fed fed = Feed(reads);
    QCOMPARE(fed.trace, trace);
    QCOMPARE(fed.codes, codes);
}

void TestScanAssembly::bufToLogStr_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero fill trimmed") << QByteArray("123\0\0\0", 6) << u"123"_s;
    QTest::newRow("blanks both ends") << QByteArray("\x01 \t12 3\n ") << u"12 3"_s;
    QTest::newRow("CR kept at both ends") << QByteArray("\r12\r\n") << u"< 13 >12< 13 >"_s;
    QTest::newRow("inner zero kept") << QByteArray("1\0"
                                                   "2",
        3) << u"1\u00002"_s;
    QTest::newRow("byte value is the character code") << QByteArray("\xC0\xFF") << u"\u00C0\u00FF"_s;
    QTest::newRow("nothing but blanks") << QByteArray(" \n\0", 3) << QString();
}

void TestScanAssembly::bufToLogStr()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(TScanAssembly::BufToLogStr(bytes), text);
}

void TestScanAssembly::checkShtrihCode_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("valid");
    QTest::newRow("single zero") << u"0"_s << true;
    QTest::newRow("EAN-13") << u"4006381333931"_s << true;
    QTest::newRow("EAN-13 check digit 0") << u"0000000000000"_s << true;
    QTest::newRow("EAN-13 wrong check digit") << u"4006381333932"_s << false;
    QTest::newRow("EAN-8") << u"96385074"_s << true;
    QTest::newRow("EAN-8 wrong check digit") << u"96385075"_s << false;
    QTest::newRow("12 digits + CR") << u"400638133393\r"_s << false;
    QTest::newRow("letter inside") << u"40063813339A1"_s << false;
    QTest::newRow("letter as check digit") << u"9638507A"_s << false;
    QTest::newRow("12 digits") << u"400638133393"_s << false;
    QTest::newRow("14 digits") << u"40063813339310"_s << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("other digit scripts") << u"\u0669\u0666\u0663\u0668\u0665\u0660\u0667\u0664"_s << false;
}

void TestScanAssembly::checkShtrihCode()
{
    QFETCH(QString, value);
    QFETCH(bool, valid);
    QCOMPARE(CheckShtrihCode(value), valid);
}

void TestScanAssembly::verdictText()
{
    const ShtrihVerdict good = ShtrihCodeVerdict(u"96385074"_s, 17);
    QVERIFY(good.valid);
    QCOMPARE(good.text, u"Штрих-код корректный, код товара 17"_s);
    const ShtrihVerdict bad = ShtrihCodeVerdict(QString(), 6000);
    QVERIFY(!bad.valid);
    QCOMPARE(bad.text, u"Штрих-код некорректный, код товара 6000"_s);
}

QTEST_GUILESS_MAIN(TestScanAssembly)
#include "TestScanAssembly.moc"
