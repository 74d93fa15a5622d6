#include "app/MainForm.h"

#include "app/ConfigRuns.h"
#include "app/EditMenu.h"
#include "app/KktApplication.h"
#include "app/RecoveryCopy.h"
#include "app/ScannerControl.h"
#include "app/ScreenFit.h"
#include "app/SettForm.h"
#include "app/StartHint.h"
#include "app/UserGuide.h"
#include "app/VerifyDialog.h"
#include "app/VersionForm.h"
#include "app/ViewSettings.h"
#include "app/WaitForm.h"
#include "app/pages/GsmSettingFrame.h"
#include "app/pages/Set102Frame.h"
#include "app/pages/Shape.h"
#include "app/service/UDebugKKT.h"
#include "app/service/UDebugScan.h"
#include "config/ConfigFile.h"
#include "config/SafeFile.h"
#include "config/ScanCfg.h"
#include "kkt/FileLocations.h"
#include "pages/ConfigCopy.h"
#include "pages/StoreMarks.h"
#include "ui/ColumnFitter.h"
#include "ui/DialogFolders.h"
#include "ui/KeyboardLetters.h"
#include "ui/Prompts.h"
#include "ui/StringGrid.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QThread>
#include <QWindow>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {
template <typename Slot>
QAction *AddItem(QWidget *menu, const QString &name, const QString &caption, TFormMain *form, Slot slot)
{
    auto *action = new QAction(caption, menu);
    action->setObjectName(name);
    QObject::connect(action, &QAction::triggered, form, slot);
    menu->addAction(action);
    return action;
}

const QString kConfigFilter = u"Байлы конфигурации (*.conf)|*.conf"_s;
// The window's designed minimum (966 x 657 with its frame); a smaller screen gets less.
constexpr QSize kDesignedMinimum(950, 618);
const QString kConfigSuffix = u"conf"_s;

// The hourglass and the wait box for a configuration file, undone when the
// command ends, also when it fails.
class TWaitScope
{
public:
    explicit TWaitScope(QWidget *parent)
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QCoreApplication::processEvents();
        m_box = new TFormWait(parent);
        m_box->ShowNow();
        QCoreApplication::processEvents();
    }
    ~TWaitScope()
    {
        if (m_box)
            m_box->close();
        QApplication::restoreOverrideCursor();
    }
    // The pause before the work, with the box drawn.
    void pause(int ms)
    {
        if (m_box)
            m_box->Pause(ms);
    }
    TWaitScope(const TWaitScope &) = delete;
    TWaitScope &operator=(const TWaitScope &) = delete;

private:
    QPointer<TFormWait> m_box;
};

// Runs a command; an error it does not handle ends it and reaches the
// application's error report.
template <typename Command> void RunReported(QWidget *window, Command command)
{
    try {
        command();
    } catch (const std::exception &e) {
        KktApplication::ShowException(e, window);
    }
}

QMenu *AddMenu(QMenuBar *bar, const QString &name, const QString &caption)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}
} // namespace

TFormMain::TFormMain(const QString &settingsFolder, const QString &portsFolder, QWidget *parent)
    : QMainWindow(parent)
    , m_settingsFolder(settingsFolder.isEmpty() ? FileLocations::Current().settingsFolder : settingsFolder)
    , m_portsFolder(portsFolder.isEmpty() ? FileLocations::Current().portsFolder : portsFolder)
    , m_dataFolder(settingsFolder.isEmpty() ? FileLocations::Current().dataFolder : settingsFolder)
    , m_listPorts([folder = m_portsFolder](TArrayCom &list) { GetCOM_Loop(list, folder); })
    , m_link(MakeSerialLink(m_portsFolder))
    , m_channel(*m_link)
    , m_session(m_channel, StructSett)
    , Panel1(new QFrame(this))
{
    setObjectName(u"FormMain"_s);
    setWindowTitle(u"Программирование параметров GSM модуля."_s);
    CreateMenu();

    Panel1->setObjectName(u"Panel1"_s);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto *pages = new QGridLayout(Panel1);
    pages->setContentsMargins(1, 1, 1, 1);
    // On a screen smaller than the pages (a scale factor of 2) the panel
    // scrolls, so that every command stays within reach.
    auto *scroller = new QScrollArea(this);
    scroller->setObjectName(u"PanelScroller"_s);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    // A click on the panel's labels or on a button that takes no focus would
    // otherwise give it to the scroller and take it from the grid.
    scroller->setFocusPolicy(Qt::NoFocus);
    scroller->setWidget(Panel1);
    setCentralWidget(scroller);
    m_hint = new TStartHint(Panel1);
    pages->addWidget(m_hint, 0, 0);
    connect(m_hint, &TStartHint::openConnection, this, &TFormMain::N4Click);
    connect(m_hint, &TStartHint::openGsm, this, &TFormMain::GSM1Click);
    connect(m_hint, &TStartHint::openSet102, this, &TFormMain::N1021Click);

    statusBar()->setObjectName(u"StatusBar1"_s);
    m_status = new TStatusLine(statusBar());

    // Client area 978 x 599 below the menu; the outer limit 966 x 657 less a usual frame.
    m_view = std::make_unique<TViewSettings>(m_settingsFolder);
    DialogFolders::SetStore(m_view->path());
    resize(978, 599 + menuBar()->sizeHint().height());
    setMinimumSize(kDesignedMinimum);
    if (!m_view->restoreWindow(this)) {
        if (const QScreen *screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }

    // The service windows live hidden beside the main window from the start;
    // the exchange log records every exchange of the program's one channel.
    m_frmDebugKKM = new TfrmDebugKKM(this);
    m_frmDebugScan = new TfrmDebugScan(this);
    m_channel.setLogSink(m_frmDebugKKM->sink());
    // The log's first line says where this run keeps its files.
    FileLocations where = FileLocations::Current();
    where.settingsFolder = m_settingsFolder;
    where.portsFolder = m_portsFolder;
    m_frmDebugKKM->AddNote(where.describe());
    GuardCommands();
    CreateRuns();
    // Undoing while a run writes the grids would mix the two.
    m_edits.setBlocked([this] { return m_session.busy(); });
    connect(&m_edits, &GridEdits::cleanChanged, this, &TFormMain::ShowWhereWeAre);
    // An undone load gives back its file's name.
    connect(&m_edits, &GridEdits::stepped, this, &TFormMain::ShowWhereWeAre);
    connect(&m_edits, &GridEdits::refused, this,
        [this] { SayRunHolds(u"Идёт обмен с ККТ! Отменить или повторить можно после его окончания."_s); });
    CreateRecoveryCopy();
}

void TFormMain::GuardCommands()
{
    // While a run goes, nothing may start a second exchange or replace the
    // grids being written: the configuration files, the link settings (with
    // their link check), the scanner settings (a modal dialog would hold the
    // run, and the scanner may take the KKT's port) and the page switches wait
    // for its end.
    for (QAction *command : { N7, N8, N4, Scanner, GSM1, N1021, actWriteAll, actReadAll, actVerifyAll })
        m_session.addGuarded(command);
}

void TFormMain::CreateRuns()
{
    // What a run says beside its messages, and what a verification found.
    connect(&m_session, &TKktSession::told, this, [this](const QString &text) { m_status->note(text); });
    connect(&m_session, &TKktSession::verifiedSignal, this, &TFormMain::ShowVerification);
    connect(&m_session, &TKktSession::tableRunStarting, this, [this] {
        for (StringGridModel *grid : AllGrids())
            grid->clearMarks(MarkKind::Differs);
    });
    m_verifyDialog = new TVerifyDialog(this);
    connect(m_verifyDialog, &TVerifyDialog::showCell, this, &TFormMain::ShowCell);
    m_configRuns = new TConfigRuns(
        m_session, [this] { return Grids(); }, [this](TableKind kind, int row, int col) { ShowCell(kind, row, col); },
        this);
    m_configRuns->setReadRecorder([this](const std::function<void()> &read) {
        m_edits.record(AllGrids(), u"Чтение конфигурации из ККТ"_s, read);
    });
}

void TFormMain::ShowVerification(const VerifyResult &result)
{
    // Marked until the cell's next change or the next run.
    const GridSet grids = Grids();
    for (const VerifyDifference &difference : result.differences)
        MarkDifference(grids[difference.kind], difference);
    if (result.differences.isEmpty()) {
        m_verifyDialog->hide();
        Prompts::instance().information(this, u"Данные в ККТ совпадают с программой (%1 строк)"_s.arg(result.rows));
        return;
    }
    m_verifyDialog->ShowResult(result);
}

void TFormMain::ShowCell(TableKind kind, int row, int col)
{
    if (!GsmFrame || !Set102Frame || m_session.busy())
        return;
    if (kind == TableKind::Gsm) {
        ShowFrame(GsmFrame);
        GsmFrame->view()->selectCell(col, row);
        return;
    }
    ShowFrame(Set102Frame);
    Set102Frame->showTable(kind);
    Set102Frame->view(kind)->selectCell(col, row);
}

TFormMain::~TFormMain() = default;

void TFormMain::CreateMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(u"MainMenu1"_s);

    QMenu *N1 = AddMenu(bar, u"N1"_s, u"Файл"_s);
    N7 = AddItem(N1, u"N7"_s, u"Сохранить конфигурацию"_s, this, &TFormMain::N7Click);
    N7->setEnabled(false);
    N8 = AddItem(N1, u"N8"_s, u"Загрузить конфигурацию"_s, this, &TFormMain::N8Click);
    N1->addSeparator()->setObjectName(u"N10"_s);
    AddItem(N1, u"N2"_s, u"Выход"_s, this, &TFormMain::N2Click);

    QMenu *N3 = AddMenu(bar, u"N3"_s, u"Настройки"_s);
    N4 = AddItem(N3, u"N4"_s, u"Связь с ККТ"_s, this, &TFormMain::N4Click);
    Scanner = AddItem(N3, u"Scanner"_s, u"Сканер штрих-кода"_s, this, &TFormMain::ScannerClick);

    N5 = AddMenu(bar, u"N5"_s, u"Программирование"_s);
    GSM1 = AddItem(N5, u"GSM1"_s, u"Параметры GSM"_s, this, &TFormMain::GSM1Click);
    N1021 = AddItem(N5, u"N1021"_s, u"Параметры 102"_s, this, &TFormMain::N1021Click);
    N5->addSeparator();
    actWriteAll = AddItem(N5, u"actWriteAll"_s, u"Записать всю конфигурацию в ККТ"_s, this,
        [this] { RunReported(this, [this] { m_configRuns->WriteAll(); }); });
    actReadAll = AddItem(N5, u"actReadAll"_s, u"Прочитать всю конфигурацию из ККТ"_s, this,
        [this] { RunReported(this, [this] { m_configRuns->ReadAll(); }); });
    actVerifyAll = AddItem(N5, u"actVerifyAll"_s, u"Сверить всю конфигурацию с ККТ"_s, this,
        [this] { RunReported(this, [this] { m_configRuns->VerifyAll(); }); });

    // The exchange log as a tool of its own, beside its Ctrl+A.
    QMenu *service = AddMenu(bar, u"ServiceMenu"_s, u"Сервис"_s);
    ActionDebug = AddItem(service, u"ActionDebug"_s, u"Журнал обмена"_s, this, &TFormMain::ActionDebugExecute);
    ActionDebug->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    addAction(ActionDebug);
    AddItem(service, u"ActionSaveLog"_s, u"Сохранить журнал…"_s, this, &TFormMain::SaveLogClick);
    ActionLogToFile
        = AddItem(service, u"ActionLogToFile"_s, u"Записывать журнал в файл…"_s, this, &TFormMain::LogToFileClick);
    ActionLogToFile->setCheckable(true);

    new TEditMenu(bar, m_edits, m_session, this);
    UserGuide::AddMenu(bar, this);

    AddItem(bar, u"N6"_s, u"Версия"_s, this, &TFormMain::N6Click);
    // Editors take Ctrl+A for "select all" before any shortcut sees it; in this
    // window the exchange log comes first.
    qApp->installEventFilter(this);
}

bool TFormMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this
        && ActionDebug->shortcut().matches(QKeySequence(static_cast<QKeyEvent *>(event)->keyCombination()))
            == QKeySequence::ExactMatch)
        return true;
    return QMainWindow::eventFilter(watched, event);
}

QString TFormMain::SettingsFile(const QString &name) const
{
    return QDir(m_settingsFolder).filePath(name);
}

QString TFormMain::GetFileVersion()
{
    return QStringLiteral(KKTCONF_VERSION);
}

void TFormMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FitToScreen(this, kDesignedMinimum);
        if (QWindow *window = windowHandle())
            connect(window, &QWindow::screenChanged, this, [this] { FitToScreen(this, kDesignedMinimum); });
        FormShow();
    }
}

void TFormMain::FormShow()
{
    // An installed program makes its folder in the user's configuration on the
    // first start; one that cannot be made fails the read below with its message.
    QDir().mkpath(m_settingsFolder);
    if (!LoadIniSettings(SettingsFile(u"ProgSett.ini"_s), StructSett)) {
        Prompts::instance().information(this,
            u"ВНИМАНИЕ!\r\nНе удалось прочитать файл настроек - ProgSett.ini!\r\n"
            "Попробуйте запустить программу от имени Администратора!"_s);
        // The program ends once start-up is over; the steps below still run.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }

    m_listPorts(ArrCom);
    if (ArrCom.isEmpty()) {
        EnableMainMenu(false);
        Prompts::instance().information(
            this, u"ВНИМАНИЕ!\r\nНа ПК не обнаружено ни одного COM порта!\r\nСвязь с ККТ не будет установлена!"_s);
    }

    CreateFrames();
    // Only the connection settings dialog opens the programming menu.
    EnableMainMenu(false);
    // Qt paints every window double-buffered already.

    Version = GetFileVersion();
    m_caption = windowTitle() + u" (ver."_s + Version + u")"_s;
    setWindowTitle(m_caption);

    ScanStartUp();
    FitGrids();
    m_editedCells.matchedAll(); // the start values are no edits
    ShowWhereWeAre();
    ResumeLogFile();
    AddKeyboardLetters(menuBar());
    OfferRecovery();
}

void TFormMain::ResumeLogFile()
{
    connect(m_frmDebugKKM, &TfrmDebugKKM::logFileFailed, this, &TFormMain::LogFileFailed, Qt::QueuedConnection);
    if (!m_view->logToFile())
        return;
    QString error;
    if (m_frmDebugKKM->StartLogFile(m_view->logFile(), &error)) {
        ActionLogToFile->setChecked(true);
        return;
    }
    m_view->setLogFile(m_view->logFile(), false);
    Prompts::instance().information(this, u"ВНИМАНИЕ!\r\n"_s + error + u"\r\nЖурнал обмена в файл не записывается."_s);
}

void TFormMain::SaveLogClick()
{
    m_frmDebugKKM->btnSaveClick();
}

void TFormMain::LogToFileClick(bool on)
{
    if (!on) {
        m_frmDebugKKM->StopLogFile();
        m_view->setLogFile(m_view->logFile(), false);
        return;
    }
    const QString path
        = Prompts::instance().saveFileName(this, u"Журналы обмена (*.log)|*.log|Все файлы|*.*"_s, u"log"_s);
    QString error;
    if (path.isEmpty() || !m_frmDebugKKM->StartLogFile(path, &error)) {
        ActionLogToFile->setChecked(false);
        if (!path.isEmpty())
            Prompts::instance().error(this, u"ВНИМАНИЕ!\r\n"_s + error);
        return;
    }
    m_view->setLogFile(path, true);
}

void TFormMain::LogFileFailed(const QString &message)
{
    ActionLogToFile->setChecked(false);
    m_view->setLogFile(m_view->logFile(), false);
    Prompts::instance().error(this, u"ВНИМАНИЕ!\r\n"_s + message + u"\r\nЗапись журнала в файл остановлена."_s);
}

void TFormMain::ShowWhereWeAre()
{
    m_status->show(StructSett, m_linkState, m_configFile);
    if (!m_caption.isEmpty())
        // "*" after the file's name while edits are unsaved.
        setWindowTitle((m_configFile.isEmpty() ? m_caption : m_caption + u" — "_s + QFileInfo(m_configFile).fileName())
            + (m_edits.isClean() ? QString() : u"*"_s));
    m_hint->describe(StructSett.PortSett.Name.isEmpty(), N5->menuAction()->isEnabled());
    m_hint->setVisible(!CurrentVisibleFrame);
}

void TFormMain::LinkChecked(const KktConnection &conn, bool ok)
{
    m_linkState.kind = ok ? TLinkState::Kind::Up : TLinkState::Kind::Failed;
    m_linkState.port = conn.Name;
    m_linkState.speed = conn.Speed;
    m_linkState.numKkt = conn.NumKKT;
    m_linkState.at = QDateTime::currentDateTime();
    ShowWhereWeAre();
}

void TFormMain::FitGrids()
{
    for (TStringGrid *grid : findChildren<TStringGrid *>()) {
        // The text column is the widest of the grid's own layout, whatever the user made of it.
        const int column = ColumnFitter::WidestColumn(*grid);
        const int least = qMin(grid->columnWidth(column), grid->fontMetrics().averageCharWidth() * 26);
        m_view->restoreColumns(grid);
        // The other columns narrow down to their least rather than leave the view.
        new ColumnFitter(grid, column, least, [grid](int col) { return grid->leastColumnWidth(col); });
    }
}

void TFormMain::SaveView() const
{
    m_view->saveWindow(this);
    for (const TStringGrid *grid : findChildren<TStringGrid *>())
        m_view->saveColumns(grid);
}

void TFormMain::CreateFrames()
{
    GsmFrame = new TFrameGsmSetting(Panel1);
    GsmFrame->setObjectName(u"GsmFrame"_s);
    GsmFrame->Init(m_session);
    Set102Frame = new TFrameSet102(Panel1);
    Set102Frame->setObjectName(u"Set102Frame"_s);
    Set102Frame->Init(m_session);
    GsmFrame->setEditedCells(&m_editedCells);
    Set102Frame->setEditedCells(&m_editedCells);
    m_configRuns->setEditedCells(&m_editedCells);
    connect(Set102Frame, &TFrameSet102::goodsTabShown, this, &TFormMain::GoodsTabShown);
    connect(Set102Frame, &TFrameSet102::hookedTabShown, this, &TFormMain::HookedTabShown);
    for (QWidget *frame : { static_cast<QWidget *>(GsmFrame), static_cast<QWidget *>(Set102Frame) }) {
        frame->hide();
        static_cast<QGridLayout *>(Panel1->layout())->addWidget(frame, 0, 0);
    }
    // Every grid of both pages keeps its changes in the window's one history.
    for (TStringGrid *grid : Panel1->findChildren<TStringGrid *>()) {
        grid->setEdits(&m_edits);
        connect(grid, &TStringGrid::editRefused, this,
            [this] { SayRunHolds(u"Идёт обмен с ККТ! Изменить эту таблицу можно после его окончания."_s); });
    }
    CurrentVisibleFrame = nullptr;
    AddWorkbookImport();
}

void TFormMain::AddWorkbookImport()
{
    // The goods tab's workbook import, also where files are opened; the tab
    // is shown first, so that the rows are seen coming in.
    auto *file = menuBar()->findChild<QMenu *>(u"N1"_s);
    auto *import = new QAction(u"Загрузить базу товаров из 1С (формат *.xls)…"_s, file);
    import->setObjectName(u"ActionImportXls"_s);
    file->insertAction(file->findChild<QAction *>(u"N10"_s), import);
    m_session.addGuarded(import);
    connect(import, &QAction::triggered, this, [this] {
        if (m_session.busy())
            return;
        ShowFrame(Set102Frame);
        Set102Frame->showTable(TableKind::Goods);
        Set102Frame->N1xls1Click();
    });
}

void TFormMain::ScanStartUp()
{
    m_scanner = new TScannerControl(this, m_settingsFolder, m_portsFolder, m_frmDebugScan, StructSett, Config.Scan);
    // The goods tab the scanner fills and shows its state on.
    TStringGrid *goods = Set102Frame->goodsView();
    auto *shape = static_cast<TShape *>(Set102Frame->scannerIndicator());
    ScannerGoodsTab tab;
    tab.grid = goods->grid();
    tab.currentCol = [goods] { return goods->currentCol(); };
    tab.currentRow = [goods] { return goods->currentRow(); };
    tab.Shape1 = shape;
    tab.fillShape1 = [shape](const QColor &c) { shape->setBrushColor(c); };
    tab.Label14 = Set102Frame->scannerCaption();
    tab.lblCorrectShtrihCode = Set102Frame->shtrihLabel();
    tab.EnableKKTButtons = [page = Set102Frame](bool on) { page->EnableKKTButtons(on); };
    m_scanner->setGoodsTab(tab);
    m_scanner->setCellWriter([goods](int row, int col, const QString &text) {
        goods->record(u"Сканирование"_s, [&] { goods->grid()->setCell(row, col, text); });
    });
    m_scanner->setCellMover([goods](int col, int row) { goods->showCell(col, row); });
    m_scanner->ScanStartUp();
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    if (m_session.busy()) {
        // The run holds the port and the grids; it ends by itself or by its "Стоп".
        SayRunHolds(u"Идёт обмен с ККТ! Закройте программу после его окончания."_s);
        event->ignore();
        return;
    }
    if (m_endingSession) {
        // Nobody to answer: the unsaved edits wait in their copy for the next start.
        KeepForNextStart();
        m_closed = true;
        event->accept();
        return;
    }
    if (!m_edits.isClean()) {
        const Prompts::SaveAnswer answer
            = Prompts::instance().askSaveChanges(this, u"Сохранить изменения в конфигурации?"_s);
        if (answer == Prompts::SaveAnswer::Cancel || (answer == Prompts::SaveAnswer::Save && !SaveConfiguration())) {
            event->ignore();
            return;
        }
    }
    m_recovery->discard();
    // A settings file that cannot be written keeps its previous content; nothing to tell.
    SaveIniSettings(SettingsFile(u"ProgSett.ini"_s), StructSett);
    SaveView();
    m_closed = true;
    event->accept();
}

void TFormMain::ShowFrame(QWidget *frame)
{
    // The page a run works on stays, whichever way the switch was asked for.
    if (!frame || frame == CurrentVisibleFrame || m_session.busy())
        return;
    if (CurrentVisibleFrame)
        CurrentVisibleFrame->hide();
    CurrentVisibleFrame = frame;
    m_hint->hide();
    frame->show();
    N7->setEnabled(true);
    QCoreApplication::processEvents();
}

void TFormMain::EnableMainMenu(bool enable)
{
    N5->menuAction()->setEnabled(enable);
}

GridSet TFormMain::Grids() const
{
    GridSet grids;
    grids.set(TableKind::Gsm, GsmFrame->grid());
    for (int i = 0; i < GridSet::kCount; ++i) {
        if (const auto kind = TableKind(i); kind != TableKind::Gsm)
            grids.set(kind, Set102Frame->grid(kind));
    }
    return grids;
}

void TFormMain::GridsToConfig()
{
    ::GridsToConfig(Grids(), Config);
}

void TFormMain::ConfigToGrids()
{
    ::ConfigToGrids(Config, Grids());
}

QList<StringGridModel *> TFormMain::AllGrids() const
{
    QList<StringGridModel *> grids;
    const GridSet set = Grids();
    for (int i = 0; i < GridSet::kCount; ++i)
        grids << &set[TableKind(i)];
    return grids;
}

void TFormMain::ReportFailure(const QString &description)
{
    KktApplication::ShowException(std::runtime_error(description.toStdString()), this);
}

void TFormMain::N7Click()
{
    SaveConfiguration();
}

bool TFormMain::SaveConfiguration()
{
    TRunGuard guard(m_session);
    if (!guard.acquired() || !GsmFrame || !Set102Frame) // busy, or not started yet
        return false;
    bool done = false;
    RunReported(this, [this, &done] {
        const QString path = Prompts::instance().saveFileName(this, kConfigFilter, kConfigSuffix);
        if (path.isEmpty())
            return;
        QString error;
        if (!SafeFile::CreateIfMissing(path, &error))
            return ReportFailure(error);
        GridsToConfig();
        bool saved;
        {
            TWaitScope wait(this);
            wait.pause(1000);
            saved = SaveConfigFile(path, Config, &error);
        }
        if (!saved)
            return ReportFailure(error);
        m_edits.setClean();
        m_editedCells.matchedAll();
        m_configFile = path;
        m_recovery->discard();
        ShowWhereWeAre();
        done = true;
    });
    return done;
}

void TFormMain::N8Click()
{
    TRunGuard guard(m_session);
    if (!guard.acquired() || !GsmFrame || !Set102Frame) // busy, or not started yet
        return;
    RunReported(this, [this] {
        const QString path = Prompts::instance().openFileName(this, kConfigFilter, kConfigSuffix);
        if (path.isEmpty())
            return;
        QString error;
        bool loaded;
        // Read aside first, once: a file that cannot be read asks nothing and
        // leaves Config, and so the grids, as they were.
        const auto read = std::make_unique<TConfig>();
        std::vector<MissingConfigKey> missing;
        {
            TWaitScope wait(this);
            wait.pause(1000);
            loaded = LoadConfigFile(path, *read, &error, nullptr, &missing);
        }
        if (!loaded)
            return ReportFailure(error);
        if (!AcceptMissingKeys(path, int(missing.size())) || !m_editedCells.confirmConfigFile(this))
            return;
        // The file holds the pages' tables; the scanner's settings stay the window's.
        Config.Gsm = std::move(read->Gsm);
        Config.Cfg102 = std::move(read->Cfg102);
        // One step: undone, every grid is as before the load, and so are the
        // file's name and what the grids matched.
        m_edits.record(
            AllGrids(), u"Загрузка конфигурации"_s, [this] { ConfigToGrids(); }, KeepDocumentForHistory());
        m_edits.setClean();
        m_editedCells.matchedAll();
        m_configFile = path;
        ShowWhereWeAre();
    });
}

bool TFormMain::AcceptMissingKeys(const QString &path, int missing)
{
    // A file cut short, or no configuration at all, would blank the tables
    // it lacks: said before any cell changes. A name that is not there yet
    // loads the start values, as it always has.
    if (missing == 0 || !QFileInfo(path).isFile())
        return true;
    return Prompts::instance().question(
        this, u"В файле нет %1 параметров конфигурации. Загрузить всё равно?"_s.arg(missing));
}

void TFormMain::N2Click()
{
    close();
}

void TFormMain::N4Click()
{
    if (m_session.busy())
        return;
    TFormSett dialog(StructSett, ArrCom, m_channel, this);
    connect(&dialog, &TFormSett::linkChecked, this, &TFormMain::LinkChecked);
    dialog.setSearchLinks([folder = m_portsFolder] { return MakeSerialLink(folder); });
    if (dialog.exec() == QDialog::Accepted) {
        EnableMainMenu(true);
        // Kept at once: a program ended otherwise than by its window keeps them too.
        QString error;
        if (!SaveIniSettings(SettingsFile(u"ProgSett.ini"_s), StructSett, &error))
            m_status->note(u"Настройки связи не записаны в файл: "_s + error);
    }
    ShowWhereWeAre();
}

void TFormMain::ScannerClick()
{
    // The menu is there before the show step has made the scanner.
    if (m_scanner && !m_session.busy())
        m_scanner->ScannerClick();
}

void TFormMain::GoodsTabShown()
{
    if (m_scanner)
        m_scanner->GoodsTabShown();
}

void TFormMain::HookedTabShown()
{
    if (m_scanner)
        m_scanner->HookedTabShown();
}

void TFormMain::GSM1Click()
{
    if (m_session.busy())
        return;
    ShowFrame(GsmFrame);
}

void TFormMain::N1021Click()
{
    if (m_session.busy())
        return;
    ShowFrame(Set102Frame);
}

void TFormMain::N6Click()
{
    TFormVersion box(Version, this);
    box.exec();
}

void TFormMain::ActionDebugExecute()
{
    m_frmDebugKKM->show();
    m_frmDebugKKM->raise();
}
