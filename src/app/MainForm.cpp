#include "app/MainForm.h"

#include "app/ScannerControl.h"
#include "app/SettForm.h"
#include "app/VersionForm.h"
#include "app/pages/GsmSettingFrame.h"
#include "app/pages/Set102Frame.h"
#include "app/service/UDebugKKT.h"
#include "app/service/UDebugScan.h"
#include "ui/Prompts.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

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
    , m_settingsFolder(settingsFolder.isEmpty() ? QCoreApplication::applicationDirPath() : settingsFolder)
    , m_portsFolder(portsFolder.isEmpty() ? PortsFolder() : portsFolder)
    , m_listPorts([folder = m_portsFolder](TArrayCom &list) { GetCOM_Loop(list, folder); })
    , m_link(m_portsFolder)
    , m_channel(m_link)
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
    setCentralWidget(Panel1);

    statusBar()->setObjectName(u"StatusBar1"_s);
    statusBar()->setFixedHeight(19);

    // Client area 978 x 599 below the menu; the outer limit 966 x 657 less a usual frame.
    resize(978, 599 + menuBar()->sizeHint().height());
    setMinimumSize(950, 618);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    // The service windows live hidden beside the main window from the start;
    // the exchange log records every exchange of the program's one channel.
    m_frmDebugKKM = new TfrmDebugKKM(this);
    m_frmDebugScan = new TfrmDebugScan(this);
    m_channel.setLogSink([log = m_frmDebugKKM](const TBufKKT &buf, bool isAnswer) { log->LogBufKKT(buf, isAnswer); });
}

TFormMain::~TFormMain() = default;

void TFormMain::CreateMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(u"MainMenu1"_s);

    QMenu *N1 = AddMenu(bar, u"N1"_s, u"Файл"_s);
    N7 = AddItem(N1, u"N7"_s, u"Сохранить конфигурацию"_s, this, &TFormMain::N7Click);
    N7->setEnabled(false);
    AddItem(N1, u"N8"_s, u"Загрузить конфигурацию"_s, this, &TFormMain::N8Click);
    N1->addSeparator()->setObjectName(u"N10"_s);
    AddItem(N1, u"N2"_s, u"Выход"_s, this, &TFormMain::N2Click);

    QMenu *N3 = AddMenu(bar, u"N3"_s, u"Настройки"_s);
    AddItem(N3, u"N4"_s, u"Связь с ККТ"_s, this, &TFormMain::N4Click);
    AddItem(N3, u"Scanner"_s, u"Сканер штрих-кода"_s, this, &TFormMain::ScannerClick);

    N5 = AddMenu(bar, u"N5"_s, u"Программирование"_s);
    AddItem(N5, u"GSM1"_s, u"Параметры GSM"_s, this, &TFormMain::GSM1Click);
    AddItem(N5, u"N1021"_s, u"Параметры 102"_s, this, &TFormMain::N1021Click);

    AddItem(bar, u"N6"_s, u"Версия"_s, this, &TFormMain::N6Click);

    ActionDebug = new QAction(this);
    ActionDebug->setObjectName(u"ActionDebug"_s);
    ActionDebug->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(ActionDebug, &QAction::triggered, this, &TFormMain::ActionDebugExecute);
    addAction(ActionDebug);
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
        FormShow();
    }
}

void TFormMain::FormShow()
{
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
    setWindowTitle(windowTitle() + u" (ver."_s + Version + u")"_s);

    ScanStartUp();
}

void TFormMain::CreateFrames()
{
    GsmFrame = new TFrameGsmSetting(Panel1);
    GsmFrame->setObjectName(u"GsmFrame"_s);
    GsmFrame->Init(m_session);
    Set102Frame = new TFrameSet102(Panel1);
    Set102Frame->setObjectName(u"Set102Frame"_s);
    Set102Frame->Init(m_session);
    for (QWidget *frame : { static_cast<QWidget *>(GsmFrame), static_cast<QWidget *>(Set102Frame) }) {
        frame->hide();
        static_cast<QGridLayout *>(Panel1->layout())->addWidget(frame, 0, 0);
    }
    CurrentVisibleFrame = nullptr;
}

void TFormMain::ScanStartUp()
{
    m_scanner = new TScannerControl(this, m_settingsFolder, m_portsFolder, m_frmDebugScan, StructSett);
    // TODO: hand the goods tab to the scanner once the page offers it, before ScanStartUp:
    //   TStringGrid *goods = Set102Frame->goodsView();
    //   auto *shape = static_cast<TShape *>(Set102Frame->scannerIndicator());
    //   m_scanner->setGoodsTab({ goods->grid(), [goods] { return goods->currentCol(); },
    //       [goods] { return goods->currentRow(); }, shape, [shape](const QColor &c) { shape->setBrushColor(c); },
    //       Set102Frame->scannerCaption(), Set102Frame->shtrihLabel(),
    //       [page = Set102Frame](bool on) { page->EnableKKTButtons(on); } });
    // and connect the page's goodsTabShown() / hookedTabShown() to GoodsTabShown() / HookedTabShown().
    m_scanner->ScanStartUp();
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    // A settings file that cannot be written keeps its previous content; nothing to tell.
    SaveIniSettings(SettingsFile(u"ProgSett.ini"_s), StructSett);
    event->accept();
}

void TFormMain::ShowFrame(QWidget *frame)
{
    if (!frame || frame == CurrentVisibleFrame)
        return;
    if (CurrentVisibleFrame)
        CurrentVisibleFrame->hide();
    CurrentVisibleFrame = frame;
    frame->show();
    N7->setEnabled(true);
    QCoreApplication::processEvents();
}

void TFormMain::EnableMainMenu(bool enable)
{
    N5->menuAction()->setEnabled(enable);
}

// Saving and loading whole configurations come with the configuration files.
void TFormMain::N7Click() { }

void TFormMain::N8Click() { }

void TFormMain::N2Click()
{
    close();
}

void TFormMain::N4Click()
{
    TFormSett dialog(StructSett, ArrCom, m_channel, this);
    if (dialog.exec() == QDialog::Accepted)
        EnableMainMenu(true);
}

void TFormMain::ScannerClick()
{
    // The menu is there before the show step has made the scanner.
    if (m_scanner)
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
    ShowFrame(GsmFrame);
}

void TFormMain::N1021Click()
{
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
