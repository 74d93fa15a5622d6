#include "GuiTest.h"
#include "ScriptedLink.h"
#include "ScriptedPrompts.h"
#include "TempFiles.h"

#include "app/MainForm.h"
#include "app/ScannerControl.h"
#include "app/StartHint.h"
#include "app/WaitForm.h"
#include "app/pages/GsmSettingFrame.h"
#include "app/pages/Set102Frame.h"
#include "app/service/LogView.h"
#include "app/service/UDebugKKT.h"
#include "app/service/UDebugScan.h"
#include "emulator/DeviceLink.h"
#include "emulator/KktDevice.h"
#include "pages/GridSet.h"
#include "scanner/ScanThread.h"
#include "ui/StringGrid.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <optional>
#include <stdexcept>

using namespace Qt::StringLiterals;
using Kind = Prompts::Kind;

namespace {
const QString kCaption = u"Программирование параметров GSM модуля."_s;
const QString kNoPort = u"ВНИМАНИЕ!\r\nНа ПК не обнаружено ни одного COM порта!\r\nСвязь с ККТ не будет установлена!"_s;
const QString kNoSettings = u"ВНИМАНИЕ!\r\nНе удалось прочитать файл настроек - ProgSett.ini!\r\n"
                            "Попробуйте запустить программу от имени Администратора!"_s;

void WriteFile(const QString &path, const QByteArray &content)
{
    if (!WriteBytes(path, content))
        qFatal("cannot write %s", qPrintable(path));
}

// A program folder of its own: settings/ and ports/ with two port entries,
// the only ports the forms made by form() see.
struct Folders
{
    Folders()
    {
        QDir(root.path()).mkpath(u"settings"_s);
        QDir(root.path()).mkpath(u"ports"_s);
        // Port entries lead to a character device; a plain file would not be listed.
        QFile::link(u"/dev/null"_s, ports() + u"/COM1"_s);
        QFile::link(u"/dev/null"_s, ports() + u"/COM2"_s);
    }
    QString settings() const { return root.filePath(u"settings"_s); }
    QString ports() const { return root.filePath(u"ports"_s); }
    QString progSett() const { return settings() + u"/ProgSett.ini"_s; }
    QString scanCfg() const { return settings() + u"/Scan.cfg"_s; }
    std::unique_ptr<TFormMain> form(const QString &settingsFolder = QString()) const
    {
        auto made = std::make_unique<TFormMain>(settingsFolder.isEmpty() ? settings() : settingsFolder, ports());
        made->setPortLister([folder = ports()](TArrayCom &list) { list = QDir(folder).entryList(QDir::Files); });
        return made;
    }

    QTemporaryDir root;
};

template <typename T> T *Child(const QObject *parent, const QString &name)
{
    T *object = parent->findChild<T *>(name);
    if (!object)
        qFatal("no %s", qPrintable(name));
    return object;
}

QAction *Action(const TFormMain &form, const QString &name)
{
    return Child<QAction>(&form, name);
}

bool ProgrammingEnabled(const TFormMain &form)
{
    return Action(form, u"N5"_s)->isEnabled();
}

// The version the caption names: the caption is the program's name followed by
// " (ver." + a dotted version + ")". Empty when the caption is not of that form.
QString CaptionVersion(const TFormMain &form)
{
    static const QRegularExpression pattern(
        u"^"_s + QRegularExpression::escape(kCaption) + uR"( \(ver\.(\d+(\.\d+)*)\)$)"_s);
    return pattern.match(form.windowTitle()).captured(1);
}

void Show(TFormMain &form)
{
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qFatal("main window not shown");
}

// Opens "Связь с ККТ", picks the first port (as a person would with the
// keyboard), runs act on the dialog, then presses the given button.
void RunSettingsDialog(TFormMain &form, const QString &button, const std::function<void(QWidget *)> &act = {})
{
    WhenModal([&](QWidget *dialog) {
        auto *port = Child<QComboBox>(dialog, u"ComboBox1"_s);
        port->setFocus();
        QTest::keyClick(port, Qt::Key_Home);
        if (act)
            act(dialog);
        QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);
    });
    Action(form, u"N4"_s)->trigger();
}
// "Проверить связь с ККТ" against a register that answers, then "Отмена".
void CheckLinkThatAnswers(TFormMain &form, ScriptedLink &link, ScriptedPrompts &prompts)
{
    link.answers << MakeAnswer(31, 0);
    form.channel().setLink(link);
    prompts.expect(Kind::Information);
    RunSettingsDialog(form, u"Button1"_s,
        [](QWidget *dialog) { QTest::mouseClick(Child<QPushButton>(dialog, u"Button3"_s), Qt::LeftButton); });
}

// A main window over folders of its own, shown.
struct Started
{
    Started() { Show(form); }
    Folders folders;
    const std::unique_ptr<TFormMain> made = folders.form();
    TFormMain &form = *made;
};
} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void firstStartInEmptyFolder();
    void settingsFolderThatCannotBeCreated();
    void noPortFound();
    void scannerSettingsRead();
    void scannerMenuItem();
    void menu_data();
    void menu();
    void pagesShowOneAtATime();
    void connectionSettings_data();
    void connectionSettings();
    void closingWritesSettings();
    void linkCheckIsLogged();
    void errorReportShowsDescription();
    void errorEscapingEventHandlerIsShownAndProgramRuns_data();
    void errorEscapingEventHandlerIsShownAndProgramRuns();
    void versionBox();
    void waitBoxFreesItself();
    void configurationSavedLoadsBackIntoEveryCell();
    void configurationFromMissingFileGivesDefaults();
    void configurationDialogCancelled_data();
    void configurationDialogCancelled();
    void configurationLoadFailureKeepsGrids();
    void configurationLackingKeysIsAskedAbout_data();
    void configurationLackingKeysIsAskedAbout();
    void configurationSaveFailureKeepsPreviousFile_data();
    void configurationSaveFailureKeepsPreviousFile();
    void commandsWaitWhileRunGoes();
    void statusBarAndHintSayWhereWeAre();
    void menusHaveKeyboardLetters();
    void fieldsAreNamedByTheirLabels();
    void logToFileFromTheMenu();
    void workbookImportFromTheFileMenu();
    void windowAndColumnsRemembered();

private:
    std::unique_ptr<ScriptedPrompts> prompts;
};

void TestMainForm::init()
{
    prompts = std::make_unique<ScriptedPrompts>();
}

void TestMainForm::cleanup()
{
    const QString verdict = prompts->verdict();
    prompts.reset();
    QVERIFY2(verdict.isEmpty(), qPrintable(verdict));
}

void TestMainForm::firstStartInEmptyFolder()
{
    Folders folders;
    // The real port discovery: the system's ports and the entries of the ports folder.
    TFormMain form(folders.settings(), folders.ports());
    Show(form);

    QVERIFY(QFile::exists(folders.progSett()));
    QVERIFY(QFile::exists(folders.scanCfg()));
    QCOMPARE(ReadBytes(folders.scanCfg()), QByteArray());
    QCOMPARE(form.StructSett.PortSett.Name, QString());
    QCOMPARE(form.StructSett.PortSett.Speed, 19200u);
    QCOMPARE(form.StructSett.PortSett.TimeOut, 3500u);
    QCOMPARE(form.StructSett.NumKKT, 0);
    QVERIFY(form.ArrCom.contains(u"COM1"_s) && form.ArrCom.contains(u"COM2"_s));
    QVERIFY(!ProgrammingEnabled(form));
    QVERIFY(!Action(form, u"N7"_s)->isEnabled());
    QVERIFY(form.GsmFrame && form.Set102Frame);
    QVERIFY(!form.GsmFrame->isVisible() && !form.Set102Frame->isVisible());
    QCOMPARE(form.CurrentVisibleFrame, nullptr);
    const QString version = CaptionVersion(form);
    QVERIFY2(!version.isEmpty(), qPrintable(form.windowTitle()));
    QCOMPARE(form.Version, version);
    // No model in the fresh Scan.cfg: the reader exists, paused, and nothing shows it.
    QVERIFY(form.scanner() && form.scanner()->flagScan);
    QCOMPARE(form.scanner()->model_scan, QString());
    QVERIFY(form.scanner()->st()->Suspended());
    QVERIFY(form.frmDebugKKM() && !form.frmDebugKKM()->isVisible());
    QVERIFY(form.frmDebugScan() && !form.frmDebugScan()->isVisible());
}

void TestMainForm::settingsFolderThatCannotBeCreated()
{
    // Tests run as root, whom a read-only folder does not stop; a folder below
    // a plain file can be created by nobody.
    Folders folders;
    const QString blocker = folders.root.filePath(u"blocker"_s);
    WriteFile(blocker, "not a folder");
    prompts->expect(Kind::Information);
    const auto made = folders.form(blocker + u"/settings"_s);
    TFormMain &form = *made;
    form.show();
    QCOMPARE(prompts->messages.constFirst().text, kNoSettings);
    // Start-up runs to its end, then the window closes and the program ends.
    QVERIFY(form.Set102Frame);
    QVERIFY(form.windowTitle().endsWith(u")"_s));
    QTRY_VERIFY(!form.isVisible());
    QCOMPARE(ReadBytes(blocker), QByteArray("not a folder"));
}

void TestMainForm::noPortFound()
{
    Folders folders;
    QDir(folders.ports()).removeRecursively();
    prompts->expect(Kind::Information);
    const auto made = folders.form();
    TFormMain &form = *made;
    Show(form);
    QCOMPARE(prompts->messages.constFirst().text, kNoPort);
    QVERIFY(form.ArrCom.isEmpty());
    QVERIFY(!ProgrammingEnabled(form));

    // The settings dialog still opens the menu, with an empty port name.
    WhenModal([](QWidget *dialog) {
        auto *speed = Child<QComboBox>(dialog, u"ComboBox2"_s);
        QCOMPARE(Child<QComboBox>(dialog, u"ComboBox1"_s)->count(), 0);
        QTest::keyClick(speed, Qt::Key_Down);
        QTest::mouseClick(Child<QPushButton>(dialog, u"Button2"_s), Qt::LeftButton);
    });
    Action(form, u"N4"_s)->trigger();
    QVERIFY(ProgrammingEnabled(form));
    QCOMPARE(form.StructSett.PortSett.Name, QString());
}

void TestMainForm::scannerSettingsRead()
{
    Folders folders;
    WriteFile(folders.scanCfg(),
        "[CURRENT]\r\nModelName=\x7f"
        "Bee2 (RS-232)\x7f\r\nComPort=\x7f COM4\x7f\r\nSpeedPort=9600\r\n");
    const auto made = folders.form();
    TFormMain &form = *made;
    Show(form);
    QCOMPARE(form.scanner()->model_scan, u"Bee2 (RS-232)"_s);
    QCOMPARE(form.scanner()->com_scan, u" COM4"_s);
    QCOMPARE(form.scanner()->speed_scan, u"9600"_s);
}

void TestMainForm::scannerMenuItem()
{
    Started started;
    WhenModal([](QWidget *dialog) {
        QCOMPARE(dialog->windowTitle(), u"Настройки сканера штрих-кода"_s);
        auto *model = Child<QComboBox>(dialog, u"ComboBox1"_s);
        QTest::keyClick(model, Qt::Key_Down);
        QCOMPARE(model->currentText(), u"Bee2 (RS-232)"_s);
        auto *panel = Child<QWidget>(dialog, u"Bee2_RS232"_s);
        auto *port = Child<QComboBox>(panel, u"ComboBox1"_s);
        // The program's port list: the entries of its ports folder among them.
        QVERIFY(port->findText(u"COM1"_s) >= 0 && port->findText(u"COM2"_s) >= 0);
        port->setCurrentIndex(port->findText(u"COM2"_s) - 1);
        QTest::keyClick(port, Qt::Key_Down);
        QTest::keyClick(Child<QComboBox>(panel, u"ComboBox2"_s), Qt::Key_Down);
        QTest::mouseClick(Child<QPushButton>(dialog, u"Button2"_s), Qt::LeftButton);
    });
    Action(started.form, u"Scanner"_s)->trigger();
    QCOMPARE(ReadBytes(started.folders.scanCfg()),
        QByteArray("[CURRENT]\r\nModelName=Bee2 (RS-232)\r\nComPort=COM2\r\nSpeedPort=600\r\n\r\n"));
    const TScannerControl &scanner = *started.form.scanner();
    QCOMPARE(scanner.com_scan, u"COM2"_s);
    QCOMPARE(scanner.speed_scan, u"600"_s);
    // COM2 here is a plain file, no port: the reader stays stopped.
    QVERIFY(scanner.st()->Suspended());
}

void TestMainForm::menu_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("N1") << u"N1"_s << u"MainMenu1"_s << u"Файл"_s << true;
    QTest::newRow("N7") << u"N7"_s << u"N1"_s << u"Сохранить конфигурацию"_s << false;
    QTest::newRow("N8") << u"N8"_s << u"N1"_s << u"Загрузить конфигурацию"_s << true;
    QTest::newRow("N10") << u"N10"_s << u"N1"_s << QString() << true;
    QTest::newRow("N2") << u"N2"_s << u"N1"_s << u"Выход"_s << true;
    QTest::newRow("N3") << u"N3"_s << u"MainMenu1"_s << u"Настройки"_s << true;
    QTest::newRow("N4") << u"N4"_s << u"N3"_s << u"Связь с ККТ"_s << true;
    QTest::newRow("Scanner") << u"Scanner"_s << u"N3"_s << u"Сканер штрих-кода"_s << true;
    QTest::newRow("N5") << u"N5"_s << u"MainMenu1"_s << u"Программирование"_s << false;
    QTest::newRow("GSM1") << u"GSM1"_s << u"N5"_s << u"Параметры GSM"_s << true;
    QTest::newRow("N1021") << u"N1021"_s << u"N5"_s << u"Параметры 102"_s << true;
    QTest::newRow("N6") << u"N6"_s << u"MainMenu1"_s << u"Версия"_s << true;
    QTest::newRow("exchange log") << u"ActionDebug"_s << u"ServiceMenu"_s << u"Журнал обмена"_s << true;
    QTest::newRow("save the log") << u"ActionSaveLog"_s << u"ServiceMenu"_s << u"Сохранить журнал…"_s << true;
    QTest::newRow("log to a file") << u"ActionLogToFile"_s << u"ServiceMenu"_s << u"Записывать журнал в файл…"_s
                                   << true;
    QTest::newRow("workbook import") << u"ActionImportXls"_s << u"N1"_s
                                     << u"Загрузить базу товаров из 1С (формат *.xls)…"_s << true;
    QTest::newRow("help") << u"HelpMenu"_s << u"MainMenu1"_s << u"Справка"_s << true;
    QTest::newRow("guide") << u"ActionGuide"_s << u"HelpMenu"_s << u"Руководство"_s << true;
}

void TestMainForm::menu()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QString, caption);
    QFETCH(bool, enabled);
    Started started;
    TFormMain &form = started.form;
    QAction *item = Action(form, name);
    // The caption with its keyboard letter.
    QCOMPARE(item->text().remove(u'&'), caption);
    QCOMPARE(item->isEnabled(), enabled);
    QCOMPARE(item->isSeparator(), caption.isEmpty());
    // The item sits in its menu, in the order of the list above.
    QWidget *owner = Child<QWidget>(&form, parent);
    QVERIFY(owner->actions().contains(item));
    const QStringList order { u"N7"_s, u"N8"_s, u"ActionImportXls"_s, u"N10"_s, u"N2"_s };
    if (parent == u"N1"_s)
        QCOMPARE(owner->actions().indexOf(item), order.indexOf(name));
}

void TestMainForm::pagesShowOneAtATime()
{
    Started started;
    TFormMain &form = started.form;
    Action(form, u"GSM1"_s)->trigger();
    QCOMPARE(form.CurrentVisibleFrame, form.GsmFrame);
    QVERIFY(form.GsmFrame->isVisible() && !form.Set102Frame->isVisible());
    QVERIFY(Action(form, u"N7"_s)->isEnabled());
    Action(form, u"GSM1"_s)->trigger();
    QCOMPARE(form.CurrentVisibleFrame, form.GsmFrame);
    QVERIFY(form.GsmFrame->isVisible());
    Action(form, u"N1021"_s)->trigger();
    QCOMPARE(form.CurrentVisibleFrame, form.Set102Frame);
    QVERIFY(!form.GsmFrame->isVisible() && form.Set102Frame->isVisible());
    QVERIFY(Action(form, u"N7"_s)->isEnabled());
    // The page fills the panel.
    QCOMPARE(form.Set102Frame->parentWidget()->objectName(), u"Panel1"_s);
    QVERIFY(form.Set102Frame->width() > form.Set102Frame->parentWidget()->width() - 8);
}

void TestMainForm::connectionSettings_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("programming");
    QTest::addColumn<QString>("portName");
    QTest::newRow("Применить") << u"Button2"_s << true << u"COM1"_s;
    QTest::newRow("Отмена") << u"Button1"_s << false << QString();
}

void TestMainForm::connectionSettings()
{
    QFETCH(QString, button);
    QFETCH(bool, programming);
    QFETCH(QString, portName);
    Started started;
    TFormMain &form = started.form;
    RunSettingsDialog(form, button);
    QCOMPARE(ProgrammingEnabled(form), programming);
    QCOMPARE(form.StructSett.PortSett.Name, portName);
    // The menu never closes again; a later cancel changes nothing.
    RunSettingsDialog(form, u"Button1"_s);
    QCOMPARE(ProgrammingEnabled(form), programming);
}

void TestMainForm::closingWritesSettings()
{
    Folders folders;
    {
        const auto made = folders.form();
        TFormMain &form = *made;
        Show(form);
        QCOMPARE(ReadBytes(folders.progSett()), QByteArray());
        Action(form, u"N2"_s)->trigger();
        QVERIFY(!form.isVisible());
    }
    // Written even though nothing changed.
    QVERIFY(ReadBytes(folders.progSett()).contains("Speed=19200"));

    {
        const auto made = folders.form();
        TFormMain &form = *made;
        Show(form);
        RunSettingsDialog(form, u"Button2"_s, [](QWidget *dialog) {
            auto *number = Child<QLineEdit>(dialog, u"Edit2"_s);
            number->selectAll();
            TypeText(number, u"42"_s);
        });
        form.close();
    }
    TStructSetting stored;
    QVERIFY(LoadIniSettings(folders.progSett(), stored));
    QCOMPARE(stored.PortSett.Name, u"COM1"_s);
    QCOMPARE(stored.NumKKT, 42);
}

void TestMainForm::linkCheckIsLogged()
{
    Started started;
    TFormMain &form = started.form;
    ScriptedLink link;
    CheckLinkThatAnswers(form, link, *prompts);
    QCOMPARE(prompts->messages.constFirst().text, u"Связь с ККТ установленна!"_s);
    QCOMPARE(link.openedName, u"COM1"_s);

    // Recorded while hidden; Ctrl+A shows it, even from an editor of a page.
    TfrmDebugKKM *log = form.frmDebugKKM();
    QVERIFY(!log->isVisible());
    Action(form, u"GSM1"_s)->trigger();
    auto *editor = new QLineEdit(u"text"_s, form.GsmFrame);
    editor->show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(log->isVisible());
    QVERIFY(!editor->hasSelectedText());

    QString answerDump = u"00-17H;  01-02H;  02-00H;  03-00H;  "_s;
    for (int i = 4; i < 28; ++i)
        answerDump += u"%1-00H;  "_s.arg(i, 2, 10, QLatin1Char('0'));
    answerDump += u"28-19H;  29-32H;  30-00H;  "_s;
    QStringList lines = log->richEdit()->toPlainText().split(u'\n');
    // The first line says where the program keeps its files.
    const QString where = lines.takeFirst();
    QVERIFY2(where.startsWith(u" Файлы программы:"_s)
            && where.contains(QDir::toNativeSeparators(started.folders.settings())),
        qPrintable(where));
    QCOMPARE(lines,
        (QStringList { u" Запрос: "_s,
            u"00-17H;  01-02H;  02-00H;  03-00H;  04-00H;  05-00H;  06-75H;  07-0BH;  08-19H;  "
            "09-B2H;  10-00H;  "_s,
            u" Ответ: "_s, answerDump, QString() }));
    QCOMPARE(log->richEdit()->lineColour(2), QColor(255, 0, 0));
    QCOMPARE(log->richEdit()->lineColour(4), QColor(0, 128, 0));

    // "Очистить", then the next exchange starts at the top.
    QTest::mouseClick(Child<QPushButton>(log, u"btnClear"_s), Qt::LeftButton);
    CheckLinkThatAnswers(form, link, *prompts);
    QVERIFY(log->richEdit()->toPlainText().startsWith(u" Запрос: \n00-17H;"_s));
}

void TestMainForm::errorReportShowsDescription()
{
    prompts->expect(Kind::Error);
    KktApplication::ShowException(std::runtime_error("Сбой команды"));
    QCOMPARE(prompts->messages.size(), 1);
    QCOMPARE(prompts->messages.constFirst().kind, Kind::Error);
    QCOMPARE(prompts->messages.constFirst().text, u"Сбой команды"_s);
}

namespace {
// An object whose event handler fails the way a careless command would.
class FailingHandler : public QObject
{
public:
    explicit FailingHandler(bool standardError)
        : m_standardError(standardError)
    { }
    int events = 0;

protected:
    void customEvent(QEvent *) override
    {
        ++events;
        if (m_standardError)
            throw std::runtime_error("Сбой команды");
        throw 42;
    }

private:
    bool m_standardError;
};
} // namespace

void TestMainForm::errorEscapingEventHandlerIsShownAndProgramRuns_data()
{
    QTest::addColumn<bool>("standardError");
    QTest::addColumn<QString>("message");
    QTest::newRow("error with a description") << true << u"Сбой команды"_s;
    QTest::newRow("anything else thrown") << false << u"Неизвестная ошибка."_s;
}

void TestMainForm::errorEscapingEventHandlerIsShownAndProgramRuns()
{
    QFETCH(bool, standardError);
    QFETCH(QString, message);
    FailingHandler handler(standardError);
    prompts->expect(Kind::Error).expect(Kind::Error);
    QEvent first(QEvent::User);
    QVERIFY(QCoreApplication::sendEvent(&handler, &first));
    // The program runs on: the next event is delivered and reported alike.
    QCoreApplication::postEvent(&handler, new QEvent(QEvent::User));
    QTRY_COMPARE(handler.events, 2);
    QCOMPARE(prompts->messages.size(), 2);
    QCOMPARE(prompts->messages.constFirst().text, message);
    QCOMPARE(prompts->messages.constLast().text, message);
}

void TestMainForm::versionBox()
{
    Started started;
    TFormMain &form = started.form;
    const QString version = CaptionVersion(form);
    QVERIFY2(!version.isEmpty(), qPrintable(form.windowTitle()));
    bool checked = false;
    WhenModal([&](QWidget *box) {
        QCOMPARE(box->size(), QSize(304, 158));
        QVERIFY(box->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(Child<QLabel>(box, u"Label2"_s)->text(), version);
        QVERIFY(!Child<QLabel>(box, u"Image1"_s)->pixmap().isNull());
        QTest::mouseClick(Child<QLabel>(box, u"Panel3"_s), Qt::LeftButton);
        QVERIFY(!box->isVisible());
        checked = true;
    });
    Action(form, u"N6"_s)->trigger();
    QVERIFY(checked);
}

void TestMainForm::waitBoxFreesItself()
{
    Started started;
    QPointer<TFormWait> box = new TFormWait(&started.form);
    box->ShowNow();
    QVERIFY(box->isVisible());
    QCOMPARE(box->size(), QSize(312, 56));
    QVERIFY(box->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(Child<QLabel>(box, u"Label2"_s)->text(), u"Выполняется длинная операция...."_s);
    box->close();
    QTRY_VERIFY(box.isNull());
}

namespace {
const QString kConfigFilter = u"Байлы конфигурации (*.conf)|*.conf"_s;
// The code column behind the VAT list of the item-kind groups: never in a file.
constexpr int kUslCodeCol = 6;

StringGridModel &Grid(TFormMain &form, TableKind kind)
{
    return kind == TableKind::Gsm ? form.GsmFrame->grid() : form.Set102Frame->grid(kind);
}

// Every cell of every grid of both pages, grid by grid, row by row.
QStringList AllCells(TFormMain &form)
{
    QStringList cells;
    for (int k = 0; k < GridSet::kCount; ++k) {
        const StringGridModel &grid = Grid(form, TableKind(k));
        for (int row = 0; row < grid.rows(); ++row)
            for (int col = 0; col < grid.cols(); ++col)
                cells << grid.cell(row, col);
    }
    return cells;
}

// Gives every data cell a text of its own, with blanks at the ends and the
// characters an INI file is touchy about.
void FillEveryCell(TFormMain &form)
{
    for (int k = 0; k < GridSet::kCount; ++k) {
        StringGridModel &grid = Grid(form, TableKind(k));
        GridBulkUpdate bulk(grid);
        for (int row = 1; row < grid.rows(); ++row)
            for (int col = 1; col < grid.cols(); ++col)
                if (TableKind(k) != TableKind::Usl || col != kUslCodeCol)
                    grid.setCell(row, col, u" %1/%2/%3 = [Ячейка];"_s.arg(k).arg(row).arg(col));
    }
}

// No wait box left, the normal cursor back.
void CheckWaitUndone(TFormMain &form)
{
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QTRY_VERIFY(form.findChildren<TFormWait *>().isEmpty());
}
} // namespace

void TestMainForm::configurationSavedLoadsBackIntoEveryCell()
{
    Started saving;
    Action(saving.form, u"N1021"_s)->trigger();
    FillEveryCell(saving.form);
    const QString path = saving.folders.root.filePath(u"saved.conf"_s);
    prompts->answerFile(Kind::SaveFile, path);
    QElapsedTimer timer;
    timer.start();
    Action(saving.form, u"N7"_s)->trigger();
    QVERIFY(timer.elapsed() >= 1000);
    QCOMPARE(prompts->messages.constFirst().text, kConfigFilter);
    QCOMPARE(prompts->messages.constFirst().defaultSuffix, u"conf"_s);
    CheckWaitUndone(saving.form);
    QVERIFY(ReadBytes(path).startsWith("[GSM]"));

    // A fresh window, as after the next start of the program.
    Started loading;
    loading.form.Config.Scan.ComPort = u"COM7"_s; // the scanner's, which no configuration file holds
    prompts->answerFile(Kind::OpenFile, path);
    Action(loading.form, u"N8"_s)->trigger();
    QCOMPARE(loading.form.Config.Scan.ComPort, u"COM7"_s);
    CheckWaitUndone(loading.form);
    QCOMPARE(prompts->messages.constLast().text, kConfigFilter);
    QCOMPARE(prompts->messages.constLast().defaultSuffix, u"conf"_s);
    QCOMPARE(AllCells(loading.form), AllCells(saving.form));
    QCOMPARE(loading.form.Config.Cfg102.PredmRasch[5999].Price, u" 2/6000/4 = [Ячейка];"_s);
}

void TestMainForm::configurationFromMissingFileGivesDefaults()
{
    Started started;
    FillEveryCell(started.form);
    prompts->answerFile(Kind::OpenFile, started.folders.root.filePath(u"missing.conf"_s));
    prompts->answerQuestion(true); // the filled cells go
    Action(started.form, u"N8"_s)->trigger();
    CheckWaitUndone(started.form);
    QCOMPARE(started.form.GsmFrame->grid().cell(2, 1), QString());
    StringGridModel &oper = Grid(started.form, TableKind::Oper);
    QCOMPARE(oper.cell(6, 1), QString());
    QCOMPARE(oper.cell(6, 2), u"Узкий"_s);
    // A list cell becomes empty, not the page's start value.
    QCOMPARE(Grid(started.form, TableKind::Usl).cell(1, 5), QString());
    QVERIFY(!QFile::exists(started.folders.root.filePath(u"missing.conf"_s)));
}

void TestMainForm::configurationDialogCancelled_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<Kind>("dialog");
    QTest::newRow("save") << u"N7"_s << Kind::SaveFile;
    QTest::newRow("load") << u"N8"_s << Kind::OpenFile;
}

void TestMainForm::configurationDialogCancelled()
{
    QFETCH(QString, command);
    QFETCH(Kind, dialog);
    Started started;
    Action(started.form, u"GSM1"_s)->trigger();
    FillEveryCell(started.form);
    const QStringList before = AllCells(started.form);
    prompts->answerFile(dialog, QString());
    Action(started.form, command)->trigger();
    QCOMPARE(prompts->messages.size(), 1);
    QCOMPARE(AllCells(started.form), before);
    QVERIFY(started.form.findChildren<TFormWait *>().isEmpty());
    QCOMPARE(QDir(started.folders.root.path()).entryList(QDir::Files), QStringList());
}

void TestMainForm::configurationLackingKeysIsAskedAbout_data()
{
    QTest::addColumn<bool>("truncated"); // else: a workbook under a .conf name
    QTest::addColumn<bool>("loadAnyway");
    QTest::newRow("cut short, Нет") << true << false;
    QTest::newRow("cut short, Да") << true << true;
    QTest::newRow("no configuration, Нет") << false << false;
}

// A file that would blank tables it lacks is named before any cell changes.
void TestMainForm::configurationLackingKeysIsAskedAbout()
{
    QFETCH(bool, truncated);
    QFETCH(bool, loadAnyway);
    Started started;
    Action(started.form, u"N1021"_s)->trigger(); // saving needs a page shown
    FillEveryCell(started.form);
    const QStringList before = AllCells(started.form);
    const QString path = started.folders.root.filePath(u"other.conf"_s);
    prompts->answerFile(Kind::SaveFile, path);
    Action(started.form, u"N7"_s)->trigger();
    QByteArray content = ReadBytes(path);
    QVERIFY(content.size() > 300 * 1024);
    content
        = truncated ? content.left(300 * 1024) : QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + content.right(64);
    WriteFile(path, content);

    prompts->reset();
    prompts->answerFile(Kind::OpenFile, path).answerQuestion(loadAnyway);
    Action(started.form, u"N8"_s)->trigger();
    QCOMPARE(prompts->messages.size(), 2);
    QVERIFY2(QRegularExpression(u"^В файле нет \\d+ параметров конфигурации\\. Загрузить всё равно\\?$"_s)
                 .match(prompts->messages.last().text)
                 .hasMatch(),
        qPrintable(prompts->messages.last().text));
    const QStringList after = AllCells(started.form);
    if (!loadAnyway) {
        QCOMPARE(after, before);
        return;
    }
    // Loaded: what the file has is there, what it lacks is empty.
    QCOMPARE(after.first(), before.first());
    QVERIFY(after != before);
}

void TestMainForm::configurationLoadFailureKeepsGrids()
{
    Started started;
    FillEveryCell(started.form);
    const QStringList before = AllCells(started.form);
    // A folder where the file should be: it cannot be read as one.
    const QString path = started.folders.root.filePath(u"folder.conf"_s);
    QVERIFY(QDir(started.folders.root.path()).mkdir(u"folder.conf"_s));
    prompts->answerFile(Kind::OpenFile, path).expect(Kind::Error);
    Action(started.form, u"N8"_s)->trigger();
    QCOMPARE(prompts->messages.size(), 2);
    QCOMPARE(prompts->messages.constLast().kind, Kind::Error);
    QVERIFY2(prompts->messages.constLast().text.startsWith(u"Не удалось открыть файл \""_s + path),
        qPrintable(prompts->messages.constLast().text));
    CheckWaitUndone(started.form);
    QCOMPARE(AllCells(started.form), before);
    // The window works on: the next load goes through.
    prompts->answerFile(Kind::OpenFile, started.folders.root.filePath(u"missing.conf"_s)).answerQuestion(true);
    Action(started.form, u"N8"_s)->trigger();
    QCOMPARE(started.form.GsmFrame->grid().cell(1, 1), QString());
}

void TestMainForm::configurationSaveFailureKeepsPreviousFile_data()
{
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<QString>("message");
    QTest::newRow("file cannot be made") << false << u"Не удалось создать файл"_s;
    QTest::newRow("disk full") << true << u"Не удалось записать файл"_s;
}

void TestMainForm::configurationSaveFailureKeepsPreviousFile()
{
    QFETCH(bool, diskFull);
    QFETCH(QString, message);
    if (diskFull && !FileSizeLimit::supported())
        QSKIP("no file size limit on this system");
    Started started;
    Action(started.form, u"GSM1"_s)->trigger();
    FillEveryCell(started.form);
    // A configuration that is there already, or a folder that cannot be.
    const QByteArray previous = "[GSM]\r\nIP сервера ОФД=\x7f"
                                "10.0.0.1\x7f\r\n";
    const QString path = diskFull ? started.folders.root.filePath(u"previous.conf"_s)
                                  : started.folders.root.filePath(u"no-such-folder/new.conf"_s);
    if (diskFull)
        WriteFile(path, previous);
    prompts->answerFile(Kind::SaveFile, path).expect(Kind::Error);
    {
        std::optional<FileSizeLimit> limit;
        if (diskFull)
            limit.emplace(64 * 1024); // the disk fills up in the middle of the save
        Action(started.form, u"N7"_s)->trigger();
    }
    QVERIFY2(prompts->messages.constLast().text.startsWith(message), qPrintable(prompts->messages.constLast().text));
    CheckWaitUndone(started.form);
    QCOMPARE(ReadBytes(path), diskFull ? previous : QByteArray());
    QCOMPARE(QFile::exists(path), diskFull);
}

void TestMainForm::commandsWaitWhileRunGoes()
{
    Started started;
    TFormMain &form = started.form;
    RunSettingsDialog(form, u"Button2"_s);
    KktDevice device;
    DeviceLink link(device);
    link.setReadPauseMs(20); // the line still at work when the clicks come
    form.channel().setLink(link);
    Action(form, u"GSM1"_s)->trigger();
    const QStringList commands { u"N7"_s, u"N8"_s, u"N4"_s, u"Scanner"_s, u"GSM1"_s, u"N1021"_s };
    bool checked = false;
    // A person's clicks while a GSM write goes.
    auto *bar = Child<QProgressBar>(form.GsmFrame, u"ProgressBar1"_s);
    QObject::connect(bar, &QProgressBar::valueChanged, &form, [&](int value) {
        if (value != 29)
            return;
        for (const QString &name : commands) {
            QVERIFY2(!Action(form, name)->isEnabled(), qPrintable(name));
            Action(form, name)->trigger();
        }
        // Called straight, as a click queued before the run would come: each
        // returns at once, with no dialog (an unexpected one fails the test).
        form.N7Click();
        form.N8Click();
        form.N4Click();
        form.ScannerClick();
        form.N1021Click();
        form.Set102Frame->Button4Click();
        QCOMPARE(form.CurrentVisibleFrame, form.GsmFrame);
        // Closing is refused while the run holds the port and the grids, in
        // the status bar: no box to close, nothing held.
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        QCOMPARE(Child<QLabel>(&form, u"StatusNote"_s)->text(),
            u"Идёт обмен с ККТ! Закройте программу после его окончания."_s);
        QVERIFY(form.session().busy());
        checked = true;
    });
    QTest::mouseClick(Child<QPushButton>(form.GsmFrame, u"Button3"_s), Qt::LeftButton);
    QVERIFY(checked);
    QCOMPARE(link.writes(), 9); // the one run: seven parameters, the server name in three parts
    for (const QString &name : commands)
        QVERIFY2(Action(form, name)->isEnabled(), qPrintable(name));
    Action(form, u"N1021"_s)->trigger();
    QCOMPARE(form.CurrentVisibleFrame, form.Set102Frame);
    QVERIFY(form.close());
}

namespace {
QString StatusText(const TFormMain &form, const QString &name)
{
    return Child<QLabel>(&form, name)->text();
}
} // namespace

void TestMainForm::statusBarAndHintSayWhereWeAre()
{
    Started started;
    TFormMain &form = started.form;
    // A first start: no port, nothing checked, no file; the empty window says what to do.
    QCOMPARE(StatusText(form, u"StatusPort"_s), u"Порт ККТ не выбран"_s);
    QCOMPARE(StatusText(form, u"StatusLink"_s), u"Связь не проверена"_s);
    QCOMPARE(StatusText(form, u"StatusFile"_s), u"Конфигурация не загружена"_s);
    TStartHint *hint = form.startHint();
    QVERIFY(hint->isVisible());
    QVERIFY2(hint->text().contains(u"«Связь с ККТ»"_s), qPrintable(hint->text()));

    // The hint's button opens "Связь с ККТ"; a link check there and "Применить".
    ScriptedLink link;
    link.answers << MakeAnswer(31, 0);
    form.channel().setLink(link);
    prompts->expect(Kind::Information);
    QString title;
    WhenModal([&](QWidget *dialog) {
        title = dialog->windowTitle();
        auto *port = Child<QComboBox>(dialog, u"ComboBox1"_s);
        port->setFocus();
        QTest::keyClick(port, Qt::Key_End); // COM2
        QTest::mouseClick(Child<QPushButton>(dialog, u"Button3"_s), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(dialog, u"Button2"_s), Qt::LeftButton);
    });
    QTest::mouseClick(Child<QPushButton>(hint, u"StartHintButton"_s), Qt::LeftButton);
    QCOMPARE(title, u"Настройки связи с ККТ"_s);
    QCOMPARE(StatusText(form, u"StatusPort"_s), u"Порт COM2, 19200 бод, ККТ № 0"_s);
    const QString up = StatusText(form, u"StatusLink"_s);
    QVERIFY2(QRegularExpression(u"^Связь есть \\(\\d\\d:\\d\\d\\)$"_s).match(up).hasMatch(), qPrintable(up));
    // The next step, with its buttons.
    QVERIFY2(hint->text().contains(u"«Программирование» → «Параметры 102» или «Параметры GSM», чтобы прочитать или "
                                   u"записать параметры ККТ."_s),
        qPrintable(hint->text()));
    QVERIFY(!Child<QPushButton>(hint, u"StartHintButton"_s)->isVisible());
    QVERIFY(Child<QPushButton>(hint, u"StartHintSet102"_s)->isVisible());

    // A failed check of the values in force says so (the register is silent now).
    prompts->expect(Kind::Warning);
    RunSettingsDialog(form, u"Button1"_s, [](QWidget *dialog) {
        auto *port = Child<QComboBox>(dialog, u"ComboBox1"_s);
        QTest::keyClick(port, Qt::Key_End); // COM2, as applied
        QTest::mouseClick(Child<QPushButton>(dialog, u"Button3"_s), Qt::LeftButton);
    });
    QVERIFY2(
        StatusText(form, u"StatusLink"_s).startsWith(u"Нет связи ("_s), qPrintable(StatusText(form, u"StatusLink"_s)));
    // Other settings applied: nothing is known of them.
    RunSettingsDialog(form, u"Button2"_s);
    QCOMPARE(StatusText(form, u"StatusPort"_s), u"Порт COM1, 19200 бод, ККТ № 0"_s);
    QCOMPARE(StatusText(form, u"StatusLink"_s), u"Связь не проверена"_s);

    // A page shown from the hint: the hint goes. A configuration loaded: its name in the caption and the status bar.
    QTest::mouseClick(Child<QPushButton>(hint, u"StartHintGsm"_s), Qt::LeftButton);
    QCOMPARE(form.CurrentVisibleFrame, static_cast<QWidget *>(form.GsmFrame));
    QVERIFY(!hint->isVisible());
    const QString path = started.folders.root.filePath(u"kassa.conf"_s);
    WriteFile(path, "[GSM]\r\n");
    // Nearly every key missing: loaded only when the user says so.
    prompts->answerFile(Kind::OpenFile, path).answerQuestion(true);
    Action(form, u"N8"_s)->trigger();
    QCOMPARE(StatusText(form, u"StatusFile"_s), u"Конфигурация: kassa.conf"_s);
    QVERIFY2(form.windowTitle().startsWith(kCaption) && form.windowTitle().endsWith(u" — kassa.conf"_s),
        qPrintable(form.windowTitle()));
}

// The goods tab's import, from "Файл": the tab shown, the rows in it.
void TestMainForm::workbookImportFromTheFileMenu()
{
    Started started;
    TFormMain &form = started.form;
    prompts->answerFile(Kind::OpenFile, QStringLiteral(KKT_FIXTURES "/goods.xls")).expect(Kind::Information);
    Action(form, u"ActionImportXls"_s)->trigger();
    QCOMPARE(form.CurrentVisibleFrame, static_cast<QWidget *>(form.Set102Frame));
    QVERIFY(form.Set102Frame->goodsView()->isVisible());
    // The reader runs as a child process: its rows arrive while the window goes on.
    QTRY_COMPARE_WITH_TIMEOUT(form.Set102Frame->grid(TableKind::Goods).cell(1, 1), u"Хлеб"_s, 10000);
    QVERIFY2(prompts->verdict().isEmpty(), qPrintable(prompts->verdict()));
}

void TestMainForm::windowAndColumnsRemembered()
{
    Folders folders;
    const QByteArray progSett = "[COM_PORT]\r\nName=\x7f"
                                "COM1\x7f\r\nSpeed=19200\r\nTimeOut=3500\r\n\r\n[COMMON]\r\nNumKKT=0\r\n\r\n";
    WriteFile(folders.progSett(), progSett);
    int passwordWidth = 0;
    {
        const auto made = folders.form();
        TFormMain &form = *made;
        Show(form);
        form.showMaximized(); // the user maximises the window
        QTRY_VERIFY(form.isMaximized());
        auto *oper = Child<TStringGrid>(form.Set102Frame, u"sgOper"_s);
        passwordWidth = oper->columnWidth(6) + 37; // the user widens "Пароль"
        oper->horizontalHeader()->resizeSection(6, passwordWidth);
        form.close();
    }
    // In a file of the program's own; ProgSett.ini keeps its four keys alone.
    QVERIFY(QFile::exists(folders.settings() + u"/Window.ini"_s));
    QCOMPARE(ReadBytes(folders.progSett()), progSett);

    const auto made = folders.form();
    TFormMain &form = *made;
    Show(form);
    QVERIFY(form.isMaximized());
    QCOMPARE(Child<TStringGrid>(form.Set102Frame, u"sgOper"_s)->columnWidth(6), passwordWidth);
}

void TestMainForm::menusHaveKeyboardLetters()
{
    Started started;
    QMenuBar *bar = started.form.menuBar();
    QList<QWidget *> menus { bar };
    for (QAction *entry : bar->actions())
        if (entry->menu())
            menus << entry->menu();
    for (QWidget *menu : menus) {
        QSet<QChar> letters;
        for (QAction *action : menu->actions()) {
            if (action->isSeparator())
                continue;
            const QString text = action->text();
            const qsizetype amp = text.indexOf(u'&');
            QVERIFY2(amp >= 0 && amp + 1 < text.size() && text.indexOf(u'&', amp + 1) < 0, qPrintable(text));
            const QChar letter = text[amp + 1].toLower();
            QVERIFY2(!letters.contains(letter), qPrintable(menu->objectName() + u": "_s + text));
            letters.insert(letter);
        }
    }
    // Alt and the letter open the menu, as a keyboard user reaches it.
    QCOMPARE(Action(started.form, u"N3"_s)->text(), u"&Настройки"_s);
    QCOMPARE(Action(started.form, u"N4"_s)->text(), u"&Связь с ККТ"_s);
    QCOMPARE(Action(started.form, u"Scanner"_s)->text(), u"Сканер &штрих-кода"_s);
}

namespace {
// What a screen reader says a field is: its name, or the label it is labelled by
// (a drop-down list names its entry and points to its label).
QString SpokenLabel(QWidget *field)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(field);
    for (const auto &relation : accessible->relations(QAccessible::Label))
        return relation.first->text(QAccessible::Name);
    return accessible->text(QAccessible::Name);
}
} // namespace

void TestMainForm::fieldsAreNamedByTheirLabels()
{
    // Every field of the connection dialog and of the page's ranges has its label.
    Started started;
    TFormMain &form = started.form;
    QStringList names;
    WhenModal([&](QWidget *dialog) {
        for (QWidget *field : dialog->findChildren<QWidget *>())
            if (qobject_cast<QLineEdit *>(field) || qobject_cast<QComboBox *>(field))
                names << field->objectName() + u"="_s + SpokenLabel(field);
    });
    Action(form, u"N4"_s)->trigger();
    names.sort();
    QCOMPARE(names,
        (QStringList {
            u"ComboBox1=COM порт:"_s, u"ComboBox2=Скорость:"_s, u"Edit1=Тайм-аут:"_s, u"Edit2=Номер ККМ:"_s }));
    QCOMPARE(SpokenLabel(Child<QLineEdit>(form.Set102Frame, u"Edit1"_s)), u"Диапазон:  с"_s);
    QCOMPARE(SpokenLabel(Child<QLineEdit>(form.Set102Frame, u"Edit2"_s)), u"Диапазон: по"_s);
    QCOMPARE(SpokenLabel(Child<QLineEdit>(form.Set102Frame, u"Edit11"_s)), u"Код товара:"_s);
}

void TestMainForm::logToFileFromTheMenu()
{
    Folders folders;
    const QString path = folders.root.filePath(u"exchange.log"_s);
    {
        const auto made = folders.form();
        TFormMain &form = *made;
        Show(form);
        prompts->answerFile(Kind::SaveFile, path);
        Action(form, u"ActionLogToFile"_s)->trigger();
        QVERIFY(Action(form, u"ActionLogToFile"_s)->isChecked());
        QVERIFY(form.frmDebugKKM()->loggingToFile());
        ScriptedLink link;
        CheckLinkThatAnswers(form, link, *prompts);
        QVERIFY(QString::fromUtf8(ReadBytes(path)).startsWith(u" Запрос: \n00-17H;"_s));
        form.close();
    }
    // The next start goes on writing into the same file.
    const auto made = folders.form();
    TFormMain &form = *made;
    Show(form);
    QVERIFY(Action(form, u"ActionLogToFile"_s)->isChecked());
    QCOMPARE(form.frmDebugKKM()->logFilePath(), path);
    // Unticked: off, also for the start after.
    Action(form, u"ActionLogToFile"_s)->trigger();
    QVERIFY(!form.frmDebugKKM()->loggingToFile());
}

KKT_GUI_TEST_MAIN(TestMainForm)
#include "TestMainForm.moc"
