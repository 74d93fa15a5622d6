// The goods import of workbooks as users keep them: .xls, .xlsx and .ods
// through the one reader, formulas by their results, and hostile files
// refused within the reader's bounds.
#include "GoodsText.h"
#include "TempFiles.h"

#include "pages/Grids102.h"
#include "pages/XlsCells.h"
#include "pages/xlsTool.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <quazip.h>
#include <quazipfile.h>

#include <functional>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {
QString Fixture(const QString &name)
{
    return QStringLiteral(KKT_FIXTURES "/") + name;
}

// The columns of a table of goods rows a book gives, and one such row.
void RowColumns()
{
    QTest::addColumn<QString>("book");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("cells");
    QTest::addColumn<QStringList>("marks");
}

void AddRow(const QString &book, const char *what, int row, const QString &cells, const QStringList &marks = {})
{
    QTest::addRow("%s, %s", qPrintable(book), what) << book << row << cells << marks;
}

// A zip archive of parts, each written by its writer in pieces (a part may be
// far larger than anything kept in memory).
using PartWriter = std::function<bool(QIODevice &)>;
bool WriteZip(const QString &path, const QList<std::pair<QString, PartWriter>> &parts)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (const auto &[name, write] : parts) {
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(name)) || !write(file))
            return false;
        file.close();
        if (file.getZipError() != 0)
            return false;
    }
    zip.close();
    return zip.getZipError() == 0;
}

PartWriter Text(const QByteArray &bytes)
{
    return [bytes](QIODevice &out) { return out.write(bytes) == bytes.size(); };
}

// An .xlsx of one sheet whose rows the writer gives (between <sheetData> and its end).
bool WriteXlsx(const QString &path, const PartWriter &rows)
{
    return WriteZip(path,
        { { u"xl/workbook.xml"_s,
              Text("<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                   "<sheets><sheet name=\"1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>") },
            { u"xl/_rels/workbook.xml.rels"_s,
                Text("<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/></Relationships>") },
            { u"xl/worksheets/sheet1.xml"_s, [rows](QIODevice &out) {
                 return out.write("<worksheet><sheetData>") > 0 && rows(out)
                     && out.write("</sheetData></worksheet>") > 0;
             } } });
}

bool WriteOds(const QString &path, const QByteArray &tableRows)
{
    return WriteZip(path,
        { { u"mimetype"_s, Text("application/vnd.oasis.opendocument.spreadsheet") },
            { u"content.xml"_s,
                Text("<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                     "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                     "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet>"
                     "<table:table table:name=\"1\">"
                    + tableRows + "</table:table></office:spreadsheet></office:body></office:document-content>") } });
}

// The archive with the size its directory and the part's own header state for
// the part `name` changed: the bytes stay what they were.
QByteArray WithStatedSize(QByteArray zip, const QByteArray &name, quint32 size)
{
    for (const auto &[signature, nameAt, sizeAt] :
        { std::tuple { QByteArray("PK\x03\x04"), 30, 22 }, std::tuple { QByteArray("PK\x01\x02"), 46, 24 } }) {
        for (qsizetype at = zip.indexOf(signature); at >= 0; at = zip.indexOf(signature, at + 4))
            if (zip.mid(at + nameAt, name.size()) == name)
                qToLittleEndian(size, zip.data() + at + sizeAt);
    }
    return zip;
}

// An ODS row: two empty cells, then the goods columns C..G.
QByteArray OdsRow(const QByteArray &goodsCells, const QByteArray &repeat = {})
{
    const QByteArray rows = repeat.isEmpty() ? QByteArray() : " table:number-rows-repeated=\"" + repeat + '"';
    return "<table:table-row" + rows + "><table:table-cell table:number-columns-repeated=\"2\"/>" + goodsCells
        + "</table:table-row>";
}
} // namespace

class TestWorkbookImport : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_goods = MakeGrid(TableKind::Goods);
        QVERIFY(m_dir.isValid());
    }
    void formatsLoadAlike_data();
    void formatsLoadAlike();
    void formulasGiveTheirResults_data();
    void formulasGiveTheirResults();
    void rowsBelowTheGoodsAreReported_data();
    void rowsBelowTheGoodsAreReported();
    void workbookOfAnotherLayoutIsRefused_data();
    void workbookOfAnotherLayoutIsRefused();
    void hostileWorkbooksAreRefused_data();
    void hostileWorkbooksAreRefused();
    void fixedDecimalsShowOnlyInPrices();

private:
    void checkRow(const QString &book);
    PageResult load(const QString &file) { return LoadXls(file, *m_goods); }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<StringGridModel> m_goods;
};

void TestWorkbookImport::formatsLoadAlike_data()
{
    RowColumns();

    const QString price = u"4: В файле: «abc» — цена не число"_s;
    for (const QString &book : { u"goods.xls"_s, u"goods.xlsx"_s, u"goods.ods"_s }) {
        AddRow(book, "a 13-digit code as a number", 1, u"Хлеб|Узкий|4600000000001|35.5|2|м"_s);
        AddRow(book, "texts for code and price", 2, u"Молоко|Узкий|4601234567890|12.5|3|"_s);
        AddRow(book, "a whole price", 3, u"Сок|Узкий||12.00||"_s);
        AddRow(book, "no price", 4, u"Вода|Узкий||0.00||"_s);
        AddRow(book, "a price that is no number", 5, u"Чай|Узкий||0.00||м"_s, { price });
        AddRow(book, "a 12-digit code, blanks kept", 6, u"  Кофе  |Узкий|123456789012|0.05||"_s);
        AddRow(book, "a row without values", 100, u"|Узкий||0.00||"_s);
        AddRow(book, "the last goods row", 6000, u"Последний|Узкий||1.00||"_s);
    }
    for (const QString &book : { u"goods.xlsx"_s, u"goods.ods"_s }) {
        AddRow(book, "a price with a number format", 7, u"Сыр|Узкий|4607000000008|7.5||"_s);
        AddRow(book, "a date for a price", 8, u"Мёд|Узкий||0.00||"_s,
            { u"4: В файле: «2024-01-05» — в ячейке цены дата"_s });
        AddRow(book, "empty rows", 9, u"|Узкий||0.00||"_s);
        AddRow(book, "a name merged over the section", 11, u"Объединённая|Узкий||3.00||"_s);
    }
}

// The rows of goods.xls, and of the same book saved by a spreadsheet program
// as .xlsx and .ods: the same goods rows, the same marks.
void TestWorkbookImport::formatsLoadAlike()
{
    QFETCH(QString, book);
    checkRow(book);
    // Only the first sheet is read.
    QVERIFY(!GoodsWithMarks(*m_goods).contains(u"Не отсюда"_s));
}

void TestWorkbookImport::formulasGiveTheirResults_data()
{
    RowColumns();

    for (const QString &book : { u"formulas.xls"_s, u"formulas.xlsx"_s, u"formulas.ods"_s }) {
        AddRow(book, "text, number and code results", 1, u"Хлеб белый|Узкий|4600000000001|12.5|2|"_s);
        AddRow(book, "an error", 2, u"Молоко|Узкий|4601234567890|0.00|3|"_s,
            { u"4: В файле: «#DIV/0!» — ошибка в формуле"_s });
        AddRow(book, "a formula of a formula", 3, u"СОК|Узкий||25.00||"_s);
        AddRow(book, "shown as the sheet shows it", 4, u"Вода|Узкий||0.3||"_s);
        AddRow(book, "fifteen digits, a marking", 5, u"Чай|Узкий||33.3333333333333||м"_s);
    }
    // Written by another program: inline strings, rows and cells without
    // numbers, an exponent, a formula without its result.
    const QString inlined = u"inline.xlsx"_s;
    AddRow(inlined, "inline strings and an exponent", 1, u"Хлеб белый|Узкий|4600000000001|12.50|2|"_s);
    AddRow(inlined, "a formula without its result", 3, u"Без результата|Узкий||0.00||"_s,
        { u"4: В файле: «» — ячейка с формулой не прочитана"_s });
    AddRow(inlined, "a boolean and an error", 4, u"ИСТИНА|Узкий||0.00||"_s,
        { u"4: В файле: «#DIV/0!» — ошибка в формуле"_s });
    AddRow(inlined, "a date cell", 5, u"Дата|Узкий||0.00||"_s,
        { u"4: В файле: «2024-01-05T00:00:00» — в ячейке цены дата"_s });
}

// A formula cell gives what the spreadsheet showed when it saved the book;
// one whose result cannot be read is refused and marked, never taken as empty.
void TestWorkbookImport::formulasGiveTheirResults()
{
    QFETCH(QString, book);
    checkRow(book);
}

// The book's goods row as the data row says, with its marks, each also in the message.
void TestWorkbookImport::checkRow(const QString &book)
{
    QFETCH(int, row);
    QFETCH(QString, cells);
    QFETCH(QStringList, marks);
    const PageResult result = load(Fixture(book));
    QVERIFY2(result.ok, qPrintable(result.message));
    QCOMPARE(GoodsRowText(*m_goods, row), cells);
    QCOMPARE(AdjustedMarks(*m_goods, row), marks);
    for (const QString &mark : marks)
        QVERIFY2(result.message.contains(mark.sliced(mark.indexOf(u'—'))), qPrintable(result.message));
}

void TestWorkbookImport::rowsBelowTheGoodsAreReported_data()
{
    QTest::addColumn<QString>("book");
    for (const QString &book : { u"goods.xls"_s, u"goods.xlsx"_s, u"goods.ods"_s })
        QTest::newRow(qPrintable(book)) << Fixture(book);
}

// Sheet row 6002 has no goods row: it is not loaded, and the message says so.
void TestWorkbookImport::rowsBelowTheGoodsAreReported()
{
    QFETCH(QString, book);
    const PageResult result = load(book);
    QVERIFY2(result.ok, qPrintable(result.message));
    QVERIFY2(result.message.endsWith(u"\r\n\r\nСтроки листа ниже 6001-й не загружены: в базе товаров 6000 строк."_s),
        qPrintable(result.message));
    QVERIFY(!GoodsWithMarks(*m_goods).contains(u"Лишний"_s));
}

void TestWorkbookImport::workbookOfAnotherLayoutIsRefused_data()
{
    QTest::addColumn<QString>("book");
    QTest::newRow("xls") << Fixture(u"wrong-layout.xls"_s);
    QTest::newRow("xlsx") << Fixture(u"wrong-layout.xlsx"_s);
}

void TestWorkbookImport::workbookOfAnotherLayoutIsRefused()
{
    QFETCH(QString, book);
    m_goods->setCell(1, GoodsCol::Name, u"СТАРОЕ"_s);
    const QString before = GoodsWithMarks(*m_goods);
    const PageResult result = load(book);
    QVERIFY(!result.ok);
    QVERIFY2(result.message.startsWith(
                 u"ВНИМАНИЕ!\r\nКнига \"%1\" не загружена: её столбцы расположены не так, как ждёт программа (в 3 из "
                 u"3 строк с данными"_s.arg(book)),
        qPrintable(result.message));
    QCOMPARE(GoodsWithMarks(*m_goods), before);
}

void TestWorkbookImport::hostileWorkbooksAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<std::function<bool(const QString &)>>("make");
    QTest::addColumn<QString>("reason"); // empty: loaded, with the rows below the goods reported

    const QString zipped = u"файл повреждён или не является книгой Excel (*.xlsx) или OpenDocument (*.ods)."_s;
    const QString tooLarge = u"книга слишком велика: её лист или список строк занимает без сжатия больше 64 МБ."_s;
    QTest::newRow("cut in half") << u"cut.xlsx"_s << std::function([](const QString &to) {
        const QByteArray whole = ReadBytes(Fixture(u"goods.xlsx"_s));
        return WriteBytes(to, whole.left(whole.size() / 2));
    }) << zipped;
    QTest::newRow("noise named .ods") << u"noise.ods"_s << std::function([](const QString &to) {
        return WriteBytes(to, "PK\x03\x04noise");
    }) << zipped;
    QTest::newRow("a zip of something else") << u"other.xlsx"_s << std::function([](const QString &to) {
        return WriteZip(to, { { u"readme.txt"_s, Text("hello") } });
    }) << u"это zip-архив, но не книга Excel (*.xlsx) и не таблица OpenDocument (*.ods)."_s;
    // 100 MB of blanks deflate to about 100 KB: refused by the size the archive
    // states, before anything is inflated.
    QTest::newRow("zip bomb") << u"bomb.xlsx"_s << std::function([](const QString &to) {
        return WriteXlsx(to, [](QIODevice &out) {
            const QByteArray blanks(1024 * 1024, ' ');
            for (int i = 0; i < 100; ++i)
                if (out.write(blanks) != blanks.size())
                    return false;
            return true;
        });
    }) << tooLarge;
    // The same blanks in a part that states 1000 bytes: never inflated beyond what it states.
    QTest::newRow("zip bomb that states a small size") << u"liar.xlsx"_s << std::function([](const QString &to) {
        return WriteXlsx(to, [](QIODevice &out) { return out.write(QByteArray(100 * 1024 * 1024, ' ')) > 0; })
            && WriteBytes(to, WithStatedSize(ReadBytes(to), "xl/worksheets/sheet1.xml", 1000));
    }) << zipped;
    // A million rows with a code and a name each: more than a sheet of goods holds.
    QTest::newRow("a million rows, .xlsx") << u"million.xlsx"_s << std::function([](const QString &to) {
        return WriteXlsx(to, [](QIODevice &out) {
            for (int r = 1; r <= 1000000; ++r) {
                const QByteArray n = QByteArray::number(r);
                const QByteArray row = "<row r=\"" + n + "\"><c r=\"C" + n + "\"><v>4600000000001</v></c><c r=\"D" + n
                    + "\" t=\"inlineStr\"><is><t>Хлеб</t></is></c></row>";
                if (out.write(row) != row.size())
                    return false;
            }
            return true;
        });
    }) << tooLarge;
    // The same million rows in a few bytes: one row repeated. The reader stops below the goods rows.
    QTest::newRow("a million rows, .ods") << u"million.ods"_s << std::function([](const QString &to) {
        return WriteOds(to,
            OdsRow("<table:table-cell office:value-type=\"string\"><text:p>Штрих-код</text:p></table:table-cell>")
                + OdsRow("<table:table-cell office:value-type=\"float\" office:value=\"4600000000001\"/>"
                         "<table:table-cell office:value-type=\"string\"><text:p>Хлеб</text:p></table:table-cell>",
                    "1000000"));
    }) << QString();
    QTest::newRow("columns repeated beyond any sheet") << u"columns.ods"_s << std::function([](const QString &to) {
        return WriteOds(to, OdsRow("<table:table-cell table:number-columns-repeated=\"99999999999\"/>"));
    }) << zipped;
}

// Whatever the archive holds, the reader stays within its memory and time
// (a hang would end in its time-out, a failure here) and the grid keeps what
// the user had unless the book is read.
void TestWorkbookImport::hostileWorkbooksAreRefused()
{
    QFETCH(QString, name);
    QFETCH(std::function<bool(const QString &)>, make);
    QFETCH(QString, reason);
    const QString file = path(name);
    QVERIFY(make(file));
    m_goods->setCell(1, GoodsCol::Name, u"СТАРОЕ"_s);
    const QString before = GoodsWithMarks(*m_goods);
    const PageResult result = load(file);
    if (reason.isEmpty()) {
        QVERIFY2(result.ok, qPrintable(result.message));
        QCOMPARE(GoodsRowText(*m_goods, 1), u"Хлеб|Узкий|4600000000001|0.00||"_s);
        QCOMPARE(GoodsRowText(*m_goods, 6000), u"Хлеб|Узкий|4600000000001|0.00||"_s);
        QVERIFY(result.message.endsWith(u"Строки листа ниже 6001-й не загружены: в базе товаров 6000 строк."_s));
        return;
    }
    QVERIFY(!result.ok);
    QCOMPARE(result.message, u"ВНИМАНИЕ!\r\nНе удалось загрузить файл \"%1\": %2"_s.arg(file, reason));
    QCOMPARE(GoodsWithMarks(*m_goods), before);
}

// A sheet formatted "0.00" throughout: the price shows its two decimals, as
// the spreadsheet shows it, while the codes keep their digits alone.
void TestWorkbookImport::fixedDecimalsShowOnlyInPrices()
{
    const QString file = path(u"decimals.xlsx"_s);
    QVERIFY(WriteZip(file,
        { { u"xl/workbook.xml"_s,
              Text("<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                   "<sheets><sheet name=\"1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>") },
            { u"xl/_rels/workbook.xml.rels"_s,
                Text("<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/></Relationships>") },
            { u"xl/styles.xml"_s, Text("<styleSheet><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"2\"/></cellXfs></styleSheet>") },
            { u"xl/worksheets/sheet1.xml"_s,
                Text("<worksheet><sheetData><row r=\"2\"><c r=\"C2\" s=\"1\"><v>4600000000008</v></c>"
                     "<c r=\"D2\" t=\"inlineStr\"><is><t>Хлеб</t></is></c><c r=\"E2\" s=\"1\"><v>2</v></c>"
                     "<c r=\"F2\" s=\"1\"><v>12.5</v></c></row></sheetData></worksheet>") } }));
    const PageResult result = load(file);
    QVERIFY2(result.ok, qPrintable(result.message));
    QCOMPARE(m_goods->cell(1, GoodsCol::Barcode), u"4600000000008"_s);
    QCOMPARE(m_goods->cell(1, GoodsCol::Section), u"2"_s);
    QCOMPARE(m_goods->cell(1, GoodsCol::Price), u"12.50"_s);
}

QTEST_GUILESS_MAIN(TestWorkbookImport)
#include "TestWorkbookImport.moc"
