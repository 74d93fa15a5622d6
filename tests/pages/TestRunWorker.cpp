// The run thread: a job runs away from the interface thread, which goes on
// taking events; what the job hands over comes back in order; a failure in
// the job reaches the caller; and a mirrored grid shows the job's cells.
#include "pages/GridMirror.h"
#include "pages/RunWorker.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <stdexcept>

using namespace Qt::StringLiterals;

class TestRunWorker : public QObject
{
    Q_OBJECT
private slots:
    void jobRunsElsewhereWhileEventsGoOn();
    void handedOverInOrder();
    void failureReachesTheCaller();
    void stopIsPerRun();
    void mirrorShowsWhatTheJobWrote();
};

void TestRunWorker::jobRunsElsewhereWhileEventsGoOn()
{
    RunWorker worker;
    QThread *jobThread = nullptr;
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
    timer.start(5);
    worker.run([&] {
        jobThread = QThread::currentThread();
        QThread::msleep(200);
    });
    QVERIFY(jobThread && jobThread != QThread::currentThread());
    QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
    QVERIFY(!worker.running());
}

void TestRunWorker::handedOverInOrder()
{
    RunWorker worker;
    QStringList seen;
    QList<QThread *> threads;
    worker.run([&] {
        worker.post([&] { seen << u"post 1"_s; });
        // Waits for the interface thread, which has taken the earlier post first.
        worker.onUi([&] {
            seen << u"ui"_s;
            threads << QThread::currentThread();
        });
        seen << u"after ui"_s;
        worker.post([&] {
            seen << u"post 2"_s;
            threads << QThread::currentThread();
        });
    });
    // Everything posted is there when run() returns.
    QCOMPARE(seen, (QStringList { u"post 1"_s, u"ui"_s, u"after ui"_s, u"post 2"_s }));
    QCOMPARE(threads, (QList<QThread *> { QThread::currentThread(), QThread::currentThread() }));
}

void TestRunWorker::failureReachesTheCaller()
{
    RunWorker worker;
    try {
        worker.run([] { throw std::runtime_error("порт пропал"); });
        QFAIL("no exception");
    } catch (const std::runtime_error &e) {
        QCOMPARE(QString::fromUtf8(e.what()), u"порт пропал"_s);
    }
    // The thread serves the next run.
    bool ran = false;
    worker.run([&] { ran = true; });
    QVERIFY(ran);
}

void TestRunWorker::stopIsPerRun()
{
    RunWorker worker;
    int requests = 0;
    const auto job = [&] {
        for (requests = 0; requests < 1000 && !worker.stopRequested(); ++requests) {
            if (requests == 3)
                worker.onUi([&] { worker.requestStop(); });
        }
    };
    worker.run(job);
    QCOMPARE(requests, 4);
    // A stop asked for before a run does not end it.
    worker.requestStop();
    worker.run([&] { requests = worker.stopRequested() ? -1 : 1; });
    QCOMPARE(requests, 1);
}

void TestRunWorker::mirrorShowsWhatTheJobWrote()
{
    StringGridModel grid(4, 3);
    grid.setCell(1, 1, u"было"_s);
    grid.setCell(2, 2, u"своё"_s);
    RunWorker worker;
    GridMirror mirror(grid);
    QStringList seenByJob;
    worker.run([&] {
        StringGridModel &copy = mirror.copy();
        seenByJob << copy.cell(1, 1) << copy.cell(2, 2);
        copy.setCell(1, 1, u"прочитано"_s);
        const GridBulkUpdate bulk(copy);
        copy.setCell(3, 1, u"А"_s);
        copy.setCell(3, 2, u"Б"_s);
    });
    QCOMPARE(seenByJob, (QStringList { u"было"_s, u"своё"_s }));
    QCOMPARE(grid.cell(1, 1), u"прочитано"_s);
    QCOMPARE(grid.cell(2, 2), u"своё"_s);
    QCOMPARE(grid.cell(3, 1), u"А"_s);
    QCOMPARE(grid.cell(3, 2), u"Б"_s);
}

QTEST_GUILESS_MAIN(TestRunWorker)
#include "TestRunWorker.moc"
