#include "emulator/FrameSplitter.h"

#include <QTest>

namespace {
// A link check frame for KKT 0, as the program sends it.
const QByteArray kLinkCheck("\x17\x02\x00\x00\x00\x00\x75\x0B\x19\xB2\x00", 11);

// The stream as chunks of one byte each.
QList<QByteArray> ByteByByte(const QByteArray &stream)
{
    QList<QByteArray> bytes;
    for (char c : stream)
        bytes << QByteArray(1, c);
    return bytes;
}

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
    void strayStartDoesNotHoldTheRequestBehindIt();
};

void TestFrameSplitter::splits_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<int>("frames");

    QTest::newRow("one frame") << QList<QByteArray> { kLinkCheck } << 1;
    QTest::newRow("byte by byte") << ByteByByte(kLinkCheck) << 1;
    QTest::newRow("two in one chunk") << QList<QByteArray> { kLinkCheck + kLinkCheck } << 2;
    QTest::newRow("garbage first") << QList<QByteArray> { QByteArray("\x00\xFF\x17\x17", 4) + kLinkCheck } << 1;
    QTest::newRow("start without 0x02") << QList<QByteArray> { QByteArray("\x17\x05", 2), kLinkCheck } << 1;
    QTest::newRow("length byte too small")
        << QList<QByteArray> { QByteArray("\x17\x02\0\0\0\0u\x03", 8) + kLinkCheck } << 1;
    // A stray start whose length takes in the request behind it: the whole
    // candidate fails its checksum, and the request inside is found.
    QTest::newRow("stray start covering a request")
        << QList<QByteArray> { QByteArray("\x17\x02\0\0\0\0u\x13", 8) + kLinkCheck } << 1;
    QTest::newRow("stray start covering a request, byte by byte")
        << ByteByByte(QByteArray("\x17\x02\0\0\0\0u\x13", 8) + kLinkCheck) << 1;
    QTest::newRow("bad checksum, then a request") << QList<QByteArray> { [] {
        QByteArray bad = kLinkCheck;
        bad[9] = '\xB3';
        return bad;
    }() + kLinkCheck } << 1;
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
    splitter.abandonPartial();
    splitter.feed(kLinkCheck);
    QCOMPARE(splitter.next().value_or(QByteArray()), kLinkCheck);
    QVERIFY(!splitter.hasPartial());
}

void TestFrameSplitter::strayStartDoesNotHoldTheRequestBehindIt()
{
    // Line noise announces 255 bytes: the request behind it is answered at once,
    // without waiting for the noise to be given up.
    FrameSplitter splitter;
    splitter.feed(QByteArray("\x17\x02\0\0\0\0u\xFF", 8) + kLinkCheck + QByteArray("\x17\x02", 2));
    QCOMPARE(splitter.next().value_or(QByteArray()), kLinkCheck);
    // What follows the request is the start of the next one and is kept.
    QVERIFY(!splitter.next());
    QVERIFY(splitter.hasPartial());
    splitter.feed(kLinkCheck.sliced(2));
    QCOMPARE(splitter.next().value_or(QByteArray()), kLinkCheck);
    QVERIFY(!splitter.hasPartial());
    // Byte by byte the same: the request is found as its last byte arrives.
    FrameSplitter slow;
    int found = 0;
    for (const QByteArray &chunk : ByteByByte(QByteArray("\x17\x02\0\0\0\0u\xFF", 8) + kLinkCheck)) {
        slow.feed(chunk);
        if (slow.next())
            ++found;
    }
    QCOMPARE(found, 1);
}

QTEST_GUILESS_MAIN(TestFrameSplitter)
#include "TestFrameSplitter.moc"
