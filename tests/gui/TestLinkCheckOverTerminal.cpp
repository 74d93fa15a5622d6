// The link check of the connection settings dialog, from the main window,
// through the real serial adapter to kkt-emulator on a pseudo-terminal.
#include "EmulatorProcess.h"
#include "GuiTest.h"
#include "ScriptedPrompts.h"

#include "app/MainForm.h"
#include "app/service/LogView.h"
#include "app/service/UDebugKKT.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = Prompts::Kind;

class TestLinkCheckOverTerminal : public QObject
{
    Q_OBJECT
private slots:
    void linkCheck_data();
    void linkCheck();
};

void TestLinkCheckOverTerminal::linkCheck_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("answerHead");
    QTest::addColumn<int>("answerSize");

    QTest::newRow("register answers") << QStringList() << int(Kind::Information) << u"Связь с ККТ установленна!"_s
                                      << u"00-17H;  01-02H;  02-75H;  03-00H;  "_s << 31;
    QTest::newRow("register refuses") << QStringList { u"--status"_s, u"7"_s } << int(Kind::Warning)
                                      << u"ВНИМАНИЕ!\r\nНе удалось подключиться к ККТ!"_s
                                      << u"00-17H;  01-02H;  02-75H;  03-07H;  "_s << 31;
    // A loopback plug or a modem's echo: the request itself comes back, which is no register.
    QTest::newRow("line echoes") << QStringList { u"--echo"_s } << int(Kind::Warning)
                                 << u"ВНИМАНИЕ!\r\nНе удалось подключиться к ККТ!"_s
                                 << u"00-17H;  01-02H;  02-00H;  03-00H;  04-00H;  05-00H;  06-75H;  07-0BH;"_s << 11;
}

void TestLinkCheckOverTerminal::linkCheck()
{
    QFETCH(QStringList, options);
    QFETCH(int, kind);
    QFETCH(QString, message);
    QFETCH(QString, answerHead);
    QFETCH(int, answerSize);

    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkpath(u"ports"_s));
    EmulatorProcess emulator;
    QVERIFY2(emulator.start(QStringLiteral(KKT_EMULATOR_PATH), folder.filePath(u"ports/KKT-EMU"_s), options),
        qPrintable(emulator.error()));

    ScriptedPrompts prompts;
    prompts.expect(Kind(kind));
    TFormMain form(folder.path(), folder.filePath(u"ports"_s));
    form.show();
    QVERIFY(form.ArrCom.contains(u"KKT-EMU"_s));

    WhenModal([](QWidget *dialog) {
        auto *port = dialog->findChild<QComboBox *>(u"ComboBox1"_s);
        port->setCurrentIndex(-1);
        port->setFocus();
        TypeText(port, u"KKT"_s);
        QCOMPARE(port->currentText(), u"KKT-EMU"_s);
        auto *timeOut = dialog->findChild<QLineEdit *>(u"Edit1"_s);
        timeOut->selectAll();
        TypeText(timeOut, u"1000"_s);
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"Button3"_s), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"Button2"_s), Qt::LeftButton);
    });
    form.findChild<QAction *>(u"N4"_s)->trigger();

    QVERIFY2(prompts.verdict().isEmpty(), qPrintable(prompts.verdict()));
    QCOMPARE(prompts.messages.constFirst().text, message);
    QCOMPARE(form.StructSett.PortSett.Name, u"KKT-EMU"_s);
    QCOMPARE(form.StructSett.PortSett.TimeOut, 1000u);

    // One request and its answer in the exchange log.
    QStringList lines = form.frmDebugKKM()->richEdit()->toPlainText().split(u'\n');
    // Below the line that says where the program keeps its files.
    QVERIFY(lines.takeFirst().startsWith(u" Файлы программы:"_s));
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], u" Запрос: "_s);
    QVERIFY(lines[1].startsWith(u"00-17H;  01-02H;  02-00H;  03-00H;  04-00H;  05-00H;  06-75H;  07-0BH;"_s));
    QCOMPARE(lines[2], u" Ответ: "_s);
    QVERIFY2(lines[3].startsWith(answerHead), qPrintable(lines[3]));
    QVERIFY(lines[3].contains(QString::number(answerSize - 3).rightJustified(2, u'0') + u"-19H;  "_s));
    QCOMPARE(lines[3].count(u';'), answerSize);
    QCOMPARE(lines[4], QString());

    // The status bar tells the check's outcome for the settings applied.
    const QString link = form.findChild<QLabel *>(u"StatusLink"_s)->text();
    const bool answered = message == u"Связь с ККТ установленна!"_s;
    QVERIFY2(link.startsWith(answered ? u"Связь есть ("_s : u"Нет связи ("_s), qPrintable(link));

    QVERIFY(emulator.stop());
}

KKT_GUI_TEST_MAIN(TestLinkCheckOverTerminal)
#include "TestLinkCheckOverTerminal.moc"
