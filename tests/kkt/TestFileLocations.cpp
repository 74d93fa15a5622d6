#include "kkt/FileLocations.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Where the program's files go: beside a portable copy, in the user's folders
// once installed, whoever runs it.
class TestFileLocations : public QObject
{
    Q_OBJECT
private slots:
    void decide_data();
    void decide();
    void settingsFolderIsMadeOnce();
    void describesTheChoice();
};

void TestFileLocations::decide_data()
{
    QTest::addColumn<QString>("programFolder"); // below the temporary root; "" for /proc
    QTest::addColumn<bool>("helperBeside"); // lib/kktconf beside bin/, as the package lays it
    QTest::addColumn<bool>("portable");

    QTest::newRow("writable build folder") << u"build/bin"_s << false << true;
    // Root may write /usr/bin; an installed tree keeps its settings in the user's folders all the same.
    QTest::newRow("installed tree, writable") << u"usr/bin"_s << true << false;
    QTest::newRow("folder nobody may write") << QString() << false << false;
}

void TestFileLocations::decide()
{
    QFETCH(QString, programFolder);
    QFETCH(bool, helperBeside);
    QFETCH(bool, portable);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    // Not even root creates files in /proc.
    const QString program = programFolder.isEmpty() ? u"/proc"_s : root.filePath(programFolder);
    if (!programFolder.isEmpty())
        QVERIFY(QDir().mkpath(program));
    if (helperBeside)
        QVERIFY(QDir().mkpath(program + u"/../lib/kktconf"_s));
    const QString config = root.filePath(u"home/.config"_s);
    const QString data = root.filePath(u"home/.local/share"_s);

    const FileLocations where = FileLocations::Decide(program, config, data);
    QCOMPARE(where.portable, portable);
    if (portable) {
        QCOMPARE(where.settingsFolder, program);
        QCOMPARE(where.portsFolder, program + u"/ports"_s);
        QCOMPARE(where.dataFolder, program);
        QCOMPARE(where.helperFolder, QString());
    } else {
        QCOMPARE(where.settingsFolder, config + u"/kktconf"_s);
        QCOMPARE(where.portsFolder, data + u"/kktconf/ports"_s);
        QCOMPARE(where.dataFolder, data + u"/kktconf"_s);
        QCOMPARE(where.helperFolder, helperBeside ? root.filePath(u"usr/lib/kktconf"_s) : QString());
    }
    // Deciding writes nothing: the probe file is gone, the user's folders are not made yet.
    if (!programFolder.isEmpty())
        QCOMPARE(QDir(program).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    QVERIFY(!QFileInfo::exists(root.filePath(u"home"_s)));
}

void TestFileLocations::settingsFolderIsMadeOnce()
{
    QTemporaryDir root;
    FileLocations where;
    where.settingsFolder = root.filePath(u"home/.config/kktconf"_s);
    QVERIFY(where.createSettingsFolder());
    QVERIFY(QFileInfo(where.settingsFolder).isDir());
    QVERIFY(where.createSettingsFolder()); // there already: fine

    // Below a plain file no folder can be made, not even by root.
    QFile blocker(root.filePath(u"blocker"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    where.settingsFolder = blocker.fileName() + u"/kktconf"_s;
    QString error;
    QVERIFY(!where.createSettingsFolder(&error));
    QVERIFY2(error.contains(u"не удалось создать папку настроек"_s) && error.contains(u"blocker"_s), qPrintable(error));
}

void TestFileLocations::describesTheChoice()
{
    FileLocations installed;
    installed.portable = false;
    installed.settingsFolder = u"/home/user/.config/kktconf"_s;
    installed.portsFolder = u"/home/user/.local/share/kktconf/ports"_s;
    const QString line = installed.describe();
    QVERIFY2(line.contains(u"установленная программа"_s) && line.contains(installed.settingsFolder)
            && line.contains(installed.portsFolder),
        qPrintable(line));
    installed.portable = true;
    QVERIFY(installed.describe().contains(u"переносная копия"_s));
}

QTEST_GUILESS_MAIN(TestFileLocations)
#include "TestFileLocations.moc"
