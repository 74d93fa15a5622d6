// A first programming as a service engineer does it: a configuration loaded
// from its file, its GSM/Wi-Fi parameters written into the register and read
// back, through the real serial adapter to kkt-emulator on a pseudo-terminal.
#include "EmulatorProcess.h"
#include "GuiTest.h"
#include "ScriptedPrompts.h"

#include "app/MainForm.h"
#include "app/pages/GsmSettingFrame.h"
#include "config/ConfigFile.h"
#include "pages/StringGridModel.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = Prompts::Kind;

class TestGsmOverTerminal : public QObject
{
    Q_OBJECT
private slots:
    void loadedConfigurationWrittenAndReadBack();
};

void TestGsmOverTerminal::loadedConfigurationWrittenAndReadBack()
{
    QTemporaryDir root;
    const QString ports = root.filePath(u"ports"_s);
    QVERIFY(QDir(root.path()).mkpath(u"ports"_s));
    EmulatorProcess emulator;
    QVERIFY2(emulator.start(QStringLiteral(KKT_EMULATOR_PATH), ports + u"/KKT-EMU"_s), qPrintable(emulator.error()));

    TConfig prepared;
    prepared.Gsm.arrParam = { u"91.107.67.212"_s, u"ofd.example.ru"_s, u"7790"_s, u"0000"_s, u"internet.Mts.ru"_s,
        u"mts"_s, u"Secret-24"_s };
    const QString file = root.filePath(u"first.conf"_s);
    QVERIFY(SaveConfigFile(file, prepared));

    ScriptedPrompts prompts;
    TFormMain form(root.path(), ports);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.StructSett.PortSett.Name = u"KKT-EMU"_s;
    form.StructSett.PortSett.TimeOut = 1000;
    prompts.answerFile(Kind::OpenFile, file);
    form.N8Click();
    form.GSM1Click();
    StringGridModel &gsm = form.GsmFrame->grid();
    for (int row = 1; row <= 7; ++row)
        QCOMPARE(gsm.cell(row, 1), prepared.Gsm.arrParam[size_t(row - 1)]);

    prompts.answerStoreCheck(true); // the check names the server name's capitals
    QTest::mouseClick(form.GsmFrame->findChild<QPushButton *>(u"Button3"_s), Qt::LeftButton);
    QVERIFY2(prompts.verdict().isEmpty(), qPrintable(prompts.verdict()));
    for (int row = 1; row <= 7; ++row)
        gsm.setCell(row, 1, QString());
    prompts.answerQuestion(true); // the emptied cells are edits the read replaces
    QTest::mouseClick(form.GsmFrame->findChild<QPushButton *>(u"Button4"_s), Qt::LeftButton);
    QVERIFY2(prompts.verdict().isEmpty(), qPrintable(prompts.verdict()));

    // The server name comes back as the register keeps it: in upper case.
    for (int row = 1; row <= 7; ++row) {
        const QString sent = prepared.Gsm.arrParam[size_t(row - 1)];
        QCOMPARE(gsm.cell(row, 1), row == 2 ? sent.toUpper() : sent);
    }
    QVERIFY(emulator.stop());
}

KKT_GUI_TEST_MAIN(TestGsmOverTerminal)
#include "TestGsmOverTerminal.moc"
