// The scanner around its reader: start-up, the indicator, the shared-port
// question, the settings dialog and the entry of scanned codes into the goods
// grid, with stand-ins for the goods tab's widgets and a scanner-emulator on a
// real pseudo-terminal.

#include "EmulatorProcess.h"
#include "GuiTest.h"
#include "ScriptedPrompts.h"
#include "TempFiles.h"

#include "app/MainForm.h"
#include "app/ScannerControl.h"
#include "app/pages/Set102Frame.h"
#include "app/service/UDebugScan.h"
#include "config/ScanCfg.h"
#include "pages/StringGridModel.h"
#include "pages/TableLayout.h"
#include "scanner/ScanThread.h"
#include "ui/Contrast.h"
#include "ui/StringGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <array>
#include <memory>

using namespace Qt::StringLiterals;
using Kind = Prompts::Kind;

namespace {
const QString kBee2 = u"Bee2 (RS-232)"_s;
const QString kEmuPort = u"SCAN-EMU"_s;
const QString kQuestion = u"Внимание!\r\nПрограмма обнаружила подключение сканера на COM порт ККТ!\r\n"
                          "Одновременная работа устройств невозможна!\r\nВы хотите работать только со сканером?"_s;

// The goods tab as the scanner sees it: a grid with a recorded cell, the
// indicator, its caption, the validity label and the three KKT buttons.
struct GoodsTab
{
    GoodsTab()
    {
        for (QPushButton *&button : buttons)
            button = new QPushButton(&page);
        Shape1->hide();
        Label14->hide();
        page.show();
    }
    ScannerGoodsTab tab()
    {
        return { &grid, [this] { return col; }, [this] { return row; }, Shape1,
            [this](const QColor &colour) { fill = colour; }, Label14, lbl,
            [this](bool enabled) {
                for (QPushButton *button : buttons)
                    button->setEnabled(enabled);
            } };
    }
    bool kktButtonsEnabled() const
    {
        return buttons[0]->isEnabled() && buttons[1]->isEnabled() && buttons[2]->isEnabled();
    }
    bool kktButtonsDisabled() const
    {
        return !buttons[0]->isEnabled() && !buttons[1]->isEnabled() && !buttons[2]->isEnabled();
    }
    QColor labelColour() const { return lbl->palette().color(QPalette::WindowText); }
    // The verdict's colour as the label shows it: its hue, readable on the label's background.
    QColor shown(const QColor &colour) const
    {
        return Contrast::ReadableOn(colour, lbl->palette().color(QPalette::Window));
    }

    QWidget page;
    StringGridModel grid { 11, 7 };
    int col = 1, row = 1; // the goods grid starts on column 1
    QWidget *Shape1 = new QWidget(&page);
    QLabel *Label14 = new QLabel(u"Сканер штрих-кода"_s, &page);
    QLabel *lbl = new QLabel(&page);
    std::array<QPushButton *, 3> buttons {};
    QColor fill; // invalid until the indicator is first filled
};

// Picks an entry of a list with the keyboard, as a person would.
bool Choose(QComboBox *list, const QString &text)
{
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i <= list->count() && list->currentText() != text; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    return list->currentText() == text;
}

template <typename T> T *Child(QWidget *parent, const QString &name)
{
    T *widget = parent->findChild<T *>(name);
    if (!widget)
        qFatal("no widget %s", qPrintable(name));
    return widget;
}
} // namespace

class TestScannerControl : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startUpWithoutScanner();
    void indicatorFollowsTheReader();
    void scannedCodeFillsTheSelectedBarcodeCell();
    void scannedCodeReachesTheWindowsGoodsTab();
    void codeEntry_data();
    void codeEntry();
    void nextRowAfterEachCode();
    void threeCodesFillThreeRows();
    void settingsNextRow();
    void sharedPortQuestion();
    void scannerGoneAndBack();
    void settingsSetTheWindowsConfiguration();
    void settingsApplyBee2();
    void settingsCancelLeavesReaderStopped();
    void settingsNoScannerThenBee2ForgetsPortAndSpeed();
    void settingsNoScannerHidesIndicator();
    void debugCheckBoxShowsAndClosesLog();

private:
    // The control over the test's folders, after its start-up step.
    std::unique_ptr<TScannerControl> started(const QByteArray &scanCfg = QByteArray());
    QString scanCfgPath() const { return m_dir->filePath(u"Scan.cfg"_s); }
    QString portsFolder() const { return m_dir->filePath(u"ports"_s); }
    bool startEmulator(const QStringList &options = {});
    // Shows the dialog of ScannerClick and lets act work in it.
    void settings(TScannerControl &scanner, std::function<void(QWidget *)> act);

    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<GoodsTab> goods;
    std::unique_ptr<TfrmDebugScan> debugScan;
    std::unique_ptr<EmulatorProcess> emulator;
    TStructSetting sett;
    TConfig config; // the main window's, whose scanner part the settings command sets
};

void TestScannerControl::init()
{
    prompts = std::make_unique<ScriptedPrompts>();
    m_dir = std::make_unique<QTemporaryDir>();
    QDir().mkpath(portsFolder());
    goods = std::make_unique<GoodsTab>();
    debugScan = std::make_unique<TfrmDebugScan>();
    sett = TStructSetting();
    sett.PortSett.Name = u"COM1"_s;
    config = TConfig();
}

void TestScannerControl::cleanup()
{
    emulator.reset();
    const QString verdict = prompts->verdict();
    prompts.reset();
    QVERIFY2(verdict.isEmpty(), qPrintable(verdict));
}

std::unique_ptr<TScannerControl> TestScannerControl::started(const QByteArray &scanCfg)
{
    if (!scanCfg.isNull())
        WriteBytes(scanCfgPath(), scanCfg);
    auto scanner = std::make_unique<TScannerControl>(
        &goods->page, m_dir->path(), portsFolder(), debugScan.get(), sett, config.Scan);
    scanner->setGoodsTab(goods->tab());
    scanner->ScanStartUp();
    return scanner;
}

bool TestScannerControl::startEmulator(const QStringList &options)
{
    emulator = std::make_unique<EmulatorProcess>();
    if (emulator->start(QStringLiteral(SCANNER_EMULATOR_PATH), portsFolder() + u"/"_s + kEmuPort,
            QStringList { u"--interval-ms"_s, u"0"_s } + options))
        return true;
    qWarning("%s", qPrintable(emulator->error()));
    return false;
}

void TestScannerControl::settings(TScannerControl &scanner, std::function<void(QWidget *)> act)
{
    WhenModal(std::move(act));
    scanner.ScannerClick();
}

void TestScannerControl::startUpWithoutScanner()
{
    const auto scanner = started();
    QVERIFY(QFile::exists(scanCfgPath()));
    QVERIFY(scanner->flagScan);
    QVERIFY(scanner->st()->Suspended());
    QVERIFY(goods->Shape1->isHidden() && goods->Label14->isHidden());
    // Without a model the reader is neither started nor stopped.
    scanner->GoodsTabShown();
    scanner->HookedTabShown();
    QVERIFY(goods->Shape1->isHidden() && goods->Label14->isHidden());
    QVERIFY(!goods->fill.isValid());
    QVERIFY(scanner->st()->Suspended());
    QVERIFY(goods->kktButtonsEnabled());
}

void TestScannerControl::indicatorFollowsTheReader()
{
    QVERIFY(startEmulator());
    const auto scanner = started("[CURRENT]\r\nModelName=\x7f"
                                 "Bee2 (RS-232)\x7f\r\nComPort=SCAN-EMU\r\nSpeedPort=9600\r\n");
    QCOMPARE(scanner->model_scan, kBee2);
    // With a model the indicator shows from the start, stopped.
    QVERIFY(goods->Shape1->isVisible() && goods->Label14->isVisible());
    QCOMPARE(goods->fill, TScannerControl::kWhite);

    scanner->StartScan();
    QCOMPARE(goods->fill, TScannerControl::kGreen);
    QVERIFY(goods->Shape1->isVisible() && goods->Label14->isVisible());
    QVERIFY(!scanner->st()->Suspended());

    scanner->StopScan();
    QCOMPARE(goods->fill, TScannerControl::kWhite);
    QVERIFY(scanner->st()->Suspended());

    // A port that cannot be opened: red beside its caption, the reader stays stopped.
    scanner->com_scan = u"NO-SUCH-PORT"_s;
    scanner->StartScan();
    QCOMPARE(goods->fill, TScannerControl::kRed);
    QVERIFY(goods->Shape1->isVisible() && goods->Label14->isVisible());
    QVERIFY(scanner->st()->Suspended());

    scanner->com_scan = kEmuPort;
    scanner->speed_scan = u"9600 бод"_s;
    scanner->StartScan();
    QCOMPARE(goods->fill, TScannerControl::kRed);
    QVERIFY(scanner->st()->Suspended());
}

void TestScannerControl::scannedCodeFillsTheSelectedBarcodeCell()
{
    // The code goes out once the reader has had time to open the port.
    QVERIFY(startEmulator({ u"--wait-ms"_s, u"500"_s, u"--code"_s, u"4607001770015"_s }));
    const auto scanner = started("[CURRENT]\r\nModelName=Bee2 (RS-232)\r\nComPort=SCAN-EMU\r\nSpeedPort=9600\r\n");
    goods->col = 3;
    goods->row = 7;
    scanner->GoodsTabShown();
    QCOMPARE(goods->fill, TScannerControl::kGreen);
    QTRY_COMPARE(goods->grid.cell(7, 3), u"4607001770015"_s);
    QCOMPARE(goods->lbl->text(), u"Штрих-код корректный, код товара 7"_s);
    QCOMPARE(goods->labelColour(), goods->shown(TScannerControl::kValidText));
    // The scanner log got the reader's lines, the window hidden all along.
    QVERIFY(!debugScan->isVisible());
    QVERIFY(debugScan->memo()->toPlainText().contains(u"EAN13 or EAN8 bufEan = 4607001770015< 13 >"_s));
}

// The whole way in the program: Scan.cfg read at start-up, the reader started
// when the goods tab shows, the code written into the barcode cell selected there.
void TestScannerControl::scannedCodeReachesTheWindowsGoodsTab()
{
    // The code goes out once the window is up and the goods tab has started the reader.
    QVERIFY(startEmulator({ u"--wait-ms"_s, u"3000"_s, u"--code"_s, u"4607001770015"_s }));
    WriteBytes(scanCfgPath(), "[CURRENT]\r\nModelName=Bee2 (RS-232)\r\nComPort=SCAN-EMU\r\nSpeedPort=9600\r\n");
    TFormMain form(m_dir->path(), portsFolder());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.scanner() && form.scanner()->flagScan);
    form.N1021Click();
    TFrameSet102 *page = form.Set102Frame;
    page->findChild<QTabWidget *>(u"PageControl1"_s)->setCurrentIndex(1);
    QVERIFY(!form.scanner()->st()->Suspended());
    page->goodsView()->selectCell(GoodsCol::Barcode, 7);
    QTRY_COMPARE_WITH_TIMEOUT(page->grid(TableKind::Goods).cell(7, GoodsCol::Barcode), u"4607001770015"_s, 10000);
    QCOMPARE(page->shtrihLabel()->text(), u"Штрих-код корректный, код товара 7"_s);
    // Another tab stops the reader again.
    page->findChild<QTabWidget *>(u"PageControl1"_s)->setCurrentIndex(0);
    QVERIFY(form.scanner()->st()->Suspended());
}

void TestScannerControl::codeEntry_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("locked"); // the grid held by a run
    const QString before = u"2000000000015"_s;
    QTest::newRow("valid EAN-13") << 3 << u"4006381333931"_s << u"4006381333931"_s
                                  << u"Штрих-код корректный, код товара 5"_s << true << false;
    QTest::newRow("invalid EAN-8") << 3 << u"96385075"_s << u"96385075"_s << u"Штрих-код некорректный, код товара 5"_s
                                   << false << false;
    QTest::newRow("empty text empties the cell")
        << 3 << QString() << QString() << u"Штрих-код некорректный, код товара 5"_s << false << false;
    QTest::newRow("12 digits + CR") << 3 << u"400638133393\r"_s << u"400638133393\r"_s
                                    << u"Штрих-код некорректный, код товара 5"_s << false << false;
    QTest::newRow("name column: nothing") << 1 << u"4006381333931"_s << before << QString() << false << false;
    QTest::newRow("price column: nothing") << 4 << u"4006381333931"_s << before << QString() << false << false;
    QTest::newRow("grid held by a run: not written, said")
        << 3 << u"4006381333931"_s << before << u"Штрих-код 4006381333931 не записан: идёт обмен с ККТ"_s << false
        << true;
}

void TestScannerControl::codeEntry()
{
    QFETCH(int, col);
    QFETCH(QString, value);
    QFETCH(QString, cell);
    QFETCH(QString, label);
    QFETCH(bool, valid);
    QFETCH(bool, locked);
    const auto scanner = started();
    goods->grid.setCell(5, 3, u"2000000000015"_s);
    goods->grid.setLocked(locked);
    goods->col = col;
    goods->row = 5;
    scanner->OnScanShtrihCode(value);
    QCOMPARE(goods->grid.cell(5, 3), cell);
    QCOMPARE(goods->lbl->text(), label);
    if (!label.isEmpty())
        QCOMPARE(
            goods->labelColour(), goods->shown(valid ? TScannerControl::kValidText : TScannerControl::kInvalidText));
}

// After a code the selection goes to the next row's barcode cell, unless the
// setting is off; the label names the row the code went to.
void TestScannerControl::nextRowAfterEachCode()
{
    const auto scanner = started();
    QVERIFY(scanner->nextRow); // on unless Scan.cfg says otherwise
    QList<QPoint> moves;
    scanner->setCellMover([&](int col, int row) {
        moves << QPoint(col, row);
        goods->col = col;
        goods->row = row;
    });
    goods->col = 3;
    goods->row = 5;
    scanner->OnScanShtrihCode(u"4006381333931"_s);
    scanner->OnScanShtrihCode(u"96385074"_s);
    QCOMPARE(goods->grid.cell(5, 3), u"4006381333931"_s);
    QCOMPARE(goods->grid.cell(6, 3), u"96385074"_s);
    QCOMPARE(moves, (QList<QPoint> { { 3, 6 }, { 3, 7 } }));
    QCOMPARE(goods->lbl->text(), u"Штрих-код корректный, код товара 6"_s);

    goods->row = 10; // the last row: nowhere to go
    scanner->OnScanShtrihCode(u"1"_s);
    QCOMPARE(goods->row, 10);
    goods->col = 1; // not a barcode cell: no code, no move
    scanner->OnScanShtrihCode(u"2"_s);
    QCOMPARE(moves.size(), 2);

    scanner->nextRow = false;
    goods->col = 3;
    goods->row = 2;
    scanner->OnScanShtrihCode(u"4006381333931"_s);
    QCOMPARE(goods->row, 2);
    QCOMPARE(moves.size(), 2);
}

// A pile of goods scanned in the program: each code in its row, one after the other.
void TestScannerControl::threeCodesFillThreeRows()
{
    QVERIFY(startEmulator({ u"--wait-ms"_s, u"3000"_s, u"--interval-ms"_s, u"300"_s, u"--code"_s, u"4607001770015"_s,
        u"--code"_s, u"96385074"_s, u"--code"_s, u"4006381333931"_s }));
    WriteBytes(scanCfgPath(), "[CURRENT]\r\nModelName=Bee2 (RS-232)\r\nComPort=SCAN-EMU\r\nSpeedPort=9600\r\n");
    TFormMain form(m_dir->path(), portsFolder());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.N1021Click();
    TFrameSet102 *page = form.Set102Frame;
    page->showTable(TableKind::Goods);
    QVERIFY(!form.scanner()->st()->Suspended());
    page->goodsView()->selectCell(GoodsCol::Barcode, 7);
    const StringGridModel &grid = page->grid(TableKind::Goods);
    QTRY_COMPARE_WITH_TIMEOUT(grid.cell(9, GoodsCol::Barcode), u"4006381333931"_s, 15000);
    QCOMPARE(grid.cell(7, GoodsCol::Barcode), u"4607001770015"_s);
    QCOMPARE(grid.cell(8, GoodsCol::Barcode), u"96385074"_s);
    QCOMPARE(grid.cell(10, GoodsCol::Barcode), QString());
    QCOMPARE(page->shtrihLabel()->text(), u"Штрих-код корректный, код товара 9"_s);
    QCOMPARE(page->goodsView()->currentRow(), 10);
    QCOMPARE(page->goodsView()->currentCol(), int(GoodsCol::Barcode));
    // Each code is a step of its own.
    form.edits().undo();
    QCOMPARE(grid.cell(9, GoodsCol::Barcode), QString());
    QCOMPARE(grid.cell(8, GoodsCol::Barcode), u"96385074"_s);
}

void TestScannerControl::settingsNextRow()
{
    const auto scanner = started();
    settings(*scanner, [](QWidget *dialog) {
        auto *next = Child<QCheckBox>(dialog, u"chkNextRow"_s);
        QVERIFY(next->isChecked());
        QCOMPARE(next->text(), u"После кода — к следующей строке"_s);
        QVERIFY(Choose(Child<QComboBox>(dialog, u"ComboBox1"_s), u"Не использовать сканер"_s));
        QTest::mouseClick(next, Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(dialog, u"Button2"_s), Qt::LeftButton);
    });
    QVERIFY(!scanner->nextRow);
    TScanCfg stored;
    QVERIFY(LoadScanCfg(scanCfgPath(), stored, ScanCfgRead::Plain));
    QVERIFY(!stored.NextRow);
    // The next dialog shows it off; the next start reads it off.
    settings(*scanner, [](QWidget *dialog) {
        QVERIFY(!Child<QCheckBox>(dialog, u"chkNextRow"_s)->isChecked());
        QTest::mouseClick(Child<QPushButton>(dialog, u"Button1"_s), Qt::LeftButton);
    });
    QVERIFY(!started()->nextRow);
}

void TestScannerControl::sharedPortQuestion()
{
    QVERIFY(startEmulator());
    sett.PortSett.Name = kEmuPort;
    const auto scanner = started("[CURRENT]\r\nModelName=Bee2 (RS-232)\r\nComPort=SCAN-EMU\r\nSpeedPort=9600\r\n");

    // No: the reader is not started and the buttons keep their state.
    prompts->answerQuestion(false);
    scanner->GoodsTabShown();
    QCOMPARE(prompts->messages.size(), 1);
    QCOMPARE(prompts->messages.last().text, kQuestion);
    QCOMPARE(prompts->messages.last().caption, u"Выбор устройства"_s);
    QVERIFY(scanner->st()->Suspended());
    QCOMPARE(goods->fill, TScannerControl::kWhite);
    QVERIFY(goods->Shape1->isVisible() && goods->Label14->isVisible());
    QVERIFY(goods->kktButtonsEnabled());

    // Yes: scanner only, until another hooked tab is shown.
    prompts->answerQuestion(true);
    scanner->GoodsTabShown();
    QCOMPARE(prompts->messages.size(), 2);
    QVERIFY(goods->kktButtonsDisabled());
    QVERIFY(!scanner->st()->Suspended());
    QCOMPARE(goods->fill, TScannerControl::kGreen);

    scanner->HookedTabShown();
    QVERIFY(goods->kktButtonsEnabled());
    QVERIFY(scanner->st()->Suspended());
    QCOMPARE(goods->fill, TScannerControl::kWhite);

    // An earlier Yes is not remembered.
    prompts->answerQuestion(true);
    scanner->GoodsTabShown();
    QCOMPARE(prompts->messages.size(), 3);
    QVERIFY(goods->kktButtonsDisabled());

    // Different ports: no question.
    sett.PortSett.Name = u"COM1"_s;
    scanner->HookedTabShown();
    scanner->GoodsTabShown();
    QCOMPARE(prompts->messages.size(), 3);
    QVERIFY(goods->kktButtonsEnabled());
    QVERIFY(!scanner->st()->Suspended());
}

// A scanner unplugged and plugged in again: seen in the indicator, picked up
// again without the user doing anything, and its codes reach the grid.
void TestScannerControl::scannerGoneAndBack()
{
    QVERIFY(startEmulator());
    const auto scanner = started("[CURRENT]\r\nModelName=Bee2 (RS-232)\r\nComPort=SCAN-EMU\r\nSpeedPort=9600\r\n");
    scanner->st()->setReopenMs(100);
    goods->col = 3;
    goods->row = 2;
    scanner->GoodsTabShown();
    QCOMPARE(goods->fill, TScannerControl::kGreen);

    QVERIFY(emulator->stop());
    QTRY_COMPARE(goods->fill, TScannerControl::kRed);
    QCOMPARE(goods->Label14->text(), u"Сканер отключен"_s);
    QVERIFY(goods->Label14->isVisible());

    QVERIFY(startEmulator({ u"--wait-ms"_s, u"1000"_s, u"--code"_s, u"4607001770015"_s }));
    QTRY_COMPARE(goods->fill, TScannerControl::kGreen);
    QCOMPARE(goods->Label14->text(), u"Сканер штрих-кода"_s);
    QTRY_COMPARE_WITH_TIMEOUT(goods->grid.cell(2, 3), u"4607001770015"_s, 10000);

    // Stopped by the user, a scanner that goes away is no longer looked for.
    scanner->HookedTabShown();
    QVERIFY(emulator->stop());
    QTest::qWait(300);
    QCOMPARE(goods->fill, TScannerControl::kWhite);
    QCOMPARE(goods->Label14->text(), u"Сканер штрих-кода"_s);
}

// The main window keeps the scanner settings it is given in its own configuration.
void TestScannerControl::settingsSetTheWindowsConfiguration()
{
    TFormMain form(m_dir->path(), portsFolder());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    WhenModal([](QWidget *dialog) {
        QVERIFY(Choose(Child<QComboBox>(dialog, u"ComboBox1"_s), kBee2));
        auto *panel = Child<QWidget>(dialog, u"Bee2_RS232"_s);
        QVERIFY(Choose(Child<QComboBox>(panel, u"ComboBox2"_s), u"19200"_s));
        QTest::mouseClick(Child<QPushButton>(dialog, u"Button2"_s), Qt::LeftButton);
    });
    form.ScannerClick();
    QCOMPARE(form.Config.Scan.Model, TScanTypeDevice::Bee2);
    QCOMPARE(form.Config.Scan.SpeedPort, u"19200"_s);
    QVERIFY(form.Config.Scan.FlgON);
}

void TestScannerControl::settingsApplyBee2()
{
    QVERIFY(startEmulator());
    const auto scanner = started();
    settings(*scanner, [this](QWidget *dialog) {
        QCOMPARE(dialog->windowTitle(), u"Настройки сканера штрих-кода"_s);
        auto *model = Child<QComboBox>(dialog, u"ComboBox1"_s);
        QCOMPARE(model->currentText(), u"Не использовать сканер"_s);
        QVERIFY(Choose(model, kBee2));
        auto *panel = Child<QWidget>(dialog, u"Bee2_RS232"_s);
        QVERIFY(panel->isVisible());
        auto *port = Child<QComboBox>(panel, u"ComboBox1"_s);
        auto *speed = Child<QComboBox>(panel, u"ComboBox2"_s);
        QCOMPARE(port->currentIndex(), -1);
        QCOMPARE(speed->currentIndex(), -1);
        QVERIFY(port->findText(kEmuPort) >= 0);
        QCOMPARE(speed->count(), 9);
        QVERIFY(Choose(port, kEmuPort));
        QVERIFY(Choose(speed, u"115200"_s));
        QTest::mouseClick(Child<QPushButton>(dialog, u"Button2"_s), Qt::LeftButton);
    });
    TScanCfg stored;
    QVERIFY(LoadScanCfg(scanCfgPath(), stored, ScanCfgRead::Plain));
    QCOMPARE(stored.ModelName, kBee2);
    QCOMPARE(stored.ComPort, kEmuPort);
    QCOMPARE(stored.SpeedPort, u"115200"_s);
    QVERIFY(!ReadBytes(scanCfgPath()).contains('\x7f'));
    QCOMPARE(config.Scan.Model, TScanTypeDevice::Bee2);
    QCOMPARE(config.Scan.ComPort, kEmuPort);
    QCOMPARE(config.Scan.SpeedPort, u"115200"_s);
    QVERIFY(config.Scan.FlgON);
    QCOMPARE(scanner->com_scan, kEmuPort);
    // Started right away, whether or not the goods tab shows.
    QCOMPARE(goods->fill, TScannerControl::kGreen);
    QVERIFY(!scanner->st()->Suspended());
    QVERIFY(goods->Shape1->isVisible() && goods->Label14->isVisible());
}

void TestScannerControl::settingsCancelLeavesReaderStopped()
{
    QVERIFY(startEmulator());
    const QByteArray cfg = "[CURRENT]\r\nModelName=Bee2 (RS-232)\r\nComPort=SCAN-EMU\r\nSpeedPort=9600\r\n";
    const auto scanner = started(cfg);
    scanner->GoodsTabShown();
    QVERIFY(!scanner->st()->Suspended());
    settings(*scanner, [](QWidget *dialog) {
        auto *model = Child<QComboBox>(dialog, u"ComboBox1"_s);
        QCOMPARE(model->currentText(), kBee2);
        QVERIFY(Choose(model, u"Не использовать сканер"_s));
        QTest::mouseClick(Child<QPushButton>(dialog, u"Button1"_s), Qt::LeftButton);
    });
    QVERIFY(scanner->st()->Suspended());
    QCOMPARE(goods->fill, TScannerControl::kWhite);
    QCOMPARE(ReadBytes(scanCfgPath()), cfg);
    QCOMPARE(scanner->model_scan, kBee2);
}

void TestScannerControl::settingsNoScannerThenBee2ForgetsPortAndSpeed()
{
    QVERIFY(startEmulator());
    const auto scanner = started("[CURRENT]\r\nModelName=Bee2 (RS-232)\r\nComPort=SCAN-EMU\r\nSpeedPort=9600\r\n");
    settings(*scanner, [](QWidget *dialog) {
        auto *model = Child<QComboBox>(dialog, u"ComboBox1"_s);
        auto *panel = Child<QWidget>(dialog, u"Bee2_RS232"_s);
        QCOMPARE(Child<QComboBox>(panel, u"ComboBox1"_s)->currentText(), kEmuPort);
        QCOMPARE(Child<QComboBox>(panel, u"ComboBox2"_s)->currentText(), u"9600"_s);
        QVERIFY(Choose(model, u"Не использовать сканер"_s));
        QVERIFY(panel->isHidden());
        QVERIFY(Choose(model, kBee2));
        // The lists still show the earlier choice; the settings have forgotten it.
        QCOMPARE(Child<QComboBox>(panel, u"ComboBox1"_s)->currentText(), kEmuPort);
        QTest::mouseClick(Child<QPushButton>(dialog, u"Button2"_s), Qt::LeftButton);
    });
    TScanCfg stored;
    QVERIFY(LoadScanCfg(scanCfgPath(), stored, ScanCfgRead::Plain));
    QCOMPARE(stored.ModelName, kBee2);
    QCOMPARE(stored.ComPort, QString());
    QCOMPARE(stored.SpeedPort, QString());
    QCOMPARE(goods->fill, TScannerControl::kRed);
    QVERIFY(scanner->st()->Suspended());
}

void TestScannerControl::settingsNoScannerHidesIndicator()
{
    const auto scanner = started("[CURRENT]\r\nModelName=Bee2 (RS-232)\r\nComPort=SCAN-EMU\r\nSpeedPort=9600\r\n");
    goods->Shape1->show();
    goods->Label14->show();
    settings(*scanner, [](QWidget *dialog) {
        QVERIFY(Choose(Child<QComboBox>(dialog, u"ComboBox1"_s), u"Не использовать сканер"_s));
        QTest::mouseClick(Child<QPushButton>(dialog, u"Button2"_s), Qt::LeftButton);
    });
    QVERIFY(goods->Shape1->isHidden() && goods->Label14->isHidden());
    QCOMPARE(scanner->model_scan, QString());
    QCOMPARE(config.Scan.Model, TScanTypeDevice::DUMMY);
    QVERIFY(!config.Scan.FlgON);
    TScanCfg stored;
    QVERIFY(LoadScanCfg(scanCfgPath(), stored, ScanCfgRead::Plain));
    QCOMPARE(stored.ModelName, QString());
    QCOMPARE(stored.ComPort, QString());
    // StartScan and StopScan do nothing from now on.
    goods->fill = QColor();
    scanner->GoodsTabShown();
    scanner->HookedTabShown();
    QVERIFY(!goods->fill.isValid());
    QVERIFY(goods->Shape1->isHidden());
}

void TestScannerControl::debugCheckBoxShowsAndClosesLog()
{
    const auto scanner = started();
    settings(*scanner, [this](QWidget *dialog) {
        auto *debug = Child<QCheckBox>(dialog, u"chkDebugScan"_s);
        QVERIFY(!debug->isChecked());
        QTest::mouseClick(debug, Qt::LeftButton);
        QVERIFY(debugScan->isVisible());
        QTest::mouseClick(debug, Qt::LeftButton);
        QVERIFY(!debugScan->isVisible());
        QTest::mouseClick(debug, Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(dialog, u"Button1"_s), Qt::LeftButton);
    });
    // Acts at once, cancelled dialog or not; the next dialog finds it ticked.
    QVERIFY(debugScan->isVisible());
    settings(*scanner, [](QWidget *dialog) {
        QVERIFY(Child<QCheckBox>(dialog, u"chkDebugScan"_s)->isChecked());
        QTest::mouseClick(Child<QPushButton>(dialog, u"Button1"_s), Qt::LeftButton);
    });
}

KKT_GUI_TEST_MAIN(TestScannerControl)
#include "TestScannerControl.moc"
