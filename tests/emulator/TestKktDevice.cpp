#include "emulator/DeviceLink.h"
#include "emulator/KktDevice.h"
#include "kkt/ComPort.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(KktDeviceFaults)

namespace {
// A device on an in-process link, with the connection the requests take.
struct Bench
{
    KktDevice device;
    DeviceLink link { device };
    KktChannel channel { link };
    KktConnection conn { u"KKT-EMU"_s, 19200, 3500, 0, 0 };

    struct Item
    {
        quint16 number = 0, font = 0x30;
        QString name, barcode = u"0"_s, price = u"0"_s;
        quint8 section = 0;
    };
    template <typename Change> void setFaults(Change change)
    {
        KktDeviceFaults faults;
        change(faults);
        device.setFaults(faults);
    }
    static Item Numbered(quint16 number)
    {
        Item item;
        item.number = number;
        return item;
    }
    quint8 writeItem(Item item)
    {
        return RequestPredmRasch(
            channel, conn, KktMode::Write, item.number, item.font, item.name, item.barcode, item.price, item.section);
    }
    quint8 readItem(Item &item)
    {
        return RequestPredmRasch(
            channel, conn, KktMode::Read, item.number, item.font, item.name, item.barcode, item.price, item.section);
    }
    quint8 writeParam(int table, int row, int field, quint16 font, QString value, bool convert = true)
    {
        return RequestParam(
            channel, conn, KktMode::Write, quint8(table), quint8(row), quint8(field), font, value, convert);
    }
    quint8 readParam(int table, int row, int field, quint16 &font, QString &value, bool convert = true)
    {
        return RequestParam(
            channel, conn, KktMode::Read, quint8(table), quint8(row), quint8(field), font, value, convert);
    }
};

// A well-formed request frame with the given command data (bytes 8 .. L-4).
QByteArray Frame(quint8 command, int length, const QByteArray &data = {}, quint32 number = 0)
{
    TBufKKT buf;
    buf.data[0] = 0x17;
    buf.data[1] = 0x02;
    KktFrame::WriteUnsigned(buf.data + 2, number, 4);
    buf.data[6] = command;
    buf.data[7] = quint8(length);
    std::memcpy(buf.data + 8, data.constData(), size_t(data.size()));
    buf.data[length - 3] = 0x19;
    buf.count = quint32(length);
    SetCheckSum(buf);
    return QByteArray(reinterpret_cast<const char *>(buf.data), length);
}

bool ChecksumMatches(const QByteArray &bytes)
{
    TBufKKT buf;
    std::memcpy(buf.data, bytes.constData(), size_t(bytes.size()));
    buf.count = quint32(bytes.size());
    return TestCheckSum(buf) == 0;
}

// Every address the tables hold.
QList<std::array<int, 3>> AllFields()
{
    QList<std::array<int, 3>> list;
    for (int table : { 0, 2, 4, 5, 6, 8, 9 })
        for (int row = 0; row <= 255; ++row)
            for (int field = 0; field <= 25; ++field)
                if (KktDevice::FieldExists(table, row, field))
                    list.append({ table, row, field });
    return list;
}
} // namespace

class TestKktDevice : public QObject
{
    Q_OBJECT
private slots:
    void goodsItemRoundTrip_data();
    void goodsItemRoundTrip();
    void goodsItemStoredRaw();
    void everyTableFieldKeepsItsOwnValue();
    void tableAddresses();
    void rawValueRoundTrip();
    void addressOutsideMemory_data();
    void addressOutsideMemory();
    void otherKktNumberGetsNoAnswer();
    void malformedFrameGetsNoAnswer_data();
    void malformedFrameGetsNoAnswer();
    void answerLayout_data();
    void answerLayout();
    void linkCheckReportsNumberAndSerial();
    void clearBaseEmptiesGoods();
    void busyForFirstAttempts_data();
    void busyForFirstAttempts();
    void busyCountsEveryNewRequest();
    void faultOutcomes_data();
    void faultOutcomes();
    void faultyAnswerCarriesNothingOut();
    void delayBeyondTimeOutIsNoAnswer();
    void openCanFail();
};

void TestKktDevice::goodsItemRoundTrip_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint16>("font");
    QTest::addColumn<QString>("barcode");
    QTest::addColumn<QString>("price");
    QTest::addColumn<int>("section");
    QTest::addColumn<QString>("nameBack");
    QTest::addColumn<QString>("priceBack");

    QTest::newRow("first item") << 1 << u"ХЛЕБ"_s << KktFont::Narrow << u"4600000000001"_s << u"3550"_s << 1
                                << u"ХЛЕБ"_s << u"3550"_s;
    QTest::newRow("last item, wide") << 6000 << u"молоко 3,2%"_s << KktFont::Wide << u"0"_s << u"0"_s << 255
                                     << u"МОЛОКО 3,2%"_s << u"0"_s;
    QTest::newRow("marked, full name") << 17 << u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s << KktFont::Narrow
                                       << u"140737488355329"_s << u"2147483647"_s << 9 << u"ABCDEFGHIJKLMNOPQRSTUVWX"_s
                                       << u"2147483647"_s;
    QTest::newRow("negative price") << 3 << QString() << KktFont::Narrow << u"7"_s << u"-1"_s << 0 << QString()
                                    << u"1099511627775"_s;
}

void TestKktDevice::goodsItemRoundTrip()
{
    QFETCH(int, number);
    QFETCH(QString, name);
    QFETCH(quint16, font);
    QFETCH(QString, barcode);
    QFETCH(QString, price);
    QFETCH(int, section);
    QFETCH(QString, nameBack);
    QFETCH(QString, priceBack);

    Bench bench;
    QCOMPARE(bench.writeItem({ quint16(number), font, name, barcode, price, quint8(section) }), KktOutcome::Ok);
    // Another item in between proves the read does not just echo the last write.
    QCOMPARE(bench.writeItem({ quint16(number == 1 ? 2 : 1), 0x31, u"X"_s, u"5"_s, u"5"_s, 5 }), KktOutcome::Ok);

    Bench::Item back { quint16(number), 0, u"junk"_s, u"junk"_s, u"junk"_s, 77 };
    QCOMPARE(bench.readItem(back), KktOutcome::Ok);
    QCOMPARE(back.number, quint16(number));
    QCOMPARE(back.font, font);
    QCOMPARE(back.name, nameBack);
    QCOMPARE(back.barcode, barcode);
    QCOMPARE(back.price, priceBack);
    QCOMPARE(back.section, quint8(section));
}

void TestKktDevice::goodsItemStoredRaw()
{
    Bench bench;
    QCOMPARE(bench.writeItem({ 42, 0x31, u"хлеб"_s, u"140737488355329"_s, u"100"_s, 3 }), KktOutcome::Ok);
    const auto item = bench.device.goodsItem(42);
    QVERIFY(item);
    QCOMPARE(item->font, quint8(0x31));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(item->name.data()), 6), QByteArray("\x68\x6C\x65\x62\0\0", 6));
    QCOMPARE(item->barcode, (quint64(1) << 47) + 1);
    QCOMPARE(item->price, quint64(100));
    QCOMPARE(item->section, quint8(3));
    QCOMPARE(bench.device.usedGoodsCount(), 1);
}

void TestKktDevice::everyTableFieldKeepsItsOwnValue()
{
    Bench bench;
    const auto fields = AllFields();
    QCOMPARE(fields.size(), 6 * 5 + 8 * 2 + 21 + 9 + 12 + 90 * 2 + 40);
    const auto textFor = [](const std::array<int, 3> &a) { return u"T%1 R%2 F%3"_s.arg(a[0]).arg(a[1]).arg(a[2]); };
    for (const auto &a : fields)
        QCOMPARE(bench.writeParam(a[0], a[1], a[2], (a[1] + a[2]) % 2 ? KktFont::Wide : KktFont::Narrow, textFor(a)),
            KktOutcome::Ok);
    for (const auto &a : fields) {
        quint16 font = 0;
        QString value;
        QCOMPARE(bench.readParam(a[0], a[1], a[2], font, value), KktOutcome::Ok);
        QCOMPARE(value, textFor(a));
        QCOMPARE(font, (a[1] + a[2]) % 2 ? KktFont::Wide : KktFont::Narrow);
    }
}

void TestKktDevice::tableAddresses()
{
    // The corners of the memory the program programs.
    QVERIFY(KktDevice::FieldExists(0, 6, 4));
    QVERIFY(KktDevice::FieldExists(4, 1, 20));
    QVERIFY(KktDevice::FieldExists(5, 3, 2));
    QVERIFY(!KktDevice::FieldExists(5, 4, 1));
    QVERIFY(KktDevice::FieldExists(6, 6, 3));
    QVERIFY(KktDevice::FieldExists(6, 7, 1));
    QVERIFY(!KktDevice::FieldExists(6, 8, 1));
    QVERIFY(KktDevice::FieldExists(8, 90, 2));
    QVERIFY(!KktDevice::FieldExists(8, 90, 0));
    QVERIFY(KktDevice::FieldExists(9, 40, 1));
    QVERIFY(!KktDevice::FieldExists(1, 1, 0));
}

void TestKktDevice::rawValueRoundTrip()
{
    // Without conversion the bytes are kept as sent, lower case included.
    Bench bench;
    QCOMPARE(bench.writeParam(5, 5, 0, KktFont::Narrow, u"internet.mts.ru"_s, false), KktOutcome::Ok);
    quint16 font = 0;
    QString value;
    QCOMPARE(bench.readParam(5, 5, 0, font, value, false), KktOutcome::Ok);
    QCOMPARE(value, u"internet.mts.ru"_s);
    const auto stored = bench.device.field(5, 5, 0);
    QVERIFY(stored);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(stored->value.data()), 16), QByteArray("internet.mts.ru\0", 16));
}

void TestKktDevice::addressOutsideMemory_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("item"); // goods item number when table < 0

    QTest::newRow("goods item 0") << -1 << 0 << 0 << 0;
    QTest::newRow("goods item 6001") << -1 << 0 << 0 << 6001;
    QTest::newRow("operator 7") << 0 << 7 << 0 << 0;
    QTest::newRow("operator field 5") << 0 << 1 << 5 << 0;
    QTest::newRow("table 1") << 1 << 1 << 0 << 0;
    QTest::newRow("header row 2") << 4 << 2 << 0 << 0;
    QTest::newRow("header line 22") << 4 << 1 << 21 << 0;
    QTest::newRow("gsm field 1 of row 1") << 5 << 1 << 1 << 0;
    QTest::newRow("agent row 9") << 6 << 9 << 0 << 0;
    QTest::newRow("enterprise field 0") << 8 << 1 << 0 << 0;
    QTest::newRow("station 41") << 9 << 41 << 1 << 0;
}

void TestKktDevice::addressOutsideMemory()
{
    QFETCH(int, table);
    QFETCH(int, row);
    QFETCH(int, field);
    QFETCH(int, item);
    Bench bench;
    if (table < 0) {
        QCOMPARE(bench.writeItem({ quint16(item), 0x30, u"X"_s, u"1"_s, u"1"_s, 1 }), KktDevice::kStatusBadAddress);
        auto back = Bench::Numbered(quint16(item));
        QCOMPARE(bench.readItem(back), KktDevice::kStatusBadAddress);
    } else {
        QCOMPARE(bench.writeParam(table, row, field, KktFont::Narrow, u"X"_s), KktDevice::kStatusBadAddress);
        quint16 font = 0;
        QString value;
        QCOMPARE(bench.readParam(table, row, field, font, value), KktDevice::kStatusBadAddress);
    }
    QCOMPARE(bench.device.usedGoodsCount(), 0);
}

void TestKktDevice::otherKktNumberGetsNoAnswer()
{
    Bench bench;
    bench.device.setNumber(7);
    TTestLinkAnswer answer;
    QCOMPARE(RequestTestLink(bench.channel, bench.conn, answer), KktOutcome::NoAnswer);
    bench.conn.NumKKT = 7;
    QCOMPARE(RequestTestLink(bench.channel, bench.conn, answer), KktOutcome::Ok);
}

void TestKktDevice::malformedFrameGetsNoAnswer_data()
{
    QTest::addColumn<QByteArray>("frame");
    const QByteArray good = Frame('u', 11);
    QByteArray badSum = good;
    badSum[9] = char(badSum[9] + 1);
    QByteArray badStart = good;
    badStart[1] = 0x03;
    // Length byte and checksum consistent, but the command's request is 51 bytes.
    const QByteArray wrongLength = Frame('T', 40, QByteArray(1, 1));

    QTest::newRow("checksum") << badSum;
    QTest::newRow("start bytes") << badStart;
    QTest::newRow("length byte differs from size") << good.left(10);
    QTest::newRow("length wrong for the command") << wrongLength;
    QTest::newRow("other KKT number") << Frame('u', 11, {}, 1);
    QTest::newRow("empty") << QByteArray();
}

void TestKktDevice::malformedFrameGetsNoAnswer()
{
    QFETCH(QByteArray, frame);
    KktDevice device;
    QVERIFY(!device.answer(Frame('u', 11)).isEmpty());
    QCOMPARE(device.answer(frame), QByteArray());
}

void TestKktDevice::answerLayout_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("status");

    QByteArray itemRead(40, 0);
    itemRead[0] = 1;
    itemRead[1] = 5;
    QTest::newRow("goods item") << Frame('T', 51, itemRead) << 46 << 0;
    QTest::newRow("table parameter") << Frame('p', 40, QByteArray("\x01\x00\x01\x00\x30", 5)) << 36 << 0;
    QTest::newRow("link check") << Frame('u', 11) << 31 << 0;
    QTest::newRow("clear base") << Frame('c', 11) << 7 << 0;
    QTest::newRow("unknown command") << Frame('z', 11) << 7 << int(KktDevice::kStatusBadRequest);
    QTest::newRow("mode 2") << Frame('p', 40, QByteArray("\x02\x00\x01\x00\x30", 5)) << 36
                            << int(KktDevice::kStatusBadRequest);
}

void TestKktDevice::answerLayout()
{
    QFETCH(QByteArray, request);
    QFETCH(int, length);
    QFETCH(int, status);
    KktDevice device;
    const QByteArray answer = device.answer(request);
    QCOMPARE(answer.size(), length);
    QCOMPARE(quint8(answer[0]), quint8(0x17));
    QCOMPARE(quint8(answer[1]), quint8(0x02));
    QCOMPARE(answer[2], request[6]);
    QCOMPARE(int(quint8(answer[3])), status);
    QCOMPARE(quint8(answer[length - 3]), quint8(0x19));
    QVERIFY(ChecksumMatches(answer));
}

void TestKktDevice::linkCheckReportsNumberAndSerial()
{
    Bench bench;
    bench.device.setNumber(12);
    bench.conn.NumKKT = 12;
    TTestLinkAnswer answer;
    QCOMPARE(RequestTestLink(bench.channel, bench.conn, answer), KktOutcome::Ok);
    QCOMPARE(answer.d16, quint32(12));
    QCOMPARE(answer.q22, quint64(1000012));
    QCOMPARE(answer.b4, quint8(1));
}

void TestKktDevice::clearBaseEmptiesGoods()
{
    Bench bench;
    for (quint16 n : { 1, 3000, 6000 })
        QCOMPARE(bench.writeItem({ n, 0x31, u"ТОВАР"_s, u"12"_s, u"34"_s, 5 }), KktOutcome::Ok);
    QCOMPARE(bench.writeParam(0, 1, 0, KktFont::Narrow, u"КАССИР"_s), KktOutcome::Ok);
    QCOMPARE(bench.device.usedGoodsCount(), 3);

    quint8 status = 0xFF;
    QCOMPARE(RequestClearBase(bench.channel, bench.conn, status), KktOutcome::Ok);
    QCOMPARE(status, quint8(0));
    QCOMPARE(bench.link.openedTimeOut(), 30000u);
    QCOMPARE(bench.device.usedGoodsCount(), 0);
    auto back = Bench::Numbered(3000);
    QCOMPARE(bench.readItem(back), KktOutcome::Ok);
    QCOMPARE(back.name, QString());
    QCOMPARE(back.barcode, u"0"_s);
    // Tables are not part of the goods base.
    quint16 font = 0;
    QString value;
    QCOMPARE(bench.readParam(0, 1, 0, font, value), KktOutcome::Ok);
    QCOMPARE(value, u"КАССИР"_s);
}

void TestKktDevice::busyForFirstAttempts_data()
{
    QTest::addColumn<int>("busy");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("writes");
    QTest::newRow("never") << 0 << 0 << 1;
    QTest::newRow("three times") << 3 << 0 << 4;
    QTest::newRow("nine times") << 9 << 0 << 10;
    QTest::newRow("ten times") << 10 << int(KktDevice::kStatusBusy) << 10;
}

void TestKktDevice::busyForFirstAttempts()
{
    QFETCH(int, busy);
    QFETCH(int, outcome);
    QFETCH(int, writes);
    Bench bench;
    bench.setFaults([busy](KktDeviceFaults &f) { f.busy = busy; });
    QCOMPARE(int(bench.writeParam(2, 1, 0, KktFont::Narrow, u"УСЛУГА"_s)), outcome);
    QCOMPARE(bench.link.writes(), writes);
    // The write is carried out once the device stops being busy, and only then.
    const auto stored = bench.device.field(2, 1, 0);
    QCOMPARE(stored->value[0] != 0, outcome == 0);
}

void TestKktDevice::busyCountsEveryNewRequest()
{
    Bench bench;
    bench.setFaults([](KktDeviceFaults &f) { f.busy = 2; });
    TTestLinkAnswer answer;
    // The same frame again after a real answer is a new request, busy again.
    for (int run = 1; run <= 3; ++run) {
        QCOMPARE(RequestTestLink(bench.channel, bench.conn, answer), KktOutcome::Ok);
        QCOMPARE(bench.link.writes(), 3 * run);
    }
}

void TestKktDevice::faultOutcomes_data()
{
    QTest::addColumn<KktDeviceFaults>("faults");
    QTest::addColumn<int>("outcome");
    KktDeviceFaults silent, badSum, status, shortAnswer, busyThenStatus;
    silent.silent = true;
    badSum.badChecksum = true;
    status.status = 0x42;
    shortAnswer.shortAnswer = true;
    busyThenStatus.busy = 2;
    busyThenStatus.status = 0x33;
    QTest::newRow("silent") << silent << int(KktOutcome::NoAnswer);
    QTest::newRow("bad checksum") << badSum << int(KktOutcome::ChecksumError);
    QTest::newRow("status 0x42") << status << 0x42;
    // Seven bytes of status 0 carry no item: no answer to a read of item 5.
    QTest::newRow("short answer names no item") << shortAnswer << int(KktOutcome::NoAnswer);
    QTest::newRow("busy, then the status") << busyThenStatus << 0x33;
}

void TestKktDevice::faultOutcomes()
{
    QFETCH(KktDeviceFaults, faults);
    QFETCH(int, outcome);
    Bench bench;
    bench.device.setFaults(faults);
    auto item = Bench::Numbered(5);
    QCOMPARE(int(bench.readItem(item)), outcome);
    // The next request still works once the fault is gone.
    bench.device.setFaults({});
    item = Bench::Numbered(5);
    QCOMPARE(bench.readItem(item), KktOutcome::Ok);
    QCOMPARE(item.number, quint16(5));
}

void TestKktDevice::faultyAnswerCarriesNothingOut()
{
    // An error status, silence and a short answer: only the status fault refuses
    // the work; silence does nothing; a short answer comes after the work is done.
    Bench bench;
    bench.setFaults([](KktDeviceFaults &f) { f.status = 0x42; });
    QCOMPARE(bench.writeItem({ 1, 0x30, u"A"_s, u"1"_s, u"1"_s, 1 }), quint8(0x42));
    bench.setFaults([](KktDeviceFaults &f) { f.silent = true; });
    QCOMPARE(bench.writeItem({ 2, 0x30, u"A"_s, u"1"_s, u"1"_s, 1 }), KktOutcome::NoAnswer);
    QCOMPARE(bench.device.usedGoodsCount(), 0);
    bench.setFaults([](KktDeviceFaults &f) { f.shortAnswer = true; });
    QCOMPARE(bench.writeItem({ 3, 0x30, u"A"_s, u"1"_s, u"1"_s, 1 }), KktOutcome::Ok);
    QCOMPARE(bench.device.usedGoodsCount(), 1);
}

void TestKktDevice::delayBeyondTimeOutIsNoAnswer()
{
    Bench bench;
    bench.setFaults([](KktDeviceFaults &f) { f.delayMs = 4000; });
    TTestLinkAnswer answer;
    QCOMPARE(RequestTestLink(bench.channel, bench.conn, answer), KktOutcome::NoAnswer);
    // Clearing waits 30 s, so the same delay is within its time-out.
    quint8 status = 0xFF;
    QCOMPARE(RequestClearBase(bench.channel, bench.conn, status), KktOutcome::Ok);
}

void TestKktDevice::openCanFail()
{
    Bench bench;
    bench.link.setOpenFails(true);
    TTestLinkAnswer answer;
    QCOMPARE(RequestTestLink(bench.channel, bench.conn, answer), KktOutcome::PortNotOpened);
    QCOMPARE(bench.link.writes(), 0);
}

QTEST_GUILESS_MAIN(TestKktDevice)
#include "TestKktDevice.moc"
