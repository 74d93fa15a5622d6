#include "TempFiles.h"

#include "config/ExchangeLogFile.h"
#include "config/FileErrors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

class TestFileErrors : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void reasonInWords_data();
    void reasonInWords();
    void fullDiskIsNamed_data();
    void fullDiskIsNamed();

    void logFollowsOwnLinkOnly();
    void logRefusesForeignLink();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFileErrors::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestFileErrors::reasonInWords_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");
    QTest::newRow("none") << 0 << QString();
    QTest::newRow("ENOSPC") << ENOSPC << u"на диске нет свободного места"_s;
#ifdef EDQUOT
    QTest::newRow("EDQUOT") << EDQUOT << u"на диске нет свободного места"_s;
#endif
    QTest::newRow("EACCES") << EACCES << u"нет прав на запись в этот файл или в его папку"_s;
    QTest::newRow("EROFS") << EROFS << u"диск доступен только для чтения"_s;
    QTest::newRow("EIO") << EIO << u"ошибка ввода-вывода: диск неисправен или отключён"_s;
    // One without words of ours keeps the system's, never "Unknown error".
    QTest::newRow("EFBIG") << EFBIG << QString::fromLocal8Bit(std::strerror(EFBIG));
}

void TestFileErrors::reasonInWords()
{
    QFETCH(int, error);
    QFETCH(QString, reason);
    QCOMPARE(FileErrors::Reason(error), reason);
}

void TestFileErrors::fullDiskIsNamed_data()
{
    QTest::addColumn<bool>("buffered");
    QTest::newRow("unbuffered") << false;
    // The exchange log writes through Qt's buffer and flushes each frame.
    QTest::newRow("buffered, flushed") << true;
}

// /dev/full takes the open and answers every write as a full disk does.
void TestFileErrors::fullDiskIsNamed()
{
    QFETCH(bool, buffered);
    if (!QFile::exists(u"/dev/full"_s))
        QSKIP("no /dev/full on this system");
    QFile file(u"/dev/full"_s);
    QVERIFY(file.open(QIODevice::WriteOnly | (buffered ? QIODevice::OpenMode() : QIODevice::Unbuffered)));
    QString reason;
    QVERIFY(!FileErrors::WriteAll(file, " 00-02H;\n", &reason));
    QCOMPARE(reason, u"на диске нет свободного места"_s);
}

void TestFileErrors::logFollowsOwnLinkOnly()
{
#ifdef Q_OS_UNIX
    const QString target = path(u"real.log"_s);
    const QString link = path(u"link.log"_s);
    QVERIFY(WriteBytes(target, "earlier\n"));
    QVERIFY(QFile::link(target, link));
    ExchangeLogFile log;
    QString error;
    QVERIFY2(log.open(link, &error), qPrintable(error));
    TBufKKT buf {};
    buf.data[0] = 0x02;
    buf.count = 1;
    QVERIFY(log.append(buf, false));
    log.close();
    QCOMPARE(ReadBytes(target), QByteArray("earlier\n") + ExchangeLogFile::FrameText(buf, false).toUtf8());
#else
    QSKIP("symbolic links of the user's own are a POSIX matter here");
#endif
}

// Root appending through a link that someone else planted in the log's place
// would write into whatever file that link names.
void TestFileErrors::logRefusesForeignLink()
{
#ifdef Q_OS_UNIX
    if (::geteuid() != 0)
        QSKIP("only root can give a link to another user");
    const QString target = path(u"victim"_s);
    const QString link = path(u"planted.log"_s);
    QVERIFY(WriteBytes(target, "keep\n"));
    QVERIFY(QFile::link(target, link));
    QCOMPARE(::lchown(QFile::encodeName(link).constData(), 65534, 65534), 0);
    ExchangeLogFile log;
    QString error;
    QVERIFY(!log.open(link, &error));
    QVERIFY(!log.isOpen());
    QCOMPARE(error,
        u"Не удалось открыть файл журнала \"%1\": это символическая ссылка, которую создал другой пользователь; "
        u"по чужой ссылке журнал не пишется. Выберите другой файл."_s.arg(QDir::toNativeSeparators(link)));
    QCOMPARE(ReadBytes(target), QByteArray("keep\n"));
#else
    QSKIP("POSIX owners only");
#endif
}

QTEST_GUILESS_MAIN(TestFileErrors)
#include "TestFileErrors.moc"
