#include "TempFiles.h"

#include "config/classMyIniFile.h"

#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QChar Del = TmyIniFile::kGuard;

QByteArray Cp1251(const QString &text)
{
    QStringEncoder enc("windows-1251");
    return enc.encode(text);
}
} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void loadingRules_data();
    void loadingRules();
    void repeatedSectionsAndKeys();
    void namesIgnoreCaseCyrillicIncluded();
    void foldingBeyondTheRussianAlphabet_data();
    void foldingBeyondTheRussianAlphabet();
    void rewrittenValuesLeaveTheirNeighboursAlone_data();
    void rewrittenValuesLeaveTheirNeighboursAlone();
    void thousandsOfSectionsAndKeys();
    void moreEntriesThanAStoreKeeps();

    void guardedValues_data();
    void guardedValues();

    void readInteger_data();
    void readInteger();

    void updateKeepsOrderAndAppends();
    void updateKeepsEncoding_data();
    void updateKeepsEncoding();
    void lineBreakInValueStaysOnItsLine();

    void missingFileIsEmptyStore();
    void unreadableFileFailsToLoad();
    void updateIntoDirectoryFails();
    void failedWriteKeepsPreviousFile();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestIniFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestIniFile::loadingRules_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected"); // "<none>" when the key must not be found

    const QByteArray base = "[S]\r\nk=v\r\n";
    QTest::newRow("CR LF") << base << u"S"_s << u"k"_s << u"v"_s;
    QTest::newRow("lone LF") << QByteArray("[S]\nk=v\nq=w") << u"S"_s << u"q"_s << u"w"_s;
    QTest::newRow("lone CR") << QByteArray("[S]\rk=v\rq=w\r") << u"S"_s << u"q"_s << u"w"_s;
    QTest::newRow("trims control chars") << QByteArray("\t[ S ]\x01\r\n \x02 k \t= \x1F v w \x05\r\n") << u"S"_s
                                         << u"k"_s << u"v w"_s;
    QTest::newRow("first = splits") << QByteArray("[S]\r\nk = a=b ; c\r\n") << u"S"_s << u"k"_s << u"a=b ; c"_s;
    QTest::newRow("comment skipped") << QByteArray("[S]\r\n;k=v\r\n") << u"S"_s << u";k"_s << u"<none>"_s;
    QTest::newRow("line before first section dropped")
        << QByteArray("k=v\r\n[S]\r\n") << u"S"_s << u"k"_s << u"<none>"_s;
    QTest::newRow("line without = matches no key")
        << QByteArray("[S]\r\nplain\r\n") << u"S"_s << u"plain"_s << u"<none>"_s;
    QTest::newRow("empty value") << QByteArray("[S]\r\nk=\r\n") << u"S"_s << u"k"_s << QString();
    QTest::newRow("cp1251 text") << Cp1251(u"[ТОВАР_#1]\r\nНаименование=Хлеб\r\n"_s) << u"ТОВАР_#1"_s
                                 << u"Наименование"_s << u"Хлеб"_s;
}

void TestIniFile::loadingRules()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    WriteBytes(path(u"a.ini"_s), content);
    TmyIniFile ini(path(u"a.ini"_s));
    QVERIFY(ini.isLoaded());
    QCOMPARE(ini.ReadString(section, key, u"<none>"_s), expected);
}

void TestIniFile::repeatedSectionsAndKeys()
{
    WriteBytes(path(u"a.ini"_s), "[S]\r\nk=1\r\nk=2\r\n[T]\r\nx=0\r\n[s]\r\nk=3\r\nm=4\r\n");
    TmyIniFile ini(path(u"a.ini"_s));
    QCOMPARE(ini.ReadString(u"S"_s, u"k"_s, {}), u"1"_s);
    QCOMPARE(ini.ReadString(u"S"_s, u"m"_s, u"none"_s), u"none"_s); // only the first section is searched
    // Walked in the file's order, the repeated key and section still give the first.
    QCOMPARE(ini.ReadString(u"S"_s, u"k"_s, {}), u"1"_s);
    QCOMPARE(ini.ReadString(u"S"_s, u"k"_s, {}), u"1"_s);
    QCOMPARE(ini.ReadString(u"T"_s, u"x"_s, {}), u"0"_s);
    QCOMPARE(ini.ReadString(u"s"_s, u"k"_s, {}), u"1"_s);
    QCOMPARE(ini.ReadString(u"s"_s, u"m"_s, u"none"_s), u"none"_s);
    ini.WriteString(u"S"_s, u"k"_s, u"9"_s);
    ini.WriteString(u"S"_s, u"new"_s, u"n"_s);
    QVERIFY(ini.UpdateFile());
    QCOMPARE(ReadBytes(path(u"a.ini"_s)),
        QByteArray("[S]\r\nk=9\r\nk=2\r\nnew=n\r\n\r\n[T]\r\nx=0\r\n\r\n[s]\r\nk=3\r\nm=4\r\n\r\n"));
}

void TestIniFile::namesIgnoreCaseCyrillicIncluded()
{
    WriteBytes(path(u"a.ini"_s), Cp1251(u"[ТОВАР_#1]\r\nЁЛКА=1\r\n[com_port]\r\nspeed=5\r\n"_s));
    TmyIniFile ini(path(u"a.ini"_s));
    QCOMPARE(ini.ReadString(u"товар_#1"_s, u"ёлка"_s, {}), u"1"_s);
    QCOMPARE(ini.ReadInteger(u"COM_PORT"_s, u"Speed"_s, 0), 5);
    ini.WriteString(u"Товар_#1"_s, u"Ёлка"_s, u"2"_s); // replaced in place, not added
    QCOMPARE(ini.sectionCount(), 2);
    QVERIFY(ini.UpdateFile());
    QCOMPARE(ReadBytes(path(u"a.ini"_s)), Cp1251(u"[ТОВАР_#1]\r\nЁлка=2\r\n\r\n[com_port]\r\nspeed=5\r\n\r\n"_s));
}

void TestIniFile::foldingBeyondTheRussianAlphabet_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<bool>("found");
    QTest::newRow("Ё and ё, outside the capitals' block") << u"ЁЖ"_s << u"ёж"_s << true;
    QTest::newRow("Ukrainian Ї and ї") << u"ЇЖАК"_s << u"їжак"_s << true;
    QTest::newRow("Greek") << u"ΣΟΦΙΑ"_s << u"σοφια"_s << true;
    QTest::newRow("a pair of surrogates: Deseret") << u"\U00010400"_s << u"\U00010428"_s << true;
    QTest::newRow("Latin I is not the dotless ı") << u"I"_s << u"ı"_s << false;
    QTest::newRow("е is not ё") << u"е"_s << u"ё"_s << false;
    QTest::newRow("a prefix does not match") << u"ключ"_s << u"ключи"_s << false;
}

void TestIniFile::foldingBeyondTheRussianAlphabet()
{
    QFETCH(QString, written);
    QFETCH(QString, asked);
    QFETCH(bool, found);
    TmyIniFile ini(path(u"a.ini"_s));
    ini.WriteString(written, written, u"v"_s);
    QCOMPARE(ini.ValueExists(asked, asked), found);
    QCOMPARE(ini.SectionExists(asked), found);
    // Written under the other spelling: the same entry when they match, a second one otherwise.
    ini.WriteString(asked, asked, u"w"_s);
    QCOMPARE(ini.sectionCount(), found ? 1 : 2);
    QCOMPARE(ini.ReadString(written, written, {}), found ? u"w"_s : u"v"_s);
}

void TestIniFile::rewrittenValuesLeaveTheirNeighboursAlone_data()
{
    QTest::addColumn<QString>("second");
    QTest::newRow("shorter") << u"x"_s;
    QTest::newRow("as long") << u"ABCDEF"_s;
    QTest::newRow("longer") << u"a value far longer than the first"_s;
    QTest::newRow("empty") << QString();
    QTest::newRow("the same") << u"abcdef"_s;
    QTest::newRow("with a line break") << u"ab\ncd"_s;
}

void TestIniFile::rewrittenValuesLeaveTheirNeighboursAlone()
{
    QFETCH(QString, second);
    WriteBytes(path(u"a.ini"_s), "[S]\r\nbefore=1111\r\nk=abcdef\r\nafter=2222\r\n[T]\r\nk=3333\r\n");
    TmyIniFile ini(path(u"a.ini"_s));
    ini.mWriteString(u"S"_s, u"k"_s, u"first"_s);
    ini.mWriteString(u"S"_s, u"k"_s, second);
    ini.WriteString(u"S"_s, u"after"_s, u"22"_s);
    QString expected = second;
    expected.replace(u'\n', u' ');
    QCOMPARE(ini.mReadString(u"S"_s, u"k"_s, u"none"_s), expected);
    QVERIFY(ini.UpdateFile());
    const TmyIniFile back(path(u"a.ini"_s));
    QCOMPARE(back.mReadString(u"S"_s, u"k"_s, u"none"_s), expected);
    QCOMPARE(back.ReadString(u"S"_s, u"before"_s, {}), u"1111"_s);
    QCOMPARE(back.ReadString(u"S"_s, u"after"_s, {}), u"22"_s);
    QCOMPARE(back.ReadString(u"T"_s, u"k"_s, {}), u"3333"_s);
    QCOMPARE(ReadBytes(path(u"a.ini"_s)),
        Cp1251(u"[S]\r\nbefore=1111\r\nk="_s + Del + expected + Del + u"\r\nafter=22\r\n\r\n[T]\r\nk=3333\r\n\r\n"_s));
}

void TestIniFile::thousandsOfSectionsAndKeys()
{
    // Enough names to grow the indexes many times over, written in one store
    // and read back from the file in another.
    constexpr int kSections = 3000, kKeys = 4;
    const auto section = [](int s) { return u"ТОВАР_#%1"_s.arg(s); };
    const auto key = [](int k) { return u"Ключ %1"_s.arg(k); };
    {
        TmyIniFile ini(path(u"a.ini"_s));
        for (int s = 0; s < kSections; ++s)
            for (int k = 0; k < kKeys; ++k)
                ini.mWriteString(section(s), key(k), u"значение %1.%2"_s.arg(s).arg(k));
        // Rewriting every value once more changes nothing in the order.
        for (int s = kSections - 1; s >= 0; --s)
            ini.mWriteString(section(s), key(0), u"новое %1"_s.arg(s));
        QCOMPARE(ini.sectionCount(), kSections);
        QVERIFY(ini.UpdateFile());
    }
    const TmyIniFile back(path(u"a.ini"_s));
    QCOMPARE(back.sectionCount(), kSections);
    for (int s = 0; s < kSections; ++s) {
        QCOMPARE(back.mReadString(section(s).toLower(), key(0).toUpper(), {}), u"новое %1"_s.arg(s));
        for (int k = 1; k < kKeys; ++k)
            QCOMPARE(back.mReadString(section(s), key(k), {}), u"значение %1.%2"_s.arg(s).arg(k));
    }
    QVERIFY(!back.ValueExists(section(kSections), key(0)));
    QVERIFY(!back.ValueExists(section(0), key(kKeys)));
    const QByteArray bytes = ReadBytes(path(u"a.ini"_s));
    QVERIFY(bytes.startsWith(Cp1251(u"[ТОВАР_#0]\r\nКлюч 0="_s + Del + u"новое 0"_s + Del + u"\r\nКлюч 1="_s)));
    QVERIFY(bytes.endsWith(Cp1251(u"Ключ 3="_s + Del + u"значение 2999.3"_s + Del + u"\r\n\r\n"_s)));
}

void TestIniFile::moreEntriesThanAStoreKeeps()
{
    // Every kept line is an entry of its own, the section headers too; lines
    // before the first section and blank ones are not kept.
    QByteArray bytes = QByteArray(1000, '\n') + "k=before\n[S]\n";
    for (qsizetype i = 1; i < TmyIniFile::kMaxEntries; ++i)
        bytes += (i % 2 ? "k" + QByteArray::number(i) + "=v\n" : QByteArray("no equals sign\n\n"));
    QVERIFY(WriteBytes(path(u"most.ini"_s), bytes));
    const TmyIniFile most(path(u"most.ini"_s));
    QVERIFY2(most.isLoaded(), qPrintable(most.errorString()));
    QCOMPARE(most.ReadString(u"S"_s, u"k1"_s, {}), u"v"_s);

    // Nor is a store written that no store could read back.
    TmyIniFile grown(path(u"most.ini"_s));
    grown.WriteString(u"T"_s, u"k"_s, u"v"_s);
    QVERIFY(!grown.UpdateFile());
    QCOMPARE(grown.errorString(),
        u"Не удалось записать файл \"%1\": он вышел бы длиннее 250000 строк, а такой файл программа не прочтёт; "
        u"ничего не записано."_s.arg(QDir::toNativeSeparators(path(u"most.ini"_s))));
    QCOMPARE(ReadBytes(path(u"most.ini"_s)), bytes);

    QVERIFY(WriteBytes(path(u"more.ini"_s), bytes + "[T]\n"));
    const TmyIniFile more(path(u"more.ini"_s));
    QVERIFY(!more.isLoaded());
    QCOMPARE(more.errorString(),
        u"Не удалось прочитать файл \"%1\": в нём больше 250000 строк, столько файл настроек не содержит"_s.arg(
            QDir::toNativeSeparators(path(u"more.ini"_s))));
}

void TestIniFile::guardedValues_data()
{
    QTest::addColumn<QString>("raw"); // the value as it stands in the file
    QTest::addColumn<QString>("expected");
    QTest::newRow("blanks kept inside the guard") << Del + u"  COM1 "_s + Del << u"  COM1 "_s;
    QTest::newRow("unguarded trimmed") << u"  COM1 "_s << u"COM1"_s;
    QTest::newRow("one DEL") << QString(Del) << QString(Del);
    QTest::newRow("two DEL") << QString(Del) + Del << QString();
    QTest::newRow("closing DEL removed") << Del + u"abc"_s << Del + u"abc"_s;
}

void TestIniFile::guardedValues()
{
    QFETCH(QString, raw);
    QFETCH(QString, expected);
    WriteBytes(path(u"a.ini"_s), "[S]\r\nk=" + Cp1251(raw) + "\r\n");
    TmyIniFile ini(path(u"a.ini"_s));
    QCOMPARE(ini.mReadString(u"S"_s, u"k"_s, u"def"_s), expected);
    QCOMPARE(ini.mReadString(u"S"_s, u"missing"_s, u" def "_s), u" def "_s);

    // Whatever is written guarded reads back exactly.
    ini.mWriteString(u"S"_s, u"w"_s, expected);
    QVERIFY(ini.UpdateFile());
    QCOMPARE(TmyIniFile(path(u"a.ini"_s)).mReadString(u"S"_s, u"w"_s, u"def"_s), expected);
}

void TestIniFile::readInteger_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<int>("expected");
    QTest::newRow("hex") << u"0x4B00"_s << 19200;
    QTest::newRow("hex upper") << u"0X4b00"_s << 19200;
    QTest::newRow("decimal") << u"3500"_s << 3500;
    QTest::newRow("plus") << u"+7"_s << 7;
    QTest::newRow("minus") << u"-12"_s << -12;
    QTest::newRow("max") << u"2147483647"_s << 2147483647;
    QTest::newRow("min") << u"-2147483648"_s << int(std::numeric_limits<qint32>::min());
    QTest::newRow("above max") << u"2147483648"_s << -1;
    QTest::newRow("far above max") << u"99999999999999999999"_s << -1;
    QTest::newRow("hex max") << u"0x7FFFFFFF"_s << 2147483647;
    QTest::newRow("hex above max") << u"0x80000000"_s << -1;
    QTest::newRow("0x alone") << u"0x"_s << -1;
    QTest::newRow("bad hex digit") << u"0x4G"_s << -1;
    QTest::newRow("letters") << u"abc"_s << -1;
    QTest::newRow("empty") << QString() << -1;
    QTest::newRow("sign alone") << u"-"_s << -1;
    QTest::newRow("inner blank") << u"1 2"_s << -1;
}

void TestIniFile::readInteger()
{
    QFETCH(QString, raw);
    QFETCH(int, expected);
    WriteBytes(path(u"a.ini"_s), "[S]\r\nk=" + raw.toLatin1() + "\r\n");
    QCOMPARE(TmyIniFile(path(u"a.ini"_s)).ReadInteger(u"S"_s, u"k"_s, -1), expected);
}

void TestIniFile::updateKeepsOrderAndAppends()
{
    WriteBytes(path(u"a.ini"_s), "; comment\r\n\r\n[B]\r\nz = 1\r\nfree text\r\n[A]\r\ny=2\r\n");
    TmyIniFile ini(path(u"a.ini"_s));
    ini.WriteInteger(u"A"_s, u"y"_s, -3);
    ini.WriteString(u"C"_s, u"n"_s, u"new"_s);
    ini.WriteString(u"b"_s, u"x"_s, u"added"_s);
    QVERIFY(ini.UpdateFile());
    QCOMPARE(ReadBytes(path(u"a.ini"_s)),
        QByteArray("[B]\r\nz=1\r\nfree text\r\nx=added\r\n\r\n[A]\r\ny=-3\r\n\r\n[C]\r\nn=new\r\n\r\n"));
}

void TestIniFile::updateKeepsEncoding_data()
{
    QTest::addColumn<QByteArray>("mark");
    QTest::addColumn<QString>("codec");
    QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF") << u"UTF-8"_s;
    QTest::newRow("utf-16 le") << QByteArray("\xFF\xFE") << u"UTF-16LE"_s;
    QTest::newRow("utf-16 be") << QByteArray("\xFE\xFF") << u"UTF-16BE"_s;
    QTest::newRow("no mark: windows-1251") << QByteArray() << u"windows-1251"_s;
}

void TestIniFile::updateKeepsEncoding()
{
    QFETCH(QByteArray, mark);
    QFETCH(QString, codec);
    QStringEncoder enc(codec.toLatin1().constData());
    const QString before = u"[Раздел]\r\nКлюч=Значение\r\n\r\n"_s;
    WriteBytes(path(u"a.ini"_s), mark + enc.encode(before));
    TmyIniFile ini(path(u"a.ini"_s));
    QCOMPARE(ini.ReadString(u"раздел"_s, u"ключ"_s, {}), u"Значение"_s);
    ini.mWriteString(u"Раздел"_s, u"Новый"_s, u"ёж"_s);
    QVERIFY(ini.UpdateFile());
    const QString after = before.chopped(2) + u"Новый="_s + Del + u"ёж"_s + Del + u"\r\n\r\n"_s;
    QCOMPARE(ReadBytes(path(u"a.ini"_s)), mark + enc.encode(after));
}

void TestIniFile::lineBreakInValueStaysOnItsLine()
{
    TmyIniFile ini(path(u"a.ini"_s));
    ini.mWriteString(u"S"_s, u"k"_s, u"one\r\n[X]\ntwo"_s);
    QVERIFY(ini.UpdateFile());
    const TmyIniFile back(path(u"a.ini"_s));
    QCOMPARE(back.sectionCount(), 1);
    QCOMPARE(back.mReadString(u"S"_s, u"k"_s, {}), u"one  [X] two"_s);
}

void TestIniFile::missingFileIsEmptyStore()
{
    TmyIniFile ini(path(u"none.ini"_s));
    QVERIFY(ini.isLoaded());
    QCOMPARE(ini.sectionCount(), 0);
    QVERIFY(!QFile::exists(path(u"none.ini"_s)));
    QVERIFY(ini.UpdateFile());
    QCOMPARE(ReadBytes(path(u"none.ini"_s)), QByteArray());
}

void TestIniFile::unreadableFileFailsToLoad()
{
    QVERIFY(QDir(m_dir->path()).mkdir(u"dir.ini"_s));
    TmyIniFile dir(path(u"dir.ini"_s));
    QVERIFY(!dir.isLoaded());
    QVERIFY(dir.errorString().contains(u"dir.ini"_s));

    WriteBytes(path(u"bad.ini"_s), "\xEF\xBB\xBF[S]\r\nk=\xFF\xFE\r\n"); // invalid UTF-8 after the mark
    QVERIFY(!TmyIniFile(path(u"bad.ini"_s)).isLoaded());
}

void TestIniFile::updateIntoDirectoryFails()
{
    TmyIniFile ini(path(u"a.ini"_s));
    ini.WriteString(u"S"_s, u"k"_s, u"v"_s);
    QVERIFY(QDir(m_dir->path()).mkdir(u"a.ini"_s));
    QVERIFY(!ini.UpdateFile());
    QVERIFY(ini.errorString().startsWith(u"Не удалось записать файл"_s));
    QVERIFY(QFileInfo(path(u"a.ini"_s)).isDir());
}

void TestIniFile::failedWriteKeepsPreviousFile()
{
    if (!FileSizeLimit::supported())
        QSKIP("no file size limit on this platform");
    const QByteArray previous = "[S]\r\nk=old\r\n\r\n";
    WriteBytes(path(u"a.ini"_s), previous);
    TmyIniFile ini(path(u"a.ini"_s));
    for (int i = 0; i < 2000; ++i)
        ini.mWriteString(u"S"_s, u"key"_s + QString::number(i), u"value"_s);
    {
        const FileSizeLimit limit(4096); // the disk "fills up" in the middle of the save
        QVERIFY(!ini.UpdateFile());
    }
    QVERIFY(!ini.errorString().isEmpty());
    QCOMPARE(ReadBytes(path(u"a.ini"_s)), previous);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList { u"a.ini"_s }); // no temporary left
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "TestIniFile.moc"
