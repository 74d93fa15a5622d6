// The reader over a real pseudo-terminal, fed by the built scanner-emulator.

#include "EmulatorProcess.h"

#include "kkt/SerialLink.h"
#include "kkt/SerialLinkFactory.h"
#include "scanner/ScanThread.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <ctime>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QString kEmulator = QStringLiteral(SCANNER_EMULATOR_PATH);
const QString kCode = u"4607001770015"_s;
const QString kStars = QString(34, u'*');
const QString kDashes = QString(34, u'-');

// Runs the event loop as the program's interface thread does, until done() or
// the time is up. (QTest's waits sleep 10 ms between two looks at the events,
// and each of the reader's trace lines waits for the interface thread: with
// them the reader's cycle is slower than in the program.)
bool WaitFor(const std::function<bool()> &done, int ms = 5000)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    look.start(1);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

// A scanner on its own terminal; codes go in through its standard input.
class Scanner
{
public:
    Scanner(const QString &link, const QStringList &options = {})
    {
        m_ok = m_process.start(kEmulator, link, QStringList { u"--interval-ms"_s, u"0"_s } + options);
        if (!m_ok)
            qWarning("%s", qPrintable(m_process.error()));
    }
    bool ok() const { return m_ok; }
    QString link() const { return m_process.linkPath(); }

    // Sends one code and waits until its last byte has gone into the terminal.
    bool scan(const QString &code)
    {
        m_process.process().write(code.toLatin1() + '\n');
        const int before = m_sent;
        // The interface thread keeps serving the reader meanwhile, as the program's does.
        return WaitFor([&] {
            while (m_process.process().canReadLine())
                if (m_process.process().readLine().contains("t="))
                    ++m_sent;
            return m_sent > before;
        });
    }
    bool stop() { return m_process.stop(); }

private:
    EmulatorProcess m_process;
    bool m_ok = false;
    int m_sent = 0;
};

// The reader with its trace and codes recorded as the interface receives them.
struct Reader
{
    Reader()
        : st(std::make_unique<TScanThread>(QString()))
    {
        st->OnLogScan = [this](const QString &line) { trace << line; };
        st->FOnScanEvent = [this](const QString &value) { codes << value; };
        st->OnPortState = [this](bool connected) { states << connected; };
    }
    bool start(const QString &port)
    {
        if (!st->Init(port, u"9600"_s))
            return false;
        st->Resume();
        return true;
    }
    // True once the reader is waiting for bytes with an empty assembly buffer.
    bool idle() const { return trace.size() >= 2 && trace.last() == kStars; }

    QStringList trace;
    QStringList codes;
    QList<bool> states;
    std::unique_ptr<TScanThread> st; // last: it goes first
};

// Lets the interface thread serve the reader for a while.
void Serve(int ms)
{
    WaitFor([] { return false; }, ms);
}

double ProcessCpuMs()
{
    return double(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}
} // namespace

class TestScanReader : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void codeInOneBurst();
    void suffixes_data();
    void suffixes();
    void idleBeforeCrDropsTheDigits();
    void splitCodes_data();
    void splitCodes();
    void stoppedReaderDeliversNothing();
    void initWhileRunningMovesToTheNewPort();
    void initFailures();
    void vanishedPortIsNotPolled();
    void deviceGoneAndBack();
    void portIsNotShared();
    void destroyedWhileWaiting();

private:
    QString link(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestScanReader::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestScanReader::codeInOneBurst()
{
    Scanner scanner(link(u"SCAN"_s));
    QVERIFY(scanner.ok());
    Reader reader;
    QVERIFY(reader.start(scanner.link()));
    QTRY_VERIFY(reader.idle());
    QVERIFY(scanner.scan(kCode));
    QTRY_COMPARE(reader.codes, QStringList { kCode });
    QTRY_COMPARE(reader.trace.size(), 9);
    const QString shown = kCode + u"< 13 >"_s;
    QCOMPARE(reader.trace,
        (QStringList { u"ovlp.Internal = 259"_s, kStars, kDashes, u"btr = 14"_s, u"buf = "_s + shown, u"lenEan = 14"_s,
            u"EAN13 or EAN8 bufEan = "_s + shown, u"ovlp.Internal = 259"_s, kStars }));
}

void TestScanReader::suffixes_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("delivered");
    QTest::newRow("CR") << u"cr"_s << QStringList() << kCode;
    QTest::newRow("CR LF: no code") << u"crlf"_s << QStringList() << QString();
    QTest::newRow("DataMatrix") << u"cr"_s << QStringList { u"--datamatrix"_s, u"0"_s + kCode, u"5hJk8"_s } << kCode;
}

void TestScanReader::suffixes()
{
    QFETCH(QString, suffix);
    QFETCH(QStringList, options);
    QFETCH(QString, delivered);
    Reader reader;
    // The codes of the command line go out after a wait that lets the reader open the port first.
    Scanner scanner(link(u"SCAN"_s), QStringList { u"--suffix"_s, suffix, u"--wait-ms"_s, u"300"_s } + options);
    QVERIFY(scanner.ok());
    QVERIFY(reader.start(scanner.link()));
    if (options.isEmpty())
        QVERIFY(scanner.scan(kCode));
    QTRY_COMPARE(reader.codes, QStringList { delivered });
}

void TestScanReader::idleBeforeCrDropsTheDigits()
{
    Scanner scanner(link(u"SCAN"_s), { u"--split"_s, u"13:300"_s });
    QVERIFY(scanner.ok());
    Reader reader;
    QVERIFY(reader.start(scanner.link()));
    QTRY_VERIFY(reader.idle());
    QVERIFY(scanner.scan(kCode));
    QTRY_VERIFY2(reader.trace.contains(u"lenEan = 1"_s), qPrintable(reader.trace.join(u" | "_s)));
    QTRY_VERIFY(reader.idle());
    QCOMPARE(reader.codes, QStringList());
    const qsizetype digits = reader.trace.indexOf(u"buf = "_s + kCode);
    QVERIFY(digits > 0);
    QCOMPARE(reader.trace.mid(digits),
        (QStringList { u"buf = "_s + kCode, u"lenEan = 13"_s, u"ovlp.Internal = 259"_s, kStars, kDashes, u"btr = 1"_s,
            u"buf = < 13 >"_s, u"lenEan = 1"_s, u"ovlp.Internal = 259"_s, kStars }));
}

// A real scanner's code often comes in two reads. Bytes that arrive within the
// 50 ms pause after a read join the code, and the reader reads on; after a
// longer gap the first part has been dropped at the idle wait, and what
// follows is delivered as the rules make of it.
void TestScanReader::splitCodes_data()
{
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<QStringList>("delivered");
    const QStringList whole { kCode, u"96385074"_s, u"4006381333931"_s };
    for (int gap : { 0, 1, 5, 20, 45, 49 })
        QTest::addRow("%d ms", gap) << gap << whole;
    // The second parts alone: 7 digits and CR (8 characters), 2 digits and CR (no code).
    QTest::newRow("60 ms") << 60 << QStringList { u"1770015\r"_s, QString(), u"1333931\r"_s };
}

// The codes the reader delivers for three codes each sent in two parts gapMs apart.
static QStringList SplitCodesDelivered(const QString &link, int gapMs, QString &trace)
{
    Scanner scanner(link, { u"--split"_s, u"6:%1"_s.arg(gapMs) });
    Reader reader;
    if (!scanner.ok() || !reader.start(scanner.link()) || !WaitFor([&] { return reader.idle(); }))
        return { u"no scanner"_s };
    const QStringList codes { kCode, u"96385074"_s, u"4006381333931"_s };
    for (qsizetype i = 0; i < codes.size(); ++i) {
        if (!scanner.scan(codes[i]) || !WaitFor([&] { return reader.codes.size() == i + 1 && reader.idle(); }))
            break;
    }
    if (!reader.states.isEmpty())
        reader.codes << u"port state changed"_s;
    trace = reader.trace.join(u" | "_s);
    return reader.codes;
}

void TestScanReader::splitCodes()
{
    QFETCH(int, gapMs);
    QFETCH(QStringList, delivered);
    // A gap within a millisecond or ten of the pause is a race with the
    // scheduler of a busy machine (the emulator's second write late, the
    // reader's look late): one of three tries must come out as the rules say.
    // A reader that stops reading, or never joins, fails all three.
    QStringList codes;
    QString trace;
    for (int attempt = 0; attempt < 3 && codes != delivered; ++attempt)
        codes = SplitCodesDelivered(link(u"SCAN%1"_s.arg(attempt)), gapMs, trace);
    QVERIFY2(codes == delivered, qPrintable(codes.join(u", "_s) + u"\n"_s + trace));
}

void TestScanReader::stoppedReaderDeliversNothing()
{
    Scanner scanner(link(u"SCAN"_s));
    QVERIFY(scanner.ok());
    Reader reader;
    QVERIFY(reader.start(scanner.link()));
    QTRY_VERIFY(reader.idle());
    QVERIFY(scanner.scan(u"96385074"_s));
    QTRY_COMPARE(reader.codes, QStringList { u"96385074"_s });

    reader.st->Suspend();
    reader.st->Disconnect();
    QVERIFY(reader.st->Suspended());
    const qsizetype traced = reader.trace.size();
    QVERIFY(scanner.scan(u"4006381333931"_s));
    Serve(200);
    QCOMPARE(reader.codes.size(), 1);
    QCOMPARE(reader.trace.size(), traced);

    // Started again, the reader finds what waited in the terminal (nothing is
    // purged), then reads on.
    QVERIFY(reader.start(scanner.link()));
    QTRY_COMPARE(reader.codes, (QStringList { u"96385074"_s, u"4006381333931"_s }));
    QTRY_VERIFY(reader.idle());
    QVERIFY(scanner.scan(kCode));
    QTRY_COMPARE(reader.codes, (QStringList { u"96385074"_s, u"4006381333931"_s, kCode }));
}

void TestScanReader::initWhileRunningMovesToTheNewPort()
{
    Scanner first(link(u"SCAN1"_s));
    Scanner second(link(u"SCAN2"_s));
    QVERIFY(first.ok() && second.ok());
    Reader reader;
    QVERIFY(reader.start(first.link()));
    QTRY_VERIFY(reader.idle());

    QVERIFY(reader.st->Init(second.link(), u"19200"_s));
    QVERIFY(!reader.st->Suspended());
    // The wait on the old port ends without a read; the next one is on the new port.
    QTRY_COMPARE(
        reader.trace.mid(reader.trace.size() - 3), (QStringList { kDashes, u"ovlp.Internal = 259"_s, kStars }));
    QVERIFY(first.scan(u"96385074"_s));
    QVERIFY(second.scan(kCode));
    QTRY_COMPARE(reader.codes, QStringList { kCode });
    Serve(100);
    QCOMPARE(reader.codes, QStringList { kCode });
}

void TestScanReader::initFailures()
{
    Scanner scanner(link(u"SCAN"_s));
    QVERIFY(scanner.ok());
    Reader reader;
    QVERIFY(!reader.st->Init(link(u"MISSING"_s), u"9600"_s));
    QVERIFY(!reader.st->Init(QString(), u"9600"_s));
    for (const QString &speed : { QString(), u"abc"_s, u"-9600"_s, u"0"_s })
        QVERIFY2(!reader.st->Init(scanner.link(), speed), qPrintable(speed));
    // A failed Init leaves the reader quiet, also when it runs.
    reader.st->Resume();
    QVERIFY(scanner.scan(kCode));
    Serve(200);
    QCOMPARE(reader.codes, QStringList());
    QCOMPARE(reader.trace, QStringList());
    QVERIFY(reader.st->Init(scanner.link(), u"9600"_s));
    QTRY_VERIFY(reader.idle());
}

void TestScanReader::vanishedPortIsNotPolled()
{
    auto scanner = std::make_unique<Scanner>(link(u"SCAN"_s));
    QVERIFY(scanner->ok());
    Reader reader;
    QVERIFY(reader.start(scanner->link()));
    QTRY_VERIFY(reader.idle());
    QVERIFY(scanner->stop());
    scanner.reset();
    Serve(200);
    const double before = ProcessCpuMs();
    Serve(1000);
    const double spent = ProcessCpuMs() - before;
    QVERIFY2(spent < 200,
        qPrintable(u"%1 ms of processor in 1 s; trace: %2"_s.arg(spent).arg(
            reader.trace.mid(reader.trace.size() - 12).join(u" | "_s))));
}

// The scanner unplugged and plugged in again (its emulator stopped and started
// on the same link): the wait ends, the port is looked for every second, and
// once it is back the reader reads on without being asked.
void TestScanReader::deviceGoneAndBack()
{
    auto scanner = std::make_unique<Scanner>(link(u"SCAN"_s));
    QVERIFY(scanner->ok());
    Reader reader;
    reader.st->setReopenMs(100);
    QVERIFY(reader.start(scanner->link()));
    QTRY_VERIFY(reader.idle());
    QVERIFY(scanner->stop());
    scanner.reset();
    QTRY_COMPARE(reader.states, QList<bool> { false });
    QCOMPARE(reader.trace.last(), kDashes);
    QVERIFY(!reader.st->Suspended());

    scanner = std::make_unique<Scanner>(link(u"SCAN"_s));
    QVERIFY(scanner->ok());
    QTRY_COMPARE(reader.states, (QList<bool> { false, true }));
    QTRY_VERIFY(reader.idle());
    QVERIFY(scanner->scan(kCode));
    QTRY_COMPARE(reader.codes, QStringList { kCode });

    // Stopped by its owner, a reader no longer looks for a port that goes away.
    reader.st->Suspend();
    reader.st->Disconnect();
    QVERIFY(scanner->stop());
    scanner.reset();
    Serve(400);
    QCOMPARE(reader.states, (QList<bool> { false, true }));
}

// The scanner's port is the scanner's alone: the KKT link cannot open it
// while the reader has it, nor the reader a port the KKT link holds.
void TestScanReader::portIsNotShared()
{
    Scanner scanner(link(u"SCAN"_s));
    QVERIFY(scanner.ok());
    Reader reader;
    QVERIFY(reader.start(scanner.link()));
    const std::unique_ptr<SerialLink> kkt = MakeSerialLink();
    QVERIFY(!kkt->open(scanner.link(), 9600, 100));
    reader.st->Suspend();
    reader.st->Disconnect();
    QVERIFY(kkt->open(scanner.link(), 9600, 100));
    QVERIFY(!reader.st->Init(scanner.link(), u"9600"_s));
    kkt->close();
    QVERIFY(reader.st->Init(scanner.link(), u"9600"_s));
}

void TestScanReader::destroyedWhileWaiting()
{
    Scanner scanner(link(u"SCAN"_s));
    QVERIFY(scanner.ok());
    auto reader = std::make_unique<Reader>();
    QVERIFY(reader->start(scanner.link()));
    QTRY_VERIFY(reader->idle());
    QElapsedTimer timer;
    timer.start();
    reader.reset();
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    // The port is free again.
    Reader next;
    QVERIFY(next.start(scanner.link()));
}

QTEST_GUILESS_MAIN(TestScanReader)
#include "TestScanReader.moc"
