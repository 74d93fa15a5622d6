#pragma once

#include "config/ScanCfg.h"
#include "kkt/PortDiscovery.h"

#include <QDialog>

#include <memory>

class TFrame_Bee2;

namespace Ui {
class TFormScannerSetting;
}

// "Настройки сканера штрих-кода": the model and, for the Bee2, its port and
// speed. "Применить" writes Scan.cfg and closes with OK; "Отмена" writes
// nothing. "Отладка сканера" shows or closes the scanner log window at once.
class TFormScannerSetting : public QDialog
{
    Q_OBJECT
public:
    TFormScannerSetting(
        const QString &scanCfgPath, const TArrayCom &ports, QWidget *debugScanWindow, QWidget *parent = nullptr);
    ~TFormScannerSetting() override;

    // The working copy of the settings; the result once the dialog ended with OK.
    TScanCfg ScanCfg;

public slots:
    void ComboBox1Change();
    void Button2Click();
    void Button1Click();
    void chkDebugScanClick(bool checked);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate(const TArrayCom &ports);
    void FormShow();
    void CreateModelFrames(const TArrayCom &ports);
    void ShowModelFrame(QWidget *frame);

    std::unique_ptr<Ui::TFormScannerSetting> ui;
    QString m_scanCfgPath;
    QWidget *m_debugScan;
    QWidget *CurrentVisibleFrame = nullptr;
    TFrame_Bee2 *Bee2_RS232 = nullptr;
    bool m_shown = false;
};
