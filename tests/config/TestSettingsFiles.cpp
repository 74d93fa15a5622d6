#include "TempFiles.h"

#include "config/ProgSett.h"
#include "config/ScanCfg.h"
#include "config/classMyIniFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSettingsFiles : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void progSettFromEmptyStart();
    void progSettReadRules_data();
    void progSettReadRules();
    void progSettMissingFileIsCreated();
    void progSettKeepsForeignContent();
    void progSettFailures();
    void connectionFromSettings();

    void scanCfgReads();
    void scanCfgWritesPlainKeepingContent();
    void scanCfgNextRow();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettingsFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestSettingsFiles::progSettFromEmptyStart()
{
    TStructSetting sett;
    sett.PortSett.Name = u" COM3 "_s;
    sett.PortSett.Handle = 77; // run-time only
    QVERIFY(SaveIniSettings(path(u"ProgSett.ini"_s), sett));
    QCOMPARE(ReadBytes(path(u"ProgSett.ini"_s)),
        QByteArray("[COM_PORT]\r\nName=\x7F COM3 \x7F\r\nSpeed=19200\r\nTimeOut=3500\r\n\r\n"
                   "[COMMON]\r\nNumKKT=0\r\n\r\n"));

    TStructSetting back;
    back.PortSett.Speed = 1;
    QVERIFY(LoadIniSettings(path(u"ProgSett.ini"_s), back));
    QCOMPARE(back.PortSett.Name, u" COM3 "_s);
    QCOMPARE(back.PortSett.Speed, 19200u);
    QCOMPARE(back.PortSett.TimeOut, 3500u);
    QCOMPARE(back.NumKKT, 0);
    QCOMPARE(back.PortSett.Handle, quintptr(0));
}

void TestSettingsFiles::progSettReadRules_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    QTest::addColumn<uint>("speed");
    QTest::addColumn<uint>("timeOut");
    QTest::addColumn<int>("numKkt");

    QTest::newRow("empty file: defaults") << QByteArray() << QString() << 19200u << 3500u << 0;
    QTest::newRow("hex speed, other case")
        << QByteArray("[com_port]\r\nspeed=0x4B00\r\nNAME=COM2\r\n[common]\r\nnumkkt=-5\r\n") << u"COM2"_s << 19200u
        << 3500u << -5;
    QTest::newRow("invalid and empty numbers")
        << QByteArray("[COM_PORT]\r\nSpeed=abc\r\nTimeOut=\r\n[COMMON]\r\nNumKKT=12x\r\n") << QString() << 19200u
        << 3500u << 0;
    QTest::newRow("negative speed and time-out")
        << QByteArray("[COM_PORT]\r\nSpeed=-1\r\nTimeOut=-3500\r\n") << QString() << 19200u << 3500u << 0;
    QTest::newRow("unguarded name trimmed")
        << QByteArray("[COM_PORT]\r\nName=  COM7  \r\nSpeed=115200\r\n") << u"COM7"_s << 115200u << 3500u << 0;
}

void TestSettingsFiles::progSettReadRules()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    QFETCH(uint, speed);
    QFETCH(uint, timeOut);
    QFETCH(int, numKkt);
    WriteBytes(path(u"ProgSett.ini"_s), content);
    TStructSetting sett;
    QVERIFY(LoadIniSettings(path(u"ProgSett.ini"_s), sett));
    QCOMPARE(sett.PortSett.Name, name);
    QCOMPARE(sett.PortSett.Speed, speed);
    QCOMPARE(sett.PortSett.TimeOut, timeOut);
    QCOMPARE(sett.NumKKT, numKkt);
}

void TestSettingsFiles::progSettMissingFileIsCreated()
{
    TStructSetting sett;
    QString error;
    QVERIFY(LoadIniSettings(path(u"ProgSett.ini"_s), sett, &error));
    QVERIFY(QFile::exists(path(u"ProgSett.ini"_s)));
    QCOMPARE(ReadBytes(path(u"ProgSett.ini"_s)), QByteArray()); // loading writes nothing
    QCOMPARE(sett.PortSett.Speed, 19200u);
}

void TestSettingsFiles::progSettKeepsForeignContent()
{
    WriteBytes(path(u"ProgSett.ini"_s), "[OTHER]\r\na=1\r\n[com_port]\r\nX=y\r\nspeed=9600\r\n");
    TStructSetting sett;
    sett.NumKKT = 42;
    sett.PortSett.Name = u"COM1"_s;
    sett.PortSett.Speed = 57600;
    QVERIFY(SaveIniSettings(path(u"ProgSett.ini"_s), sett));
    QCOMPARE(ReadBytes(path(u"ProgSett.ini"_s)),
        QByteArray("[OTHER]\r\na=1\r\n\r\n[com_port]\r\nX=y\r\nSpeed=57600\r\nName=\x7F"
                   "COM1\x7F\r\nTimeOut=3500\r\n\r\n[COMMON]\r\nNumKKT=42\r\n\r\n"));
}

void TestSettingsFiles::progSettFailures()
{
    TStructSetting sett;
    QString error;
    QVERIFY(!LoadIniSettings(path(u"no/such/dir/ProgSett.ini"_s), sett, &error));
    QVERIFY(error.startsWith(u"Не удалось создать файл"_s));

    QVERIFY(QDir(m_dir->path()).mkdir(u"ProgSett.ini"_s));
    error.clear();
    QVERIFY(!LoadIniSettings(path(u"ProgSett.ini"_s), sett, &error));
    QVERIFY(error.startsWith(u"Не удалось открыть файл"_s));
    QVERIFY(!SaveIniSettings(path(u"ProgSett.ini"_s), sett, &error));
}

void TestSettingsFiles::connectionFromSettings()
{
    TStructSetting sett;
    sett.NumKKT = 7;
    sett.PortSett = { u"COM9"_s, 9600, 1200, 5 };
    const KktConnection conn = MakeKktConnection(sett);
    QCOMPARE(conn.Name, u"COM9"_s);
    QCOMPARE(conn.Speed, 9600u);
    QCOMPARE(conn.TimeOut, 1200u);
    QCOMPARE(conn.NumKKT, 7);
    QCOMPARE(conn.Pause, 0u);
}

void TestSettingsFiles::scanCfgReads()
{
    TScanCfg cfg { u"x"_s, u"x"_s, u"x"_s };
    QVERIFY(LoadScanCfg(path(u"Scan.cfg"_s), cfg));
    QVERIFY(QFile::exists(path(u"Scan.cfg"_s)));
    QCOMPARE(cfg.ModelName, QString());
    QCOMPARE(cfg.ComPort, QString());
    QCOMPARE(cfg.SpeedPort, QString());

    WriteBytes(path(u"Scan.cfg"_s),
        "[current]\r\nmodelname=Bee2 (RS-232)\r\nComPort=\x7F"
        "COM3\x7F\r\nSpeedPort=9600\r\n");
    QVERIFY(LoadScanCfg(path(u"Scan.cfg"_s), cfg, ScanCfgRead::Guarded));
    QCOMPARE(cfg.ModelName, u"Bee2 (RS-232)"_s);
    QCOMPARE(cfg.ComPort, u"COM3"_s);
    QCOMPARE(cfg.SpeedPort, u"9600"_s);
    QVERIFY(LoadScanCfg(path(u"Scan.cfg"_s), cfg, ScanCfgRead::Plain));
    QCOMPARE(cfg.ComPort,
        u"\x7F"
        "COM3\x7F"_s);
}

void TestSettingsFiles::scanCfgNextRow()
{
    TScanCfg cfg;
    WriteBytes(path(u"Scan.cfg"_s), "[CURRENT]\r\nModelName=Bee2 (RS-232)\r\n");
    QVERIFY(LoadScanCfg(path(u"Scan.cfg"_s), cfg));
    QVERIFY(cfg.NextRow); // a file of an earlier version
    cfg.NextRow = false;
    QVERIFY(SaveScanCfg(path(u"Scan.cfg"_s), cfg));
    QVERIFY(ReadBytes(path(u"Scan.cfg"_s)).contains("NextRow=0\r\n"));
    QVERIFY(LoadScanCfg(path(u"Scan.cfg"_s), cfg));
    QVERIFY(!cfg.NextRow);
    cfg.NextRow = true;
    QVERIFY(SaveScanCfg(path(u"Scan.cfg"_s), cfg));
    QVERIFY(ReadBytes(path(u"Scan.cfg"_s)).contains("NextRow=1\r\n"));
    QVERIFY(LoadScanCfg(path(u"Scan.cfg"_s), cfg));
    QVERIFY(cfg.NextRow);
}

void TestSettingsFiles::scanCfgWritesPlainKeepingContent()
{
    WriteBytes(path(u"Scan.cfg"_s), "[OTHER]\r\nk=v\r\n[CURRENT]\r\nComPort=COM1\r\nExtra=1\r\n");
    QVERIFY(SaveScanCfg(path(u"Scan.cfg"_s), { u"Bee2 (RS-232)"_s, u"COM4"_s, u"115200"_s }));
    QCOMPARE(ReadBytes(path(u"Scan.cfg"_s)),
        QByteArray("[OTHER]\r\nk=v\r\n\r\n[CURRENT]\r\nComPort=COM4\r\nExtra=1\r\nModelName=Bee2 (RS-232)\r\n"
                   "SpeedPort=115200\r\n\r\n"));
    TScanCfg back;
    QVERIFY(LoadScanCfg(path(u"Scan.cfg"_s), back));
    QCOMPARE(back.ModelName, u"Bee2 (RS-232)"_s);
    QCOMPARE(back.SpeedPort, u"115200"_s);
}

QTEST_GUILESS_MAIN(TestSettingsFiles)
#include "TestSettingsFiles.moc"
