#pragma once

#include "config/ScanCfg.h"
#include "kkt/PortDiscovery.h"

#include <QWidget>

#include <memory>

namespace Ui {
class TFrame_Bee2;
}

// The settings panel of the "Bee2 (RS-232)" scanner: port and speed to choose,
// the fixed line format, and where the setup codes of the scanner are found.
// A choice of the user goes straight into the settings dialog's working copy.
class TFrame_Bee2 : public QWidget
{
    Q_OBJECT
public:
    TFrame_Bee2(TScanCfg &scanCfg, QWidget *parent = nullptr);
    ~TFrame_Bee2() override;

    // Fills the port list; nothing is selected in either list.
    void Init(const TArrayCom &ports);
    // Selects the port and speed items equal to the two texts; a list without
    // such an item keeps its selection. Changes nothing in the working copy.
    void SetConfig(const QString &ComPort, const QString &Speed);

public slots:
    void ComboBox1Change();
    void ComboBox2Change();

private:
    std::unique_ptr<Ui::TFrame_Bee2> ui;
    TScanCfg &ScanCfg;
};
