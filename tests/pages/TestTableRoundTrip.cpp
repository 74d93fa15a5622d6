#include "emulator/DeviceLink.h"
#include "emulator/KktDevice.h"
#include "pages/FixedLists.h"
#include "pages/GridSet.h"
#include "pages/TableRun.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Texts the register keeps as they are: capitals, digits, at most 24 characters (12 when wide).
void Fill(TableKind kind, StringGridModel &g)
{
    const auto &kinds = FixedLists::ItemKinds();
    const auto &vat = FixedLists::Vat();
    const auto &tax = FixedLists::Taxation();
    for (int row = 1; row < g.rows(); ++row) {
        const QString n = QString::number(row);
        const QString font = row % 2 ? FixedLists::Wide() : FixedLists::Narrow();
        switch (kind) {
        case TableKind::Gsm:
            break;
        case TableKind::Oper:
            g.setCell(row, 1, u"КАССИР "_s + n);
            g.setCell(row, 2, font);
            g.setCell(row, 3, u"ИВАНОВ"_s);
            g.setCell(row, 5, u"ПЕТР ПЕТРОВИЧ "_s + n);
            g.setCell(row, 6, FixedLists::Narrow());
            g.setCell(row, 7, u"PW"_s + n);
            g.setCell(row, 8, u"77010000000"_s + n);
            break;
        case TableKind::Goods:
            g.setCell(row, 1, u"ТОВАР "_s + n);
            g.setCell(row, 2, font);
            g.setCell(row, 3, QString::number(4600000000000LL + row));
            g.setCell(row, 4, u"%1.%2"_s.arg(row).arg(row % 100, 2, 10, QLatin1Char('0')));
            g.setCell(row, 5, QString::number(row % 256));
            g.setCell(row, 6, row % 3 ? QString() : u"м"_s);
            break;
        case TableKind::Usl:
            g.setCell(row, 1, u"ОТДЕЛ "_s + n);
            g.setCell(row, 2, font);
            g.setCell(row, 3, kinds[row + 2]);
            g.setCell(row, 4, vat[row % 6]);
            g.setCell(row, 5, tax[(row + 3) % 6]);
            break;
        case TableKind::Klishe:
        case TableKind::Agents:
            g.setCell(row, 1, row == 5 ? u"770100000000"_s : u"СТРОКА "_s + n);
            g.setCell(row, 2, font);
            break;
        case TableKind::Factory:
            g.setCell(row, 1, u"ООО РОМАШКА "_s + n);
            g.setCell(row, 2, u"7701"_s + n);
            break;
        case TableKind::Station:
            g.setCell(row, 1, u"АЗС "_s + n);
            break;
        }
    }
}

QStringList DataCells(const StringGridModel &g)
{
    QStringList out;
    for (int row = 1; row < g.rows(); ++row)
        for (int col = 1; col < g.cols(); ++col)
            out << g.cell(row, col);
    return out;
}
} // namespace

class TestTableRoundTrip : public QObject
{
    Q_OBJECT
private slots:
    void wholeTable_data();
    void wholeTable();
    void gsmParameters();
    void deviceRefusalReported();
};

void TestTableRoundTrip::wholeTable_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("operators") << int(TableKind::Oper);
    QTest::newRow("goods") << int(TableKind::Goods);
    QTest::newRow("groups") << int(TableKind::Usl);
    QTest::newRow("header lines") << int(TableKind::Klishe);
    QTest::newRow("agents") << int(TableKind::Agents);
    QTest::newRow("enterprises") << int(TableKind::Factory);
    QTest::newRow("stations") << int(TableKind::Station);
}

void TestTableRoundTrip::wholeTable()
{
    QFETCH(int, kind);
    const auto k = TableKind(kind);
    KktDevice device;
    KktDeviceFaults faults;
    faults.busy = 1; // every request is answered busy once first
    device.setFaults(faults);
    DeviceLink link(device);
    KktChannel channel(link);
    const KktConnection conn { u"COM1"_s, 19200, 100, 0, 0 };

    const auto source = MakeGrid(k);
    Fill(k, *source);
    int progressCalls = 0;
    const RunHooks hooks { [&](const RunProgress &) { ++progressCalls; }, {}, {}, {} };
    const RunResult written = RunTable(channel, conn, k, RunDirection::Write, *source, 1, MaxRowOf(k), hooks);
    QVERIFY2(written.ok, qPrintable(written.messages.join(u'\n')));
    QCOMPARE(progressCalls, FieldsPerRow(k) * MaxRowOf(k));

    const auto back = MakeGrid(k);
    const RunResult read = RunTable(channel, conn, k, RunDirection::Read, *back, 1, MaxRowOf(k), hooks);
    QVERIFY2(read.ok, qPrintable(read.messages.join(u'\n')));
    if (k == TableKind::Usl) // the hidden column is not the register's business
        for (int row = 1; row < back->rows(); ++row)
            QCOMPARE(back->cell(row, 6), QString());
    QCOMPARE(DataCells(*back), DataCells(*source));
}

void TestTableRoundTrip::gsmParameters()
{
    KktDevice device;
    DeviceLink link(device);
    KktChannel channel(link);
    const KktConnection conn { u"COM1"_s, 19200, 100, 0, 0 };
    const auto source = MakeGrid(TableKind::Gsm);
    const QStringList values { u"192.168.100.200"_s, QString(72, u'S').replace(30, 5, u"OFD.RU"_s).left(72), u"21101"_s,
        u"0000"_s, u"internet.mts.ru"_s, u"mts"_s, u"Secret-123"_s };
    for (int row = 1; row <= 7; ++row)
        source->setCell(row, 1, values[row - 1]);
    QVERIFY(RunTable(channel, conn, TableKind::Gsm, RunDirection::Write, *source, 1, 7).ok);
    const auto back = MakeGrid(TableKind::Gsm);
    QVERIFY(RunTable(channel, conn, TableKind::Gsm, RunDirection::Read, *back, 1, 7).ok);
    QCOMPARE(DataCells(*back), values);
}

void TestTableRoundTrip::deviceRefusalReported()
{
    KktDevice device;
    DeviceLink link(device);
    KktChannel channel(link);
    const KktConnection conn { u"COM1"_s, 19200, 100, 0, 0 };
    KktDeviceFaults faults;
    faults.status = KktDevice::kStatusBadAddress;
    device.setFaults(faults);
    const auto goods = MakeGrid(TableKind::Goods);
    const RunResult r = RunTable(channel, conn, TableKind::Goods, RunDirection::Write, *goods, 10, 20);
    QCOMPARE(r.messages, QStringList { u"Внимание!\r\nОшибка (34) при записи базы. Товар номер 10 !"_s });
    QCOMPARE(link.writes(), 1);
}

QTEST_GUILESS_MAIN(TestTableRoundTrip)
#include "TestTableRoundTrip.moc"
