// The "Параметры 102" page as a user drives it: ranges and the go-to field,
// the runs with their messages, progress and "Стоп", the run guard, the tab
// hooks, the "1C: Предприятие" menu and the goods files.
#include "FailOnceLink.h"
#include "GuiTest.h"
#include "ScriptedLink.h"
#include "ScriptedPrompts.h"
#include "TempFiles.h"

#include "app/KktSession.h"
#include "app/VersionForm.h"
#include "app/pages/Set102Frame.h"
#include "emulator/DeviceLink.h"
#include "emulator/KktDevice.h"
#include "pages/TableLayout.h"
#include "pages/WorkbookRead.h"
#include "scanner/ShtrihCheck.h"
#include "ui/GridEdits.h"
#include "ui/StringGrid.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QFileInfo>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>

#include <memory>

using namespace Qt::StringLiterals;
using Kind = Prompts::Kind;

namespace {
// One page on a session whose channel goes either to a scripted port or to
// an imitated register in this process.
struct PageBench
{
    ScriptedLink scripted;
    KktDevice device;
    DeviceLink deviceLink { device };
    KktChannel channel { scripted };
    TStructSetting settings;
    TKktSession session { channel, settings };
    TFrameSet102 page;
    ScriptedPrompts prompts;

    PageBench()
    {
        settings.PortSett.Name = u"COM1"_s;
        settings.PortSett.TimeOut = 100;
        page.Init(session);
        page.resize(978, 599);
        page.show();
        QApplication::setActiveWindow(&page);
    }
    void useDevice() { channel.setLink(deviceLink); }

    template <typename T = QWidget> T *child(const QString &name)
    {
        T *widget = page.findChild<T *>(name);
        if (!widget)
            qFatal("no child %s", qPrintable(name));
        return widget;
    }
    QPushButton *button(const QString &name) { return child<QPushButton>(name); }
    QProgressBar *bar() { return child<QProgressBar>(u"ProgressBar1"_s); }
    QProgressDialog *workbookProgress() { return page.findChild<QProgressDialog *>(u"workbookProgress"_s); }
    void setRange(TableKind kind, int from, int to)
    {
        page.showTable(kind);
        const auto [fromName, toName] = RangeFieldNames(kind);
        child<QLineEdit>(fromName)->setText(QString::number(from));
        child<QLineEdit>(toName)->setText(QString::number(to));
    }
    // The message boxes shown, as "kind: text" (file dialogs left out).
    QStringList shown() const
    {
        QStringList out;
        for (const auto &m : prompts.messages)
            if (m.kind != Kind::OpenFile && m.kind != Kind::SaveFile)
                out << ScriptedPrompts::KindName(m.kind) + u": "_s + m.text;
        return out;
    }

    static std::pair<QString, QString> RangeFieldNames(TableKind kind)
    {
        return { LayoutOf(kind).range.startName, LayoutOf(kind).range.endName };
    }
};

// The workbook import reads in a child process and ends in the event loop.
void WaitForWorkbook(PageBench &b)
{
    QTRY_VERIFY_WITH_TIMEOUT(!b.page.findChild<WorkbookRead *>(), 10000);
}

QString Info(const QString &text)
{
    return ScriptedPrompts::KindName(Kind::Information) + u": "_s + text;
}

QString Error(const QString &text)
{
    return ScriptedPrompts::KindName(Kind::Error) + u": "_s + text;
}

const QString kBadStart = u"ВНИМАНИЕ!\r\nНеверно введено значение начала диапазона!"_s;
const QString kBadEnd = u"ВНИМАНИЕ!\r\nНеверно введено значение конца диапазона!"_s;
const QString kZeroStart = u"ВНИМАНИЕ!\r\nЗначение начала диапазона не может начинаться с 0!"_s;

// Test values for every data column of a table, distinct per row and column,
// that survive a trip through the register (upper case, within the field).
void FillSample(StringGridModel &grid, TableKind kind, int row)
{
    for (int col = 1; col < grid.cols(); ++col) {
        const QString title = grid.cell(0, col);
        QString value;
        if (title.contains(u"Шрифт"_s) || title == u"Тип шрифта"_s)
            value = (row + col) % 2 ? u"Широкий"_s : u"Узкий"_s;
        else if (kind == TableKind::Usl && col == 3)
            value = u"04 - УСЛУГА"_s;
        else if (kind == TableKind::Usl && col == 4)
            value = u"2 - Ставка НДС 10%"_s;
        else if (kind == TableKind::Usl && col == 5)
            value = u"3 - Упрощенная доход минус расход"_s;
        else if (kind == TableKind::Usl && col == 6)
            continue; // the hidden column carries nothing
        else if (kind == TableKind::Goods && col == 3) { // an EAN-13
            value = u"460000%1"_s.arg(row, 6, 10, QChar(u'0'));
            value += QString::number(Gs1CheckDigit(value));
        } else if (kind == TableKind::Goods && col == 4)
            value = u"%1.05"_s.arg(row);
        else if (kind == TableKind::Goods && col == 5)
            value = QString::number(row % 100); // one byte in the register
        else if (kind == TableKind::Goods && col == 6)
            value = row % 2 ? u"м"_s : QString();
        else if (title.contains(u"ИНН"_s))
            value = u"7700%1"_s.arg(row * 10 + col);
        else
            value = u"С%1 П%2"_s.arg(row).arg(col); // within a wide font's 12
        grid.setCell(row, col, value);
    }
}

QStringList Rows(const StringGridModel &grid, int from, int to)
{
    QStringList out;
    for (int row = from; row <= to; ++row) {
        QStringList cells;
        for (int col = 1; col < grid.cols(); ++col)
            cells << grid.cell(row, col);
        out << cells.join(u'|');
    }
    return out;
}
} // namespace

class TestSet102Frame : public QObject
{
    Q_OBJECT
private slots:
    void startState();
    void rangeCheck_data();
    void rangeCheck();
    void badRangeSendsNothing();
    void goToItem_data();
    void goToItem();
    void roundTripThroughRegister_data();
    void roundTripThroughRegister();
    void failureMessages_data();
    void failureMessages();
    void progressAfterEveryRequest();
    void stopEndsRunAfterCurrentRequest_data();
    void stopEndsRunAfterCurrentRequest();
    void clearBase_data();
    void clearBase();
    void guardKeepsOneExchangeAtATime();
    void stopBetweenFailures();
    void stopInsideARowNamesItsFields();
    void modalBoxDoesNotHoldTheRun();
    void checkBeforeWriting_data();
    void checkBeforeWriting();
    void failedRunGoesOnFromItsRow();
    void verifyTab();
    void tabHooks_data();
    void tabHooks();
    void enterpriseMenuOpens_data();
    void enterpriseMenuOpens();
    void fileDialogs_data();
    void fileDialogs();
    void goodsFilesRoundTrip();
    void spreadsheetFilesFromTheMenu();
    void rejected1cdbLeavesGrid();
    void fileThatIsNoGoodsBaseLeavesGrid();
    void xlsImport();
    void xlsImportReportsAndRefusesOtherLayouts();
    void slowWorkbookShowsProgress();
    void failedSaveKeepsPreviousFile();
};

void TestSet102Frame::startState()
{
    PageBench b;
    QCOMPARE(b.page.showingTable(), TableKind::Oper);
    QCOMPARE(b.child<QTabWidget>(u"PageControl1"_s)->count(), 7);
    QVERIFY(!b.bar()->isVisible());
    for (const QString &name : { u"Button3"_s, u"Button4"_s, u"Button5"_s })
        QVERIFY2(b.button(name)->isEnabled(), qPrintable(name));
    QVERIFY(!b.page.scannerIndicator()->isVisible());
    QVERIFY(!b.page.scannerCaption()->isVisible());
    QVERIFY(b.page.shtrihLabel()->text().isEmpty());
    QCOMPARE(b.child<QLineEdit>(u"Edit11"_s)->text(), u"1"_s);
    // Every range spans its whole table after start-up.
    for (TableKind kind : { TableKind::Oper, TableKind::Goods, TableKind::Usl, TableKind::Klishe, TableKind::Agents,
             TableKind::Factory, TableKind::Station }) {
        const auto [from, to] = PageBench::RangeFieldNames(kind);
        QCOMPARE(b.child<QLineEdit>(from)->text(), u"1"_s);
        QCOMPARE(b.child<QLineEdit>(to)->text(), QString::number(MaxRowOf(kind)));
    }
    QCOMPARE(b.page.grid(TableKind::Goods).cell(6000, 0), u"6000"_s);
    // The title: bold serif, as the page has it.
    auto *title = b.child<QLabel>(u"Label1"_s);
    QCOMPARE(title->text(), u"Параметры 102"_s);
    const QFontInfo face(title->font());
    QVERIFY(face.bold());
    QVERIFY2(face.family().contains(u"Serif"_s) || face.family() == u"Times New Roman"_s, qPrintable(face.family()));
    QVERIFY(!face.family().contains(u"Sans"_s));

    // The range and item fields take digits only, as many as the table's rows need.
    for (const QString &name : { u"Edit3"_s, u"Edit11"_s, u"Edit1"_s }) {
        auto *field = b.child<QLineEdit>(name);
        field->clear();
        TypeText(field, u"1a,2.34567"_s);
        QCOMPARE(field->text(), name == u"Edit1"_s ? u"1"_s : u"1234"_s);
    }
}

void TestSet102Frame::rangeCheck_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::addColumn<bool>("focusOnEnd");

    const int oper = int(TableKind::Oper), goods = int(TableKind::Goods);
    QTest::newRow("empty start") << oper << u""_s << u"6"_s << kBadStart << false;
    QTest::newRow("empty end") << oper << u"1"_s << u""_s << kBadEnd << true;
    QTest::newRow("start 0") << oper << u"0"_s << u"6"_s << kZeroStart << false;
    QTest::newRow("start beyond") << oper << u"7"_s << u"6"_s << kBadStart << false;
    QTest::newRow("end beyond") << oper << u"1"_s << u"7"_s << kBadEnd << true;
    QTest::newRow("start after end") << oper << u"5"_s << u"3"_s << kBadStart << false;
    QTest::newRow("end 0") << oper << u"1"_s << u"0"_s << kBadStart << false;
    QTest::newRow("operators whole") << oper << u"1"_s << u"6"_s << QString() << false;
    QTest::newRow("goods whole") << goods << u"1"_s << u"6000"_s << QString() << false;
    QTest::newRow("goods end beyond") << goods << u"1"_s << u"6001"_s << kBadEnd << true;
}

void TestSet102Frame::rangeCheck()
{
    QFETCH(int, kind);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, message);
    QFETCH(bool, focusOnEnd);

    PageBench b;
    const auto [fromName, toName] = PageBench::RangeFieldNames(TableKind(kind));
    auto *fromField = b.child<QLineEdit>(fromName);
    auto *toField = b.child<QLineEdit>(toName);
    b.page.showTable(TableKind(kind));
    fromField->setText(from);
    toField->setText(to);
    if (!message.isEmpty())
        b.prompts.expect(Kind::Information);

    QCOMPARE(b.page.CheckRange(fromField, toField, MaxRowOf(TableKind(kind))), message.isEmpty());
    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    if (message.isEmpty())
        return;
    QCOMPARE(b.shown(), QStringList { Info(message) });
    QCOMPARE(QApplication::focusWidget(), focusOnEnd ? toField : fromField);
}

void TestSet102Frame::badRangeSendsNothing()
{
    PageBench b;
    b.child<QLineEdit>(u"Edit1"_s)->setText(u"0"_s);
    b.prompts.expect(Kind::Information);
    QTest::mouseClick(b.button(u"Button3"_s), Qt::LeftButton);
    QCOMPARE(b.shown(), QStringList { Info(kZeroStart) });
    QCOMPARE(b.scripted.opens, 0);
    QVERIFY(!b.bar()->isVisible());
    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
}

void TestSet102Frame::goToItem_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("message"); // empty: goes there

    QTest::newRow("empty") << u""_s << u"ВНИМАНИЕ!\r\nНе введён номер товара!"_s;
    QTest::newRow("0") << u"0"_s << u"ВНИМАНИЕ!\r\nНомер товара не может быть 0!"_s;
    QTest::newRow("00") << u"00"_s << u"ВНИМАНИЕ!\r\nНомер товара не может быть 0!"_s;
    QTest::newRow("6001") << u"6001"_s << u"ВНИМАНИЕ!\r\nНомер товара не может быть больше 6000!"_s;
    QTest::newRow("6000") << u"6000"_s << QString();
    QTest::newRow("17") << u"17"_s << QString();
}

void TestSet102Frame::goToItem()
{
    QFETCH(QString, number);
    QFETCH(QString, message);

    PageBench b;
    b.page.showTable(TableKind::Goods);
    TStringGrid *view = b.page.goodsView();
    const QPoint before(view->currentCol(), view->currentRow());
    auto *field = b.child<QLineEdit>(u"Edit11"_s);
    field->setText(number);
    if (!message.isEmpty())
        b.prompts.expect(Kind::Information);

    QTest::mouseClick(b.button(u"Button6"_s), Qt::LeftButton);

    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    if (!message.isEmpty()) {
        QCOMPARE(b.shown(), QStringList { Info(message) });
        QCOMPARE(QApplication::focusWidget(), field);
        QCOMPARE(QPoint(view->currentCol(), view->currentRow()), before);
        return;
    }
    QCOMPARE(view->currentRow(), number.toInt());
    QCOMPARE(view->currentCol(), int(GoodsCol::Name));
    QVERIFY(view->hasFocus() || view->isAncestorOf(QApplication::focusWidget()));
    QVERIFY(view->visualRect(view->currentIndex()).intersects(view->viewport()->rect()));
}

void TestSet102Frame::roundTripThroughRegister_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");

    QTest::newRow("operators") << int(TableKind::Oper) << 2 << 3;
    QTest::newRow("goods") << int(TableKind::Goods) << 5999 << 6000;
    QTest::newRow("groups") << int(TableKind::Usl) << 1 << 8;
    QTest::newRow("header lines") << int(TableKind::Klishe) << 20 << 21;
    QTest::newRow("agents") << int(TableKind::Agents) << 4 << 7;
    QTest::newRow("enterprises") << int(TableKind::Factory) << 89 << 90;
    QTest::newRow("stations") << int(TableKind::Station) << 1 << 2;
}

// Write a tab's range, empty its cells, read the range back: the cells return.
void TestSet102Frame::roundTripThroughRegister()
{
    QFETCH(int, kind);
    QFETCH(int, from);
    QFETCH(int, to);

    PageBench b;
    b.useDevice();
    StringGridModel &grid = b.page.grid(TableKind(kind));
    for (int row = from; row <= to; ++row)
        FillSample(grid, TableKind(kind), row);
    const QStringList written = Rows(grid, from, to);
    b.setRange(TableKind(kind), from, to);

    QTest::mouseClick(b.button(u"Button3"_s), Qt::LeftButton);
    QVERIFY2(b.shown().isEmpty(), qPrintable(b.shown().join(u'\n')));
    const int requests = b.deviceLink.writes();
    QVERIFY(requests >= to - from + 1);

    for (int row = from; row <= to; ++row)
        for (int col = 1; col < grid.cols(); ++col)
            grid.setCell(row, col, QString());
    QTest::mouseClick(b.button(u"Button4"_s), Qt::LeftButton);

    QVERIFY2(b.prompts.messages.isEmpty(), qPrintable(b.shown().join(u'\n')));
    QCOMPARE(b.deviceLink.writes(), 2 * requests);
    QCOMPARE(Rows(grid, from, to), written);
    QVERIFY(!b.bar()->isVisible());
}

void TestSet102Frame::failureMessages_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("write");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("goesOn"); // by itself, past the failed row

    QTest::newRow("write operators stops")
        << int(TableKind::Oper) << true
        << QStringList { u"Внимание!\r\nОшибка (2) при записи оператора с номером 1 !"_s } << false;
    QStringList perOperator;
    for (int n = 1; n <= 6; ++n)
        perOperator << u"Внимание!\r\nОшибка (2) при чтении операторов. Оператор номер %1 !"_s.arg(n);
    QTest::newRow("read operators goes on") << int(TableKind::Oper) << false << perOperator << true;
    QTest::newRow("read goods") << int(TableKind::Goods) << false
                                << QStringList { u"Внимание!\r\nОшибка (2) при чтении базы. Товар номер 1 !"_s }
                                << false;
    QTest::newRow("write stations")
        << int(TableKind::Station) << true
        << QStringList { u"Внимание!\r\nОшибка (2) при записи строки станции с номером 1 !"_s } << false;
}

// A register that never answers: the messages of the table, and the bar gone after.
void TestSet102Frame::failureMessages()
{
    QFETCH(int, kind);
    QFETCH(bool, write);
    QFETCH(QStringList, messages);
    QFETCH(bool, goesOn);

    PageBench b;
    b.page.showTable(TableKind(kind));
    for (int i = 0; i < messages.size(); ++i)
        b.prompts.expect(Kind::Error);
    QTest::mouseClick(b.button(write ? u"Button3"_s : u"Button4"_s), Qt::LeftButton);

    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QStringList expected;
    for (const QString &m : messages)
        expected << Error(m);
    QCOMPARE(b.shown(), expected);
    // Under each text, what code 2 means and how to go on.
    for (const ScriptedPrompts::Message &shown : std::as_const(b.prompts.messages)) {
        QVERIFY2(shown.detail.startsWith(u"Код 2 — нет ответа: касса молчит"_s), qPrintable(shown.detail));
        QVERIFY2(shown.detail.contains(u"Что делать: проверьте питание, кабель, скорость и номер ККМ"_s),
            qPrintable(shown.detail));
        QVERIFY2(shown.detail.endsWith(goesOn ? u"Обмен продолжается со следующей строки."_s
                                              : u"Затем нажмите «Продолжить с …»: обмен пойдёт со строки сбоя."_s),
            qPrintable(shown.detail));
    }
    QVERIFY(!b.bar()->isVisible());
    QVERIFY(!b.session.busy());
}

void TestSet102Frame::progressAfterEveryRequest()
{
    PageBench b;
    b.useDevice();
    b.setRange(TableKind::Usl, 1, 8);
    QList<int> values;
    QList<bool> shownWhileRunning;
    connect(b.bar(), &QProgressBar::valueChanged, this, [&](int value) {
        values << value;
        shownWhileRunning << b.bar()->isVisible();
    });
    b.bar()->setValue(55); // the next run starts again from 0
    values.clear();
    shownWhileRunning.clear();

    QTest::mouseClick(b.button(u"Button3"_s), Qt::LeftButton);

    // 16 requests: 6.25 -> 6, 12.5 -> 12 (halves to even), ..., 100.
    QCOMPARE(values.first(), 0);
    QCOMPARE(values.mid(1, 3), (QList<int> { 6, 12, 19 }));
    QCOMPARE(values.last(), 100);
    QCOMPARE(values.size(), 17);
    QVERIFY(!shownWhileRunning.contains(false));
    QCOMPARE(b.child<QLabel>(u"lblRunRows"_s)->text(), u"8 из 8, осталось 0:00"_s);
    QVERIFY(!b.bar()->isVisible());
}

void TestSet102Frame::stopEndsRunAfterCurrentRequest_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<QString>("done");

    QTest::newRow("write") << true << u"Записано строк: "_s;
    QTest::newRow("read") << false << u"Прочитано строк: "_s;
}

void TestSet102Frame::stopEndsRunAfterCurrentRequest()
{
    QFETCH(bool, write);
    QFETCH(QString, done);

    PageBench b;
    b.useDevice();
    b.setRange(TableKind::Goods, 1, 6000);
    QPushButton *stop = b.child<QPushButton>(u"btnStopRun"_s);
    int requestsAtStop = -1;
    connect(b.bar(), &QProgressBar::valueChanged, this, [&](int value) {
        QVERIFY(stop->isVisible());
        if (value >= 1 && requestsAtStop < 0) {
            // The line works on while the click is delivered: counted once "Стоп" has been taken.
            QTest::mouseClick(stop, Qt::LeftButton);
            requestsAtStop = b.deviceLink.writes();
        }
    });
    b.prompts.expect(Kind::Information);

    QTest::mouseClick(b.button(write ? u"Button3"_s : u"Button4"_s), Qt::LeftButton);

    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QVERIFY(requestsAtStop > 0);
    // The request that was going when "Стоп" came is the last one.
    QVERIFY2(b.deviceLink.writes() - requestsAtStop <= 1, qPrintable(QString::number(b.deviceLink.writes())));
    QCOMPARE(b.shown(),
        QStringList { Info(u"Обмен с ККТ остановлен.\r\n"_s + done + u"%1 из 6000."_s.arg(b.deviceLink.writes())) });
    QVERIFY(!b.bar()->isVisible());

    // The next run starts afresh and runs to its end.
    b.setRange(TableKind::Goods, 1, 2);
    disconnect(b.bar(), nullptr, this, nullptr);
    b.prompts.reset();
    QTest::mouseClick(b.button(u"Button4"_s), Qt::LeftButton);
    QVERIFY2(b.prompts.messages.isEmpty(), qPrintable(b.shown().join(u'\n')));
}

void TestSet102Frame::clearBase_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("openFails");
    QTest::addColumn<QString>("message"); // after the question; empty: none

    QTest::newRow("no") << false << false << QString();
    QTest::newRow("yes") << true << false << Info(u"База успешно очищена!"_s);
    QTest::newRow("port fails") << true << true << Error(u"Внимание!\r\nОшибка очистки базы - 1!"_s);
}

void TestSet102Frame::clearBase()
{
    QFETCH(bool, yes);
    QFETCH(bool, openFails);
    QFETCH(QString, message);

    PageBench b;
    b.useDevice();
    b.deviceLink.setOpenFails(openFails);
    KktDevice::GoodsItem item;
    item.price = 1250;
    QVERIFY(b.device.setGoodsItem(3, item));
    b.page.showTable(TableKind::Goods);
    const QString cell = u"СВОЁ"_s;
    b.page.grid(TableKind::Goods).setCell(3, 1, cell);
    b.prompts.answerQuestion(yes);
    if (!message.isEmpty())
        b.prompts.expect(message.startsWith(ScriptedPrompts::KindName(Kind::Error)) ? Kind::Error : Kind::Information);

    QTest::mouseClick(b.button(u"Button5"_s), Qt::LeftButton);

    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QCOMPARE(b.prompts.messages.first().text, u"Внимание!\r\nВы действительно хотите очистить базу в ККТ!"_s);
    QCOMPARE(b.shown().mid(1), message.isEmpty() ? QStringList() : QStringList { message });
    QCOMPARE(b.device.usedGoodsCount(), yes && !openFails ? 0 : 1);
    if (yes && !openFails)
        QCOMPARE(b.deviceLink.openedTimeOut(), 30000u);
    QCOMPARE(b.page.grid(TableKind::Goods).cell(3, 1), cell);
    QVERIFY(!b.bar()->isVisible());
}

// Everything a user can reach during a run, tried from inside the run: only
// the run's own requests reach the port, nothing else opens, the tab stays.
void TestSet102Frame::guardKeepsOneExchangeAtATime()
{
    PageBench b;
    b.setRange(TableKind::Oper, 1, 2); // 10 requests
    for (int i = 0; i < 10; ++i)
        b.scripted.answers << MakeAnswer(36, 0);
    auto *tabs = b.child<QTabWidget>(u"PageControl1"_s);
    QSignalSpy goodsHook(&b.page, &TFrameSet102::goodsTabShown);
    QSignalSpy otherHook(&b.page, &TFrameSet102::hookedTabShown);
    int tries = 0;
    connect(b.bar(), &QProgressBar::valueChanged, this, [&](int value) {
        if (value == 0)
            return;
        ++tries;
        QVERIFY(b.session.busy());
        for (const QString &name : { u"Button3"_s, u"Button4"_s, u"Button5"_s, u"Button1"_s, u"Button2"_s })
            QTest::mouseClick(b.button(name), Qt::LeftButton);
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
        QTest::keyClick(tabs, Qt::Key_Tab, Qt::ControlModifier);
        // A screen reader's "Press" on the goods tab, which a disabled tab bar does not refuse.
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(tabs->tabBar());
        QVERIFY(bar && bar->childCount() > 1);
        QAccessibleActionInterface *press = bar->child(1)->actionInterface();
        QVERIFY(press);
        press->doAction(QAccessibleActionInterface::pressAction());
        tabs->setCurrentIndex(2); // and in code
        QTest::mouseClick(b.button(u"Button7"_s), Qt::LeftButton);
        QVERIFY(!b.child<QMenu>(u"PopupMenu1"_s)->isVisible());
        b.child<QAction>(u"N11"_s)->trigger();
        b.page.Button4Click(); // a second run asked for in code
        b.page.Button5Click();
        b.page.Button2Click();
    });

    QTest::mouseClick(b.button(u"Button3"_s), Qt::LeftButton);

    QCOMPARE(tries, 10);
    QCOMPARE(b.scripted.writes.size(), 10);
    QCOMPARE(b.scripted.opens, 10);
    QCOMPARE(b.scripted.closes, 10);
    QCOMPARE(b.page.showingTable(), TableKind::Oper);
    QCOMPARE(goodsHook.size() + otherHook.size(), 0); // no tab was shown, so no scanner question
    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict())); // no dialog at all
    QVERIFY(!b.session.busy());
    for (const QString &name : { u"Button3"_s, u"Button4"_s, u"Button5"_s, u"Button1"_s, u"Button7"_s })
        QVERIFY2(b.button(name)->isEnabled(), qPrintable(name));
    QVERIFY(tabs->tabBar()->isEnabled());
}

// "Стоп" while reads keep failing: taken when the failure's box is closed,
// before the next request.
void TestSet102Frame::stopBetweenFailures()
{
    PageBench b;
    b.setRange(TableKind::Oper, 1, 6);
    b.prompts.expect(Kind::Error).expect(Kind::Error).expect(Kind::Information);
    b.prompts.whileShown = [&](const ScriptedPrompts::Message &message) {
        if (b.prompts.messages.size() == 2)
            QTest::mouseClick(b.child<QPushButton>(u"btnStopRun"_s), Qt::LeftButton);
        Q_UNUSED(message);
    };

    QTest::mouseClick(b.button(u"Button4"_s), Qt::LeftButton);

    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QCOMPARE(b.shown(),
        (QStringList { Error(u"Внимание!\r\nОшибка (2) при чтении операторов. Оператор номер 1 !"_s),
            Error(u"Внимание!\r\nОшибка (2) при чтении операторов. Оператор номер 2 !"_s),
            Info(u"Обмен с ККТ остановлен.\r\nПрочитано строк: 0 из 6."_s) }));
    QCOMPARE(b.scripted.writes.size(), 2);
}

// Stopped inside an operator, the message says what of that operator is in the grid.
void TestSet102Frame::stopInsideARowNamesItsFields()
{
    PageBench b;
    b.useDevice();
    b.deviceLink.setReadPauseMs(40);
    b.setRange(TableKind::Oper, 1, 6);
    connect(b.bar(), &QProgressBar::valueChanged, this, [&] {
        QPushButton *stop = b.child<QPushButton>(u"btnStopRun"_s);
        if (b.deviceLink.writes() >= 7 && stop->isEnabled())
            QTest::mouseClick(stop, Qt::LeftButton);
    });
    b.prompts.expect(Kind::Information);

    QTest::mouseClick(b.button(u"Button4"_s), Qt::LeftButton);

    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    const int fields = b.deviceLink.writes() - 5;
    QVERIFY2(fields >= 2 && fields <= 4, qPrintable(QString::number(fields)));
    QCOMPARE(b.shown(),
        QStringList { Info(u"Обмен с ККТ остановлен.\r\nПрочитано строк: 1 из 6.\r\n"
                           "Строка 2 прочитана не полностью: полей %1 из 5."_s.arg(fields)) });
}

// A dialog opened during a run ("Версия") leaves the line at work.
void TestSet102Frame::modalBoxDoesNotHoldTheRun()
{
    PageBench b;
    b.useDevice();
    b.deviceLink.setReadPauseMs(2);
    b.setRange(TableKind::Goods, 1, 6000);
    int atOpen = -1, atClose = -1;
    connect(b.bar(), &QProgressBar::valueChanged, this, [&](int value) {
        if (value == 0 || atOpen >= 0) // 0: the bar shown before the first request
            return;
        atOpen = b.deviceLink.writes();
        TFormVersion box(u"1.0"_s, &b.page);
        QTimer::singleShot(2000, &box, [&] {
            atClose = b.deviceLink.writes();
            box.accept();
        });
        box.exec();
        QTest::mouseClick(b.child<QPushButton>(u"btnStopRun"_s), Qt::LeftButton);
    });
    b.prompts.expect(Kind::Information);

    QTest::mouseClick(b.button(u"Button3"_s), Qt::LeftButton);

    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    // Some 2 ms a request: hundreds of them while the box was open.
    QVERIFY2(atClose - atOpen > 100, qPrintable(u"%1 -> %2"_s.arg(atOpen).arg(atClose)));
}

void TestSet102Frame::checkBeforeWriting_data()
{
    QTest::addColumn<bool>("writeAsIs");
    QTest::newRow("Отмена: nothing sent") << false;
    QTest::newRow("Записать как есть") << true;
}

// A name the register would cut: asked about before anything goes out.
void TestSet102Frame::checkBeforeWriting()
{
    QFETCH(bool, writeAsIs);
    PageBench b;
    b.useDevice();
    b.setRange(TableKind::Goods, 1, 3);
    b.page.grid(TableKind::Goods).setCell(2, GoodsCol::Name, u"Чай чёрный листовой 100 г №7"_s);
    b.prompts.answerStoreCheck(writeAsIs);
    QTest::mouseClick(b.button(u"Button3"_s), Qt::LeftButton);
    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QCOMPARE(b.shown(),
        QStringList { u"store check: Предмет расчета, строка 2, Наименование: «Чай чёрный листовой 100 г №7» → «ЧАЙ Ч "
                      "РНЫЙ ЛИСТОВОЙ 100 » (длиннее поля: сохранится 24 символа; символы, которых нет в ККТ: «Ё»)"_s });
    QCOMPARE(b.deviceLink.writes(), writeAsIs ? 3 : 0);
    QVERIFY(!b.session.busy());
}

// Item 180 fails: its row is shown, "Продолжить с 180" writes 180 to the
// range's end, and the status line says what went through.
void TestSet102Frame::failedRunGoesOnFromItsRow()
{
    PageBench b;
    FailOnceLink link(b.deviceLink, 180);
    b.channel.setLink(link);
    QSignalSpy told(&b.session, &TKktSession::told);
    b.setRange(TableKind::Goods, 1, 300);
    b.prompts.expect(Kind::Error);
    QTest::mouseClick(b.button(u"Button3"_s), Qt::LeftButton);
    QCOMPARE(b.shown(), QStringList { Error(u"Внимание!\r\nОшибка (1) при записи базы. Товар номер 180 !"_s) });
    QCOMPARE(b.page.goodsView()->currentRow(), 180);
    QPushButton *resume = b.button(u"btnResumeRun"_s);
    QVERIFY(resume->isVisible());
    QCOMPARE(resume->text(), u"Продолжить с 180"_s);
    QVERIFY(told.isEmpty());

    // The range fields are not read again: the run goes on to the failed run's end.
    b.child<QLineEdit>(PageBench::RangeFieldNames(TableKind::Goods).second)->setText(u"6000"_s);
    b.prompts.reset();
    QTest::mouseClick(resume, Qt::LeftButton);
    QVERIFY2(b.prompts.messages.isEmpty(), qPrintable(b.shown().join(u'\n')));
    QCOMPARE(link.opens(), 180 + 121);
    QVERIFY(!resume->isVisible());
    QCOMPARE(told.size(), 1);
    QVERIFY2(told.first().first().toString().startsWith(u"Записано 121 строк за "_s),
        qPrintable(told.first().first().toString()));
    // Said under the table as well, until another tab is shown.
    auto *done = b.child<QLabel>(u"lblRunDone"_s);
    QVERIFY(done->isVisible());
    QCOMPARE(done->text(), told.first().first().toString());
    b.page.showTable(TableKind::Oper);
    QVERIFY(!done->isVisible());
}

// "Сверить с ККТ" reads the range into a copy: the grid stays, the result goes to the window.
void TestSet102Frame::verifyTab()
{
    PageBench b;
    b.useDevice();
    QSignalSpy verified(&b.session, &TKktSession::verifiedSignal);
    b.setRange(TableKind::Factory, 1, 5);
    for (int row = 1; row <= 5; ++row)
        FillSample(b.page.grid(TableKind::Factory), TableKind::Factory, row);
    QTest::mouseClick(b.button(u"Button3"_s), Qt::LeftButton);
    QTest::mouseClick(b.button(u"btnVerify"_s), Qt::LeftButton);
    QCOMPARE(verified.size(), 1);
    auto result = verified.last().first().value<VerifyResult>();
    QCOMPARE(result.rows, 5);
    QCOMPARE(result.equalRows, 5);
    QVERIFY(result.differences.isEmpty());

    const QString typed = b.page.grid(TableKind::Factory).cell(4, FactoryCol::Name);
    b.page.grid(TableKind::Factory).setCell(4, FactoryCol::Name, u"ООО ДРУГОЕ"_s);
    QTest::mouseClick(b.button(u"btnVerify"_s), Qt::LeftButton);
    result = verified.last().first().value<VerifyResult>();
    QCOMPARE(result.differences.size(), 1);
    QCOMPARE(result.differences.first().row, 4);
    QCOMPARE(result.differences.first().program, u"ООО ДРУГОЕ"_s);
    QCOMPARE(result.differences.first().kkt, typed);
    QCOMPARE(b.page.grid(TableKind::Factory).cell(4, FactoryCol::Name), u"ООО ДРУГОЕ"_s);
    QVERIFY(b.prompts.messages.isEmpty());
}

void TestSet102Frame::tabHooks_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("goods");

    QTest::newRow("goods") << int(TableKind::Goods) << true;
    QTest::newRow("groups") << int(TableKind::Usl) << false;
    QTest::newRow("header lines") << int(TableKind::Klishe) << false;
    QTest::newRow("agents") << int(TableKind::Agents) << false;
    QTest::newRow("enterprises") << int(TableKind::Factory) << false;
    QTest::newRow("stations") << int(TableKind::Station) << false;
}

void TestSet102Frame::tabHooks()
{
    QFETCH(int, kind);
    QFETCH(bool, goods);

    PageBench b;
    QSignalSpy goodsShown(&b.page, &TFrameSet102::goodsTabShown);
    QSignalSpy otherShown(&b.page, &TFrameSet102::hookedTabShown);
    b.page.EnableKKTButtons(false); // as after choosing the scanner alone
    auto *tabs = b.child<QTabWidget>(u"PageControl1"_s);
    const int index = tabs->indexOf(b.child(u"TabSheet%1"_s.arg(kind)));
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(index).center());

    QCOMPARE(b.page.showingTable(), TableKind(kind));
    QCOMPARE(goodsShown.count(), goods ? 1 : 0);
    QCOMPARE(otherShown.count(), goods ? 0 : 1);
    QCOMPARE(b.button(u"Button3"_s)->isEnabled(), !goods);
    QCOMPARE(b.button(u"Button5"_s)->isEnabled(), !goods);

    // Showing the page again while the tab is current runs its hook again.
    b.page.hide();
    b.page.show();
    QCOMPARE(goodsShown.count(), goods ? 2 : 0);
    QCOMPARE(otherShown.count(), goods ? 0 : 2);
}

void TestSet102Frame::enterpriseMenuOpens_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("release"); // a release, or a right click (context menu)
    QTest::addColumn<bool>("opens");

    QTest::newRow("left release") << int(Qt::LeftButton) << true << true;
    QTest::newRow("right click") << int(Qt::RightButton) << false << true;
    QTest::newRow("middle release") << int(Qt::MiddleButton) << true << false;
}

void TestSet102Frame::enterpriseMenuOpens()
{
    QFETCH(int, button);
    QFETCH(bool, release);
    QFETCH(bool, opens);

    PageBench b;
    b.page.showTable(TableKind::Goods);
    QPushButton *button7 = b.button(u"Button7"_s);
    QCOMPARE(button7->text(), u"1C: Предприятие"_s);
    auto *menu = b.child<QMenu>(u"PopupMenu1"_s);
    const QPoint at(5, 5);
    if (release) {
        QTest::mouseClick(button7, Qt::MouseButton(button), {}, at);
    } else {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, button7->mapToGlobal(at));
        QApplication::sendEvent(button7, &event);
    }
    QCOMPARE(menu->isVisible(), opens);
    if (!opens)
        return;
    QStringList entries;
    for (const QAction *action : menu->actions())
        entries << (action->isSeparator() ? u"-"_s : action->text());
    QCOMPARE(entries,
        (QStringList { u"Загрузить из 1С (формат *.1cdb)"_s, u"Выгрузить в 1С (формат *.1cdb)"_s, u"-"_s,
            u"Загрузить из 1С (формат *.xls)"_s, u"-"_s, u"Загрузить из таблицы (формат *.csv)"_s,
            u"Выгрузить в таблицу (формат *.csv)"_s, u"Выгрузить в таблицу (формат *.xlsx)"_s, u"-"_s, u"Отмена"_s }));
    menu->actions().last()->trigger(); // "Отмена": nothing more
    menu->close();
    QVERIFY(b.prompts.messages.isEmpty());
}

void TestSet102Frame::fileDialogs_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("suffix");

    QTest::newRow("save db102") << u"Button1"_s << int(Kind::SaveFile) << u"Файлы БД (*.db102)|*.db102"_s << u"db102"_s;
    QTest::newRow("load db102") << u"Button2"_s << int(Kind::OpenFile) << u"Байлы БД (*.db102)|*.db102"_s << u"db102"_s;
    QTest::newRow("import 1cdb") << u"N11"_s << int(Kind::OpenFile) << u"Файлы обмена с 1С (*.1cdb)|*.1cdb"_s
                                 << u"1cdb"_s;
    QTest::newRow("export 1cdb") << u"N12"_s << int(Kind::SaveFile) << u"Файлы обмена с 1С (*.1cdb)|*.1cdb"_s
                                 << u"1cdb"_s;
    QTest::newRow("import xls") << u"N1xls1"_s << int(Kind::OpenFile)
                                << u"Файлы обмена с 1С (*.xls *.xlsx *.ods)|*.xls;*.xlsx;*.ods"_s << u"xls"_s;
    const QString csv = u"Таблицы CSV (*.csv)|*.csv|Текст с табуляциями (*.tsv *.txt)|*.tsv;*.txt"_s;
    QTest::newRow("import csv") << u"N1csv1"_s << int(Kind::OpenFile) << csv << u"csv"_s;
    QTest::newRow("export csv") << u"N2csv1"_s << int(Kind::SaveFile) << csv << u"csv"_s;
    QTest::newRow("export xlsx") << u"N2xlsx1"_s << int(Kind::SaveFile) << u"Книги Excel (*.xlsx)|*.xlsx"_s
                                 << u"xlsx"_s;
}

// Every goods file command asks with its own dialog; cancelling changes nothing.
void TestSet102Frame::fileDialogs()
{
    QFETCH(QString, command);
    QFETCH(int, kind);
    QFETCH(QString, filter);
    QFETCH(QString, suffix);

    PageBench b;
    b.page.showTable(TableKind::Goods);
    b.page.grid(TableKind::Goods).setCell(1, 1, u"ХЛЕБ"_s);
    b.prompts.answerFile(Kind(kind), QString());
    if (command.startsWith(u'N'))
        b.child<QAction>(command)->trigger();
    else
        QTest::mouseClick(b.button(command), Qt::LeftButton);

    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QCOMPARE(b.prompts.messages.size(), 1);
    QCOMPARE(b.prompts.messages.first().text, filter);
    QCOMPARE(b.prompts.messages.first().defaultSuffix, suffix);
    QCOMPARE(b.page.grid(TableKind::Goods).cell(1, 1), u"ХЛЕБ"_s);
    QCOMPARE(b.page.grid(TableKind::Goods).cell(2, 4), QString());
    QVERIFY(!b.session.busy());
}

void TestSet102Frame::goodsFilesRoundTrip()
{
    PageBench b;
    QTemporaryDir dir;
    StringGridModel &goods = b.page.grid(TableKind::Goods);
    for (int row : { 1, 2, 6000 })
        FillSample(goods, TableKind::Goods, row);
    const QStringList filled = Rows(goods, 1, 6000);
    const QString db102 = dir.filePath(u"base.db102"_s), cdb = dir.filePath(u"base.1cdb"_s);

    b.prompts.answerFile(Kind::SaveFile, db102).answerFile(Kind::SaveFile, cdb).expect(Kind::Information);
    QTest::mouseClick(b.button(u"Button1"_s), Qt::LeftButton);
    b.child<QAction>(u"N12"_s)->trigger();
    QCOMPARE(b.shown(), QStringList { Info(u"Файл успешно сохранен!"_s) });

    // The .db102 brings every column back.
    for (int row : { 1, 2, 6000 })
        for (int col = 1; col <= 6; ++col)
            goods.setCell(row, col, u"X"_s);
    b.prompts.answerFile(Kind::OpenFile, db102).expect(Kind::Information);
    QTest::mouseClick(b.button(u"Button2"_s), Qt::LeftButton);
    QCOMPARE(Rows(goods, 1, 6000), filled);
    QVERIFY2(b.shown().last().startsWith(Info(u"Загружено 6000 строк."_s)), qPrintable(b.shown().last()));

    // The .1cdb carries no marking: the import leaves that column alone.
    for (int row : { 1, 2, 6000 })
        for (int col = 1; col <= 6; ++col)
            goods.setCell(row, col, col == 2 ? u"Узкий"_s : u"X"_s);
    b.prompts.reset();
    b.prompts.answerFile(Kind::OpenFile, cdb).expect(Kind::Information);
    b.child<QAction>(u"N11"_s)->trigger();
    QCOMPARE(b.shown().last(), Info(u"Загружено 6000 позиций!"_s));
    QCOMPARE(goods.cell(1, 1), filled.first().section(u'|', 0, 0));
    QCOMPARE(goods.cell(2, 4), u"2.05"_s);
    QCOMPARE(goods.cell(1, 6), u"X"_s);
    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
}

// The CSV export and import and the .xlsx export through the menu: a CSV
// brings back what a spreadsheet file carries (the font comes back narrow)
// in one step of the history, and a file that cannot be read leaves the grid.
void TestSet102Frame::spreadsheetFilesFromTheMenu()
{
    PageBench b;
    GridEdits edits;
    b.page.goodsView()->setEdits(&edits);
    QTemporaryDir dir;
    StringGridModel &goods = b.page.grid(TableKind::Goods);
    goods.setCell(1, GoodsCol::Name, u"ХЛЕБ"_s);
    goods.setCell(1, GoodsCol::Barcode, u"0012345678905"_s);
    goods.setCell(1, GoodsCol::Price, u"12.50"_s);
    goods.setCell(1, GoodsCol::Section, u"07"_s);
    goods.setCell(6000, GoodsCol::Name, u"ПОСЛЕДНИЙ"_s);
    goods.setCell(6000, GoodsCol::Font, u"Широкий"_s);
    const QString csv = dir.filePath(u"base.csv"_s), xlsx = dir.filePath(u"base.xlsx"_s);
    b.prompts.answerFile(Kind::SaveFile, csv).expect(Kind::Information);
    b.prompts.answerFile(Kind::SaveFile, xlsx).expect(Kind::Information);
    b.child<QAction>(u"N2csv1"_s)->trigger();
    b.child<QAction>(u"N2xlsx1"_s)->trigger();
    QCOMPARE(b.shown(), (QStringList { Info(u"Файл успешно сохранен!"_s), Info(u"Файл успешно сохранен!"_s) }));
    QVERIFY(QFileInfo(xlsx).size() > 0);

    goods.setCell(1, GoodsCol::Barcode, u"1"_s);
    goods.setCell(2, GoodsCol::Name, u"ЛИШНИЙ"_s);
    edits.stack()->clear();
    b.prompts.answerFile(Kind::OpenFile, csv).expect(Kind::Information);
    b.child<QAction>(u"N1csv1"_s)->trigger();
    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QVERIFY2(b.shown().last().startsWith(Info(u"Загружено"_s)), qPrintable(b.shown().last()));
    QCOMPARE(Rows(goods, 1, 2), (QStringList { u"ХЛЕБ|Узкий|0012345678905|12.50|07|"_s, u"|Узкий||0.00||"_s }));
    QCOMPARE(goods.cell(6000, GoodsCol::Name), u"ПОСЛЕДНИЙ"_s);
    QCOMPARE(goods.cell(6000, GoodsCol::Font), u"Узкий"_s);
    QCOMPARE(edits.stack()->count(), 1);
    edits.stack()->undo();
    QCOMPARE(goods.cell(2, GoodsCol::Name), u"ЛИШНИЙ"_s);

    QVERIFY(WriteBytes(csv, "A;B;C;D\r\n;;\"0012;X;1;1\r\n"));
    b.prompts.answerFile(Kind::OpenFile, csv).expect(Kind::Error);
    b.child<QAction>(u"N1csv1"_s)->trigger();
    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QVERIFY2(b.shown().last().contains(u"кавычка, открытая в строке 2"_s), qPrintable(b.shown().last()));
    QCOMPARE(goods.cell(2, GoodsCol::Name), u"ЛИШНИЙ"_s);
}

void TestSet102Frame::rejected1cdbLeavesGrid()
{
    PageBench b;
    QTemporaryDir dir;
    const QString path = dir.filePath(u"bad.1cdb"_s);
    QVERIFY(WriteBytes(path, QByteArray("\x01\r\n\x02") + "1\tA\tУзкий\t\t1.0\t1" + "\r\n\x04\r\n"));
    StringGridModel &goods = b.page.grid(TableKind::Goods);
    goods.setCell(5, 1, u"ХЛЕБ"_s);
    goods.setCell(5, 4, u"12.50"_s);
    b.prompts.answerFile(Kind::OpenFile, path).expect(Kind::Error);

    b.child<QAction>(u"N11"_s)->trigger();

    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QCOMPARE(b.shown().last(), Error(u"Структура файла не соответствует стандарту!"_s));
    QCOMPARE(goods.cell(5, 1), u"ХЛЕБ"_s);
    QCOMPARE(goods.cell(5, 4), u"12.50"_s);
}

void TestSet102Frame::fileThatIsNoGoodsBaseLeavesGrid()
{
    PageBench b;
    QTemporaryDir dir;
    const QString path = dir.filePath(u"passwd.db102"_s);
    QVERIFY(WriteBytes(path, "root:x:0:0:root:/root:/bin/bash\n"));
    StringGridModel &goods = b.page.grid(TableKind::Goods);
    goods.setCell(5, 1, u"ХЛЕБ"_s);
    b.prompts.answerFile(Kind::OpenFile, path).expect(Kind::Error);

    QTest::mouseClick(b.button(u"Button2"_s), Qt::LeftButton);

    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QVERIFY2(b.shown().last().contains(u"не является базой товаров"_s), qPrintable(b.shown().last()));
    QCOMPARE(goods.cell(5, 1), u"ХЛЕБ"_s);
}

void TestSet102Frame::xlsImport()
{
    PageBench b;
    StringGridModel &goods = b.page.grid(TableKind::Goods);
    goods.setCell(4000, 1, u"СТАРОЕ"_s);
    b.prompts.answerFile(Kind::OpenFile, QStringLiteral(KKT_FIXTURES "/goods.xls")).expect(Kind::Information);
    b.child<QAction>(u"N1xls1"_s)->trigger();
    WaitForWorkbook(b);
    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QVERIFY2(b.shown().last().startsWith(Info(u"Загружено 7 строк.\r\nОстальные 5993 строки очищены."_s)),
        qPrintable(b.shown().last()));
    QCOMPARE(goods.cell(1, 1), u"Хлеб"_s);
    QCOMPARE(goods.cell(1, 4), u"35.5"_s);
    QCOMPARE(goods.cell(4000, 1), QString());

    // A file that is no spreadsheet: a message, and the grid as it was.
    QTemporaryDir dir;
    const QString junk = dir.filePath(u"junk.xls"_s);
    QVERIFY(WriteBytes(junk, "not a workbook"));
    b.prompts.answerFile(Kind::OpenFile, junk).expect(Kind::Error);
    b.child<QAction>(u"N1xls1"_s)->trigger();
    WaitForWorkbook(b);
    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QVERIFY(b.shown().last().contains(u"junk.xls"_s));
    QCOMPARE(goods.cell(1, 1), u"Хлеб"_s);
}

// A workbook laid out otherwise is refused with the columns it should have and
// leaves the grid; one in the expected layout with a bad row loads in one
// step of the history, says what it refused and marks those cells.
void TestSet102Frame::xlsImportReportsAndRefusesOtherLayouts()
{
    PageBench b;
    GridEdits edits;
    b.page.goodsView()->setEdits(&edits);
    b.page.showTable(TableKind::Goods);
    StringGridModel &goods = b.page.grid(TableKind::Goods);
    for (int row = 1; row <= 6000; ++row)
        goods.setCell(row, GoodsCol::Name, u"ТОВАР %1"_s.arg(row));

    const QString wrong = QStringLiteral(KKT_FIXTURES "/wrong-layout.xls");
    b.prompts.answerFile(Kind::OpenFile, wrong).expect(Kind::Error);
    b.child<QAction>(u"N1xls1"_s)->trigger();
    WaitForWorkbook(b);
    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QCOMPARE(b.shown().last(),
        Error(u"ВНИМАНИЕ!\r\nКнига \"%1\" не загружена: её столбцы расположены не так, как ждёт программа (в 3 из 3 "
              u"строк с данными в столбце C не штрих-код, в столбце F не цена или в столбце D число вместо "
              u"наименования).\r\nОжидается первый лист книги: строка 1 — заголовок, со строки 2 — по товару в "
              u"строке (строка 2 — товар с кодом 1), в столбцах:\r\nC — штрих-код (цифры);\r\nD — наименование;\r\n"
              u"E — отдел/услуга;\r\nF — цена (12.50 или 12,50);\r\nG — маркировка («м» или пусто).\r\n"
              u"Остальные столбцы не читаются. База товаров не изменена."_s.arg(wrong)));
    QCOMPARE(goods.cell(1, GoodsCol::Name), u"ТОВАР 1"_s);
    QCOMPARE(goods.cell(6000, GoodsCol::Name), u"ТОВАР 6000"_s);
    QCOMPARE(edits.stack()->count(), 0);

    b.prompts.answerFile(Kind::OpenFile, QStringLiteral(KKT_FIXTURES "/one-bad-row.xls")).expect(Kind::Information);
    b.child<QAction>(u"N1xls1"_s)->trigger();
    WaitForWorkbook(b);
    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QCOMPARE(b.shown().last(),
        Info(u"Загружено 4 строки.\r\nОстальные 5996 строк очищены.\r\n\r\nНе принято 2 значения из файла (в "
             u"ячейках значения по умолчанию, ячейки отмечены):\r\nстрока 3, «Штрих-код»: в файле «59.9х» — штрих-код "
             u"не число\r\nстрока 3, «Цена за единицу»: в файле «дёшево» — цена не число\r\n\r\n4 наименования ККТ "
             u"сохранит "
             u"заглавными буквами (ячейки отмечены).\r\n\r\n3 штрих-кода сканер не прочтёт (ККТ сохранит их как "
             u"есть):\r\n"
             u"строка 1, «Штрих-код»: «4600000000001» — контрольная цифра штрих-кода неверна (должна быть 8): сканер "
             u"такой "
             u"код не прочтёт\r\nстрока 2, «Штрих-код»: «4601234567890» — контрольная цифра штрих-кода неверна (должна "
             u"быть 3): сканер такой код не прочтёт\r\nстрока 4, «Штрих-код»: «4607000000001» — контрольная цифра "
             u"штрих-кода неверна (должна быть 7): сканер такой код не прочтёт"_s));
    QCOMPARE(goods.cell(3, GoodsCol::Name), u"Сок"_s);
    QCOMPARE(goods.cell(6000, GoodsCol::Name), QString());
    // The view shows the mark's reason as the cell's tool tip.
    QCOMPARE(goods.data(goods.index(3, GoodsCol::Barcode), Qt::ToolTipRole).toString(),
        u"В файле: «59.9х» — штрих-код не число"_s);
    QVERIFY(goods.data(goods.index(3, GoodsCol::Barcode), StringGridModel::MarkRole).isValid());
    // Names the register holds in capitals and barcodes no scanner reads are
    // marked too, the grid keeping the file's text.
    QCOMPARE(goods.data(goods.index(3, GoodsCol::Name), Qt::ToolTipRole).toString(),
        u"В ККТ будет «СОК»: строчные буквы станут заглавными"_s);
    QCOMPARE(goods.data(goods.index(4, GoodsCol::Barcode), Qt::ToolTipRole).toString(),
        u"Контрольная цифра штрих-кода неверна (должна быть 7): сканер такой код не прочтёт"_s);
    QCOMPARE(goods.cell(4, GoodsCol::Barcode), u"4607000000001"_s);

    QCOMPARE(edits.stack()->count(), 1);
    edits.undo();
    QCOMPARE(goods.cell(3, GoodsCol::Name), u"ТОВАР 3"_s);
    QCOMPARE(goods.cell(6000, GoodsCol::Name), u"ТОВАР 6000"_s);
    QCOMPARE(goods.markReason(3, GoodsCol::Barcode, MarkKind::Adjusted), QString());
    edits.redo();
    QCOMPARE(goods.cell(3, GoodsCol::Name), u"Сок"_s);
    QCOMPARE(goods.markReason(3, GoodsCol::Barcode, MarkKind::Adjusted), u"В файле: «59.9х» — штрих-код не число"_s);
}

void TestSet102Frame::failedSaveKeepsPreviousFile()
{
    if (!FileSizeLimit::supported())
        QSKIP("no file size limit here");
    PageBench b;
    QTemporaryDir dir;
    const QString path = dir.filePath(u"base.db102"_s);
    const QByteArray before = "[ЧУЖОЕ]\r\nКлюч=1\r\n";
    QVERIFY(WriteBytes(path, before));
    b.page.grid(TableKind::Goods).setCell(1, 1, u"ХЛЕБ"_s);
    b.prompts.answerFile(Kind::SaveFile, path).expect(Kind::Error);
    {
        const FileSizeLimit limit(4096);
        QTest::mouseClick(b.button(u"Button1"_s), Qt::LeftButton);
    }
    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QVERIFY(b.shown().last().startsWith(Error(u"ВНИМАНИЕ!\r\n"_s)));
    QCOMPARE(ReadBytes(path), before);
}

// A reading that takes over half a second shows its progress while the
// window stays live; "Отмена" ends the reader and leaves the grid as it was.
void TestSet102Frame::slowWorkbookShowsProgress()
{
    PageBench b;
    StringGridModel &goods = b.page.grid(TableKind::Goods);
    goods.setCell(1, GoodsCol::Name, u"СТАРОЕ"_s);
    QTemporaryDir dir;
    XlsReader slow = XlsReader::Default();
    const QString real = slow.program;
    slow.program = dir.filePath(u"slow-reader.sh"_s);
    QVERIFY(WriteBytes(slow.program, "#!/bin/sh\nsleep 1.5\nexec '" + QFile::encodeName(real) + "' \"$1\"\n"));
    QVERIFY(QFile::setPermissions(slow.program, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    b.page.setXlsReader(slow);
    const QString book = QStringLiteral(KKT_FIXTURES "/goods.xlsx");

    b.prompts.answerFile(Kind::OpenFile, book);
    b.child<QAction>(u"N1xls1"_s)->trigger();
    QVERIFY(b.workbookProgress());
    QVERIFY(!b.workbookProgress()->isVisible()); // not for a reading that ends at once
    QTRY_VERIFY_WITH_TIMEOUT(b.workbookProgress() && b.workbookProgress()->isVisible(), 1400);
    QPushButton *cancel = b.workbookProgress()->findChild<QPushButton *>();
    QVERIFY(cancel);
    QCOMPARE(cancel->text(), u"Отмена"_s);
    QTest::mouseClick(cancel, Qt::LeftButton);
    WaitForWorkbook(b);
    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QCOMPARE(goods.cell(1, GoodsCol::Name), u"СТАРОЕ"_s);

    b.prompts.answerFile(Kind::OpenFile, book).expect(Kind::Information);
    b.child<QAction>(u"N1xls1"_s)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(b.workbookProgress() && b.workbookProgress()->isVisible(), 1400);
    WaitForWorkbook(b);
    QVERIFY2(b.prompts.verdict().isEmpty(), qPrintable(b.prompts.verdict()));
    QCOMPARE(goods.cell(1, GoodsCol::Name), u"Хлеб"_s);
    QVERIFY(!b.workbookProgress());
}

KKT_GUI_TEST_MAIN(TestSet102Frame)
#include "TestSet102Frame.moc"
