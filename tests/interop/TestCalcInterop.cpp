// The goods base through LibreOffice Calc, where it is installed: the .xlsx
// and CSV exports and the clipboard's HTML opened by Calc (headless) and
// saved by it as .xlsx, whose cells must be what the grid shows and import
// back into the same rows.
#include "TempFiles.h"
#include "XlsxSheet.h"

#include "pages/GoodsCsv.h"
#include "pages/GoodsRows.h"
#include "pages/GoodsXlsx.h"
#include "pages/GridPaste.h"
#include "pages/Grids102.h"
#include "pages/xlsTool.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
QString Carried(const StringGridModel &g, int row)
{
    return QStringList { g.cell(row, 1), g.cell(row, 3), g.cell(row, 4), g.cell(row, 5), g.cell(row, 6) }.join(u'|');
}

void Fill(StringGridModel &g)
{
    // A base as a file load leaves it: the row defaults, "0.00" among them.
    GoodsRows::ApplyAll(g, std::vector<GoodsCells>(GoodsRows::kCount, GoodsRows::Defaults()));
    const QList<QStringList> rows { { u"ХЛЕБ"_s, u"0012345678905"_s, u"12.50"_s, u"07"_s, u"м"_s },
        { u"1/2"_s, u"00000001"_s, u"0.5"_s, u"0"_s, QString() }, { u"СОК"_s, QString(), u"0.00"_s, u"99"_s, u"м"_s } };
    const int cols[] = { 1, 3, 4, 5, 6 };
    for (int r = 0; r < rows.size(); ++r)
        for (int i = 0; i < 5; ++i)
            g.setCell(r + 1, cols[i], rows[r][i]);
}
} // namespace

class TestCalcInterop : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void calcKeepsTheCells_data();
    void calcKeepsTheCells();

private:
    // Calc opens `in` (with `filter` when given) and saves it as .xlsx; its path, or empty.
    QString throughCalc(const QString &in, const QString &filter);

    QString m_soffice;
    QTemporaryDir m_profile;
};

void TestCalcInterop::initTestCase()
{
    m_soffice = QStandardPaths::findExecutable(u"soffice"_s);
    if (m_soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed: the spreadsheet interop is not checked");
}

QString TestCalcInterop::throughCalc(const QString &in, const QString &filter)
{
    const QString outDir = QFileInfo(in).absolutePath() + u"/calc"_s;
    QStringList arguments { u"-env:UserInstallation=file://"_s + m_profile.path(), u"--headless"_s, u"--norestore"_s,
        u"--convert-to"_s, u"xlsx"_s, u"--outdir"_s, outDir };
    if (!filter.isEmpty())
        arguments << u"--infilter="_s + filter;
    QProcess calc;
    calc.setProcessChannelMode(QProcess::MergedChannels);
    calc.start(m_soffice, arguments << in);
    if (!calc.waitForFinished(240000)) {
        calc.kill();
        calc.waitForFinished();
        return {};
    }
    const QString out = outDir + u'/' + QFileInfo(in).completeBaseName() + u".xlsx"_s;
    return QFileInfo::exists(out) ? out : QString();
}

void TestCalcInterop::calcKeepsTheCells_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("filter");
    QTest::newRow("xlsx export") << u"xlsx"_s << QString();
    // Calc takes quoted codes for text when told to (its CSV dialog's "Format quoted field as text").
    QTest::newRow("csv export, quoted fields as text") << u"csv"_s << u"CSV:59,34,76,1,,1049,true,false"_s;
    QTest::newRow("clipboard HTML") << u"html"_s << u"HTML (StarCalc)"_s;
}

void TestCalcInterop::calcKeepsTheCells()
{
    QFETCH(QString, kind);
    QFETCH(QString, filter);
    QTemporaryDir dir;
    const auto goods = MakeGrid(TableKind::Goods);
    Fill(*goods);
    const QString in = dir.filePath(u"goods."_s + kind);
    if (kind == u"xlsx"_s) {
        QVERIFY(ExportGoodsXlsx(in, *goods).ok);
    } else if (kind == u"csv"_s) {
        QVERIFY(ExportGoodsCsv(in, *goods).ok);
    } else {
        // The block a copy of rows 1..3, "Наименование" to "Маркировка", puts on the clipboard.
        const CellRange range { 1, GoodsCol::Name, 3, GoodsCol::Mark };
        const TableLayout &layout = LayoutOf(TableKind::Goods);
        QVERIFY(WriteBytes(in, ToHtmlTable(CopyRange(*goods, layout, range), CopyColumnKinds(layout, range)).toUtf8()));
    }
    const QString saved = throughCalc(in, filter);
    QVERIFY2(!saved.isEmpty(), "LibreOffice did not convert the file");
    const std::optional<XlsxCells> cells = ReadXlsxSheet(saved);
    QVERIFY(cells);

    // The barcode and section cells, where each kind of file puts them.
    const bool html = kind == u"html"_s;
    const auto ref = [&](QChar column, int row) {
        // The HTML block starts at "Наименование": columns shift by the sheet's A..C before it.
        const QChar shifted = html ? QChar(u"ABCDEF"[u"DXCFEG"_s.indexOf(column)]) : column;
        return QString(shifted) + QString::number(html ? row - 1 : row);
    };
    const auto expectText = [&](const QString &at, const QString &text) {
        const XlsxCell cell = cells->value(at);
        QVERIFY2(cell.type == u"s"_s || cell.type == u"str"_s || cell.type == u"inlineStr"_s,
            qPrintable(at + u": "_s + cell.type + u" "_s + cell.text));
        QCOMPARE(cell.text, text);
    };
    expectText(ref(u'C', 2), u"0012345678905"_s);
    expectText(ref(u'E', 2), u"07"_s);
    expectText(ref(u'C', 3), u"00000001"_s);
    expectText(ref(u'D', 3), u"1/2"_s);
    const XlsxCell price = cells->value(ref(u'F', 2));
    QCOMPARE(price.type + u' ' + price.text, u"n 12.5"_s);
    if (kind != u"xlsx"_s)
        return; // a block is no goods file; Calc keeps a CSV price as 12.5, not as 12.50
    const auto back = MakeGrid(TableKind::Goods);
    const PageResult loaded = LoadXls(saved, *back);
    QVERIFY2(loaded.ok, qPrintable(loaded.message));
    for (int row = 1; row <= 4; ++row)
        QCOMPARE(Carried(*back, row), Carried(*goods, row));
}

QTEST_GUILESS_MAIN(TestCalcInterop)
#include "TestCalcInterop.moc"
