#include "app/service/ScannerSettingForm.h"

#include "app/service/Bee2Frame.h"
#include "scanner/ScannerModels.h"
#include "ui/Prompts.h"

#include "ui_ScannerSettingForm.h"

using namespace Qt::StringLiterals;

TFormScannerSetting::TFormScannerSetting(
    const QString &scanCfgPath, const TArrayCom &ports, QWidget *debugScanWindow, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint)
    , ui(std::make_unique<Ui::TFormScannerSetting>())
    , m_scanCfgPath(scanCfgPath)
    , m_debugScan(debugScanWindow)
{
    ui->setupUi(this);
    setFixedSize(size());
    connect(ui->ComboBox1, &QComboBox::activated, this, &TFormScannerSetting::ComboBox1Change);
    connect(ui->Button2, &QPushButton::clicked, this, &TFormScannerSetting::Button2Click);
    connect(ui->Button1, &QPushButton::clicked, this, &TFormScannerSetting::Button1Click);
    connect(ui->chkDebugScan, &QCheckBox::clicked, this, &TFormScannerSetting::chkDebugScanClick);
    FormCreate(ports);
}

TFormScannerSetting::~TFormScannerSetting() = default;

void TFormScannerSetting::FormCreate(const TArrayCom &ports)
{
    // A file that cannot be made or read leaves the settings empty: no scanner.
    LoadScanCfg(m_scanCfgPath, ScanCfg, ScanCfgRead::Plain);
    CreateModelFrames(ports);
}

void TFormScannerSetting::CreateModelFrames(const TArrayCom &ports)
{
    CurrentVisibleFrame = nullptr;
    Bee2_RS232 = new TFrame_Bee2(ScanCfg, ui->Panel1);
    Bee2_RS232->setObjectName(u"Bee2_RS232"_s);
    Bee2_RS232->move(1, 1);
    Bee2_RS232->resize(ui->Panel1->size() - QSize(2, 2));
    Bee2_RS232->hide();
    Bee2_RS232->Init(ports);
}

void TFormScannerSetting::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFormScannerSetting::FormShow()
{
    ui->ComboBox1->clear();
    ui->ComboBox1->addItems(ScannerModelNames());
    ui->ComboBox1->setCurrentIndex(qMax(0, ScannerModelNames().indexOf(ScanCfg.ModelName)));
    ComboBox1Change();
    if (m_debugScan && m_debugScan->isVisible())
        ui->chkDebugScan->setChecked(true);
    ui->chkNextRow->setChecked(ScanCfg.NextRow);
}

void TFormScannerSetting::ComboBox1Change()
{
    if (ui->ComboBox1->currentIndex() <= 0) {
        ShowModelFrame(nullptr);
        ScanCfg.ModelName.clear();
        ScanCfg.ComPort.clear();
        ScanCfg.SpeedPort.clear();
        return;
    }
    ScanCfg.ModelName = kModelBee2;
    ShowModelFrame(Bee2_RS232);
    Bee2_RS232->SetConfig(ScanCfg.ComPort, ScanCfg.SpeedPort);
}

void TFormScannerSetting::ShowModelFrame(QWidget *frame)
{
    if (frame == CurrentVisibleFrame)
        return;
    if (CurrentVisibleFrame)
        CurrentVisibleFrame->hide();
    CurrentVisibleFrame = frame;
    if (frame)
        frame->show();
}

void TFormScannerSetting::Button2Click()
{
    ScanCfg.NextRow = ui->chkNextRow->isChecked();
    QString error;
    // The settings take effect for this session anyway; the user learns that
    // they will not be there at the next start.
    if (!SaveScanCfg(m_scanCfgPath, ScanCfg, &error))
        Prompts::instance().error(
            this, u"ВНИМАНИЕ!\r\nНе удалось записать настройки сканера в файл Scan.cfg!\r\n"_s + error);
    accept();
}

void TFormScannerSetting::Button1Click()
{
    reject();
}

void TFormScannerSetting::chkDebugScanClick(bool checked)
{
    if (!m_debugScan)
        return;
    if (checked) {
        m_debugScan->show();
        m_debugScan->raise();
    } else {
        m_debugScan->close();
    }
}
