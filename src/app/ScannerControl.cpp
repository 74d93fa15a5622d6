#include "app/ScannerControl.h"

#include "ui/Contrast.h"

#include "app/service/ScannerSettingForm.h"
#include "app/service/UDebugScan.h"
#include "config/ScanCfg.h"
#include "pages/StringGridModel.h"
#include "scanner/ScanThread.h"
#include "scanner/ScannerModels.h"
#include "scanner/ScannerPorts.h"
#include "scanner/ShtrihCheck.h"
#include "ui/Prompts.h"

#include <QDir>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace {
// The goods grid's "Штрих-код" column.
constexpr int kBarcodeCol = 3;
const QString kCaption = u"Сканер штрих-кода"_s;
const QString kGoneCaption = u"Сканер отключен"_s;
} // namespace

TScannerControl::TScannerControl(QWidget *window, const QString &settingsFolder, const QString &portsFolder,
    TfrmDebugScan *debugScan, const TStructSetting &structSett, TScanner &scan)
    : QObject(window)
    , Scan(scan)
    , m_window(window)
    , m_settingsFolder(settingsFolder)
    , m_portsFolder(portsFolder)
    , m_debugScan(debugScan)
    , m_structSett(structSett)
{ }

TScannerControl::~TScannerControl() = default;

void TScannerControl::setGoodsTab(const ScannerGoodsTab &tab)
{
    m_tab = tab;
}

QString TScannerControl::ScanCfgPath() const
{
    return QDir(m_settingsFolder).filePath(u"Scan.cfg"_s);
}

void TScannerControl::ShowIndicator(bool shown)
{
    for (QWidget *widget : { m_tab.Shape1, m_tab.Label14 })
        if (widget)
            widget->setVisible(shown);
}

void TScannerControl::Repaint()
{
    // Painted now, without running other events: a click must not get in here.
    for (QWidget *widget : { m_tab.Shape1, m_tab.Label14 })
        if (widget && widget->isVisible())
            widget->repaint();
}

void TScannerControl::Fill(const QColor &colour)
{
    if (m_tab.fillShape1)
        m_tab.fillShape1(colour);
}

void TScannerControl::Caption(const QString &text)
{
    if (auto *label = qobject_cast<QLabel *>(m_tab.Label14))
        label->setText(text);
}

void TScannerControl::ScanStartUp()
{
    // A folder that refuses Scan.cfg has been reported with ProgSett.ini already;
    // the settings then read as empty: no scanner.
    TScanCfg cfg;
    LoadScanCfg(ScanCfgPath(), cfg, ScanCfgRead::Guarded);
    model_scan = cfg.ModelName;
    com_scan = cfg.ComPort;
    speed_scan = cfg.SpeedPort;
    nextRow = cfg.NextRow;
    // With a model the indicator is there from the start, stopped until the
    // goods tab starts the reader.
    ShowIndicator(!model_scan.isEmpty());
    if (!model_scan.isEmpty())
        Fill(kWhite);
    m_st = new TScanThread(m_portsFolder, this);
    m_st->FOnScanEvent = [this](const QString &value) { OnScanShtrihCode(value); };
    m_st->OnPortState = [this](bool connected) { OnPortState(connected); };
    if (m_debugScan)
        m_st->OnLogScan = [log = m_debugScan](const QString &line) { log->LogScan(line); };
    flagScan = true;
}

void TScannerControl::StartScan()
{
    if (!m_st)
        return; // before start-up: there is no reader yet
    if (model_scan.isEmpty()) {
        ShowIndicator(false);
        Repaint();
        return;
    }
    const bool ok = m_st->Init(com_scan, speed_scan);
    if (m_tab.Shape1)
        m_tab.Shape1->show();
    if (!ok) {
        Fill(kRed);
        return;
    }
    Fill(kGreen);
    Caption(kCaption);
    if (m_tab.Label14)
        m_tab.Label14->show();
    Repaint();
    if (m_st->Suspended())
        m_st->Resume();
}

void TScannerControl::StopScan()
{
    if (!m_st || model_scan.isEmpty())
        return;
    if (!m_st->Suspended())
        m_st->Suspend();
    m_st->Disconnect();
    Fill(kWhite);
    Caption(kCaption);
}

void TScannerControl::OnPortState(bool connected)
{
    if (model_scan.isEmpty())
        return;
    Fill(connected ? kGreen : kRed);
    Caption(connected ? kCaption : kGoneCaption);
    Repaint();
}

void TScannerControl::GoodsTabShown()
{
    if (!flagScan)
        return;
    // Without a scanner there is nothing to share the port with.
    if (!model_scan.isEmpty() && com_scan == m_structSett.PortSett.Name) {
        const bool yes = Prompts::instance().captionedQuestion(m_window, u"Выбор устройства"_s,
            u"Внимание!\r\nПрограмма обнаружила подключение сканера на COM порт ККТ!\r\n"
            "Одновременная работа устройств невозможна!\r\nВы хотите работать только со сканером?"_s);
        if (!yes)
            return;
        // Scanner-only mode: the KKT buttons stay off until another hooked tab is shown.
        if (m_tab.EnableKKTButtons)
            m_tab.EnableKKTButtons(false);
    }
    StartScan();
}

void TScannerControl::HookedTabShown()
{
    if (flagScan)
        StopScan();
    if (m_tab.EnableKKTButtons)
        m_tab.EnableKKTButtons(true);
}

void TScannerControl::ScannerClick()
{
    StopScan();
    TFormScannerSetting dialog(ScanCfgPath(), ScannerPortNames(m_portsFolder), m_debugScan, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const TScanCfg &cfg = dialog.ScanCfg;
    nextRow = cfg.NextRow;
    if (cfg.ModelName.isEmpty()) {
        ShowIndicator(false);
        Repaint();
        Scan = TScanner();
        model_scan.clear();
        com_scan.clear();
        speed_scan.clear();
        return;
    }
    ShowIndicator(true);
    Repaint();
    if (cfg.ModelName != kModelBee2)
        return;
    Scan.Model = TScanTypeDevice::Bee2;
    Scan.ComPort = cfg.ComPort;
    Scan.SpeedPort = cfg.SpeedPort;
    Scan.FlgON = true;
    model_scan = kModelBee2;
    com_scan = Scan.ComPort;
    speed_scan = Scan.SpeedPort;
    StartScan();
}

void TScannerControl::OnScanShtrihCode(const QString &value)
{
    if (!m_tab.grid || !m_tab.currentCol || m_tab.currentCol() != kBarcodeCol)
        return;
    const int row = m_tab.currentRow();
    // A run has the goods grid to itself: a code that came meanwhile is not
    // written, and the label says so.
    if (m_tab.grid->locked()) {
        ShowVerdict(u"Штрих-код %1 не записан: идёт обмен с ККТ"_s.arg(value), false);
        return;
    }
    if (m_writeCell)
        m_writeCell(row, kBarcodeCol, value);
    else
        m_tab.grid->setCell(row, kBarcodeCol, value);
    const ShtrihVerdict verdict = ShtrihCodeVerdict(value, row);
    ShowVerdict(verdict.text, verdict.valid);
    // The next item of the pile goes into the next row; the label still names this one.
    if (nextRow && m_moveTo && row + 1 < m_tab.grid->rows())
        m_moveTo(kBarcodeCol, row + 1);
}

void TScannerControl::ShowVerdict(const QString &text, bool valid)
{
    QLabel *label = m_tab.lblCorrectShtrihCode;
    if (!label)
        return;
    label->setText(text);
    QPalette palette = label->palette();
    palette.setColor(
        QPalette::WindowText, Contrast::ReadableOn(valid ? kValidText : kInvalidText, palette.color(QPalette::Window)));
    label->setPalette(palette);
}
