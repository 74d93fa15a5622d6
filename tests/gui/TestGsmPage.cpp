#include "GuiTest.h"
#include "ScriptedLink.h"
#include "ScriptedPrompts.h"

#include "app/KktSession.h"
#include "app/pages/GsmSettingFrame.h"
#include "emulator/DeviceLink.h"
#include "emulator/KktDevice.h"
#include "kkt/ComPort.h"
#include "pages/StringGridModel.h"
#include "ui/StringGrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = Prompts::Kind;

namespace {
template <typename T> T *Child(const QObject *parent, const QString &name)
{
    T *object = parent->findChild<T *>(name);
    if (!object)
        qFatal("no %s", qPrintable(name));
    return object;
}

// The page over a link of the test's choice, as the main window sets it up.
struct Page
{
    explicit Page(SerialLink &link)
        : channel(link)
        , session(channel, settings)
    {
        settings.PortSett.Name = u"COM1"_s;
        page.Init(session);
        page.resize(900, 500);
        page.show();
        QObject::connect(bar(), &QProgressBar::valueChanged, [this](int value) { progress << value; });
    }
    QProgressBar *bar() const { return Child<QProgressBar>(&page, u"ProgressBar1"_s); }
    void click(const QString &button) { QTest::mouseClick(Child<QPushButton>(&page, button), Qt::LeftButton); }
    QString cell(int row) { return page.grid().cell(row, 1); }
    void setCell(int row, const QString &text) { page.grid().setCell(row, 1, text); }

    TStructSetting settings;
    KktChannel channel;
    TKktSession session;
    TFrameGsmSetting page;
    QList<int> progress; // every position the bar took
};

const QString kName72 = u"ofd-server.primer-zone.example.ru.very-long-subdomain.region77.net/path1"_s;

// The text the KKT holds in table 5, row `param`, field `field`.
QString Stored(const KktDevice &device, int param, int field, bool converted)
{
    const auto stored = device.field(5, param, field);
    if (!stored)
        qFatal("no field %d/%d", param, field);
    return DecodeParamValue(QByteArrayView(stored->value.data(), qsizetype(stored->value.size())), converted);
}
} // namespace

class TestGsmPage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void pageAsDrawn();
    void writeThenReadBack();
    void serverNameParts_data();
    void serverNameParts();
    void failureNamesTheParameterAndStops_data();
    void failureNamesTheParameterAndStops();
    void noSecondRunWhileOneGoes();
    void typingByRow_data();
    void typingByRow();

private:
    std::unique_ptr<ScriptedPrompts> prompts;
};

void TestGsmPage::init()
{
    prompts = std::make_unique<ScriptedPrompts>();
}

void TestGsmPage::cleanup()
{
    const QString verdict = prompts->verdict();
    prompts.reset();
    QVERIFY2(verdict.isEmpty(), qPrintable(verdict));
}

void TestGsmPage::pageAsDrawn()
{
    ScriptedLink link;
    Page p(link);
    QCOMPARE(Child<QLabel>(&p.page, u"Label1"_s)->text(), u"Параметры GSM/Wi-Fi"_s);
    QCOMPARE(Child<QPushButton>(&p.page, u"Button3"_s)->text(), u"Записать в ККТ"_s);
    QCOMPARE(Child<QPushButton>(&p.page, u"Button4"_s)->text(), u"Прочитать из ККТ"_s);
    QVERIFY(!p.bar()->isVisible());
    QCOMPARE(p.bar()->maximum(), 100);
    QCOMPARE(p.page.CurrentGsmRow, 1);
    const QStringList help = Child<QPlainTextEdit>(&p.page, u"Memo1"_s)->toPlainText().split(u'\n');
    QCOMPARE(help.size(), 12);
    QCOMPARE(help[0], QString());
    QCOMPARE(help[5], u" * Пароль для подключения к Intenet. Уточняйте у оператора сотовой связи."_s);
    QCOMPARE(help[6], QString());
    QCOMPARE(help[9], u" * APN строка для подключения к Internet. Наименование Wi-Fi сети. "_s);
    QCOMPARE(help[11], u" * Пароль для подключения к Intenet. Пароль Wi-Fi сети."_s);
    QCOMPARE(p.page.grid().cell(3, 0), u"Порт сервера ОФД"_s);
    for (int row = 1; row <= 7; ++row)
        QCOMPARE(p.cell(row), QString());
}

void TestGsmPage::writeThenReadBack()
{
    KktDevice device;
    DeviceLink link(device);
    Page p(link);
    p.page.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&p.page));
    const QStringList values { u"192.168.100.200"_s, u"ofd.example.ru"_s, u"21101"_s, u"1234"_s, u"internet.Mts.ru"_s,
        u"Mts"_s, u"Pa$$w0rd"_s };
    for (int row = 1; row <= 7; ++row)
        p.setCell(row, values[row - 1]);
    // The check names the capitals the register makes of the server's name.
    prompts->answerStoreCheck(true);
    p.click(u"Button3"_s);
    QCOMPARE(prompts->messages.constFirst().text,
        u"Параметры GSM, строка 2, Имя сервера ОФД: «ofd.example.ru» → «OFD.EXAMPLE.RU» (строчные буквы станут "
        u"заглавными)"_s);
    QCOMPARE(p.progress, (QList<int> { 0, 14, 29, 43, 57, 71, 86, 100 }));
    QVERIFY(!p.bar()->isVisible());
    QCOMPARE(link.openedName(), u"COM1"_s);
    // Parameter 2 is the port (grid row 3) and 3 the server name (grid row 2);
    // the name reaches the KKT in upper case, the APN, login and password keep theirs.
    QCOMPARE(Stored(device, 1, 0, true), values[0]);
    QCOMPARE(Stored(device, 2, 0, true), values[2]);
    QCOMPARE(Stored(device, 3, 0, true), u"OFD.EXAMPLE.RU"_s);
    QCOMPARE(Stored(device, 4, 0, true), values[3]);
    QCOMPARE(Stored(device, 5, 0, false), values[4]);
    QCOMPARE(Stored(device, 7, 0, false), values[6]);

    for (int row = 1; row <= 7; ++row)
        p.setCell(row, u"старое"_s);
    // The editor open on a cell shows what the read puts there.
    Child<TStringGrid>(&p.page, u"sgGsm"_s)->selectCell(1, 2);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    p.progress.clear();
    p.click(u"Button4"_s);
    QCOMPARE(p.progress, (QList<int> { 0, 14, 29, 43, 57, 71, 86, 100 }));
    QStringList expected = values;
    expected[1] = values[1].toUpper();
    for (int row = 1; row <= 7; ++row)
        QCOMPARE(p.cell(row), expected[row - 1]);
    QCOMPARE(editor->text(), expected[1]);
}

void TestGsmPage::serverNameParts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("parts");
    QTest::newRow("30 characters") << kName72.left(30).toUpper()
                                   << QStringList { kName72.left(24).toUpper(), kName72.mid(24, 6).toUpper(),
                                          QString() };
    QTest::newRow("72 characters") << kName72.toUpper()
                                   << QStringList { kName72.left(24).toUpper(), kName72.mid(24, 24).toUpper(),
                                          kName72.mid(48).toUpper() };
    // Only a configuration file puts more there; the 73rd character on is not sent.
    QTest::newRow("80 characters") << kName72.toUpper() + u"ABCDEFGH"_s
                                   << QStringList { kName72.left(24).toUpper(), kName72.mid(24, 24).toUpper(),
                                          kName72.mid(48).toUpper() };
}

void TestGsmPage::serverNameParts()
{
    QFETCH(QString, name);
    QFETCH(QStringList, parts);
    KktDevice device;
    // A third part left over from an earlier, longer name: an empty part is written too.
    KktDevice::Field old;
    old.value.fill('X');
    device.setField(5, 3, 2, old);
    DeviceLink link(device);
    Page p(link);
    p.setCell(2, name);
    // The check before writing names what a name longer than three fields loses.
    if (name.size() > 72)
        prompts->answerStoreCheck(true);
    p.click(u"Button3"_s);
    if (name.size() > 72)
        QVERIFY(prompts->messages.constFirst().text.endsWith(u"(длиннее поля: сохранится 72 символа)"_s));
    for (int part = 0; part < 3; ++part)
        QCOMPARE(Stored(device, 3, part, true), parts[part]);

    p.setCell(2, QString());
    p.click(u"Button4"_s);
    QCOMPARE(p.cell(2), parts.join(QString()));
}

void TestGsmPage::failureNamesTheParameterAndStops_data()
{
    QTest::addColumn<bool>("writing");
    QTest::addColumn<int>("answered"); // requests answered before the one that fails
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QList<int>>("progress");

    const QList<int> none { 0 };
    QTest::newRow("write, no KKT") << true << 0 << u"IP адрес сервера"_s << none;
    QTest::newRow("write, port") << true << 1 << u"Порт сервера"_s << QList<int> { 0, 14 };
    QTest::newRow("write, name part 3") << true << 4 << u"Имя сервера"_s << QList<int> { 0, 14, 29 };
    QTest::newRow("write, password") << true << 8 << u"Пароль для подключения к сети Интернет"_s
                                     << QList<int> { 0, 14, 29, 43, 57, 71, 86 };
    QTest::newRow("read, no KKT") << false << 0 << u"IP адрес сервера"_s << none;
    QTest::newRow("read, name part 2") << false << 3 << u"Имя сервера"_s << QList<int> { 0, 14, 29 };
    QTest::newRow("read, APN") << false << 6 << u"APN строка для подключения к сети Интернет"_s
                               << QList<int> { 0, 14, 29, 43, 57 };
}

void TestGsmPage::failureNamesTheParameterAndStops()
{
    QFETCH(bool, writing);
    QFETCH(int, answered);
    QFETCH(QString, parameter);
    QFETCH(QList<int>, progress);
    ScriptedLink link;
    for (int i = 0; i < answered; ++i)
        link.answers << MakeAnswer(36, 0);
    Page p(link);
    for (int row = 1; row <= 7; ++row)
        p.setCell(row, u"ячейка %1"_s.arg(row));
    // Texts that are no address or port, and letters a plain field lacks:
    // written as they are after the check.
    if (writing)
        prompts->answerStoreCheck(true);
    prompts->expect(Kind::Error);
    p.click(writing ? u"Button3"_s : u"Button4"_s);

    if (writing)
        prompts->messages.removeFirst();
    QCOMPARE(prompts->messages.size(), 1);
    QCOMPARE(prompts->messages.constFirst().kind, Kind::Error);
    QCOMPARE(prompts->messages.constFirst().text,
        (writing ? u"ВНИМАНИЕ!\r\nНе удалось записать параметр "_s : u"ВНИМАНИЕ!\r\nНе удалось прочитать параметр "_s)
            + parameter + u"!"_s);
    // Nothing is sent after the failing request.
    QCOMPARE(link.writes.size(), answered + 1);
    QCOMPARE(p.progress, progress);
    QVERIFY(!p.bar()->isVisible());
    if (!writing) {
        // Parameters read before the failure are in their cells (the empty
        // answers); the failing one and those after it keep their text.
        const int done = progress.size() - 1;
        for (int param = 1; param <= 7; ++param) {
            const int row = param == 2 ? 3 : param == 3 ? 2 : param;
            QCOMPARE(p.cell(row), param <= done ? QString() : u"ячейка %1"_s.arg(row));
        }
    }
}

void TestGsmPage::noSecondRunWhileOneGoes()
{
    KktDevice device;
    DeviceLink link(device);
    link.setReadPauseMs(30); // a run of some 300 ms
    Page p(link);
    auto *write = Child<QPushButton>(&p.page, u"Button3"_s);
    auto *read = Child<QPushButton>(&p.page, u"Button4"_s);
    bool checked = false;
    int writesWhenEventRan = -1;
    bool busyWhenEventRan = false;
    // From inside the run, as a person's click would come.
    QObject::connect(p.bar(), &QProgressBar::valueChanged, &p.page, [&](int value) {
        if (value != 14)
            return;
        QVERIFY(p.bar()->isVisible());
        QVERIFY(!write->isEnabled() && !read->isEnabled());
        QVERIFY(p.session.busy());
        const int writes = link.writes();
        p.page.Button4Click();
        p.page.Button3Click();
        QCOMPARE(link.writes(), writes);
        QTimer::singleShot(0, &p.page, [&] {
            writesWhenEventRan = link.writes();
            busyWhenEventRan = p.session.busy();
        });
        checked = true;
    });
    p.click(u"Button3"_s);
    QVERIFY(checked);
    QCOMPARE(link.writes(), 9); // one run: seven parameters, the name in three parts
    // The window took the event while the line was still at work.
    QVERIFY(busyWhenEventRan);
    QVERIFY2(writesWhenEventRan >= 1 && writesWhenEventRan < 9, qPrintable(QString::number(writesWhenEventRan)));
    QVERIFY(write->isEnabled() && read->isEnabled());
    QVERIFY(!p.session.busy());
}

void TestGsmPage::typingByRow_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed"); // "\b" is Backspace
    QTest::addColumn<QString>("after");

    const QString ip15 = u"192.168.100.200"_s;
    QTest::newRow("IP: digits and points") << 1 << QString() << u"19a2.16Б8"_s << u"192.168"_s;
    QTest::newRow("IP: full at 15") << 1 << ip15 << u"1"_s << ip15;
    QTest::newRow("IP: Backspace at 15") << 1 << ip15 << u"\b"_s << ip15.chopped(1);
    QTest::newRow("name: anything, case kept") << 2 << QString() << u"ofd.Сервер-1"_s << u"ofd.Сервер-1"_s;
    QTest::newRow("name: full at 72") << 2 << kName72 << u"x"_s << kName72;
    QTest::newRow("port: digits only") << 3 << QString() << u"80a.8-0"_s << u"8080"_s;
    QTest::newRow("port: up to 5") << 3 << QString() << u"123456"_s << u"12345"_s;
    QTest::newRow("PIN: up to 4 digits") << 4 << QString() << u"12x345"_s << u"1234"_s;
    QTest::newRow("APN: up to 24, case kept")
        << 5 << QString() << u"Internet.Beeline.ru.test.x"_s << u"Internet.Beeline.ru.test"_s;
    QTest::newRow("password: any character") << 7 << QString() << u"P@ss w0rd;="_s << u"P@ss w0rd;="_s;
}

void TestGsmPage::typingByRow()
{
    QFETCH(int, row);
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    ScriptedLink link;
    Page p(link);
    p.page.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&p.page));
    p.setCell(row, before);
    auto *grid = Child<TStringGrid>(&p.page, u"sgGsm"_s);
    grid->selectCell(1, row);
    QCOMPARE(p.page.CurrentGsmRow, row);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    QCOMPARE(editor->text(), before);
    editor->end(false);
    for (const QChar c : typed) {
        if (c == u'\b')
            QTest::keyClick(editor, Qt::Key_Backspace);
        else
            TypeText(editor, QString(c));
    }
    QCOMPARE(p.cell(row), after);
}

KKT_GUI_TEST_MAIN(TestGsmPage)
#include "TestGsmPage.moc"
