#include "emulator/FrameSplitter.h"

#include <QTest>

namespace {
// A link check frame for KKT 0, as the program sends it.
const QByteArray kLinkCheck("\x17\x02\x00\x00\x00\x00\x75\x0B\x19\xB2\x00", 11);

QList<QByteArray> Split(const QList<QByteArray> &chunks)
{
    FrameSplitter splitter;
    QList<QByteArray> frames;
    for (const QByteArray &chunk : chunks) {
        splitter.feed(chunk);
        while (auto frame = splitter.next())
            frames << *frame;
    }
    return frames;
}
} // namespace

class TestFrameSplitter : public QObject
{
    Q_OBJECT
private slots:
    void splits_data();
    void splits();
    void partialWaitsAndCanBeDropped();
};

void TestFrameSplitter::splits_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<int>("frames");

    QTest::newRow("one frame") << QList<QByteArray> { kLinkCheck } << 1;
    QTest::newRow("byte by byte") << [] {
        QList<QByteArray> bytes;
        for (char c : kLinkCheck)
            bytes << QByteArray(1, c);
        return bytes;
    }() << 1;
    QTest::newRow("two in one chunk") << QList<QByteArray> { kLinkCheck + kLinkCheck } << 2;
    QTest::newRow("garbage first") << QList<QByteArray> { QByteArray("\x00\xFF\x17\x17", 4) + kLinkCheck } << 1;
    QTest::newRow("start without 0x02") << QList<QByteArray> { QByteArray("\x17\x05", 2), kLinkCheck } << 1;
    QTest::newRow("length byte too small")
        << QList<QByteArray> { QByteArray("\x17\x02\0\0\0\0u\x03", 8) + kLinkCheck } << 1;
}

void TestFrameSplitter::splits()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(int, frames);
    const QList<QByteArray> out = Split(chunks);
    QCOMPARE(out.size(), frames);
    for (const QByteArray &frame : out)
        QCOMPARE(frame, kLinkCheck);
}

void TestFrameSplitter::partialWaitsAndCanBeDropped()
{
    FrameSplitter splitter;
    splitter.feed(kLinkCheck.left(9));
    QVERIFY(!splitter.next());
    QVERIFY(splitter.hasPartial());
    splitter.discardPartial();
    splitter.feed(kLinkCheck);
    QCOMPARE(splitter.next().value_or(QByteArray()), kLinkCheck);
    QVERIFY(!splitter.hasPartial());
}

QTEST_GUILESS_MAIN(TestFrameSplitter)
#include "TestFrameSplitter.moc"
