#pragma once

#include "app/EditedCells.h"
#include "app/KktSession.h"
#include "app/StatusLine.h"
#include "config/Config.h"
#include "config/ProgSett.h"
#include "kkt/KktTransaction.h"
#include "kkt/PortDiscovery.h"
#include "kkt/SerialLinkFactory.h"
#include "pages/RegisterView.h"
#include "ui/GridEdits.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QFrame;
class QMenu;
class TFrameGsmSetting;
class TScannerControl;
class TFrameSet102;
class TfrmDebugKKM;
class TfrmDebugScan;
class GridSet;
class TConfigRuns;
class TVerifyDialog;
class TStartHint;
class TViewSettings;
class StringGridModel;
class TRecoveryCopy;
class TSessionEnd;

enum class TTypeCOMDevice { KKT_DEV, SCAN_DEV };

// The program's frame: settings at start and exit, the port list, the two
// parameter pages (one shown at a time) and the main menu.
class TFormMain : public QMainWindow
{
    Q_OBJECT
public:
    // settingsFolder holds ProgSett.ini and Scan.cfg, portsFolder the port links;
    // both default to the folders FileLocations decides. The copy of unsaved
    // edits goes to the data folder it decides, or into settingsFolder when
    // one is given.
    explicit TFormMain(
        const QString &settingsFolder = QString(), const QString &portsFolder = QString(), QWidget *parent = nullptr);
    ~TFormMain() override;

    // How the show step finds the ports; GetCOM_Loop over the ports folder unless replaced.
    using PortLister = std::function<void(TArrayCom &)>;
    void setPortLister(PortLister lister) { m_listPorts = std::move(lister); }

    // The one KKT channel of the program; the exchange log window is its log sink.
    KktChannel &channel() { return m_channel; }
    // The channel with the busy flag of a run; the pages and every command that
    // starts an exchange or replaces the grids go through it.
    TKktSession &session() { return m_session; }
    // The history of every grid of both pages; clean once saved or loaded.
    GridEdits &edits() { return m_edits; }
    TfrmDebugKKM *frmDebugKKM() const { return m_frmDebugKKM; }
    TfrmDebugScan *frmDebugScan() const { return m_frmDebugScan; }

    void ShowFrame(QWidget *frame);
    void EnableMainMenu(bool enable);
    // The program's own version: the build's version, as there are no version resources here.
    static QString GetFileVersion();

    // Shows a cell of a table: its page, its tab, the cell selected.
    void ShowCell(TableKind kind, int row, int col);
    // The runs over the whole configuration ("Программирование" menu).
    TConfigRuns *configRuns() const { return m_configRuns; }
    TVerifyDialog *verifyDialog() const { return m_verifyDialog; }
    // What the status bar shows: the link as last checked, the configuration file in use.
    const TLinkState &linkState() const { return m_linkState; }
    QString configFile() const { return m_configFile; }
    TStartHint *startHint() const { return m_hint; }
    // The copy of unsaved edits for the next start.
    TRecoveryCopy *recoveryCopy() const { return m_recovery; }
    // Signals and the desktop session's end close the window without a question.
    void WatchSessionEnd(TSessionEnd &end);

    // The grids of both pages into Config and back, verbatim.
    void GridsToConfig();
    void ConfigToGrids();

    TConfig Config;
    TStructSetting StructSett;
    TArrayCom ArrCom;
    QString Version;
    QWidget *CurrentVisibleFrame = nullptr;
    TFrameGsmSetting *GsmFrame = nullptr;
    TFrameSet102 *Set102Frame = nullptr;
    // The scanner: its settings, the reader and the barcode entry; made by the show step.
    TScannerControl *scanner() const { return m_scanner; }
    TTypeCOMDevice typeCOMDevice = TTypeCOMDevice::KKT_DEV;

public slots:
    void N7Click();
    // Asks for a file and saves the configuration there; true when saved.
    bool SaveConfiguration();
    void N8Click();
    void N2Click();
    void N4Click();
    void ScannerClick();
    void GSM1Click();
    void N1021Click();
    void N6Click();
    void ActionDebugExecute();
    // "Сервис": the exchange log saved, or every frame appended to a file.
    void SaveLogClick();
    void LogToFileClick(bool on);
    // The program is ended from outside (a signal): what must survive is
    // kept, the window closes without asking, a run is stopped first.
    void EndSession();
    // Settings, the view and the copy of unsaved edits written now.
    void KeepForNextStart();
    // The scanner's hooks on the tabs of the "Параметры 102" page.
    void GoodsTabShown();
    void HookedTabShown();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateMenu();
    void FormShow();
    void CreateFrames();
    void AddWorkbookImport();
    void ScanStartUp();
    QString SettingsFile(const QString &name) const;
    GridSet Grids() const;
    QList<StringGridModel *> AllGrids() const;
    void GuardCommands();
    void CreateRuns();
    // The application's error report for a command that failed.
    void ReportFailure(const QString &description);
    void ShowVerification(const VerifyResult &result);
    // False when the configuration file at path lacks `missing` keys and the user does not want it loaded.
    bool AcceptMissingKeys(const QString &path, int missing);
    // The status bar, the caption's file name and the empty window's hint, after any change of them.
    void ShowWhereWeAre();
    void LinkChecked(const KktConnection &conn, bool ok);
    // Every grid: the user's column widths back, its text column fitted to the window.
    void FitGrids();
    void SaveView() const;
    // The log file of the last run, again; a failed write stops it with a message.
    void ResumeLogFile();
    void LogFileFailed(const QString &message);
    // A command refused because a run holds the grids or the port: said in
    // the status bar, where it neither hides the run nor waits for a click.
    void SayRunHolds(const QString &text);
    // A step of the history that replaces what the grids stand for (a file
    // loaded): its undo brings back the file's name and what the grids matched.
    std::function<void()> KeepDocumentForHistory();
    void CreateRecoveryCopy();
    // The copy an earlier run left, offered at start-up.
    void OfferRecovery();

    QString m_settingsFolder;
    QString m_portsFolder;
    QString m_dataFolder;
    PortLister m_listPorts;
    std::unique_ptr<SerialLink> m_link;
    KktChannel m_channel;
    TKktSession m_session;
    GridEdits m_edits;
    TEditedCells m_editedCells { [this] { return Grids(); } };
    QFrame *Panel1;
    QMenu *N5 = nullptr;
    QAction *N7 = nullptr;
    QAction *N8 = nullptr;
    QAction *N4 = nullptr;
    QAction *Scanner = nullptr;
    QAction *GSM1 = nullptr;
    QAction *N1021 = nullptr;
    QAction *actWriteAll = nullptr;
    QAction *actReadAll = nullptr;
    QAction *actVerifyAll = nullptr;
    TConfigRuns *m_configRuns = nullptr;
    TVerifyDialog *m_verifyDialog = nullptr;
    TfrmDebugKKM *m_frmDebugKKM;
    TfrmDebugScan *m_frmDebugScan;
    QAction *ActionDebug = nullptr;
    QAction *ActionLogToFile = nullptr;
    TScannerControl *m_scanner = nullptr;
    bool m_shown = false;
    std::unique_ptr<TViewSettings> m_view;
    TStatusLine *m_status = nullptr;
    TStartHint *m_hint = nullptr;
    TLinkState m_linkState;
    QString m_configFile;
    QString m_caption; // with the version, without the file
    TRecoveryCopy *m_recovery = nullptr;
    bool m_endingSession = false; // closed from outside: no question
    bool m_closed = false; // everything kept for the next start already
};
