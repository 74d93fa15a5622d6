// One table written from the "Параметры 102" page of the main window and read
// back, through the real serial adapter to kkt-emulator on a pseudo-terminal.
#include "EmulatorProcess.h"
#include "GuiTest.h"
#include "ScriptedPrompts.h"

#include "app/MainForm.h"
#include "app/pages/Set102Frame.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSet102OverTerminal : public QObject
{
    Q_OBJECT
private slots:
    void operatorsWrittenAndReadBack();
};

void TestSet102OverTerminal::operatorsWrittenAndReadBack()
{
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkpath(u"ports"_s));
    EmulatorProcess emulator;
    QVERIFY2(emulator.start(QStringLiteral(KKT_EMULATOR_PATH), folder.filePath(u"ports/KKT-EMU"_s)),
        qPrintable(emulator.error()));

    ScriptedPrompts prompts;
    TFormMain form(folder.path(), folder.filePath(u"ports"_s));
    form.show();
    form.StructSett.PortSett.Name = u"KKT-EMU"_s;
    form.StructSett.PortSett.TimeOut = 1000;
    form.N1021Click();
    TFrameSet102 *page = form.Set102Frame;
    QVERIFY(page->isVisible());

    StringGridModel &oper = page->grid(TableKind::Oper);
    const QStringList sample { u"КАССИР"_s, u"Широкий"_s, u"ИВАНОВ"_s, u"Узкий"_s, u"ИВАН"_s, u"Широкий"_s, u"12345"_s,
        u"770012345678"_s };
    for (int col = 1; col <= 8; ++col)
        oper.setCell(6, col, sample[col - 1]);
    page->findChild<QLineEdit *>(u"Edit1"_s)->setText(u"5"_s);
    QTest::mouseClick(page->findChild<QPushButton *>(u"Button3"_s), Qt::LeftButton);
    QVERIFY2(prompts.verdict().isEmpty(), qPrintable(prompts.verdict()));

    for (int col = 1; col <= 8; ++col)
        oper.setCell(6, col, QString());
    prompts.answerQuestion(true); // the emptied cells are edits the read replaces
    QTest::mouseClick(page->findChild<QPushButton *>(u"Button4"_s), Qt::LeftButton);
    QVERIFY2(prompts.verdict().isEmpty(), qPrintable(prompts.verdict()));

    QStringList back;
    for (int col = 1; col <= 8; ++col)
        back << oper.cell(6, col);
    QCOMPARE(back, sample);
    // Operator 5 was written empty and reads back so, with the narrow fonts it had.
    QCOMPARE(oper.cell(5, 1), QString());
    QCOMPARE(oper.cell(5, 2), u"Узкий"_s);
    QVERIFY(emulator.stop());
}

KKT_GUI_TEST_MAIN(TestSet102OverTerminal)
#include "TestSet102OverTerminal.moc"
