#include "app/service/Bee2Frame.h"

#include "scanner/ScannerPorts.h"

#include "ui_Bee2Frame.h"

TFrame_Bee2::TFrame_Bee2(TScanCfg &scanCfg, QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::TFrame_Bee2>())
    , ScanCfg(scanCfg)
{
    ui->setupUi(this);
    ui->ComboBox2->addItems(ScannerSpeeds());
    ui->ComboBox2->setCurrentIndex(-1);
    // activated: a choice of the user; SetConfig's selection is no change.
    connect(ui->ComboBox1, &QComboBox::activated, this, &TFrame_Bee2::ComboBox1Change);
    connect(ui->ComboBox2, &QComboBox::activated, this, &TFrame_Bee2::ComboBox2Change);
}

TFrame_Bee2::~TFrame_Bee2() = default;

void TFrame_Bee2::Init(const TArrayCom &ports)
{
    ui->ComboBox1->clear();
    ui->ComboBox1->addItems(ports);
    ui->ComboBox1->setCurrentIndex(-1);
}

void TFrame_Bee2::SetConfig(const QString &ComPort, const QString &Speed)
{
    for (const auto &[list, text] : { std::pair { ui->ComboBox1, ComPort }, std::pair { ui->ComboBox2, Speed } }) {
        const int index = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            list->setCurrentIndex(index);
    }
}

void TFrame_Bee2::ComboBox1Change()
{
    ScanCfg.ComPort = ui->ComboBox1->currentText();
}

void TFrame_Bee2::ComboBox2Change()
{
    ScanCfg.SpeedPort = ui->ComboBox2->currentText();
}
