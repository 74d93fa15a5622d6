// The one reading of number texts that the settings, the pages, the files and
// kkt-cli share, and the settings dialog's conversions built on it.

#include "config/Conversion.h"
#include "config/NumberText.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

namespace {
constexpr qint64 kMin64 = std::numeric_limits<qint64>::min();
constexpr qint64 kMax64 = std::numeric_limits<qint64>::max();
const QString None = u"none"_s;

QString OrNone(const std::optional<qint64> &value)
{
    return value ? QString::number(*value) : None;
}
} // namespace

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void parseDecimal_data();
    void parseDecimal();
    void parseDigits_data();
    void parseDigits();
    void priceNumber_data();
    void priceNumber();
    void spreadsheetNumber_data();
    void spreadsheetNumber();
    void settingsConversion_data();
    void settingsConversion();
};

void TestNumberText::parseDecimal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("min");
    QTest::addColumn<qint64>("max");
    QTest::addColumn<QString>("value");
    QTest::newRow("digits") << u"123"_s << qint64(0) << qint64(1000) << u"123"_s;
    QTest::newRow("leading zeros") << u"007"_s << qint64(0) << qint64(1000) << u"7"_s;
    QTest::newRow("minus") << u"-5"_s << qint64(-10) << qint64(10) << u"-5"_s;
    QTest::newRow("plus") << u"+5"_s << qint64(-10) << qint64(10) << u"5"_s;
    QTest::newRow("lowest in range") << u"-10"_s << qint64(-10) << qint64(10) << u"-10"_s;
    QTest::newRow("highest in range") << u"10"_s << qint64(-10) << qint64(10) << u"10"_s;
    QTest::newRow("below min") << u"-11"_s << qint64(-10) << qint64(10) << None;
    QTest::newRow("above max") << u"11"_s << qint64(-10) << qint64(10) << None;
    QTest::newRow("64-bit max") << u"9223372036854775807"_s << kMin64 << kMax64 << u"9223372036854775807"_s;
    QTest::newRow("64-bit min") << u"-9223372036854775808"_s << kMin64 << kMax64 << u"-9223372036854775808"_s;
    QTest::newRow("beyond 64 bits") << u"9223372036854775808"_s << kMin64 << kMax64 << None;
    QTest::newRow("thirty digits") << u"123456789012345678901234567890"_s << kMin64 << kMax64 << None;
    QTest::newRow("long run of zeros") << u"000000000000000000000000000042"_s << kMin64 << kMax64 << u"42"_s;
    QTest::newRow("empty") << QString() << kMin64 << kMax64 << None;
    QTest::newRow("sign alone") << u"-"_s << kMin64 << kMax64 << None;
    QTest::newRow("two signs") << u"--5"_s << kMin64 << kMax64 << None;
    QTest::newRow("blank before") << u" 5"_s << kMin64 << kMax64 << None;
    QTest::newRow("blank after") << u"5 "_s << kMin64 << kMax64 << None;
    QTest::newRow("blank after sign") << u"- 5"_s << kMin64 << kMax64 << None;
    QTest::newRow("group separator") << u"1,000"_s << kMin64 << kMax64 << None;
    QTest::newRow("decimal point") << u"1.0"_s << kMin64 << kMax64 << None;
    QTest::newRow("hexadecimal") << u"0x10"_s << kMin64 << kMax64 << None;
    QTest::newRow("Arabic-Indic digits") << u"\u0661\u0662"_s << kMin64 << kMax64 << None;
    QTest::newRow("full-width digits") << u"\uFF11\uFF12"_s << kMin64 << kMax64 << None;
}

void TestNumberText::parseDecimal()
{
    QFETCH(QString, text);
    QFETCH(qint64, min);
    QFETCH(qint64, max);
    QFETCH(QString, value);
    QCOMPARE(OrNone(ParseDecimal(text, min, max)), value);
}

void TestNumberText::parseDigits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("max");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("digits"); // IsDecimalDigits
    QTest::newRow("zero") << u"0"_s << qint64(6000) << u"0"_s << true;
    QTest::newRow("max") << u"6000"_s << qint64(6000) << u"6000"_s << true;
    QTest::newRow("above max") << u"6001"_s << qint64(6000) << None << true;
    QTest::newRow("beyond 64 bits") << u"99999999999999999999"_s << kMax64 << None << true;
    QTest::newRow("plus") << u"+5"_s << qint64(6000) << None << false;
    QTest::newRow("minus zero") << u"-0"_s << qint64(6000) << None << false;
    QTest::newRow("empty") << QString() << qint64(6000) << None << false;
    QTest::newRow("letter inside") << u"1a2"_s << qint64(6000) << None << false;
}

void TestNumberText::parseDigits()
{
    QFETCH(QString, text);
    QFETCH(qint64, max);
    QFETCH(QString, value);
    QFETCH(bool, digits);
    QCOMPARE(OrNone(ParseDigits(text, max)), value);
    QCOMPARE(IsDecimalDigits(text), digits);
}

void TestNumberText::priceNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("price");
    QTest::newRow("whole") << u"12"_s << true;
    QTest::newRow("point") << u"12.5"_s << true;
    QTest::newRow("kopecks") << u"0.99"_s << true;
    QTest::newRow("negative") << u"-1.5"_s << true;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("letters") << u"abc"_s << false;
    QTest::newRow("two points") << u"1.2.3"_s << false;
    QTest::newRow("comma and point") << u"1.234,5"_s << false;
    QTest::newRow("infinity") << u"inf"_s << false;
    QTest::newRow("not a number") << u"nan"_s << false;
    QTest::newRow("beyond double") << u"1e400"_s << false;
    QTest::newRow("group separator") << u"10,000"_s << false;
    QTest::newRow("group separator and exponent") << u"1,000e3"_s << false;
    QTest::newRow("exponent") << u"1e3"_s << false;
    QTest::newRow("blank before") << u" 12"_s << false;
    QTest::newRow("blank after") << u"12 "_s << false;
    QTest::newRow("point alone") << u"."_s << false;
    QTest::newRow("sign alone") << u"-"_s << false;
    QTest::newRow("fraction only") << u".5"_s << true;
}

void TestNumberText::priceNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, price);
    QCOMPARE(IsPriceNumber(text), price);
}

void TestNumberText::spreadsheetNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown"); // "none": no number
    QTest::newRow("a 13-digit code") << u"4600000000001"_s << u"4600000000001"_s;
    QTest::newRow("the code with an exponent") << u"4.600000000001E+12"_s << u"4600000000001"_s;
    QTest::newRow("the code as Python writes a float") << u"4600000000001.0"_s << u"4600000000001"_s;
    QTest::newRow("trailing zeros") << u"12.50"_s << u"12.5"_s;
    QTest::newRow("a small exponent") << u"1E-2"_s << u"0.01"_s;
    QTest::newRow("a sum a double cannot hold") << u"0.30000000000000004"_s << u"0.3"_s;
    QTest::newRow("a mark-up") << u"14.399999999999999"_s << u"14.4"_s;
    QTest::newRow("rounded up through nines") << u"9.9999999999999999"_s << u"10"_s;
    QTest::newRow("fifteen digits of a third") << u"33.333333333333336"_s << u"33.3333333333333"_s;
    QTest::newRow("negative") << u"-1.5"_s << u"-1.5"_s;
    QTest::newRow("zero") << u"0.000"_s << u"0"_s;
    QTest::newRow("leading zeros") << u"007"_s << u"7"_s;
    QTest::newRow("round hundreds") << u"1200"_s << u"1200"_s;
    QTest::newRow("sixteen digits lose the last") << u"1234567890123456"_s << u"1234567890123460"_s;
    QTest::newRow("too large to show") << u"1E+31"_s << u"none"_s;
    QTest::newRow("a huge exponent") << u"1E+999999"_s << u"none"_s;
    QTest::newRow("text") << u"abc"_s << u"none"_s;
    QTest::newRow("a comma") << u"12,5"_s << u"none"_s;
    QTest::newRow("empty") << QString() << u"none"_s;
    QTest::newRow("an exponent alone") << u"E5"_s << u"none"_s;
}

// A number a workbook keeps as text becomes what the spreadsheet shows,
// without a trip through a double that could lose a code's digits.
void TestNumberText::spreadsheetNumber()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(SpreadsheetNumber(text).value_or(u"none"_s), shown);
}

void TestNumberText::settingsConversion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value"); // StrToInt
    QTest::addColumn<QString>("nonNegative"); // StrToNonNegative
    QTest::newRow("number") << u"9600"_s << u"9600"_s << u"9600"_s;
    QTest::newRow("zero") << u"0"_s << u"0"_s << u"0"_s;
    QTest::newRow("negative") << u"-1"_s << u"-1"_s << None;
    QTest::newRow("32-bit max") << u"2147483647"_s << u"2147483647"_s << u"2147483647"_s;
    QTest::newRow("32-bit min") << u"-2147483648"_s << u"-2147483648"_s << None;
    QTest::newRow("beyond 32 bits") << u"2147483648"_s << None << None;
    QTest::newRow("blank before") << u" 1"_s << None << None;
    QTest::newRow("empty") << QString() << None << None;
    QTest::newRow("letters") << u"12a"_s << None << None;
}

void TestNumberText::settingsConversion()
{
    QFETCH(QString, text);
    QFETCH(QString, value);
    QFETCH(QString, nonNegative);
    const auto attempt = [&](auto convert) {
        try {
            return QString::number(convert(text));
        } catch (const EConvertError &error) {
            // The text reaches the user's error box as it was typed.
            const QString message = QString::fromStdString(error.what());
            if (message != u"'"_s + text + u"' не является допустимым целым числом"_s)
                return u"wrong message: "_s + message;
            return None;
        }
    };
    QCOMPARE(attempt(StrToInt), value);
    QCOMPARE(attempt(StrToNonNegative), nonNegative);
    qint32 tried = -7;
    QCOMPARE(TryStrToInt(text, tried), value != None);
    QCOMPARE(QString::number(tried), value != None ? value : u"-7"_s); // untouched on failure
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "TestNumberText.moc"
