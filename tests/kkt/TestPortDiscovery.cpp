#include "kkt/PortDiscovery.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

class TestPortDiscovery : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void order_data();
    void order();
    void folderListsCharacterDevicesOnly();
};

void TestPortDiscovery::initTestCase()
{
    // The order must not depend on the user's locale: run under the plain C one.
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
}

void TestPortDiscovery::order_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("sorted");

    QTest::newRow("numbers by value") << QStringList { u"COM10"_s, u"COM100"_s, u"COM2"_s, u"COM1"_s }
                                      << QStringList { u"COM1"_s, u"COM2"_s, u"COM10"_s, u"COM100"_s };
    QTest::newRow("text before number") << QStringList { u"ttyUSB10"_s, u"ttyS2"_s, u"ttyUSB9"_s, u"ttyACM0"_s }
                                        << QStringList { u"ttyACM0"_s, u"ttyS2"_s, u"ttyUSB9"_s, u"ttyUSB10"_s };
    QTest::newRow("case ignored") << QStringList { u"com3"_s, u"COM2"_s, u"Com11"_s }
                                  << QStringList { u"COM2"_s, u"com3"_s, u"Com11"_s };
    QTest::newRow("leading zeros and long numbers") << QStringList { u"p99999999999999999999"_s, u"p010"_s, u"p9"_s }
                                                    << QStringList { u"p9"_s, u"p010"_s, u"p99999999999999999999"_s };
    QTest::newRow("prefix first") << QStringList { u"COM1a"_s, u"COM"_s, u"COM1"_s }
                                  << QStringList { u"COM"_s, u"COM1"_s, u"COM1a"_s };
}

void TestPortDiscovery::order()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, sorted);
    std::sort(names.begin(), names.end(), PortNameLess);
    QCOMPARE(names, sorted);
}

void TestPortDiscovery::folderListsCharacterDevicesOnly()
{
#ifndef Q_OS_UNIX
    QSKIP("the ports folder is a Unix thing");
#else
    QTemporaryDir dir;
    const QDir folder(dir.path());
    for (const QString &name : { u"COM10"_s, u"COM2"_s, u"COM100"_s, u"COM1"_s })
        QVERIFY(QFile::link(u"/dev/null"_s, folder.filePath(name)));
    QFile plain(folder.filePath(u"COM3"_s));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    QCOMPARE(::mkfifo(QFile::encodeName(folder.filePath(u"COM4"_s)).constData(), 0600), 0);
    QVERIFY(QFile::link(folder.filePath(u"gone"_s), folder.filePath(u"COM5"_s)));
    QVERIFY(QFile::link(folder.filePath(u"COM3"_s), folder.filePath(u"COM6"_s)));

    TArrayCom list;
    GetCOM_Loop(list, dir.path());
    // The system's own ports may be listed too; ours keep their order among them.
    QStringList ours;
    for (const QString &name : list)
        if (name.startsWith(u"COM"_s))
            ours << name;
    QCOMPARE(ours, (QStringList { u"COM1"_s, u"COM2"_s, u"COM10"_s, u"COM100"_s }));
#endif
}

QTEST_GUILESS_MAIN(TestPortDiscovery)
#include "TestPortDiscovery.moc"
