// The real serial adapters against kkt-emulator on a pseudo-terminal. Every
// case runs once for each adapter built on this system.

#include "EmulatorProcess.h"
#include "kkt/ComPort.h"
#include "kkt/SerialLinkFactory.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(SerialLinkKind)

namespace {
// The adapter of the current global data row.
SerialLinkKind CurrentKind()
{
    QFETCH_GLOBAL(SerialLinkKind, kind);
    return kind;
}

std::unique_ptr<SerialLink> MakeLink(const QString &portsFolder = PortsFolder())
{
    return MakeSerialLink(CurrentKind(), portsFolder);
}

// A link check frame for KKT 0, as the program sends it, and the size of its answer.
const QByteArray kLinkCheck("\x17\x02\x00\x00\x00\x00\x75\x0B\x19\xB2\x00", 11);
constexpr int kLinkCheckAnswerSize = 31;

// An emulator with its own link, and the real port opened by that link.
struct PtyFixture
{
    QTemporaryDir dir;
    EmulatorProcess emulator;
    std::unique_ptr<SerialLink> link = MakeLink();
    KktChannel channel { *link };
    KktConnection conn;
    int requests = 0;

    bool start(const QStringList &options = {})
    {
        channel.setLogSink([this](const TBufKKT &, bool isAnswer) { requests += isAnswer ? 0 : 1; });
        if (!emulator.start(QStringLiteral(KKT_EMULATOR_PATH), dir.filePath(u"KKT-EMU"_s), options)) {
            qWarning() << emulator.error();
            return false;
        }
        conn.Name = emulator.linkPath();
        return true;
    }
    quint8 testLink()
    {
        TTestLinkAnswer answer;
        return RequestTestLink(channel, conn, answer);
    }
    // Sends raw bytes on the open link; the size of the answer when it is a
    // good answer to a link check, else -1.
    int writeAndRead(const QByteArray &bytes)
    {
        link->purge();
        if (link->write(reinterpret_cast<const quint8 *>(bytes.constData()), int(bytes.size())) != bytes.size())
            return -1;
        quint8 answer[64] = {};
        const int got = link->read(answer, int(sizeof answer));
        return got >= 4 && answer[2] == 0x75 && answer[3] == 0 ? got : -1;
    }
};

// While it lives, a timer signal interrupts every few milliseconds whatever
// system call the process waits in (no automatic restart).
class SignalStorm
{
public:
    SignalStorm()
    {
        struct sigaction action
        {
        };
        action.sa_handler = [](int) { s_caught = s_caught + 1; };
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        ::sigaction(SIGALRM, &action, &m_old);
        const itimerval every { { 0, 3000 }, { 0, 3000 } };
        ::setitimer(ITIMER_REAL, &every, nullptr);
    }
    ~SignalStorm()
    {
        const itimerval off {};
        ::setitimer(ITIMER_REAL, &off, nullptr);
        ::sigaction(SIGALRM, &m_old, nullptr);
    }
    static int caught() { return s_caught; }

private:
    static inline volatile std::sig_atomic_t s_caught = 0;
    struct sigaction m_old
    {
    };
};

// Elapsed milliseconds of one call.
template <typename Call> qint64 Timed(Call call)
{
    QElapsedTimer timer;
    timer.start();
    call();
    return timer.elapsed();
}
} // namespace

class TestPtyLink : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase_data();
    void goodsItemRoundTrip();
    void tableParameterRoundTrip();
    void busyIsRetried();
    void faultOutcome_data();
    void faultOutcome();
    void silentCostsTheTotalTimeOut();
    void shortAnswerEndsOnIntervalTimeOut();
    void zeroTimeOutStillSendsTheRequest();
    void shortenedIntervalTimeOut();
    void totalTimeOutCutsASlowAnswer();
    void portHeldByAnotherProcess_data();
    void portHeldByAnotherProcess();
    void clearBaseWaitsBeyondTheConnectionTimeOut();
    void linkRemovedOnTerminate();
    void existingLinkPaths_data();
    void existingLinkPaths();
    void killedClientLeavesThePortFree();
    void noiseDoesNotHoldTheNextRequest();
    void echoingLineIsNoAnswer();
    void lateAnswerIsNotTakenForTheNext();
    void repeatedAnswersNeverPassForAnother();
    void garbageAndBadFramesAreSkipped();
    void requestAfterAStrayStartIsAnswered();
    void portNames();
    void namesBehindFolderEntries_data();
    void namesBehindFolderEntries();
    void notATerminalIsNotOpened_data();
    void notATerminalIsNotOpened();
    void speedsOutsideTheStandardList_data();
    void speedsOutsideTheStandardList();
    void signalsDoNotCutTheExchange();
    void cookedTerminalCarriesRawBytes();
    void writeDoesNotDependOnTheReadTimeOut();
    void emulatorUsageErrors_data();
    void emulatorUsageErrors();
};

void TestPtyLink::initTestCase_data()
{
    QTest::addColumn<SerialLinkKind>("kind");
    for (SerialLinkKind kind : BuiltSerialLinkKinds())
        QTest::newRow(qPrintable(SerialLinkKindName(kind))) << kind;
}

void TestPtyLink::goodsItemRoundTrip()
{
    PtyFixture f;
    QVERIFY(f.start());
    quint16 number = 4321, font = KktFont::Wide;
    quint8 section = 7;
    QString name = u"Хлеб бородинский"_s, barcode = u"4607001770012"_s, price = u"5990"_s;
    QCOMPARE(RequestPredmRasch(f.channel, f.conn, KktMode::Write, number, font, name, barcode, price, section),
        KktOutcome::Ok);

    quint16 backNumber = 4321, backFont = 0;
    quint8 backSection = 0;
    QString backName, backBarcode, backPrice;
    QCOMPARE(RequestPredmRasch(
                 f.channel, f.conn, KktMode::Read, backNumber, backFont, backName, backBarcode, backPrice, backSection),
        KktOutcome::Ok);
    QCOMPARE(backNumber, quint16(4321));
    QCOMPARE(backFont, KktFont::Wide);
    QCOMPARE(backName, u"ХЛЕБ БОРОДИНСКИЙ"_s);
    QCOMPARE(backBarcode, barcode);
    QCOMPARE(backPrice, price);
    QCOMPARE(backSection, quint8(7));
    QVERIFY(!f.link->isOpen());
}

void TestPtyLink::tableParameterRoundTrip()
{
    PtyFixture f;
    QVERIFY(f.start({ u"--kkt"_s, u"305"_s }));
    f.conn.NumKKT = 305;
    quint16 font = KktFont::Narrow;
    QString value = u"ООО \"Ромашка\""_s;
    QCOMPARE(RequestParam(f.channel, f.conn, KktMode::Write, 8, 90, 1, font, value, true), KktOutcome::Ok);
    QString back;
    quint16 backFont = 0;
    QCOMPARE(RequestParam(f.channel, f.conn, KktMode::Read, 8, 90, 1, backFont, back, true), KktOutcome::Ok);
    QCOMPARE(back, u"ООО \"РОМАШКА\""_s);
    QCOMPARE(backFont, KktFont::Narrow);
    // The same register under another number does not answer.
    f.conn.NumKKT = 0;
    f.conn.TimeOut = 200;
    QCOMPARE(f.testLink(), KktOutcome::NoAnswer);
}

void TestPtyLink::busyIsRetried()
{
    PtyFixture f;
    QVERIFY(f.start({ u"--busy"_s, u"3"_s }));
    QCOMPARE(f.testLink(), KktOutcome::Ok);
    QCOMPARE(f.requests, 4);
}

void TestPtyLink::faultOutcome_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("outcome");
    QTest::newRow("status 0x42") << QStringList { u"--status"_s, u"0x42"_s } << 66;
    QTest::newRow("bad checksum") << QStringList { u"--bad-checksum"_s } << int(KktOutcome::ChecksumError);
    QTest::newRow("busy beyond ten attempts") << QStringList { u"--busy"_s, u"12"_s } << 0x15;
}

void TestPtyLink::faultOutcome()
{
    QFETCH(QStringList, options);
    QFETCH(int, outcome);
    PtyFixture f;
    QVERIFY(f.start(options));
    QCOMPARE(int(f.testLink()), outcome);
}

void TestPtyLink::silentCostsTheTotalTimeOut()
{
    PtyFixture f;
    QVERIFY(f.start({ u"--silent"_s }));
    f.conn.TimeOut = 300;
    quint8 outcome = 0xFF;
    const qint64 ms = Timed([&] { outcome = f.testLink(); });
    QCOMPARE(outcome, KktOutcome::NoAnswer);
    QCOMPARE(f.requests, 1);
    QVERIFY2(ms >= 290 && ms < 1000, qPrintable(QString::number(ms)));
}

void TestPtyLink::zeroTimeOutStillSendsTheRequest()
{
    // A read time-out of 0 gives no time to the answer, but the request goes out whole.
    PtyFixture f;
    QVERIFY(f.start());
    f.conn.TimeOut = 0;
    QList<quint32> written;
    f.channel.setLogSink([&](const TBufKKT &buf, bool isAnswer) {
        if (!isAnswer)
            written << buf.count;
    });
    f.testLink();
    QCOMPARE(written, QList<quint32> { quint32(kLinkCheck.size()) });
}

void TestPtyLink::shortAnswerEndsOnIntervalTimeOut()
{
    // Seven bytes of the 46 asked for: the read waits the real 1500 ms after the
    // last of them, well before the total time-out, and the answer is valid:
    // its status is the outcome.
    PtyFixture f;
    QVERIFY(f.start({ u"--short"_s, u"--status"_s, u"0x33"_s }));
    f.conn.TimeOut = 3500;
    quint16 number = 1, font = 0;
    quint8 section = 0;
    QString name, barcode, price;
    quint8 outcome = 0xFF;
    const qint64 ms = Timed([&] {
        outcome = RequestPredmRasch(f.channel, f.conn, KktMode::Read, number, font, name, barcode, price, section);
    });
    QCOMPARE(outcome, quint8(0x33));
    QVERIFY2(ms >= 1490 && ms < 2200, qPrintable(QString::number(ms)));
}

void TestPtyLink::shortenedIntervalTimeOut()
{
    PtyFixture f;
    QVERIFY(f.start({ u"--short"_s, u"--status"_s, u"0x33"_s }));
    f.link->setIntervalTimeOut(150);
    quint8 outcome = 0xFF;
    const qint64 ms = Timed([&] { outcome = f.testLink(); });
    QCOMPARE(outcome, quint8(0x33));
    QVERIFY2(ms >= 140 && ms < 1000, qPrintable(QString::number(ms)));
}

void TestPtyLink::totalTimeOutCutsASlowAnswer()
{
    // At 1200 baud the 11-byte request and the 31-byte answer take 350 ms on
    // the line. Bytes keep coming, so only the total time-out, counted from the
    // start of the read, can end it: a cut answer, checksum error.
    PtyFixture f;
    QVERIFY(f.start({ u"--pace"_s }));
    f.conn.Speed = 1200;
    f.conn.TimeOut = 250;
    quint8 outcome = 0xFF;
    const qint64 ms = Timed([&] { outcome = f.testLink(); });
    QCOMPARE(outcome, KktOutcome::ChecksumError);
    QVERIFY2(ms >= 240 && ms < 800, qPrintable(QString::number(ms)));
    // Given the time, the same answer arrives whole (once the rest of the cut
    // one has left the line, as it would have to on a real one).
    QTest::qWait(300);
    f.conn.TimeOut = 1000;
    QCOMPARE(f.testLink(), KktOutcome::Ok);
}

void TestPtyLink::portHeldByAnotherProcess_data()
{
    QTest::addColumn<QStringList>("holderOptions");
    QTest::newRow("another instance of ours") << QStringList();
    QTest::newRow("a program on QSerialPort") << QStringList { u"--qt"_s };
    QTest::newRow("a program that only locks the device") << QStringList { u"--flock"_s };
    // Root's open passes the flag: the terminal's word that it is set counts.
    QTest::newRow("a program that only sets the exclusive flag") << QStringList { u"--excl"_s };
}

void TestPtyLink::portHeldByAnotherProcess()
{
    QFETCH(QStringList, holderOptions);
    PtyFixture f;
    QVERIFY(f.start());
    QProcess holder;
    holder.start(QStringLiteral(PORT_HOLDER_PATH), holderOptions + QStringList { f.conn.Name });
    QVERIFY(holder.waitForReadyRead(5000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));

    QCOMPARE(f.testLink(), KktOutcome::PortNotOpened);
    QCOMPARE(f.requests, 0);
    if (CurrentKind() == SerialLinkKind::Posix) { // kkt-cli, on the program's adapter, alike
        QProcess cli;
        cli.start(QStringLiteral(KKT_CLI_PATH), { u"--port"_s, f.conn.Name, u"link"_s });
        QVERIFY(cli.waitForFinished(10000));
        QCOMPARE(cli.exitCode(), int(KktOutcome::PortNotOpened));
    }
    // Through the terminal's own path the port is just as held.
    f.conn.Name = f.emulator.terminalPath();
    QCOMPARE(f.testLink(), KktOutcome::PortNotOpened);

    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(5000));
    if (holderOptions == QStringList { u"--excl"_s }) {
        // Its flag outlives it on a terminal the emulator keeps open, until the emulator sees it gone.
        QTRY_COMPARE_WITH_TIMEOUT(f.testLink(), KktOutcome::Ok, 3000);
        return; // such a program asks nothing before it takes the port
    }
    QCOMPARE(f.testLink(), KktOutcome::Ok);
    // And while we hold it, the other program is refused in turn.
    const std::unique_ptr<SerialLink> ours = MakeLink();
    QVERIFY(ours->open(f.conn.Name, 19200, 1000));
    holder.start(QStringLiteral(PORT_HOLDER_PATH), holderOptions + QStringList { f.conn.Name });
    QVERIFY(holder.waitForFinished(5000));
    QCOMPARE(holder.readAllStandardOutput().trimmed(), QByteArray("refused"));
    QCOMPARE(holder.exitCode(), 1);
}

void TestPtyLink::clearBaseWaitsBeyondTheConnectionTimeOut()
{
    PtyFixture f;
    QVERIFY(f.start({ u"--delay-ms"_s, u"4000"_s }));
    f.conn.TimeOut = 3500;
    quint8 status = 0xFF, outcome = 0xFF;
    const qint64 ms = Timed([&] { outcome = RequestClearBase(f.channel, f.conn, status); });
    QCOMPARE(outcome, KktOutcome::Ok);
    QCOMPARE(status, quint8(0));
    QVERIFY2(ms >= 3990 && ms < 6000, qPrintable(QString::number(ms)));
}

void TestPtyLink::linkRemovedOnTerminate()
{
    PtyFixture f;
    QVERIFY(f.start());
    const QString link = f.emulator.linkPath();
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFileInfo(link).symLinkTarget(), f.emulator.terminalPath());
    QVERIFY(f.emulator.stop());
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(!QFileInfo::exists(link));
}

void TestPtyLink::existingLinkPaths_data()
{
    QTest::addColumn<QString>("existing"); // what lies at the link path before the start
    QTest::addColumn<bool>("replaced");
    QTest::newRow("a user's link to a device") << u"link to /dev/null"_s << false;
    QTest::newRow("a link to a regular file") << u"link to file"_s << false;
    QTest::newRow("a regular file") << u"file"_s << false;
    QTest::newRow("a missing folder") << u"no folder"_s << false;
    QTest::newRow("a link to nothing") << u"dangling link"_s << true;
    // A live terminal has a holder: another emulator, or socat's pty.
    QTest::newRow("a link to another emulator's terminal") << u"link to a terminal"_s << false;
    QTest::newRow("a link to a terminal this test holds") << u"link to a held terminal"_s << false;
}

// The emulator publishes its terminal only where it takes nothing of the user's.
void TestPtyLink::existingLinkPaths()
{
    QFETCH(QString, existing);
    QFETCH(bool, replaced);
    QTemporaryDir dir;
    QString link = dir.filePath(u"COM1"_s);
    const QString file = dir.filePath(u"file"_s);
    QFile(file).open(QIODevice::WriteOnly);
    EmulatorProcess other;
    int held = -1;
    const auto release = qScopeGuard([&] {
        if (held >= 0)
            ::close(held);
    });
    if (existing == u"link to /dev/null"_s)
        QVERIFY(QFile::link(u"/dev/null"_s, link));
    else if (existing == u"link to file"_s)
        QVERIFY(QFile::link(file, link));
    else if (existing == u"file"_s)
        link = file;
    else if (existing == u"no folder"_s)
        link = dir.filePath(u"missing/COM1"_s);
    else if (existing == u"dangling link"_s)
        QVERIFY(QFile::link(dir.filePath(u"gone"_s), link));
    else if (existing == u"link to a held terminal"_s) {
        held = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(held >= 0 && ::grantpt(held) == 0 && ::unlockpt(held) == 0);
        QVERIFY(QFile::link(QString::fromLocal8Bit(::ptsname(held)), link));
    } else {
        QVERIFY(other.start(QStringLiteral(KKT_EMULATOR_PATH), dir.filePath(u"OTHER"_s)));
        QVERIFY(QFile::link(other.terminalPath(), link));
    }
    const QString before = QFileInfo(link).symLinkTarget();

    QProcess emulator;
    emulator.start(QStringLiteral(KKT_EMULATOR_PATH), { u"--link"_s, link });
    if (replaced) {
        QTRY_VERIFY(
            QFileInfo(link).symLinkTarget().startsWith(u"/dev/pts/"_s) && QFileInfo(link).symLinkTarget() != before);
        emulator.terminate();
        QVERIFY(emulator.waitForFinished(5000));
        return;
    }
    QVERIFY(emulator.waitForFinished(5000));
    QCOMPARE(emulator.exitCode(), 64);
    QVERIFY(QString::fromUtf8(emulator.readAllStandardError()).contains(QFileInfo(link).absolutePath()));
    QCOMPARE(QFileInfo(link).symLinkTarget(), before);
    QVERIFY(!QDir(dir.filePath(u"missing"_s)).exists());
    QVERIFY(QFileInfo::exists(file));
    if (existing == u"link to a terminal"_s) { // the other emulator still answers under the name
        const std::unique_ptr<SerialLink> port = MakeLink();
        KktChannel channel(*port);
        TTestLinkAnswer answer;
        QCOMPARE(RequestTestLink(channel, { link, 19200, 1000, 0, 0 }, answer), KktOutcome::Ok);
    }
}

// A client killed while it held the port exclusively: the next client, even
// an ordinary user's, gets the port.
void TestPtyLink::killedClientLeavesThePortFree()
{
    PtyFixture f;
    QVERIFY(f.start());
    const auto exclusive = [&] {
        const int fd = ::open(QFile::encodeName(f.emulator.terminalPath()).constData(), O_RDWR | O_NOCTTY);
        int flag = -1;
        if (fd >= 0) {
            ::ioctl(fd, TIOCGEXCL, &flag);
            ::close(fd);
        }
        return flag;
    };
    QProcess holder;
    holder.start(QStringLiteral(PORT_HOLDER_PATH), QStringList { f.conn.Name });
    QVERIFY(holder.waitForReadyRead(5000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));
    QCOMPARE(exclusive(), 1);
    holder.kill();
    QVERIFY(holder.waitForFinished(5000));
    QTRY_COMPARE_WITH_TIMEOUT(exclusive(), 0, 3000);
    QCOMPARE(f.testLink(), KktOutcome::Ok);
}

// Line noise whose length byte promises a long frame: the request that follows
// is answered at once, not after the noise is given up.
void TestPtyLink::noiseDoesNotHoldTheNextRequest()
{
    PtyFixture f;
    QVERIFY(f.start());
    QVERIFY(f.link->open(f.conn.Name, 19200, 300));
    int got = -1;
    const qint64 ms
        = Timed([&] { got = f.writeAndRead(QByteArray("\x17\x02\0\0\0\0u\xFF\x13\x00", 10) + kLinkCheck); });
    QCOMPARE(got, kLinkCheckAnswerSize);
    QVERIFY2(ms < 500, qPrintable(QString::number(ms)));
    QCOMPARE(f.writeAndRead(kLinkCheck), kLinkCheckAnswerSize);
}

void TestPtyLink::echoingLineIsNoAnswer()
{
    // The request comes back whole: its checksum is right and its byte 3 reads as status 0.
    PtyFixture f;
    QVERIFY(f.start({ u"--echo"_s }));
    f.link->setIntervalTimeOut(150);
    f.conn.TimeOut = 1000;
    QCOMPARE(f.testLink(), KktOutcome::NoAnswer);
    QVERIFY2(f.channel.lastFault().contains(u"сам запрос"_s), qPrintable(f.channel.lastFault()));
}

// Item 1's answer comes 1.2 s after its request, 0.2 s after the time-out, while item 2 is asked.
void TestPtyLink::lateAnswerIsNotTakenForTheNext()
{
    PtyFixture f;
    QVERIFY(f.start({ u"--delay-ms"_s, u"1200"_s }));
    const auto read = [&](quint16 asked, quint16 &number) {
        number = asked;
        quint16 font = 0;
        quint8 section = 0;
        QString name, barcode, price;
        return RequestPredmRasch(f.channel, f.conn, KktMode::Read, number, font, name, barcode, price, section);
    };
    quint16 number = 0;
    f.conn.TimeOut = 1000;
    QCOMPARE(read(1, number), KktOutcome::NoAnswer);
    f.conn.TimeOut = 3000;
    quint8 outcome = 0xFF;
    const qint64 ms = Timed([&] { outcome = read(2, number); });
    QCOMPARE(outcome, KktOutcome::Ok);
    QCOMPARE(number, quint16(2));
    // The line quiet for 300 ms after the late answer, then the 1.2 s of item 2's own.
    QVERIFY2(ms >= 1200 + 300 && ms < 2900, qPrintable(QString::number(ms)));
}

// A register that repeats each answer 30 ms later: no read may ever take the
// answer meant for another; the repeats are seen and the read fails.
void TestPtyLink::repeatedAnswersNeverPassForAnother()
{
    PtyFixture f;
    QVERIFY(f.start({ u"--repeat-ms"_s, u"30"_s }));
    f.conn.TimeOut = 1000;
    int failed = 0;
    for (quint16 item = 1; item <= 20; ++item) {
        quint16 number = item, font = 0;
        quint8 section = 0;
        QString name, barcode, price;
        const quint8 outcome
            = RequestPredmRasch(f.channel, f.conn, KktMode::Read, number, font, name, barcode, price, section);
        if (outcome == KktOutcome::Ok)
            QCOMPARE(number, item);
        else
            ++failed;
    }
    QVERIFY(failed > 0);
}

void TestPtyLink::garbageAndBadFramesAreSkipped()
{
    PtyFixture f;
    QVERIFY(f.start());
    QVERIFY(f.link->open(f.conn.Name, 19200, 300));
    QByteArray badSum = kLinkCheck;
    badSum[9] = '\xB3';
    // One answer only, to the good frame.
    QCOMPARE(f.writeAndRead(QByteArray("\x00\xFF\x17\x17\x02", 5) + badSum + QByteArray("\x55", 1) + kLinkCheck),
        kLinkCheckAnswerSize);
}

void TestPtyLink::requestAfterAStrayStartIsAnswered()
{
    PtyFixture f;
    QVERIFY(f.start());
    QVERIFY(f.link->open(f.conn.Name, 19200, 3000));
    f.link->setIntervalTimeOut(300);
    // The stray start announces 200 bytes that never come. Once the emulator
    // gives it up, the request that came with it is still answered.
    QCOMPARE(f.writeAndRead(QByteArray("\x17\x02\0\0\0\0u\xC8", 8) + kLinkCheck), kLinkCheckAnswerSize);
}

void TestPtyLink::portNames()
{
    PtyFixture f;
    QVERIFY(f.start());
    const QString published = QFileInfo(f.emulator.linkPath()).fileName();
    const QString folder = QFileInfo(f.emulator.linkPath()).absolutePath();
    QVERIFY(f.emulator.terminalPath().startsWith(u"/dev/"_s));
    QTemporaryDir otherFolder;
    const auto answers = [](SerialLink &link, const QString &name) {
        KktChannel channel(link);
        KktConnection conn { name, 19200, 300, 0, 0 };
        TTestLinkAnswer answer;
        return RequestTestLink(channel, conn, answer) == KktOutcome::Ok;
    };
    // An entry of the ports folder the link was given.
    const std::unique_ptr<SerialLink> inFolder = MakeLink(folder);
    QVERIFY(answers(*inFolder, published));
    inFolder->close();
    // A name the ports folder does not hold goes to the port, which finds it under /dev.
    const std::unique_ptr<SerialLink> elsewhere = MakeLink(otherFolder.path());
    QVERIFY(answers(*elsewhere, f.emulator.terminalPath().sliced(5)));
    QVERIFY(!elsewhere->open(published, 19200, 300));
}

void TestPtyLink::namesBehindFolderEntries_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<quint8>("outcome");
    // A link to nothing passes the name on to /dev, where ptmx is a terminal
    // that opens and never answers.
    QTest::newRow("link to nothing") << u"dangling"_s << KktOutcome::NoAnswer;
    // An entry that is there is what the name means, though it is no port.
    QTest::newRow("link to itself") << u"loop"_s << KktOutcome::PortNotOpened;
    QTest::newRow("plain file") << u"file"_s << KktOutcome::PortNotOpened;
}

void TestPtyLink::namesBehindFolderEntries()
{
    QFETCH(QString, entry);
    QFETCH(quint8, outcome);
    if (!QFileInfo(u"/dev/ptmx"_s).exists())
        QSKIP("no /dev/ptmx here");
    QTemporaryDir folder;
    const QString path = folder.filePath(u"ptmx"_s);
    if (entry == u"dangling"_s)
        QVERIFY(QFile::link(folder.filePath(u"nothing"_s), path));
    else if (entry == u"loop"_s)
        QCOMPARE(::symlink("ptmx", QFile::encodeName(path).constData()), 0);
    else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const std::unique_ptr<SerialLink> link = MakeLink(folder.path());
    KktChannel channel(*link);
    KktConnection conn { u"ptmx"_s, 19200, 300, 0, 0 };
    TTestLinkAnswer answer;
    QCOMPARE(RequestTestLink(channel, conn, answer), outcome);
    QVERIFY(!link->isOpen());
}

void TestPtyLink::notATerminalIsNotOpened_data()
{
    QTest::addColumn<QString>("kindOfFile");
    QTest::newRow("character device that is no terminal") << u"/dev/null"_s;
    QTest::newRow("plain file") << u"file"_s;
    QTest::newRow("named pipe") << u"fifo"_s;
    QTest::newRow("folder") << u"folder"_s;
    QTest::newRow("missing") << u"missing"_s;
}

void TestPtyLink::notATerminalIsNotOpened()
{
    QFETCH(QString, kindOfFile);
    QTemporaryDir dir;
    QString path = kindOfFile.startsWith(u'/') ? kindOfFile : dir.filePath(kindOfFile);
    if (kindOfFile == u"file"_s) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\x17\x02");
    } else if (kindOfFile == u"fifo"_s) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kindOfFile == u"folder"_s) {
        QVERIFY(QDir(dir.path()).mkdir(kindOfFile));
    }
    const std::unique_ptr<SerialLink> link = MakeLink();
    KktChannel channel(*link);
    int logged = 0;
    channel.setLogSink([&](const TBufKKT &, bool) { ++logged; });
    KktConnection conn { path, 19200, 300, 0, 0 };
    TTestLinkAnswer answer;
    quint8 outcome = 0xFF;
    const qint64 ms = Timed([&] { outcome = RequestTestLink(channel, conn, answer); });
    QCOMPARE(outcome, KktOutcome::PortNotOpened);
    QCOMPARE(logged, 0);
    QVERIFY(!link->isOpen());
    QVERIFY2(ms < 250, qPrintable(QString::number(ms)));
    // Nothing was written into a file that is no port.
    if (kindOfFile == u"file"_s)
        QCOMPARE(QFileInfo(path).size(), 2);
}

void TestPtyLink::speedsOutsideTheStandardList_data()
{
    QTest::addColumn<quint32>("speed");
    QTest::addColumn<int>("outcome");
    QTest::newRow("0, which hangs the line up") << 0u << int(KktOutcome::PortNotOpened);
    QTest::newRow("12345") << 12345u << int(KktOutcome::PortNotOpened);
    QTest::newRow("19201") << 19201u << int(KktOutcome::PortNotOpened);
    QTest::newRow("4294967295") << 4294967295u << int(KktOutcome::PortNotOpened);
    QTest::newRow("600") << 600u << int(KktOutcome::Ok);
    QTest::newRow("57600") << 57600u << int(KktOutcome::Ok);
    QTest::newRow("230400") << 230400u << int(KktOutcome::Ok);
}

void TestPtyLink::speedsOutsideTheStandardList()
{
    if (CurrentKind() == SerialLinkKind::Qt)
        QSKIP("QSerialPort sets any speed the driver takes");
    QFETCH(quint32, speed);
    QFETCH(int, outcome);
    PtyFixture f;
    QVERIFY(f.start());
    f.conn.Speed = speed;
    f.conn.TimeOut = 1000;
    QCOMPARE(int(f.testLink()), outcome);
    QCOMPARE(f.requests, outcome == KktOutcome::Ok ? 1 : 0);
}

void TestPtyLink::signalsDoNotCutTheExchange()
{
    PtyFixture f;
    QVERIFY(f.start({ u"--short"_s, u"--status"_s, u"0x33"_s }));
    const SignalStorm storm;
    const int before = SignalStorm::caught();
    // A short answer: the interval time-out still ends the read, not a signal.
    f.link->setIntervalTimeOut(150);
    quint8 outcome = 0xFF;
    qint64 ms = Timed([&] { outcome = f.testLink(); });
    QCOMPARE(outcome, quint8(0x33));
    QVERIFY2(ms >= 140 && ms < 1000, qPrintable(QString::number(ms)));
    QVERIFY(SignalStorm::caught() - before > 10);

    // Silence: the whole total time-out is waited, not cut at the first signal.
    PtyFixture silent;
    QVERIFY(silent.start({ u"--silent"_s }));
    silent.conn.TimeOut = 300;
    ms = Timed([&] { outcome = silent.testLink(); });
    QCOMPARE(outcome, KktOutcome::NoAnswer);
    QVERIFY2(ms >= 290 && ms < 1000, qPrintable(QString::number(ms)));

    // And a whole answer arrives whole.
    PtyFixture plain;
    QVERIFY(plain.start({ u"--pace"_s }));
    plain.conn.Speed = 9600;
    for (int i = 0; i < 5; ++i)
        QCOMPARE(plain.testLink(), KktOutcome::Ok);
}

void TestPtyLink::cookedTerminalCarriesRawBytes()
{
    // Another program left the terminal cooked: echo, line editing, CR/LF
    // translation, XON/XOFF, the eighth bit stripped, two stop bits. Any of it
    // left on would garble the frames.
    PtyFixture f;
    QVERIFY(f.start());
    const int fd = ::open(QFile::encodeName(f.emulator.terminalPath()).constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    termios cooked {};
    QCOMPARE(::tcgetattr(fd, &cooked), 0);
    cooked.c_iflag |= ICRNL | INLCR | IXON | ISTRIP;
    cooked.c_oflag |= OPOST | ONLCR;
    cooked.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
    cooked.c_cflag |= CSTOPB;
    QCOMPARE(::tcsetattr(fd, TCSANOW, &cooked), 0);

    QVERIFY(f.link->open(f.conn.Name, 19200, 1000));
    termios seen {};
    QCOMPARE(::tcgetattr(fd, &seen), 0);
    QCOMPARE(seen.c_iflag & (ICRNL | INLCR | IXON | ISTRIP), tcflag_t(0));
    QCOMPARE(seen.c_oflag & OPOST, tcflag_t(0));
    QCOMPARE(seen.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), tcflag_t(0));
    QCOMPARE(seen.c_cflag & (CSTOPB | PARENB), tcflag_t(0));
    QCOMPARE(seen.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(int(cfgetospeed(&seen)), int(B19200));
    f.link->close();
    ::close(fd);

    // Frames full of bytes that a cooked line would change: CR, LF, XON, XOFF,
    // DEL, and checksums with the eighth bit set.
    quint16 number = 13, font = KktFont::Narrow;
    quint8 section = 17;
    QString name = u"\r\n\x11\x13\x7F Ъ"_s, barcode = u"1311101013"_s, price = u"4883"_s;
    QCOMPARE(RequestPredmRasch(f.channel, f.conn, KktMode::Write, number, font, name, barcode, price, section),
        KktOutcome::Ok);
    QString backName, backBarcode, backPrice;
    quint16 backFont = 0;
    quint8 backSection = 0;
    QCOMPARE(RequestPredmRasch(
                 f.channel, f.conn, KktMode::Read, number, backFont, backName, backBarcode, backPrice, backSection),
        KktOutcome::Ok);
    QCOMPARE(backBarcode, barcode);
    QCOMPARE(backPrice, price);
    QCOMPARE(backSection, section);
    QCOMPARE(f.requests, 2);
}

void TestPtyLink::writeDoesNotDependOnTheReadTimeOut()
{
    // A total time-out of 0 reads nothing, yet the frame goes out whole.
    PtyFixture f;
    QVERIFY(f.start());
    QVERIFY(f.link->open(f.conn.Name, 19200, 0));
    f.link->purge();
    QCOMPARE(f.link->write(reinterpret_cast<const quint8 *>(kLinkCheck.constData()), int(kLinkCheck.size())),
        int(kLinkCheck.size()));
    // The emulator got it: its answer waits on the line for the next read.
    f.link->close();
    QVERIFY(f.link->open(f.conn.Name, 19200, 1000));
    quint8 answer[64] = {};
    QCOMPARE(f.link->read(answer, kLinkCheckAnswerSize), kLinkCheckAnswerSize);
    QCOMPARE(answer[2], quint8(0x75));
}

void TestPtyLink::emulatorUsageErrors_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("unknown option") << QStringList { u"--bogus"_s };
    QTest::newRow("busy not a number") << QStringList { u"--busy"_s, u"many"_s };
    QTest::newRow("status beyond a byte") << QStringList { u"--status"_s, u"300"_s };
    QTest::newRow("missing value") << QStringList { u"--delay-ms"_s };
    QTest::newRow("stray argument") << QStringList { u"extra"_s };
}

void TestPtyLink::emulatorUsageErrors()
{
    QFETCH(QStringList, options);
    QTemporaryDir dir;
    const QString link = dir.filePath(u"KKT-EMU"_s);
    QProcess emulator;
    emulator.start(QStringLiteral(KKT_EMULATOR_PATH), QStringList { u"--link"_s, link } + options);
    QVERIFY(emulator.waitForFinished(5000));
    QCOMPARE(emulator.exitCode(), 64);
    QVERIFY(QString::fromUtf8(emulator.readAllStandardError()).startsWith(u"kkt-emulator: "_s));
    QVERIFY(!QFileInfo(link).isSymLink());
}

QTEST_GUILESS_MAIN(TestPtyLink)
#include "TestPtyLink.moc"
