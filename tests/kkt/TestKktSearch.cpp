#include "ScriptedLink.h"
#include "emulator/KktDevice.h"
#include "kkt/KktSearch.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Finding the register: every port at every speed, 115200 first, in rounds of one speed.
class TestKktSearch : public QObject
{
    Q_OBJECT
private slots:
    void speedsAndTimeOuts();
    void finds_data();
    void finds();
    void cancelledBetweenTries();
};

void TestKktSearch::speedsAndTimeOuts()
{
    const QList<quint32> order = KktSearch::SpeedOrder();
    QCOMPARE(order.constFirst(), 115200u);
    QList<quint32> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(sorted, KktSearch::Speeds());
    // Request and answer, 42 bytes, take 3.6 ms on the line at 115200 and 350 ms at 1200.
    QCOMPARE(KktSearch::TimeOutMs(115200, 0), 4u);
    QCOMPARE(KktSearch::TimeOutMs(1200, 0), 350u);
    QCOMPARE(KktSearch::TimeOutMs(19200, 50), 72u);
}

void TestKktSearch::finds_data()
{
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<QString>("port"); // where the register answers; empty: nowhere
    QTest::addColumn<quint32>("speed");
    QTest::addColumn<int>("tries");

    const QStringList eight { u"COM1"_s, u"COM2"_s, u"BUSY"_s, u"COM4"_s, u"COM5"_s, u"COM6"_s, u"COM7"_s,
        u"KKT-EMU"_s };
    QTest::newRow("115200 on the third port: the first round")
        << QStringList { u"COM1"_s, u"COM2"_s, u"COM3"_s } << u"COM3"_s << 115200u << 3;
    // 9600 is the fifth speed tried: four rounds of eight ports before it.
    QTest::newRow("9600 on the last port") << eight << u"KKT-EMU"_s << 9600u << 4 * 8 + 8;
    QTest::newRow("nothing answers") << eight << QString() << 0u << 8 * 8;
    QTest::newRow("no port at all") << QStringList() << QString() << 0u << 0;
}

void TestKktSearch::finds()
{
    QFETCH(QStringList, ports);
    QFETCH(QString, port);
    QFETCH(quint32, speed);
    QFETCH(int, tries);
    KktDevice device;
    QList<quint32> timeOuts;
    KktSearch search([&] { return std::make_unique<OneRegisterLink>(device, port, speed, &timeOuts); });
    QList<KktSearchStep> steps;
    std::atomic_bool cancel = false;
    const KktSearchResult result = search.run(ports, 0, cancel, [&](const KktSearchStep &step) { steps << step; });
    QCOMPARE(result.found, !port.isEmpty());
    QCOMPARE(result.port, port);
    QCOMPARE(result.speed, speed);
    QCOMPARE(result.tries, tries);
    QVERIFY(!result.cancelled);
    // Progress before every try, numbered, the speeds round by round.
    QCOMPARE(steps.size(), tries);
    for (int i = 0; i < steps.size(); ++i) {
        QCOMPARE(steps[i].index, i);
        QCOMPARE(steps[i].total, int(ports.size() * 8));
        QCOMPARE(steps[i].port, ports[i % ports.size()]);
        QCOMPARE(steps[i].speed, KktSearch::SpeedOrder()[i / int(ports.size())]);
    }
    // Every try waits only its line time and a little more (the busy port fails at its open).
    for (int i = 0; i < timeOuts.size(); ++i)
        QCOMPARE(timeOuts[i], KktSearch::TimeOutMs(steps[i].speed));
}

void TestKktSearch::cancelledBetweenTries()
{
    KktDevice device;
    QList<quint32> timeOuts;
    KktSearch search([&] { return std::make_unique<OneRegisterLink>(device, QString(), 0, &timeOuts); });
    std::atomic_bool cancel = false;
    const KktSearchResult result = search.run({ u"COM1"_s, u"COM2"_s }, 0, cancel, [&](const KktSearchStep &step) {
        if (step.index == 4)
            cancel = true; // the user presses "Стоп" during the fifth try
    });
    QVERIFY(result.cancelled);
    QVERIFY(!result.found);
    QCOMPARE(result.tries, 5);
}

QTEST_GUILESS_MAIN(TestKktSearch)
#include "TestKktSearch.moc"
