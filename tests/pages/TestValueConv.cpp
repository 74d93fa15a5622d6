#include "pages/FixedLists.h"
#include "pages/RunTypes.h"
#include "pages/ValueConv.h"
#include "pages/xlsTool.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString None = u"<none>"_s;

QString OrNone(const std::optional<QString> &v)
{
    return v ? *v : None;
}
} // namespace

class TestValueConv : public QObject
{
    Q_OBJECT
private slots:
    void priceToKop_data();
    void priceToKop();
    void kopToPrice_data();
    void kopToPrice();
    void barcodeValue_data();
    void barcodeValue();
    void valueToBarcode_data();
    void valueToBarcode();
    void groupCode_data();
    void groupCode();
    void codeToGroup_data();
    void codeToGroup();
    void fontsAndSection();
    void progressRounding_data();
    void progressRounding();
    void normPrice_data();
    void normPrice();
};

void TestValueConv::priceToKop_data()
{
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("kop");
    const QList<std::pair<QString, QString>> cases = {
        { u"12"_s, u"1200"_s },
        { u"12.5"_s, u"1250"_s },
        { u"12.05"_s, u"1205"_s },
        { u"12."_s, u"1200"_s },
        { u".5"_s, u"050"_s },
        { u"12.345"_s, u"1234"_s },
        { u"0.99"_s, u"099"_s },
        { u"0.05"_s, u"005"_s },
        { QString(), u"0"_s },
        { u"35.5"_s, u"3550"_s },
    };
    for (const auto &[price, kop] : cases)
        QTest::newRow(qPrintable(price.isEmpty() ? u"empty"_s : price)) << price << kop;
}

void TestValueConv::priceToKop()
{
    QFETCH(QString, price);
    QFETCH(QString, kop);
    QCOMPARE(PriceToKop(price), kop);
}

void TestValueConv::kopToPrice_data()
{
    QTest::addColumn<QString>("kop");
    QTest::addColumn<QString>("price");
    QTest::newRow("1250") << u"1250"_s << u"12.50"_s;
    QTest::newRow("1205") << u"1205"_s << u"12.05"_s;
    QTest::newRow("5") << u"5"_s << u"0.05"_s;
    QTest::newRow("0") << u"0"_s << u"0.00"_s;
    QTest::newRow("int32 max") << u"2147483647"_s << u"21474836.47"_s;
    QTest::newRow("above int32") << u"2147483648"_s << None;
    QTest::newRow("int32 min") << u"-2147483648"_s << u"-21474836.48"_s;
    QTest::newRow("40-bit -1") << u"1099511627775"_s << None;
    QTest::newRow("not a number") << u"12a"_s << None;
}

void TestValueConv::kopToPrice()
{
    QFETCH(QString, kop);
    QFETCH(QString, price);
    QCOMPARE(OrNone(KopToPrice(kop)), price);
}

void TestValueConv::barcodeValue_data()
{
    QTest::addColumn<QString>("barcode");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("value");
    QTest::newRow("marked") << u"4600000000001"_s << u"м"_s << u"145337488355329"_s;
    QTest::newRow("capital М does not mark") << u"4600000000001"_s << u"М"_s << u"4600000000001"_s;
    QTest::newRow("empty barcode marked") << QString() << u"м"_s << u"0"_s;
    QTest::newRow("largest") << u"140737488355327"_s << QString() << u"140737488355327"_s;
    QTest::newRow("2^47 does not fit") << u"140737488355328"_s << QString() << None;
    QTest::newRow("letters") << u"46O0"_s << QString() << None;
    QTest::newRow("sign") << u"-1"_s << QString() << None;
    QTest::newRow("blank inside") << u"46 00"_s << QString() << None;
}

void TestValueConv::barcodeValue()
{
    QFETCH(QString, barcode);
    QFETCH(QString, mark);
    QFETCH(QString, value);
    QCOMPARE(OrNone(ShtrihToValue(barcode, mark)), value);
}

void TestValueConv::valueToBarcode_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("barcode");
    QTest::addColumn<QString>("mark");
    QTest::newRow("marked") << u"145337488355329"_s << u"4600000000001"_s << u"м"_s;
    QTest::newRow("plain") << u"4600000000001"_s << u"4600000000001"_s << QString();
    QTest::newRow("zero") << u"0"_s << u"0"_s << QString();
    QTest::newRow("2^47 exactly") << u"140737488355328"_s << u"0"_s << u"м"_s;
    QTest::newRow("beyond 48 bits") << u"281474976710656"_s << None << None;
}

void TestValueConv::valueToBarcode()
{
    QFETCH(QString, value);
    QFETCH(QString, barcode);
    QFETCH(QString, mark);
    const std::optional<ShtrihCells> cells = ValueToShtrih(value);
    QCOMPARE(cells ? cells->barcode : None, barcode);
    QCOMPARE(cells ? cells->mark : None, mark);
}

void TestValueConv::groupCode_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("vat");
    QTest::addColumn<QString>("tax");
    QTest::addColumn<QString>("code");
    const auto &kinds = FixedLists::ItemKinds();
    const auto &vat = FixedLists::Vat();
    const auto &tax = FixedLists::Taxation();
    QTest::newRow("0412") << kinds[4] << vat[0] << tax[1] << u"0412"_s;
    QTest::newRow("0501 exempt") << kinds[5] << FixedLists::VatExempt() << tax[0] << u"0501"_s;
    QTest::newRow("1166") << kinds[11] << vat[5] << tax[5] << u"1166"_s;
    QTest::newRow("empty vat and tax") << kinds[0] << QString() << QString() << u"0009"_s;
    QTest::newRow("no kind") << QString() << vat[0] << tax[0] << None;
    QTest::newRow("unknown kind") << u"04 - услуга"_s << vat[0] << tax[0] << None;
}

void TestValueConv::groupCode()
{
    QFETCH(QString, kind);
    QFETCH(QString, vat);
    QFETCH(QString, tax);
    QFETCH(QString, code);
    QCOMPARE(OrNone(UslToCode(kind, vat, tax)), code);
}

void TestValueConv::codeToGroup_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("kind"); // list index, -1 for an empty cell
    QTest::addColumn<int>("vat");
    QTest::addColumn<int>("tax");
    QTest::newRow("0411") << u"0411"_s << 4 << 0 << 0;
    QTest::newRow("0501") << u"0501"_s << 5 << -1 << 0;
    QTest::newRow("1166") << u"1166"_s << 11 << 5 << 5;
    QTest::newRow("kind 12 out of range") << u"1211"_s << -1 << 0 << 0;
    QTest::newRow("tax 9") << u"0419"_s << 4 << 0 << -1;
    QTest::newRow("short") << u"04"_s << 4 << -1 << -1;
    QTest::newRow("one character is the kind") << u"4"_s << 4 << -1 << -1;
    QTest::newRow("blank before the kind") << u" 4"_s << -1 << -1 << -1;
    QTest::newRow("not digits") << u"x41 "_s << -1 << 0 << -1;
    QTest::newRow("empty") << QString() << -1 << -1 << -1;
}

void TestValueConv::codeToGroup()
{
    QFETCH(QString, code);
    QFETCH(int, kind);
    QFETCH(int, vat);
    QFETCH(int, tax);
    const UslCells cells = CodeToUsl(code);
    QCOMPARE(cells.kind, FixedLists::ItemKinds().value(kind));
    QCOMPARE(cells.vat, FixedLists::Vat().value(vat));
    QCOMPARE(cells.tax, FixedLists::Taxation().value(tax));
}

void TestValueConv::fontsAndSection()
{
    QCOMPARE(FontCode(u"Узкий"_s), quint16(0x30));
    QCOMPARE(FontCode(u"Широкий"_s), quint16(0x31));
    QCOMPARE(FontCode(QString()), quint16(0x31)); // anything but "Узкий" is wide
    QCOMPARE(FontCode(u"узкий"_s), quint16(0x31));
    QCOMPARE(FontNameOf(0x30), u"Узкий"_s);
    QCOMPARE(FontNameOf(0x31), u"Широкий"_s);
    QCOMPARE(FontNameOf(0x00), u"Широкий"_s);

    QCOMPARE(SectionByte(u"2"_s), quint8(2));
    QCOMPARE(SectionByte(u"300"_s), quint8(44));
    QCOMPARE(SectionByte(QString()), quint8(0));
    QCOMPARE(SectionByte(u"x"_s), quint8(0));
    QCOMPARE(SectionByte(u" 5"_s), quint8(0));
    QCOMPARE(SectionByte(u"5 "_s), quint8(0));
}

void TestValueConv::progressRounding_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("percent");
    QTest::newRow("6.25") << 1 << 16 << 6;
    QTest::newRow("12.5 to even") << 2 << 16 << 12;
    QTest::newRow("37.5 to even") << 6 << 16 << 38;
    QTest::newRow("62.5 to even") << 10 << 16 << 62;
    QTest::newRow("last") << 16 << 16 << 100;
    QTest::newRow("gsm 2 of 7") << 2 << 7 << 29;
    QTest::newRow("0.5 to even") << 1 << 200 << 0;
    QTest::newRow("1.5 to even") << 3 << 200 << 2;
}

void TestValueConv::progressRounding()
{
    QFETCH(int, position);
    QFETCH(int, total);
    QFETCH(int, percent);
    QCOMPARE(ProgressPercent(position, total), percent);
}

void TestValueConv::normPrice_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("price");
    QTest::newRow("comma") << u"12,5"_s << u"12.5"_s;
    QTest::newRow("point kept") << u"12.50"_s << u"12.50"_s;
    QTest::newRow("integer") << u"12"_s << u"12.00"_s;
    QTest::newRow("empty") << QString() << u"0.00"_s;
    QTest::newRow("text") << u"abc"_s << u"0.00"_s;
    QTest::newRow("two separators") << u"1.234,5"_s << u"0.00"_s;
    QTest::newRow("text with point") << u"a.b"_s << u"0.00"_s;
    QTest::newRow("blank before integer") << u" 5"_s << u"0.00"_s;
    QTest::newRow("blank after decimal") << u"5,5 "_s << u"0.00"_s;
    QTest::newRow("group separator") << u"10,000.5"_s << u"0.00"_s;
    QTest::newRow("exponent") << u"1,5e3"_s << u"0.00"_s;
}

void TestValueConv::normPrice()
{
    QFETCH(QString, text);
    QFETCH(QString, price);
    QCOMPARE(NormPrice(text), price);
}

QTEST_GUILESS_MAIN(TestValueConv)
#include "TestValueConv.moc"
