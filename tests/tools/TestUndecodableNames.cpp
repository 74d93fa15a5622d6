// Names whose bytes are no text in the system's encoding (a file named in
// Windows-1251 on a UTF-8 system): no tool writes or reads under another name.
#include "CliProcess.h"
#include "TempFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
// "Прайс" in Windows-1251.
const QByteArray kCp1251Name("\xCF\xF0\xE0\xE9\xF1");
const QString kShown = u"\\xCF\\xF0\\xE0\\xE9\\xF1"_s;
} // namespace

class TestUndecodableNames : public QObject
{
    Q_OBJECT
private slots:
    void everyToolRefusesThem_data();
    void everyToolRefusesThem();
};

void TestUndecodableNames::everyToolRefusesThem_data()
{
    QTest::addColumn<QByteArray>("program");
    QTest::addColumn<QList<QByteArray>>("arguments");

    const QByteArray cli(KKT_CLI_PATH);
    QTest::newRow("kkt-cli convert into such a name")
        << cli << QList<QByteArray> { "convert", "in.1cdb", kCp1251Name + ".db102" };
    QTest::newRow("kkt-cli convert from such a name")
        << cli << QList<QByteArray> { "convert", kCp1251Name + ".1cdb", "out.db102" };
    QTest::newRow("kkt-cli read-config into such a name")
        << cli << QList<QByteArray> { "--port", "/dev/null", "read-config", kCp1251Name + ".conf" };
    QTest::newRow("kkt-emulator published under such a name")
        << QByteArray(KKT_EMULATOR_PATH) << QList<QByteArray> { "--link", kCp1251Name };
    QTest::newRow("scanner-emulator published under such a name")
        << QByteArray(SCANNER_EMULATOR_PATH) << QList<QByteArray> { "--link", kCp1251Name };
}

void TestUndecodableNames::everyToolRefusesThem()
{
#ifndef Q_OS_UNIX
    QSKIP("names are bytes on Unix only");
#endif
    QFETCH(QByteArray, program);
    QFETCH(QList<QByteArray>, arguments);
    QTemporaryDir dir;
    QVERIFY(WriteBytes(dir.filePath(u"in.1cdb"_s), "\x01\r\n"));
    // The file named in Windows-1251 is there too: only its bytes can name it.
    FILE *named = std::fopen((QFile::encodeName(dir.path()) + '/' + kCp1251Name + ".1cdb").constData(), "wb");
    QVERIFY(named && std::fputs("\x01\r\n", named) >= 0 && std::fclose(named) == 0);
    const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden);

    const CliRun run = RunWithBytes(program, arguments, dir.path());
    QCOMPARE(run.exitCode, 64);
    QVERIFY2(run.err.contains(u"аргумент «"_s + kShown) && run.err.contains(u"переименуйте"_s), qPrintable(run.err));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden), before);
}

QTEST_GUILESS_MAIN(TestUndecodableNames)
#include "TestUndecodableNames.moc"
