#include "ScriptedLink.h"

#include "kkt/ComPort.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
struct Run
{
    ScriptedLink link;
    KktChannel channel { link };
    KktConnection conn { u"COM1"_s, 19200, 3500, 0, 0 };
};

QByteArray Bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(char(b));
    return out;
}

// The goods item write frame for the given values.
QByteArray GoodsWriteFrame(
    const QString &nameIn, const QString &barcodeIn, const QString &priceIn, quint16 fontIn = 0x30)
{
    Run run;
    run.link.answers << MakeAnswer(46, 0);
    quint16 number = 1, font = fontIn;
    quint8 section = 2;
    QString name = nameIn, barcode = barcodeIn, price = priceIn;
    RequestPredmRasch(run.channel, run.conn, KktMode::Write, number, font, name, barcode, price, section);
    return run.link.writes.value(0);
}
} // namespace

class TestKktRequests : public QObject
{
    Q_OBJECT
private slots:
    void goodsWriteFields_data();
    void goodsWriteFields();
    void goodsWriteFrameEnvelope();
    void goodsReadFrameAndAnswer();
    void paramWriteFrame();
    void paramRead_data();
    void paramRead();
    void clearBaseWaitsThirtySeconds();
    void testLinkFields();
};

void TestKktRequests::goodsWriteFields_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("barcode");
    QTest::addColumn<QString>("price");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("marked barcode 2^47+1")
        << u"X"_s << u"140737488355329"_s << u"0"_s << 36 << Bytes({ 0x01, 0x00, 0x00, 0x00, 0x00, 0x80 });
    QTest::newRow("price 100") << u"X"_s << u"0"_s << u"100"_s << 42 << Bytes({ 0x64, 0, 0, 0, 0 });
    QTest::newRow("price -1") << u"X"_s << u"0"_s << u"-1"_s << 42 << Bytes({ 0xFF, 0xFF, 0xFF, 0xFF, 0xFF });
    QTest::newRow("price max") << u"X"_s << u"0"_s << u"2147483647"_s << 42 << Bytes({ 0xFF, 0xFF, 0xFF, 0x7F, 0x00 });
    QTest::newRow("name bread") << u"хлеб"_s << u"0"_s << u"0"_s << 12 << Bytes({ 0x68, 0x6C, 0x65, 0x62, 0x00 });
    QTest::newRow("name of 30 cut to 24")
        << u"ABCDEFGHIJKLMNOPQRSTUVWXYZ1234"_s << u"0"_s << u"0"_s << 12 << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWX");
    QTest::newRow("controls dropped") << u"A\tB\nC"_s << u"0"_s << u"0"_s << 12 << Bytes({ 0x41, 0x42, 0x43, 0, 0 });
    QTest::newRow("section and font") << u"X"_s << u"0"_s << u"0"_s << 47 << Bytes({ 0x02, 0x19 });
}

void TestKktRequests::goodsWriteFields()
{
    QFETCH(QString, name);
    QFETCH(QString, barcode);
    QFETCH(QString, price);
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    const QByteArray frame = GoodsWriteFrame(name, barcode, price);
    QCOMPARE(frame.size(), 51);
    QCOMPARE(frame.mid(offset, bytes.size()), bytes);
}

void TestKktRequests::goodsWriteFrameEnvelope()
{
    const QByteArray frame = GoodsWriteFrame(u"Молоко"_s, u"4600000000001"_s, u"3550"_s, 0x31);
    QCOMPARE(frame.left(12), Bytes({ 0x17, 0x02, 0, 0, 0, 0, 0x54, 51, 0x00, 0x01, 0x00, 0x31 }));
    QCOMPARE(quint8(frame[48]), quint8(0x19));
    TBufKKT buf;
    memcpy(buf.data, frame.constData(), 51);
    buf.count = 51;
    QCOMPARE(TestCheckSum(buf), quint16(0));
}

void TestKktRequests::goodsReadFrameAndAnswer()
{
    Run run;
    QByteArray payload(39, 0);
    payload[0] = 0x70; // item 6000 = 0x1770
    payload[1] = 0x17;
    payload[2] = 0x31;
    payload.replace(3, 4, Bytes({ 0x68, 0x6C, 0x65, 0x62 }));
    payload.replace(27, 6, Bytes({ 0x01, 0, 0, 0, 0, 0x80 }));
    payload.replace(33, 5, Bytes({ 0xFF, 0xFF, 0xFF, 0xFF, 0xFF }));
    payload[38] = char(200);
    run.link.answers << MakeAnswer(46, 0, payload);
    quint16 number = 6000, font = 0x30;
    quint8 section = 0;
    QString name = u"old"_s, barcode = u"old"_s, price = u"old"_s;
    QCOMPARE(RequestPredmRasch(run.channel, run.conn, KktMode::Read, number, font, name, barcode, price, section),
        quint8(0));
    const QByteArray frame = run.link.writes.first();
    QCOMPARE(frame.mid(8, 3), Bytes({ 0x01, 0x70, 0x17 }));
    QCOMPARE(frame.mid(11, 37), QByteArray(37, 0));
    QCOMPARE(number, quint16(6000));
    QCOMPARE(font, quint16(0x31));
    QCOMPARE(name, u"ХЛЕБ"_s);
    QCOMPARE(barcode, u"140737488355329"_s);
    QCOMPARE(price, u"1099511627775"_s);
    QCOMPARE(section, quint8(200));
}

void TestKktRequests::paramWriteFrame()
{
    Run run;
    run.link.answers << MakeAnswer(36, 0);
    quint16 font = 0x31;
    QString value = u"Кассир"_s;
    QCOMPARE(RequestParam(run.channel, run.conn, KktMode::Write, 0, 3, 2, font, value, true), quint8(0));
    const QByteArray frame = run.link.writes.first();
    QCOMPARE(frame.size(), 40);
    QCOMPARE(frame.left(13), Bytes({ 0x17, 0x02, 0, 0, 0, 0, 0x70, 40, 0x00, 0x00, 0x03, 0x02, 0x31 }));
    QCOMPARE(frame.mid(13, 24), Bytes({ 0x6B, 0x61, 0x73, 0x73, 0x69, 0x72 }) + QByteArray(18, 0));
    QCOMPARE(value, u"Кассир"_s); // a write hands back nothing

    // Flag 0 sends the low 8 bits unchanged in case, at most 24 characters.
    run.link.answers << MakeAnswer(36, 0);
    value = u"internet.Provider.example.com"_s;
    RequestParam(run.channel, run.conn, KktMode::Write, 5, 5, 0, font, value, false);
    QCOMPARE(run.link.writes.last().mid(13, 24), QByteArray("internet.Provider.exampl"));
}

void TestKktRequests::paramRead_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<bool>("convert");
    QTest::addColumn<QString>("value");

    QTest::newRow("flag 0 drops zero bytes anywhere") << QByteArray("inter\0net", 9) << false << u"internet"_s;
    QTest::newRow("flag 0 keeps case") << QByteArray("Login") << false << u"Login"_s;
    QTest::newRow("flag 1 ends at 0x80") << QByteArray("AB\x80"
                                                       "CD")
                                         << true << u"AB"_s;
    QTest::newRow("flag 1 letters") << Bytes({ 0x68, 0x6C, 0x65, 0x62 }) << true << u"ХЛЕБ"_s;
}

void TestKktRequests::paramRead()
{
    QFETCH(QByteArray, field);
    QFETCH(bool, convert);
    QFETCH(QString, value);
    Run run;
    QByteArray payload(29, 0);
    payload[4] = 0x31; // font at offset 8
    payload.replace(5, field.size(), field);
    run.link.answers << MakeAnswer(36, 0, payload.left(29));
    quint16 font = 0x30;
    QString text;
    QCOMPARE(RequestParam(run.channel, run.conn, KktMode::Read, 5, 5, 0, font, text, convert), quint8(0));
    QCOMPARE(font, quint16(0x31));
    QCOMPARE(text, value);
    QCOMPARE(run.link.writes.first().mid(13, 24), QByteArray(24, 0));
}

void TestKktRequests::clearBaseWaitsThirtySeconds()
{
    Run run;
    run.link.answers << MakeAnswer(7, 0);
    quint8 status = 0xFF;
    QCOMPARE(RequestClearBase(run.channel, run.conn, status), quint8(0));
    QCOMPARE(status, quint8(0));
    QCOMPARE(run.link.openedTimeOut, 30000u);
    QCOMPARE(run.link.writes.first().toHex(), QByteArray("170200000000630b19a000"));
}

void TestKktRequests::testLinkFields()
{
    Run run;
    QByteArray payload(24, 0);
    for (int i = 0; i < 24; ++i)
        payload[i] = char(i + 1); // offsets 4..27
    run.link.answers << MakeAnswer(31, 0, payload);
    TTestLinkAnswer a;
    QCOMPARE(RequestTestLink(run.channel, run.conn, a), quint8(0));
    QCOMPARE(a.b4, quint8(1));
    QCOMPARE(a.w8, quint16(0x0605));
    QCOMPARE(a.b15, quint8(12));
    QCOMPARE(a.d16, quint32(0x100F0E0D));
    QCOMPARE(a.b21, quint8(18));
    QCOMPARE(a.q22, quint64(0x181716151413ull));
}

QTEST_GUILESS_MAIN(TestKktRequests)
#include "TestKktRequests.moc"
