#include "ConfigFields.h"
#include "TempFiles.h"

#include "config/ConfigFile.h"
#include "config/classMyIniFile.h"

#include <QDir>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
QString Cp1251Text(const QByteArray &bytes)
{
    QStringDecoder dec("windows-1251");
    return dec.decode(bytes);
}

QStringList Lines(const QString &path)
{
    QStringList lines = Cp1251Text(ReadBytes(path)).split(u"\r\n"_s);
    lines.removeLast(); // after the final line end
    return lines;
}

QString Guarded(const QString &v)
{
    return TmyIniFile::kGuard + v + TmyIniFile::kGuard;
}
} // namespace

class TestConfigFile : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void keyNames();
    void freshFileLayout();
    void roundTripKeepsEveryText();
    void missingFileGivesDefaults();
    void olderFileWithoutAgentTwelve();
    void sectionsAreDistinctButCaseBlind();
    void saveKeepsForeignContent();
    void failuresLeaveConfigAndFile();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestConfigFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestConfigFile::keyNames()
{
    QCOMPARE(GetGsmKeyName(3), u"PIN-код сим карты"_s);
    QCOMPARE(GetGsmKeyName(7), QString());
    QCOMPARE(GetGsmKeyName(-1), QString());
    QCOMPARE(GetAgentValueKeyName(4), u"Адрес Оператора Перевода (Строка#1) (Наименование)"_s);
    QCOMPARE(GetAgentFontKeyName(8), u"Наименование Оператора Перевода (Строка #1) (Тип Шрифта)"_s);
    QCOMPARE(GetAgentValueKeyName(10), u"Операция Платежного Агента (Наименование)"_s);
    QCOMPARE(GetAgentValueKeyName(11), u"Операция Платежного Агента #12 (Наименование)"_s);
    QCOMPARE(GetAgentFontKeyName(11), u"Операция Платежного Агента #12 (Тип Шрифта)"_s);
    QCOMPARE(GetAgentFontKeyName(12), QString());
}

void TestConfigFile::freshFileLayout()
{
    auto cfg = std::make_unique<TConfig>();
    cfg->Gsm.arrParam[0] = u"10.0.0.1"_s;
    cfg->Cfg102.Agent[11] = { u"ОПЛАТА"_s, u"Широкий"_s };
    QVERIFY(SaveConfigFile(path(u"a.conf"_s), *cfg));
    const QStringList lines = Lines(path(u"a.conf"_s));

    QStringList sections;
    int keys = 0;
    for (const QString &line : lines) {
        if (line.startsWith(u'['))
            sections << line;
        else if (line.contains(u'='))
            ++keys;
    }
    QCOMPARE(sections.size(), 6045);
    QCOMPARE(keys, 36379 + 2); // with the agent entry 12 pair
    QCOMPARE(lines.mid(0, 3),
        (QStringList {
            u"[GSM]"_s, u"IP сервера ОФД="_s + Guarded(u"10.0.0.1"_s), u"Имя сервера ОФД="_s + Guarded({}) }));
    QCOMPARE(sections.mid(1, 4),
        (QStringList {
            u"[CFGKKT_ОПЕРАТОР_#0]"_s, u"[CFGKKT_ОПЕРАТОР0]"_s, u"[CFGKKT_ОПЕРАТОР_#1]"_s, u"[CFGKKT_ОПЕРАТОР1]"_s }));
    QCOMPARE(sections.mid(12, 2), (QStringList { u"[CFGKKT_ОПЕРАТОР5]"_s, u"[CFGKKT_ТОВАР_#0]"_s }));
    QCOMPARE(sections.mid(6012, 3),
        (QStringList { u"[CFGKKT_ТОВАР_#5999]"_s, u"[CFGKKT_ПРИЗНАК_ПР_#0]"_s, u"[CFGKKT_ПРИЗНАК_ПР_#1]"_s }));
    QCOMPARE(sections.mid(6041),
        (QStringList { u"[CFGKKT_КЛИШЕ_СТРОКА_#20]"_s, u"[CFGKKT_ПАРАМЕТРЫ_АГЕНТА]"_s,
            u"[CFGKKT_ПАРАМЕТРЫ_ПРЕДПРИЯТИЯ]"_s, u"[CFGKKT_ПАРАМЕТРЫ_СТАНЦИИ]"_s }));

    const qsizetype agent = lines.indexOf(u"[CFGKKT_ПАРАМЕТРЫ_АГЕНТА]"_s);
    QCOMPARE(lines.mid(agent + 21, 6),
        (QStringList { u"Операция Платежного Агента (Наименование)="_s + Guarded({}),
            u"Операция Платежного Агента (Тип Шрифта)="_s + Guarded({}),
            u"Операция Платежного Агента #12 (Наименование)="_s + Guarded(u"ОПЛАТА"_s),
            u"Операция Платежного Агента #12 (Тип Шрифта)="_s + Guarded(u"Широкий"_s), QString(),
            u"[CFGKKT_ПАРАМЕТРЫ_ПРЕДПРИЯТИЯ]"_s }));
    QCOMPARE(lines.mid(lines.indexOf(u"[CFGKKT_ОПЕРАТОР0]"_s), 9),
        (QStringList { u"[CFGKKT_ОПЕРАТОР0]"_s, u"Шрифт должности="_s + Guarded({}),
            u"Фамилия(Строка 1)="_s + Guarded({}), u"Шрифт Фамилии(Строка 1)="_s + Guarded({}),
            u"Фамилия(Строка 2)="_s + Guarded({}), u"Шрифт Фамилии(Строка 2)="_s + Guarded({}),
            u"Пароль="_s + Guarded({}), u"ИНН Кассира="_s + Guarded({}), QString() }));
    QCOMPARE(lines.mid(lines.indexOf(u"[CFGKKT_ПАРАМЕТРЫ_ПРЕДПРИЯТИЯ]"_s) + 1, 3),
        (QStringList {
            u"Предприятие #0="_s + Guarded({}), u"ИНН #0="_s + Guarded({}), u"Предприятие #1="_s + Guarded({}) }));
    QCOMPARE(lines.at(lines.size() - 2), u"Станция #39="_s + Guarded({}));
}

void TestConfigFile::roundTripKeepsEveryText()
{
    auto saved = std::make_unique<TConfig>();
    FillDistinct(*saved);
    QVERIFY(SaveConfigFile(path(u"a.conf"_s), *saved));

    auto loaded = std::make_unique<TConfig>();
    loaded->Scan = { TScanTypeDevice::Bee2, u"COM3"_s, u"9600"_s, true };
    int found = -1;
    QVERIFY(LoadConfigFile(path(u"a.conf"_s), *loaded, nullptr, &found));
    QCOMPARE(found, 36379 + 2); // agent entry 12 has keys of its own
    QCOMPARE(ConfigTexts(*loaded), ConfigTexts(*saved));
    QCOMPARE(loaded->Scan.ComPort, u"COM3"_s); // the file does not carry the scanner
    QVERIFY(loaded->Scan.FlgON);

    // Saving again over the same file changes nothing.
    const QByteArray first = ReadBytes(path(u"a.conf"_s));
    QVERIFY(SaveConfigFile(path(u"a.conf"_s), *loaded));
    QCOMPARE(ReadBytes(path(u"a.conf"_s)), first);
}

void TestConfigFile::missingFileGivesDefaults()
{
    auto cfg = std::make_unique<TConfig>();
    FillDistinct(*cfg);
    int found = -1;
    QVERIFY(LoadConfigFile(path(u"none.conf"_s), *cfg, nullptr, &found));
    QCOMPARE(found, 0);
    QVERIFY(!QFile::exists(path(u"none.conf"_s)));
    const auto &t = cfg->Cfg102;
    QCOMPARE(cfg->Gsm.arrParam[1], QString());
    QCOMPARE(t.Oper[5].fontFioStr2, u"Узкий"_s);
    QCOMPARE(t.Oper[5].Password, QString());
    QCOMPARE(t.PredmRasch[5999].fontNameTov, u"Узкий"_s);
    QCOMPARE(t.PredmRasch[5999].Price, QString());
    QCOMPARE(t.RpiznPredmRasch[0].fontName, u"Узкий"_s);
    QCOMPARE(t.RpiznPredmRasch[0].SystemTax, QString()); // not the page's start entry
    QCOMPARE(t.Klishe[20].fontName, u"Узкий"_s);
    QCOMPARE(t.Agent[11].fontValue, u"Узкий"_s);
    QCOMPARE(t.Factory[89].INN, QString());
    QCOMPARE(t.Station[39].Name, QString());
}

void TestConfigFile::olderFileWithoutAgentTwelve()
{
    WriteBytes(path(u"old.conf"_s),
        "[CFGKKT_\xCF\xC0\xD0\xC0\xCC\xC5\xD2\xD0\xDB_\xC0\xC3\xC5\xCD\xD2\xC0]\r\n" // ПАРАМЕТРЫ_АГЕНТА
        "\xCE\xEF\xE5\xF0\xE0\xF6\xE8\xFF \xCF\xEB\xE0\xF2\xE5\xE6\xED\xEE\xE3\xEE \xC0\xE3\xE5\xED\xF2\xE0 "
        "(\xCD\xE0\xE8\xEC\xE5\xED\xEE\xE2\xE0\xED\xE8\xE5)=\x7F"
        "X\x7F\r\n"); // "Операция Платежного Агента (Наименование)" of row 11
    auto cfg = std::make_unique<TConfig>();
    cfg->Cfg102.Agent[11] = { u"stale"_s, u"Широкий"_s };
    int found = -1;
    QVERIFY(LoadConfigFile(path(u"old.conf"_s), *cfg, nullptr, &found));
    QCOMPARE(found, 1);
    QCOMPARE(cfg->Cfg102.Agent[10].Value, u"X"_s);
    QCOMPARE(cfg->Cfg102.Agent[11].Value, QString());
    QCOMPARE(cfg->Cfg102.Agent[11].fontValue, u"Узкий"_s);
}

void TestConfigFile::sectionsAreDistinctButCaseBlind()
{
    auto cfg = std::make_unique<TConfig>();
    cfg->Cfg102.Oper[3].Password = u"secret"_s;
    cfg->Cfg102.PredmRasch[0].NameTov = u"ХЛЕБ"_s;
    QVERIFY(SaveConfigFile(path(u"a.conf"_s), *cfg));

    QString text = Cp1251Text(ReadBytes(path(u"a.conf"_s)));
    // Move "Пароль" of operator 3 into the other section of that operator.
    text.replace(u"Пароль=\x7Fsecret\x7F\r\n"_s, QString());
    text.replace(u"[CFGKKT_ОПЕРАТОР_#3]\r\n"_s, u"[CFGKKT_ОПЕРАТОР_#3]\r\nПароль=\x7Fsecret\x7F\r\n"_s);
    text.replace(u"[CFGKKT_ТОВАР_#0]"_s, u"[cfgkkt_товар_#0]"_s);
    QStringEncoder enc("windows-1251");
    WriteBytes(path(u"a.conf"_s), enc.encode(text));

    auto back = std::make_unique<TConfig>();
    QVERIFY(LoadConfigFile(path(u"a.conf"_s), *back));
    QCOMPARE(back->Cfg102.Oper[3].Password, QString());
    QCOMPARE(back->Cfg102.PredmRasch[0].NameTov, u"ХЛЕБ"_s);
}

void TestConfigFile::saveKeepsForeignContent()
{
    WriteBytes(path(u"a.conf"_s),
        "[MINE]\r\nkeep=1\r\n[GSM]\r\nextra=2\r\nIP \xF1\xE5\xF0\xE2\xE5\xF0\xE0 \xCE\xD4\xC4=old\r\n");
    auto cfg = std::make_unique<TConfig>();
    cfg->Gsm.arrParam[0] = u"1.2.3.4"_s;
    QVERIFY(SaveConfigFile(path(u"a.conf"_s), *cfg));
    const QStringList lines = Lines(path(u"a.conf"_s));
    QCOMPARE(lines.mid(0, 7),
        (QStringList { u"[MINE]"_s, u"keep=1"_s, QString(), u"[GSM]"_s, u"extra=2"_s,
            u"IP сервера ОФД="_s + Guarded(u"1.2.3.4"_s), u"Имя сервера ОФД="_s + Guarded({}) }));
}

void TestConfigFile::failuresLeaveConfigAndFile()
{
    QVERIFY(QDir(m_dir->path()).mkdir(u"dir.conf"_s));
    auto cfg = std::make_unique<TConfig>();
    FillDistinct(*cfg);
    const QStringList before = ConfigTexts(*cfg);
    QString error;
    QVERIFY(!LoadConfigFile(path(u"dir.conf"_s), *cfg, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(ConfigTexts(*cfg), before);

    error.clear();
    QVERIFY(!SaveConfigFile(path(u"dir.conf"_s), *cfg, &error));
    QVERIFY(!error.isEmpty());

    if (FileSizeLimit::supported()) {
        WriteBytes(path(u"b.conf"_s), "[GSM]\r\nkeep=me\r\n");
        {
            const FileSizeLimit limit(64 * 1024);
            QVERIFY(!SaveConfigFile(path(u"b.conf"_s), *cfg, &error));
        }
        QCOMPARE(ReadBytes(path(u"b.conf"_s)), QByteArray("[GSM]\r\nkeep=me\r\n"));
    }
}

QTEST_GUILESS_MAIN(TestConfigFile)
#include "TestConfigFile.moc"
