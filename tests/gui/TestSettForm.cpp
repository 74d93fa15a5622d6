#include "GuiTest.h"
#include "ScriptedLink.h"
#include "ScriptedPrompts.h"

#include "app/SettForm.h"
#include "emulator/KktDevice.h"
#include "kkt/ComPort.h"

#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = Prompts::Kind;

namespace {
// One dialog over its own settings, ports and link; the prompts are the test's.
struct Fixture
{
    explicit Fixture(ScriptedPrompts &scripted, const TStructSetting &start = Stored())
        : sett(start)
        , prompts(scripted)
    { }

    static TStructSetting Stored()
    {
        TStructSetting s;
        s.NumKKT = 7;
        s.PortSett = { u"COM3"_s, 9600, 2000, 0 };
        return s;
    }

    TStructSetting sett;
    TArrayCom ports { u"COM1"_s, u"COM3"_s, u"KKT-EMU"_s };
    ScriptedLink link;
    KktChannel channel { link };
    ScriptedPrompts &prompts;
    TFormSett dialog { sett, ports, channel };

    template <typename T> T *child(const QString &name) const
    {
        T *widget = dialog.findChild<T *>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    QComboBox *port() const { return child<QComboBox>(u"ComboBox1"_s); }
    QComboBox *speed() const { return child<QComboBox>(u"ComboBox2"_s); }
    QLineEdit *timeOut() const { return child<QLineEdit>(u"Edit1"_s); }
    QLineEdit *number() const { return child<QLineEdit>(u"Edit2"_s); }
    QPushButton *apply() const { return child<QPushButton>(u"Button2"_s); }
    QPushButton *cancel() const { return child<QPushButton>(u"Button1"_s); }
    QPushButton *linkTest() const { return child<QPushButton>(u"Button3"_s); }
    QPushButton *find() const { return child<QPushButton>(u"btnFindKkt"_s); }
    // The search tries these ports: a register answers on one of them at one speed.
    void registerAt(const QString &name, quint32 baud, bool silenceTakesTime = false)
    {
        dialog.setSearchLinks([this, name, baud, silenceTakesTime] {
            auto made = std::make_unique<OneRegisterLink>(device, name, baud);
            made->silenceTakesTime = silenceTakesTime;
            return made;
        });
    }
    KktDevice device;

    void show()
    {
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog))
            qFatal("dialog not shown");
    }
    void retype(QLineEdit *edit, const QString &text)
    {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        TypeText(edit, text);
    }
};

TStructSetting Settings(const QString &name, quint32 speed, quint32 timeOut, qint32 number)
{
    TStructSetting s;
    s.NumKKT = number;
    s.PortSett = { name, speed, timeOut, 0 };
    return s;
}
} // namespace

Q_DECLARE_METATYPE(TStructSetting)

class TestSettForm : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void showStep_data();
    void showStep();
    void keyFilter_data();
    void keyFilter();
    void changeHandlers();
    void pastedTimeOutThatIsNoNumber_data();
    void pastedTimeOutThatIsNoNumber();
    void applyTakesEverythingOver();
    void applyStopsAtValueThatIsNoNumber_data();
    void applyStopsAtValueThatIsNoNumber();
    void applyWithNoPortStoresEmptyName();
    void cancelKeepsSettings();
    void linkTest_data();
    void linkTest();
    void linkTestWithUnconvertibleValueTouchesNoPort();
    void layout();
    void findKkt_data();
    void findKkt();
    void findKktStopped();
    void closedWhileSearching();

private:
    std::unique_ptr<ScriptedPrompts> prompts;
};

void TestSettForm::init()
{
    prompts = std::make_unique<ScriptedPrompts>();
}

void TestSettForm::cleanup()
{
    const QString verdict = prompts->verdict();
    prompts.reset();
    QVERIFY2(verdict.isEmpty(), qPrintable(verdict));
}

void TestSettForm::showStep_data()
{
    QTest::addColumn<TStructSetting>("stored");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<bool>("applyEnabled");

    QTest::newRow("all known") << Settings(u"COM3"_s, 9600, 2000, 7) << u"COM3"_s << u"9600"_s << true;
    QTest::newRow("port not on this PC") << Settings(u"COM9"_s, 9600, 2000, 7) << QString() << u"9600"_s << false;
    QTest::newRow("port name in other case") << Settings(u"com3"_s, 9600, 2000, 7) << QString() << u"9600"_s << false;
    QTest::newRow("speed not in the list") << Settings(u"COM3"_s, 14400, 2000, 7) << u"COM3"_s << QString() << false;
    QTest::newRow("time-out 0") << Settings(u"COM3"_s, 9600, 0, 7) << u"COM3"_s << u"9600"_s << false;
    QTest::newRow("first start, no port name") << TStructSetting() << QString() << u"19200"_s << false;
}

void TestSettForm::showStep()
{
    QFETCH(TStructSetting, stored);
    QFETCH(QString, port);
    QFETCH(QString, speed);
    QFETCH(bool, applyEnabled);
    Fixture f(*prompts, stored);
    f.show();
    QCOMPARE(f.port()->count(), 3);
    QCOMPARE(f.port()->currentText(), port);
    QCOMPARE(f.speed()->currentText(), speed);
    QCOMPARE(f.timeOut()->text(), QString::number(stored.PortSett.TimeOut));
    QCOMPARE(f.number()->text(), QString::number(stored.NumKKT));
    QCOMPARE(f.apply()->isEnabled(), applyEnabled);
    QVERIFY(f.linkTest()->isEnabled());
    if (applyEnabled)
        QCOMPARE(QApplication::focusWidget(), f.apply());
}

void TestSettForm::keyFilter_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");

    for (const QString &edit : { u"Edit1"_s, u"Edit2"_s }) {
        QTest::addRow("%s digits", qPrintable(edit)) << edit << u"0123456789"_s << u"0123456789"_s;
        QTest::addRow("%s letters, signs, blanks", qPrintable(edit)) << edit << u"1a-2+ 3.,б4"_s << u"1234"_s;
    }
}

void TestSettForm::keyFilter()
{
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Fixture f(*prompts);
    f.show();
    QLineEdit *field = f.child<QLineEdit>(edit);
    field->clear();
    TypeText(field, typed);
    QCOMPARE(field->text(), shown);
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(field->text(), shown.chopped(1));
}

void TestSettForm::changeHandlers()
{
    Fixture f(*prompts, Settings(u"COM9"_s, 9600, 0, 7));
    f.show();
    QVERIFY(!f.apply()->isEnabled());

    // A non-zero time-out enables "Применить"; 0 or nothing disables it again.
    f.retype(f.timeOut(), u"1500"_s);
    QVERIFY(f.apply()->isEnabled());
    f.retype(f.timeOut(), u"0"_s);
    QVERIFY(!f.apply()->isEnabled());
    f.timeOut()->clear();
    QVERIFY(!f.apply()->isEnabled());

    // Choosing a port or a speed enables it.
    QTest::keyClick(f.port(), Qt::Key_Down);
    QCOMPARE(f.port()->currentText(), u"COM1"_s);
    QVERIFY(f.apply()->isEnabled());
    f.retype(f.timeOut(), u"0"_s);
    QVERIFY(!f.apply()->isEnabled());
    QTest::keyClick(f.speed(), Qt::Key_Down);
    QCOMPARE(f.speed()->currentText(), u"19200"_s);
    QVERIFY(f.apply()->isEnabled());

    // The KKT number rules both buttons.
    f.number()->clear();
    QVERIFY(!f.apply()->isEnabled());
    QVERIFY(!f.linkTest()->isEnabled());
    TypeText(f.number(), u"5"_s);
    QVERIFY(f.apply()->isEnabled());
    QVERIFY(f.linkTest()->isEnabled());
}

void TestSettForm::pastedTimeOutThatIsNoNumber_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<bool>("applyEnabled");
    QTest::newRow("number") << u"2500"_s << true;
    QTest::newRow("letters") << u"12ab"_s << false;
    QTest::newRow("beyond 32 bits") << u"99999999999"_s << false;
    QTest::newRow("negative") << u"-5"_s << false;
}

void TestSettForm::pastedTimeOutThatIsNoNumber()
{
    QFETCH(QString, pasted);
    QFETCH(bool, applyEnabled);
    Fixture f(*prompts, Settings(u"COM3"_s, 9600, 0, 7));
    f.show();
    f.timeOut()->clear();
    QApplication::clipboard()->setText(pasted);
    f.timeOut()->paste();
    QCOMPARE(f.timeOut()->text(), pasted);
    QCOMPARE(f.apply()->isEnabled(), applyEnabled);
}

void TestSettForm::applyTakesEverythingOver()
{
    Fixture f(*prompts);
    f.sett.PortSett.Handle = 42;
    f.show();
    QTest::keyClick(f.port(), Qt::Key_Down); // COM3 -> KKT-EMU
    QTest::keyClick(f.speed(), Qt::Key_Up); // 9600 -> 4800
    f.retype(f.timeOut(), u"1200"_s);
    f.retype(f.number(), u"12"_s);
    QTest::mouseClick(f.apply(), Qt::LeftButton);
    QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
    QVERIFY(!f.dialog.isVisible());
    QCOMPARE(f.sett.PortSett.Name, u"KKT-EMU"_s);
    QCOMPARE(f.sett.PortSett.Speed, 4800u);
    QCOMPARE(f.sett.PortSett.TimeOut, 1200u);
    QCOMPARE(f.sett.NumKKT, 12);
    QCOMPARE(f.sett.PortSett.Handle, quintptr(0));
    QCOMPARE(f.link.opens, 0);
}

void TestSettForm::applyStopsAtValueThatIsNoNumber_data()
{
    QTest::addColumn<quint32>("storedSpeed");
    QTest::addColumn<QString>("pastedTimeOut");
    QTest::addColumn<QString>("pastedNumber");
    QTest::addColumn<QString>("message");
    QTest::addColumn<TStructSetting>("taken");

    // The port comes first and is always replaced; fields after the failing one keep their values.
    QTest::newRow("no speed chosen") << 14400u << QString() << QString() << u"'' не является допустимым целым числом"_s
                                     << Settings(u"COM1"_s, 14400, 2000, 7);
    QTest::newRow("negative time-out") << 9600u << u"-5"_s << QString() << u"'-5' не является допустимым целым числом"_s
                                       << Settings(u"COM1"_s, 9600, 2000, 7);
    QTest::newRow("time-out beyond 32 bits")
        << 9600u << u"4000000000"_s << QString() << u"'4000000000' не является допустимым целым числом"_s
        << Settings(u"COM1"_s, 9600, 2000, 7);
    QTest::newRow("KKT number with letters")
        << 9600u << u"100"_s << u"12x"_s << u"'12x' не является допустимым целым числом"_s
        << Settings(u"COM1"_s, 9600, 100, 7);
}

void TestSettForm::applyStopsAtValueThatIsNoNumber()
{
    QFETCH(quint32, storedSpeed);
    QFETCH(QString, pastedTimeOut);
    QFETCH(QString, pastedNumber);
    QFETCH(QString, message);
    QFETCH(TStructSetting, taken);
    Fixture f(*prompts, Settings(u"COM3"_s, storedSpeed, 2000, 7));
    f.show();
    const auto paste = [](QLineEdit *edit, const QString &text) {
        edit->selectAll();
        QApplication::clipboard()->setText(text);
        edit->paste();
    };
    if (!pastedTimeOut.isEmpty())
        paste(f.timeOut(), pastedTimeOut);
    if (!pastedNumber.isEmpty())
        paste(f.number(), pastedNumber);
    QTest::keyClick(f.port(), Qt::Key_Up); // COM1; a choice enables "Применить" whatever the fields hold
    QVERIFY(f.apply()->isEnabled());
    f.prompts.expect(Kind::Error);
    QTest::mouseClick(f.apply(), Qt::LeftButton);

    QVERIFY2(f.prompts.verdict().isEmpty(), qPrintable(f.prompts.verdict()));
    QCOMPARE(f.prompts.messages.constFirst().text, message);
    QVERIFY(f.dialog.isVisible());
    QCOMPARE(f.sett.PortSett.Name, taken.PortSett.Name);
    QCOMPARE(f.sett.PortSett.Speed, taken.PortSett.Speed);
    QCOMPARE(f.sett.PortSett.TimeOut, taken.PortSett.TimeOut);
    QCOMPARE(f.sett.NumKKT, taken.NumKKT);

    // The dialog goes on working once the value is put right.
    f.speed()->setFocus();
    QTest::keyClick(f.speed(), Qt::Key_End);
    f.retype(f.timeOut(), u"300"_s);
    f.retype(f.number(), u"3"_s);
    QTest::mouseClick(f.apply(), Qt::LeftButton);
    QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.sett.PortSett.Speed, 115200u);
    QCOMPARE(f.sett.PortSett.TimeOut, 300u);
    QCOMPARE(f.sett.NumKKT, 3);
}

void TestSettForm::applyWithNoPortStoresEmptyName()
{
    Fixture f(*prompts);
    f.ports.clear();
    f.show();
    QCOMPARE(f.port()->count(), 0);
    QVERIFY(!f.apply()->isEnabled());
    QTest::keyClick(f.speed(), Qt::Key_Down);
    QTest::mouseClick(f.apply(), Qt::LeftButton);
    QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.sett.PortSett.Name, QString());
    QCOMPARE(f.sett.PortSett.Speed, 19200u);
}

void TestSettForm::cancelKeepsSettings()
{
    Fixture f(*prompts);
    f.link.answers << MakeAnswer(31, 0);
    f.prompts.expect(Kind::Information);
    f.show();
    QTest::keyClick(f.port(), Qt::Key_Up);
    f.retype(f.timeOut(), u"100"_s);
    QTest::mouseClick(f.linkTest(), Qt::LeftButton);
    QTest::mouseClick(f.cancel(), Qt::LeftButton);
    QCOMPARE(f.dialog.result(), int(QDialog::Rejected));
    QVERIFY(!f.dialog.isVisible());
    const TStructSetting stored = Fixture::Stored();
    QCOMPARE(f.sett.PortSett.Name, stored.PortSett.Name);
    QCOMPARE(f.sett.PortSett.TimeOut, stored.PortSett.TimeOut);
}

void TestSettForm::linkTest_data()
{
    QTest::addColumn<bool>("openFails");
    QTest::addColumn<QList<QByteArray>>("answers");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");

    const QString linked = u"Связь с ККТ установленна!"_s;
    const QString failed = u"ВНИМАНИЕ!\r\nНе удалось подключиться к ККТ!"_s;
    QTest::newRow("answer 0") << false << QList<QByteArray> { MakeAnswer(31, 0) } << int(Kind::Information) << linked;
    QTest::newRow("port not opened") << true << QList<QByteArray>() << int(Kind::Warning) << failed;
    QTest::newRow("no answer") << false << QList<QByteArray>() << int(Kind::Warning) << failed;
    QByteArray corrupt = MakeAnswer(31, 0);
    corrupt[30] = char(corrupt[30] ^ 1);
    QTest::newRow("checksum error") << false << QList<QByteArray> { corrupt } << int(Kind::Warning) << failed;
    QTest::newRow("KKT error") << false << QList<QByteArray> { MakeAnswer(31, 7) } << int(Kind::Warning) << failed;
    QTest::newRow("busy ten times") << false << QList<QByteArray>(10, MakeAnswer(31, 21)) << int(Kind::Warning)
                                    << failed;
}

void TestSettForm::linkTest()
{
    QFETCH(bool, openFails);
    QFETCH(QList<QByteArray>, answers);
    QFETCH(int, kind);
    QFETCH(QString, message);
    Fixture f(*prompts);
    f.link.openFails = openFails;
    f.link.answers = answers;
    f.prompts.expect(Kind(kind));
    f.show();
    // The values of the dialog, not the stored ones.
    QTest::keyClick(f.port(), Qt::Key_Up);
    QTest::keyClick(f.speed(), Qt::Key_Down);
    f.retype(f.timeOut(), u"150"_s);
    f.retype(f.number(), u"258"_s);
    QTest::mouseClick(f.linkTest(), Qt::LeftButton);

    QVERIFY2(f.prompts.verdict().isEmpty(), qPrintable(f.prompts.verdict()));
    QCOMPARE(f.prompts.messages.constFirst().text, message);
    QCOMPARE(f.link.openedName, u"COM1"_s);
    QCOMPARE(f.link.openedSpeed, 19200u);
    QCOMPARE(f.link.openedTimeOut, 150u);
    if (!openFails)
        QCOMPARE(f.link.writes.constFirst().mid(2, 5), QByteArray("\x02\x01\x00\x00\x75", 5));
    QCOMPARE(f.sett.PortSett.Name, u"COM3"_s);
    QCOMPARE(f.sett.PortSett.TimeOut, 2000u);
    QCOMPARE(f.sett.NumKKT, 7);
    QVERIFY(f.dialog.isVisible());
}

void TestSettForm::linkTestWithUnconvertibleValueTouchesNoPort()
{
    Fixture f(*prompts, Settings(u"COM3"_s, 14400, 2000, 7));
    f.prompts.expect(Kind::Information);
    f.show();
    QTest::mouseClick(f.linkTest(), Qt::LeftButton);
    QVERIFY2(f.prompts.verdict().isEmpty(), qPrintable(f.prompts.verdict()));
    QCOMPARE(f.prompts.messages.constFirst().text, u"ВНИМАНИЕ!\r\nНеккоректный параметр!"_s);
    QCOMPARE(f.link.opens, 0);
}

void TestSettForm::layout()
{
    Fixture f(*prompts);
    f.show();
    QCOMPARE(f.dialog.windowTitle(), u"Настройки связи с ККТ"_s);
    QCOMPARE(f.dialog.size(), QSize(363, 183));
    QVERIFY(!(f.dialog.windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(f.apply()->geometry(), QRect(168, 152, 91, 25));
    QCOMPARE(f.cancel()->geometry(), QRect(264, 152, 91, 25));
    QCOMPARE(f.linkTest()->text(), u"Проверить связь с ККТ"_s);
    QStringList speeds;
    for (int i = 0; i < f.speed()->count(); ++i)
        speeds << f.speed()->itemText(i);
    QCOMPARE(speeds.join(u' '), u"1200 2400 4800 9600 19200 38400 57600 115200"_s);
    QVERIFY(!f.port()->isEditable() && !f.speed()->isEditable());
    // The tab order starts at "Применить".
    QCOMPARE(f.apply()->nextInFocusChain(), f.cancel());
}

void TestSettForm::findKkt_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<quint32>("speed");
    QTest::addColumn<QString>("message");
    QTest::newRow("register found") << u"KKT-EMU"_s << 57600u << u"ККТ найдена: порт KKT-EMU, скорость 57600 бод."_s;
    QTest::newRow("no register") << QString() << 0u
                                 << u"ВНИМАНИЕ!\r\nККТ не найдена.\r\nПроверены порты: COM1, COM3, KKT-EMU\r\n"
                                    "на скоростях 115200, 1200, 2400, 4800, 9600, 19200, 38400, 57600 бод."_s;
}

void TestSettForm::findKkt()
{
    QFETCH(QString, port);
    QFETCH(quint32, speed);
    QFETCH(QString, message);
    Fixture f(*prompts, Settings(QString(), 19200, 3500, 0));
    f.registerAt(port, speed);
    f.show();
    QVERIFY(!f.apply()->isEnabled()); // no port chosen yet
    QSignalSpy checked(&f.dialog, &TFormSett::linkChecked);
    prompts->expect(Kind::Information);
    QTest::mouseClick(f.find(), Qt::LeftButton);
    QVERIFY(f.dialog.searching());
    QCOMPARE(f.find()->text(), u"Стоп"_s);
    QVERIFY(!f.linkTest()->isEnabled() && !f.port()->isEnabled());
    QTRY_VERIFY(!f.dialog.searching());
    QCOMPARE(prompts->messages.size(), 1);
    QCOMPARE(prompts->messages.constFirst().text, message);
    QCOMPARE(f.find()->text(), u"Найти ККТ"_s);
    QVERIFY(f.linkTest()->isEnabled() && f.port()->isEnabled());
    if (port.isEmpty()) {
        QCOMPARE(checked.count(), 0);
        QVERIFY(!f.apply()->isEnabled());
        return;
    }
    // The port and speed found are chosen; "Применить" takes them over.
    QCOMPARE(f.port()->currentText(), port);
    QCOMPARE(f.speed()->currentText(), QString::number(speed));
    QCOMPARE(checked.count(), 1);
    QTest::mouseClick(f.apply(), Qt::LeftButton);
    QCOMPARE(f.sett.PortSett.Name, port);
    QCOMPARE(f.sett.PortSett.Speed, speed);
}

void TestSettForm::findKktStopped()
{
    Fixture f(*prompts);
    f.registerAt(QString(), 0, true); // silent ports that take their time, as real ones
    f.show();
    const bool applyBefore = f.apply()->isEnabled();
    QTest::mouseClick(f.find(), Qt::LeftButton);
    auto *progress = f.child<QProgressBar>(u"FindProgress"_s);
    QTRY_VERIFY(progress->value() >= 1);
    QVERIFY(progress->isVisible());
    // The window goes on taking clicks: "Стоп" ends the search after the try under way, without a message.
    QTest::mouseClick(f.find(), Qt::LeftButton);
    QTRY_VERIFY(!f.dialog.searching());
    QVERIFY(progress->value() < progress->maximum());
    QVERIFY(!progress->isVisible());
    QCOMPARE(f.apply()->isEnabled(), applyBefore);
    QCOMPARE(f.port()->currentText(), u"COM3"_s);
}

void TestSettForm::closedWhileSearching()
{
    Fixture f(*prompts);
    f.registerAt(QString(), 0, true);
    f.show();
    QTest::mouseClick(f.find(), Qt::LeftButton);
    QTRY_VERIFY(f.child<QProgressBar>(u"FindProgress"_s)->value() >= 1);
    // Escape closes the dialog; the search ends with it, in well under a second.
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(&f.dialog, Qt::Key_Escape);
    QVERIFY(!f.dialog.isVisible());
    QVERIFY(!f.dialog.searching());
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QCoreApplication::processEvents(); // the search's last report finds the dialog closed: no message
}

// A plain application object on purpose: an error escaping a command of the
// dialog would end the test here, where the program would only show it as a
// last resort.
QTEST_MAIN(TestSettForm)
#include "TestSettForm.moc"
