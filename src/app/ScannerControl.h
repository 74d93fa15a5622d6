#pragma once

#include "config/Config.h"
#include "config/ProgSett.h"

#include <QColor>
#include <QObject>
#include <QString>

#include <functional>

class QLabel;
class QWidget;
class StringGridModel;
class TScanThread;
class TfrmDebugScan;

// What the goods tab lends the scanner: the goods grid with its recorded cell,
// the indicator (Shape1 and its caption Label14), the validity label and the
// three KKT buttons.
struct ScannerGoodsTab
{
    StringGridModel *grid = nullptr;
    std::function<int()> currentCol; // CurrentColBase
    std::function<int()> currentRow; // CurrentRowBase
    QWidget *Shape1 = nullptr;
    std::function<void(const QColor &)> fillShape1;
    QWidget *Label14 = nullptr;
    QLabel *lblCorrectShtrihCode = nullptr;
    std::function<void(bool)> EnableKKTButtons;
};

// The scanner as the main window runs it: the settings read at start-up, the
// reader started and stopped with the goods tab, the indicator, the question
// when the scanner and the KKT share one port, the settings command, and each
// scanned code written into the selected barcode cell.
class TScannerControl : public QObject
{
    Q_OBJECT
public:
    // window is the parent of the dialogs; structSett the main window's KKT
    // connection settings, whose port the scanner's is compared with; scan the
    // scanner part of the main window's configuration, which the settings
    // command sets.
    TScannerControl(QWidget *window, const QString &settingsFolder, const QString &portsFolder,
        TfrmDebugScan *debugScan, const TStructSetting &structSett, TScanner &scan);
    ~TScannerControl() override;

    void setGoodsTab(const ScannerGoodsTab &tab);
    // How a code gets into its cell (the window keeps it in the grids'
    // history); straight into the grid when unset.
    using CellWriter = std::function<void(int row, int col, const QString &text)>;
    void setCellWriter(CellWriter writer) { m_writeCell = std::move(writer); }
    // Moves the goods grid's selection to a cell without taking the focus;
    // after a code, the next row's barcode cell when nextRow is set.
    using CellMover = std::function<void(int col, int row)>;
    void setCellMover(CellMover mover) { m_moveTo = std::move(mover); }

    // Start-up: Scan.cfg made when missing and read, the indicator hidden
    // without a model, the reader created paused.
    void ScanStartUp();
    void StartScan();
    void StopScan();
    // "Настройки" -> "Сканер штрих-кода".
    void ScannerClick();
    // The tab hooks of the "Параметры 102" page.
    void GoodsTabShown();
    void HookedTabShown();
    // Every code the reader delivers, on the interface thread.
    void OnScanShtrihCode(const QString &value);
    // The reader lost its scanner (false) or found it again (true).
    void OnPortState(bool connected);

    TScanThread *st() const { return m_st; }
    QString model_scan, com_scan, speed_scan;
    // The reader exists; the tab hooks act only when it is set.
    bool flagScan = false;
    // After a code, to the next row (Scan.cfg "NextRow").
    bool nextRow = true;
    // The scanner part of the configuration, set by the settings command.
    TScanner &Scan;

    static inline const QColor kWhite { 255, 255, 255 };
    static inline const QColor kGreen { 0, 255, 0 };
    static inline const QColor kRed { 255, 0, 0 };
    static inline const QColor kValidText { 0, 128, 0 };
    static inline const QColor kInvalidText { 255, 0, 0 };

private:
    void ShowIndicator(bool shown);
    void Repaint();
    void Fill(const QColor &colour);
    void Caption(const QString &text);
    void ShowVerdict(const QString &text, bool valid);
    QString ScanCfgPath() const;

    QWidget *m_window;
    QString m_settingsFolder;
    QString m_portsFolder;
    TfrmDebugScan *m_debugScan;
    const TStructSetting &m_structSett;
    ScannerGoodsTab m_tab;
    CellWriter m_writeCell;
    CellMover m_moveTo;
    TScanThread *m_st = nullptr;
};
