#include "kkt/KktText.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace Qt::StringLiterals;

class TestKktText : public QObject
{
    Q_OBJECT
private slots:
    void writeAndReadBack_data();
    void writeAndReadBack();
    void readField_data();
    void readField();
    void letterTableRoundTrip();
    void cutToCharactersNotUnits_data();
    void cutToCharactersNotUnits();
    void codePageAgreesWithSystemCodec();
};

static QByteArray Bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(char(b));
    return out;
}

void TestKktText::writeAndReadBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("bread") << u"ХЛЕБ"_s << Bytes({ 0x68, 0x6C, 0x65, 0x62 }) << u"ХЛЕБ"_s;
    QTest::newRow("milk upper-cased") << u"Молоко 3,2%"_s
                                      << Bytes({ 0x6D, 0x6F, 0x6C, 0x6F, 0x6B, 0x6F, 0x20, 0x33, 0x2C, 0x32, 0x25 })
                                      << u"МОЛОКО 3,2%"_s;
    QTest::newRow("yo becomes blank") << u"ЁЛКА"_s << Bytes({ 0x20, 0x6C, 0x6B, 0x61 }) << u" ЛКА"_s;
    QTest::newRow("ascii punctuation at letter places")
        << u"^`{|}~"_s << Bytes({ 0x5E, 0x60, 0x7B, 0x7C, 0x7D, 0x7E }) << u"ЪЮШЭЩЧ"_s;
    QTest::newRow("tab dropped") << u"A\tB"_s << Bytes({ 0x41, 0x42 }) << u"AB"_s;
    QTest::newRow("outside cp1251 becomes ?") << u"中"_s << Bytes({ 0x3F }) << u"?"_s;
    QTest::newRow("outside BMP is one ?") << u"A😀B"_s << Bytes({ 0x41, 0x3F, 0x42 }) << u"A?B"_s;
    QTest::newRow("number sign becomes blank") << u"№1"_s << Bytes({ 0x20, 0x31 }) << u" 1"_s;
    QTest::newRow("latin upper-cased") << u"abc"_s << Bytes({ 0x41, 0x42, 0x43 }) << u"ABC"_s;
}

void TestKktText::writeAndReadBack()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, sent);
    QFETCH(QString, readBack);
    const QByteArray kkt = StrToKKT(PrepareForKkt(text));
    QCOMPARE(kkt, sent);
    QCOMPARE(KKTToStr(kkt), readBack);
}

void TestKktText::readField_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("text");

    QTest::newRow("24 bytes without end") << QByteArray(24, 'A') << QString(24, QLatin1Char('A'));
    QTest::newRow("first byte zero") << Bytes({ 0x00, 0x41, 0x42 }) << QString();
    QTest::newRow("0x80 ends") << Bytes({ 0x41, 0x80, 0x42 }) << u"A"_s;
    QTest::newRow("line feed stays") << Bytes({ 0x41, 0x0A, 0x0D, 0x42 }) << u"A\n\rB"_s;
    QTest::newRow("other controls dropped") << Bytes({ 0x01, 0x41, 0x09, 0x19, 0x1A }) << u"A\x1A"_s;
    QTest::newRow("0x7F reads as N") << Bytes({ 0x7F }) << u"N"_s;
    QTest::newRow("upper half as cp1251") << Bytes({ 0xC0, 0xFF, 0xB9 }) << u"Ая№"_s;
}

void TestKktText::readField()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, text);
    QCOMPARE(KKTToStr(field), text);
}

void TestKktText::letterTableRoundTrip()
{
    // Every capital А..Я goes out at its KOI-7 place (Ъ at 0x5E) and comes back.
    const QString alphabet = u"АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"_s;
    const QByteArray kkt = StrToKKT(ToCp1251(alphabet));
    QCOMPARE(kkt.size(), 32);
    QCOMPARE(quint8(kkt[0]), quint8(0x61)); // А
    QCOMPARE(quint8(kkt[2]), quint8(0x77)); // В
    QCOMPARE(quint8(kkt[26]), quint8(0x5E)); // Ъ
    QCOMPARE(quint8(kkt[31]), quint8(0x71)); // Я
    QCOMPARE(KKTToStr(kkt), alphabet);
}

void TestKktText::cutToCharactersNotUnits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxChars");
    QTest::addColumn<QByteArray>("prepared");

    QTest::newRow("cyrillic") << u"абвгд"_s << 3 << ToCp1251(u"АБВ"_s);
    QTest::newRow("pairs are one character") << u"😀😀😀"_s << 2 << QByteArray("??");
    // Upper-casing must not grow the text: the cut counts what the user typed.
    QTest::newRow("sharp s stays one") << u"ßab"_s << 2 << QByteArray("?A");
    QTest::newRow("ligature stays one") << u"\uFB01ab"_s << 2 << QByteArray("?A");
    QTest::newRow("apostrophe n stays one") << u"\u0149ab"_s << 2 << QByteArray("?A");
    QTest::newRow("no cut") << u"straße"_s << -1 << QByteArray("STRA?E");
}

void TestKktText::cutToCharactersNotUnits()
{
    QFETCH(QString, text);
    QFETCH(int, maxChars);
    QFETCH(QByteArray, prepared);
    QCOMPARE(PrepareForKkt(text, maxChars), prepared);
}

// Our own Windows-1251 tables against the system's converter, every byte and
// every character of the basic plane, lone surrogates and a pair included.
void TestKktText::codePageAgreesWithSystemCodec()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QStringDecoder decoder("windows-1251");
    QCOMPARE(FromCp1251(all), decoder.decode(all));

    QStringEncoder encoder("windows-1251");
    for (int u = 0; u < 0x10000; ++u) {
        const char16_t c = char16_t(u);
        QByteArray expected = encoder.encode(QStringView(&c, 1));
        if (expected.size() != 1 || (expected[0] == 0x1A && u != 0x1A))
            expected = "?"; // the system converter marks a missing character with 0x1A
        if (ToCp1251(QStringView(&c, 1)) != expected)
            QFAIL(qPrintable(u"U+%1"_s.arg(u, 4, 16, QChar(u'0'))));
    }
    QCOMPARE(ToCp1251(u"а😀б\xD800в"_s), ToCp1251(u"а?б?в"_s));
    QCOMPARE(ToCp1251(u"Ёё№€"_s), QByteArray("\xA8\xB8\xB9\x88"));
}

QTEST_GUILESS_MAIN(TestKktText)
#include "TestKktText.moc"
