#include "ScanEmuOptions.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestScanEmuOptions : public QObject
{
    Q_OBJECT
private slots:
    void accepted();
    void usageErrors_data();
    void usageErrors();
};

void TestScanEmuOptions::accepted()
{
    ScanEmuOptions options;
    QString error, help;
    QVERIFY(ParseScanEmuOptions({ u"scanner-emulator"_s, u"--link"_s, u"/tmp/S"_s, u"--code"_s, u"96385074"_s,
                                    u"--datamatrix"_s, u"04607001770015"_s, u"5hJk8"_s, u"--suffix"_s, u"crlf"_s,
                                    u"--interval-ms"_s, u"0"_s, u"--split"_s, u"13:250"_s, u"--wait-ms"_s, u"10"_s },
        options, error, help));
    QCOMPARE(options.linkPath, u"/tmp/S"_s);
    QCOMPARE(options.codes,
        (QList<QByteArray> { "96385074",
            "010460700177001521"
            "5hJk8" }));
    QCOMPARE(options.suffix, QByteArray("\r\n"));
    QCOMPARE(options.intervalMs, 0);
    QCOMPARE(options.waitMs, 10);
    QCOMPARE(options.splitAt, 13);
    QCOMPARE(options.splitMs, 250);

    QVERIFY(ParseScanEmuOptions({ u"scanner-emulator"_s }, options, error, help));
    QVERIFY(options.linkPath.endsWith(u"/ports/SCAN-EMU"_s));
    QVERIFY(options.codes.isEmpty());
    QCOMPARE(options.suffix, QByteArray("\r"));
    QCOMPARE(options.splitAt, -1);

    QVERIFY(!ParseScanEmuOptions({ u"scanner-emulator"_s, u"--help"_s }, options, error, help));
    QVERIFY(error.isEmpty());
    QVERIFY(help.contains(u"--datamatrix"_s));
}

void TestScanEmuOptions::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");
    QTest::newRow("unknown option") << QStringList { u"--speed"_s, u"9600"_s } << u"неизвестный параметр: --speed"_s;
    QTest::newRow("stray argument") << QStringList { u"123"_s } << u"лишний аргумент: 123"_s;
    QTest::newRow("value missing") << QStringList { u"--code"_s } << u"у параметра --code нет значения"_s;
    QTest::newRow("serial missing") << QStringList { u"--datamatrix"_s, u"04607001770015"_s }
                                    << u"у параметра --datamatrix нет значения"_s;
    QTest::newRow("empty code") << QStringList { u"--code"_s, QString() }
                                << u"код должен быть непустым текстом из однобайтовых символов: "_s;
    QTest::newRow("code beyond 8 bits") << QStringList { u"--code"_s, u"Ж123"_s }
                                        << u"код должен быть непустым текстом из однобайтовых символов: Ж123"_s;
    QTest::newRow("short GTIN") << QStringList { u"--datamatrix"_s, u"4607001770015"_s, u"A"_s }
                                << u"GTIN в --datamatrix должен состоять из 14 цифр: 4607001770015"_s;
    QTest::newRow("serial with a blank") << QStringList { u"--datamatrix"_s, u"04607001770015"_s, u"A B"_s }
                                         << u"серия в --datamatrix - от 1 до 20 видимых латинских знаков: A B"_s;
    QTest::newRow("suffix") << QStringList { u"--suffix"_s, u"tab"_s }
                            << u"--suffix принимает cr, crlf, lf или none: tab"_s;
    QTest::newRow("negative interval") << QStringList { u"--interval-ms"_s, u"-1"_s }
                                       << u"значение --interval-ms должно быть целым числом от 0 до 3600000: -1"_s;
    QTest::newRow("split without gap") << QStringList { u"--split"_s, u"13"_s }
                                       << u"--split ждёт K:МС, два целых числа (например 13:100): 13"_s;
    QTest::newRow("empty link") << QStringList { u"--link"_s, QString() } << u"пустой путь в --link"_s;
}

void TestScanEmuOptions::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    ScanEmuOptions options;
    QString message, help;
    QVERIFY(!ParseScanEmuOptions(QStringList { u"scanner-emulator"_s } + arguments, options, message, help));
    QCOMPARE(message, error);
}

QTEST_GUILESS_MAIN(TestScanEmuOptions)
#include "TestScanEmuOptions.moc"
