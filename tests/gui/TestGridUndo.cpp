// The window's history of its grids: every kind of change undone and redone
// through the real window, one step each; the clean state that the unsaved
// mark follows; the "Правка" menu; no undo while a run writes the grids, and
// the status bar saying so; an undone load gives back the file's name and what
// the grids matched.
#include "ConfigFields.h"
#include "GridWindow.h"
#include "GuiTest.h"
#include "ScriptedPrompts.h"

#include "app/ScannerControl.h"
#include "config/ConfigFile.h"
#include "emulator/DeviceLink.h"
#include "emulator/KktDevice.h"
#include "pages/FixedLists.h"
#include "pages/GoodsDb102.h"
#include "pages/GridSet.h"
#include "scanner/ShtrihCheck.h"
#include "ui/GridEdits.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QUndoStack>

using namespace Qt::StringLiterals;
using Kind = Prompts::Kind;

namespace {
// Every cell of both pages, row by row, to compare whole states.
QStringList AllCells(GridWindow &w)
{
    QStringList cells;
    for (int k = 0; k < GridSet::kCount; ++k) {
        const StringGridModel &grid = w.grid(TableKind(k));
        for (int row = 1; row < grid.rows(); ++row) {
            QStringList line;
            for (int col = 1; col < grid.cols(); ++col)
                line << grid.cell(row, col);
            cells << line.join(u'|');
        }
    }
    return cells;
}

// The register in this process, on the window's channel.
struct Register
{
    explicit Register(GridWindow &w) { w.form.channel().setLink(link); }
    KktDevice device;
    DeviceLink link { device };
};

// A goods row written to the register, then emptied in the grid behind the
// history's back, so that a read brings it back.
void WriteAndEmpty(GridWindow &w, int row)
{
    StringGridModel &goods = w.grid(TableKind::Goods);
    goods.setCell(row, GoodsCol::Name, u"ХЛЕБ %1"_s.arg(row));
    const QString code = u"46070017700%1"_s.arg(row % 10);
    goods.setCell(row, GoodsCol::Barcode, code + QString::number(Gs1CheckDigit(code))); // an EAN-13
    goods.setCell(row, GoodsCol::Price, u"12.50"_s);
    w.show(TableKind::Goods);
    w.field(u"Edit3"_s)->setText(QString::number(row));
    w.field(u"Edit4"_s)->setText(QString::number(row));
    QTest::mouseClick(GridWindow::Button(w.form.Set102Frame, u"Button3"_s), Qt::LeftButton);
    for (int col = GoodsCol::Name; col <= GoodsCol::Mark; ++col)
        goods.setCell(row, col, QString());
}

enum class Step { Typing, Paste, Fill, Delete, Cut, ListChoice, ConfigLoad, GoodsFile, Read, GsmRead, WholeRead, Scan };
} // namespace

Q_DECLARE_METATYPE(Step)

class TestGridUndo : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void eachStepUndoneAndRedone_data();
    void eachStepUndoneAndRedone();
    void typedKeysOfOneEditAreOneStep();
    void cleanStateFollowsUndo();
    void editMenu();
    void noUndoWhileRunWritesGrids();
    void closingAsksAboutUnsavedEdits_data();
    void closingAsksAboutUnsavedEdits();
    void readsAndFilesAskBeforeReplacingEdits();
    void undoneLoadGivesBackFileAndEdits();

private:
    // Does the step through the window; false when it could not be set up.
    void doStep(GridWindow &w, Step step);
    std::unique_ptr<ScriptedPrompts> prompts;
};

void TestGridUndo::init()
{
    prompts = std::make_unique<ScriptedPrompts>();
}

void TestGridUndo::cleanup()
{
    const QString verdict = prompts->verdict();
    prompts.reset();
    QVERIFY2(verdict.isEmpty(), qPrintable(verdict));
}

void TestGridUndo::doStep(GridWindow &w, Step step)
{
    switch (step) {
    case Step::Typing: {
        TStringGrid *view = w.show(TableKind::Goods);
        view->selectCell(GoodsCol::Name, 3);
        TypeText(view->cellEditor(), u"батон"_s);
        break;
    }
    case Step::Paste: {
        TStringGrid *view = w.show(TableKind::Oper);
        QGuiApplication::clipboard()->setText(u"кассир\tШирокий\tиванов\n\tУзкий\tпетров"_s);
        view->selectCell(OperCol::Post, 2);
        Press(Qt::Key_V, Qt::ControlModifier);
        break;
    }
    case Step::Fill: {
        TStringGrid *view = w.show(TableKind::Goods);
        QGuiApplication::clipboard()->setText(u"5"_s);
        view->selectCell(GoodsCol::Section, 10);
        for (int i = 0; i < 20; ++i)
            Press(Qt::Key_Down, Qt::ShiftModifier);
        Press(Qt::Key_V, Qt::ControlModifier);
        break;
    }
    case Step::Delete:
    case Step::Cut: {
        TStringGrid *view = w.show(TableKind::Klishe);
        view->selectCell(KlisheCol::Text, 4);
        Press(Qt::Key_Right, Qt::ShiftModifier);
        Press(step == Step::Cut ? Qt::Key_X : Qt::Key_Delete, step == Step::Cut ? Qt::ControlModifier : Qt::NoModifier);
        break;
    }
    case Step::ListChoice: {
        TStringGrid *view = w.show(TableKind::Usl);
        view->selectCell(UslCol::Kind, 2);
        QComboBox *kinds = view->listOf(UslCol::Kind);
        kinds->setCurrentIndex(4);
        QTest::keyClick(kinds, Qt::Key_Down); // 05: the VAT cell changes with it
        break;
    }
    case Step::ConfigLoad: {
        TConfig cfg;
        FillDistinct(cfg);
        const QString path = w.dir.filePath(u"other.conf"_s);
        QVERIFY(SaveConfigFile(path, cfg));
        prompts->answerFile(Kind::OpenFile, path);
        w.child<QAction>(u"N8"_s)->trigger();
        break;
    }
    case Step::GoodsFile: {
        const OwnedGrids source;
        source[TableKind::Goods].setCell(1, GoodsCol::Name, u"ИЗ ФАЙЛА"_s);
        const QString path = w.dir.filePath(u"base.db102"_s);
        QVERIFY(SaveGoodsDb102(path, source[TableKind::Goods]).ok);
        w.show(TableKind::Goods);
        prompts->answerFile(Kind::OpenFile, path).expect(Kind::Information); // the rows loaded
        QTest::mouseClick(GridWindow::Button(w.form.Set102Frame, u"Button2"_s), Qt::LeftButton);
        break;
    }
    case Step::Read:
        prompts->answerQuestion(true); // the emptied row was an edit
        QTest::mouseClick(GridWindow::Button(w.form.Set102Frame, u"Button4"_s), Qt::LeftButton);
        break;
    case Step::GsmRead:
        prompts->answerQuestion(true);
        QTest::mouseClick(GridWindow::Button(w.form.GsmFrame, u"Button4"_s), Qt::LeftButton);
        break;
    case Step::WholeRead:
        prompts->answerQuestion(true);
        prompts->expect(Kind::Information); // how many rows, in how long
        w.child<QAction>(u"actReadAll"_s)->trigger();
        break;
    case Step::Scan: {
        TStringGrid *view = w.show(TableKind::Goods);
        view->selectCell(GoodsCol::Barcode, 8);
        w.form.scanner()->OnScanShtrihCode(u"4607001770015"_s);
        break;
    }
    }
}

void TestGridUndo::eachStepUndoneAndRedone_data()
{
    QTest::addColumn<Step>("step");
    QTest::addColumn<QString>("label");
    QTest::newRow("typing") << Step::Typing << u"Ввод"_s;
    QTest::newRow("paste") << Step::Paste << u"Вставка"_s;
    QTest::newRow("fill") << Step::Fill << u"Заполнение"_s;
    QTest::newRow("delete") << Step::Delete << u"Очистка"_s;
    QTest::newRow("cut") << Step::Cut << u"Вырезание"_s;
    QTest::newRow("list choice") << Step::ListChoice << u"Выбор из списка"_s;
    QTest::newRow("configuration loaded") << Step::ConfigLoad << u"Загрузка конфигурации"_s;
    QTest::newRow("goods file loaded") << Step::GoodsFile << u"Загрузка базы товаров"_s;
    QTest::newRow("goods read from the register") << Step::Read << u"Чтение из ККТ"_s;
    QTest::newRow("gsm read from the register") << Step::GsmRead << u"Чтение из ККТ"_s;
    QTest::newRow("whole configuration read from the register") << Step::WholeRead << u"Чтение конфигурации из ККТ"_s;
    QTest::newRow("scanned code") << Step::Scan << u"Сканирование"_s;
}

// Each change is one step: Ctrl+Z gives back every cell of both pages as they
// were, Ctrl+Y brings the change again.
void TestGridUndo::eachStepUndoneAndRedone()
{
    QFETCH(Step, step);
    QFETCH(QString, label);

    GridWindow w;
    Register kkt(w);
    if (step == Step::Read || step == Step::WholeRead) {
        WriteAndEmpty(w, 2);
        WriteAndEmpty(w, 3);
        w.field(u"Edit3"_s)->setText(u"2"_s);
    } else if (step == Step::Delete || step == Step::Cut) {
        w.grid(TableKind::Klishe).setCell(4, KlisheCol::Text, u"ООО РОМАШКА"_s);
        w.grid(TableKind::Klishe).setCell(4, KlisheCol::Font, FixedLists::Wide());
    } else if (step == Step::GsmRead) {
        w.grid(TableKind::Gsm).setCell(1, GsmCol::Value, u"10.0.0.1"_s);
        w.grid(TableKind::Gsm).setCell(5, GsmCol::Value, u"internet"_s);
        w.show(TableKind::Gsm);
        QTest::mouseClick(GridWindow::Button(w.form.GsmFrame, u"Button3"_s), Qt::LeftButton);
        w.grid(TableKind::Gsm).setCell(1, GsmCol::Value, QString());
        w.grid(TableKind::Gsm).setCell(5, GsmCol::Value, QString());
    }
    QUndoStack *stack = w.form.edits().stack();
    const int steps = stack->count();
    const QStringList before = AllCells(w);

    doStep(w, step);
    w.activate();
    const QStringList after = AllCells(w);
    QVERIFY(after != before);
    QCOMPARE(stack->count(), steps + 1);
    QCOMPARE(stack->undoText(), label);

    TStringGrid *goods = w.show(TableKind::Goods);
    goods->selectCell(GoodsCol::Mark, 100); // the keys work from any grid
    goods->setFocus(); // as a click in it would
    Press(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(AllCells(w), before);
    Press(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(AllCells(w), after);
    Press(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(AllCells(w), before);
    Press(Qt::Key_Z, Qt::ShiftModifier | Qt::ControlModifier); // the desktop's redo key too
    QCOMPARE(AllCells(w), after);
    QCOMPARE(stack->count(), steps + 1);
}

// The keys of one edit are one step; typed back to its start, the edit leaves none.
void TestGridUndo::typedKeysOfOneEditAreOneStep()
{
    GridWindow w;
    TStringGrid *view = w.show(TableKind::Goods);
    StringGridModel &goods = w.grid(TableKind::Goods);
    QUndoStack *stack = w.form.edits().stack();
    view->selectCell(GoodsCol::Name, 1);
    TypeText(view->cellEditor(), u"кефир"_s);
    Press(Qt::Key_Return);
    TypeText(view->cellEditor(), u"ряженка"_s);
    Press(Qt::Key_Backspace);
    QCOMPARE(stack->count(), 2);
    Press(Qt::Key_Escape); // the edit given back: its step goes
    QCOMPARE(stack->count(), 1);
    TypeText(view->cellEditor(), u"ab"_s);
    Press(Qt::Key_Backspace);
    Press(Qt::Key_Backspace);
    QCOMPARE(stack->count(), 1);

    Press(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(goods.cell(1, GoodsCol::Name), QString());
    QCOMPARE(goods.cell(2, GoodsCol::Name), QString());
    QVERIFY(!stack->canUndo());
    Press(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(goods.cell(1, GoodsCol::Name), u"КЕФИР"_s);
    // What undo brought back shows in the open editor and begins a new edit.
    view->selectCell(GoodsCol::Name, 1);
    TypeText(view->cellEditor(), u"!"_s);
    QCOMPARE(stack->count(), 2);
    Press(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(view->cellEditor()->text(), u"КЕФИР"_s);
}

// Loaded or saved, the grids are clean; every step away is unsaved, and
// undoing back to that point is clean again.
void TestGridUndo::cleanStateFollowsUndo()
{
    GridWindow w;
    GridEdits &edits = w.form.edits();
    QSignalSpy clean(&edits, &GridEdits::cleanChanged);
    TConfig cfg;
    FillDistinct(cfg);
    const QString path = w.dir.filePath(u"shop.conf"_s);
    QVERIFY(SaveConfigFile(path, cfg));
    TStringGrid *view = w.show(TableKind::Goods);
    view->selectCell(GoodsCol::Name, 1);
    TypeText(view->cellEditor(), u"до загрузки"_s);
    QVERIFY(!edits.isClean());
    QVERIFY(w.form.windowTitle().endsWith(u"*"_s));
    // The typed cell would go: asked first, and "Нет" keeps it.
    prompts->answerFile(Kind::OpenFile, path).answerQuestion(false);
    w.child<QAction>(u"N8"_s)->trigger();
    w.activate();
    QCOMPARE(prompts->messages.last().text, u"Загрузка файла заменит изменённые ячейки: 1. Продолжить?"_s);
    QCOMPARE(w.grid(TableKind::Goods).cell(1, GoodsCol::Name), u"ДО ЗАГРУЗКИ"_s);
    QVERIFY(!edits.isClean());
    prompts->answerFile(Kind::OpenFile, path).answerQuestion(true);
    w.child<QAction>(u"N8"_s)->trigger();
    w.activate();
    QVERIFY(edits.isClean());
    QVERIFY(w.form.windowTitle().endsWith(u" — shop.conf"_s));
    QCOMPARE(clean.last(), QList<QVariant> { true });

    view->selectCell(GoodsCol::Barcode, 2);
    Press(Qt::Key_Delete);
    QVERIFY(!edits.isClean());
    QCOMPARE(clean.last(), QList<QVariant> { false });
    Press(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(edits.isClean());
    QCOMPARE(clean.last(), QList<QVariant> { true });
    Press(Qt::Key_Z, Qt::ControlModifier); // behind the load
    QVERIFY(!edits.isClean());
    QCOMPARE(w.grid(TableKind::Goods).cell(1, GoodsCol::Name), u"ДО ЗАГРУЗКИ"_s);
    Press(Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(edits.isClean());

    // A save is the new clean point.
    Press(Qt::Key_Delete);
    QVERIFY(!edits.isClean());
    prompts->answerFile(Kind::SaveFile, w.dir.filePath(u"saved.conf"_s));
    w.child<QAction>(u"N7"_s)->trigger();
    QVERIFY(edits.isClean());
    QVERIFY(QFile::exists(w.dir.filePath(u"saved.conf"_s)));
}

void TestGridUndo::editMenu()
{
    GridWindow w;
    auto *menu = w.child<QMenu>(u"EditMenu"_s);
    QCOMPARE(menu->title().remove(u'&'), u"Правка"_s); // its keyboard letter aside
    QStringList captions;
    for (QAction *action : menu->actions())
        if (!action->isSeparator())
            captions << action->text().remove(u'&');
    QCOMPARE(captions, (QStringList { u"Отменить"_s, u"Повторить"_s, u"Копировать"_s, u"Вставить"_s, u"Найти…"_s }));
    auto *undo = w.child<QAction>(u"EditUndo"_s);
    auto *redo = w.child<QAction>(u"EditRedo"_s);
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());

    TStringGrid *view = w.show(TableKind::Station);
    view->selectCell(StationCol::Name, 1);
    TypeText(view->cellEditor(), u"касса"_s);
    QVERIFY(undo->isEnabled());
    undo->trigger();
    QCOMPARE(w.grid(TableKind::Station).cell(1, StationCol::Name), QString());
    QVERIFY(!undo->isEnabled() && redo->isEnabled());
    redo->trigger();
    QCOMPARE(w.grid(TableKind::Station).cell(1, StationCol::Name), u"КАССА"_s);

    // Copy and paste work on the grid the focus is in.
    view->selectCell(StationCol::Name, 1);
    w.child<QAction>(u"EditCopy"_s)->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"КАССА\n"_s);
    view->selectCell(StationCol::Name, 2);
    w.child<QAction>(u"EditPaste"_s)->trigger();
    QCOMPARE(w.grid(TableKind::Station).cell(2, StationCol::Name), u"КАССА"_s);
    // And on a field, through its own rule.
    QLineEdit *item = w.field(u"Edit11"_s);
    w.show(TableKind::Goods);
    item->clear();
    item->setFocus();
    QGuiApplication::clipboard()->setText(u"№42"_s);
    w.child<QAction>(u"EditPaste"_s)->trigger();
    QCOMPARE(item->text(), u"42"_s);
}

// A read writes the grids row by row: undo and redo wait for its end, and the
// read is one step afterwards.
void TestGridUndo::noUndoWhileRunWritesGrids()
{
    GridWindow w;
    Register kkt(w);
    WriteAndEmpty(w, 1);
    TStringGrid *view = w.show(TableKind::Goods);
    view->selectCell(GoodsCol::Name, 5);
    TypeText(view->cellEditor(), u"до чтения"_s);
    w.field(u"Edit3"_s)->setText(u"1"_s);
    w.field(u"Edit4"_s)->setText(u"3"_s);
    auto *undo = w.child<QAction>(u"EditUndo"_s);
    auto *note = w.child<QLabel>(u"StatusNote"_s);
    int tries = 0;
    connect(w.form.Set102Frame->findChild<QProgressBar *>(u"ProgressBar1"_s), &QProgressBar::valueChanged, this,
        [&](int value) {
            if (value == 0 || value == 100)
                return;
            ++tries;
            QVERIFY(!undo->isEnabled());
            QVERIFY(!w.form.edits().canUndo());
            note->clear();
            w.form.edits().undo();
            undo->trigger();
            QCOMPARE(w.grid(TableKind::Goods).cell(5, GoodsCol::Name), u"ДО ЧТЕНИЯ"_s);
            QCOMPARE(note->text(), u"Идёт обмен с ККТ! Отменить или повторить можно после его окончания."_s);
            // Nor does a paste or a delete reach the grid the read writes.
            QGuiApplication::clipboard()->setText(u"вставка"_s);
            view->paste();
            QCOMPARE(note->text(), u"Идёт обмен с ККТ! Изменить эту таблицу можно после его окончания."_s);
            note->clear();
            view->clearSelected();
            QCOMPARE(note->text(), u"Идёт обмен с ККТ! Изменить эту таблицу можно после его окончания."_s);
            QCOMPARE(w.grid(TableKind::Goods).cell(5, GoodsCol::Name), u"ДО ЧТЕНИЯ"_s);
        });
    prompts->answerQuestion(true); // the emptied row 1 is an edit the read replaces
    QTest::mouseClick(GridWindow::Button(w.form.Set102Frame, u"Button4"_s), Qt::LeftButton);
    QVERIFY(tries > 0);
    QVERIFY(undo->isEnabled());
    QCOMPARE(w.form.edits().stack()->undoText(), u"Чтение из ККТ"_s);
    QCOMPARE(w.grid(TableKind::Goods).cell(1, GoodsCol::Name), u"ХЛЕБ 1"_s);
    undo->trigger();
    QCOMPARE(w.grid(TableKind::Goods).cell(1, GoodsCol::Name), QString());
    QCOMPARE(w.grid(TableKind::Goods).cell(5, GoodsCol::Name), u"ДО ЧТЕНИЯ"_s);
}

void TestGridUndo::closingAsksAboutUnsavedEdits_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("saveAs"); // the save dialog's answer; empty: cancelled
    QTest::addColumn<bool>("closed");
    using Answer = Prompts::SaveAnswer;
    QTest::newRow("Отмена") << int(Answer::Cancel) << QString() << false;
    QTest::newRow("Нет") << int(Answer::Discard) << QString() << true;
    QTest::newRow("Да, saved") << int(Answer::Save) << u"kept.conf"_s << true;
    QTest::newRow("Да, save cancelled") << int(Answer::Save) << QString() << false;
}

void TestGridUndo::closingAsksAboutUnsavedEdits()
{
    QFETCH(int, answer);
    QFETCH(QString, saveAs);
    QFETCH(bool, closed);
    GridWindow w;
    QVERIFY(w.form.close()); // nothing edited: closes without a word
    QVERIFY(prompts->messages.isEmpty());
    w.form.show();
    w.activate();
    TStringGrid *view = w.show(TableKind::Station);
    view->selectCell(StationCol::Name, 1);
    TypeText(view->cellEditor(), u"касса"_s);
    QVERIFY(w.form.windowTitle().endsWith(u"*"_s));

    prompts->answerSaveChanges(Prompts::SaveAnswer(answer));
    if (Prompts::SaveAnswer(answer) == Prompts::SaveAnswer::Save)
        prompts->answerFile(Kind::SaveFile, saveAs.isEmpty() ? QString() : w.dir.filePath(saveAs));
    QCOMPARE(w.form.close(), closed);
    QCOMPARE(prompts->messages.first().kind, Kind::SaveChanges);
    QCOMPARE(prompts->messages.first().text, u"Сохранить изменения в конфигурации?"_s);
    QCOMPARE(w.form.isVisible(), !closed);
    if (!saveAs.isEmpty()) {
        TConfig saved;
        QVERIFY(LoadConfigFile(w.dir.filePath(saveAs), saved));
        QCOMPARE(saved.Cfg102.Station[0].Name, u"КАССА"_s);
    }
    QCOMPARE(w.grid(TableKind::Station).cell(1, StationCol::Name), u"КАССА"_s);
}

// A read of the rows or a goods file that would replace typed cells asks
// first: "Нет" leaves the cells and sends nothing; rows read or files loaded
// are no edits, so the next read asks nothing.
void TestGridUndo::readsAndFilesAskBeforeReplacingEdits()
{
    GridWindow w;
    Register kkt(w);
    // Written: row 2 matches the register; one cell of it edited since.
    TStringGrid *view = w.show(TableKind::Goods);
    w.grid(TableKind::Goods).setCell(2, GoodsCol::Name, u"ХЛЕБ 2"_s);
    w.field(u"Edit3"_s)->setText(u"2"_s);
    w.field(u"Edit4"_s)->setText(u"2"_s);
    QTest::mouseClick(GridWindow::Button(w.form.Set102Frame, u"Button3"_s), Qt::LeftButton);
    w.grid(TableKind::Goods).setCell(2, GoodsCol::Name, u"ХЛЕБ БЕЛЫЙ"_s);
    view->selectCell(GoodsCol::Name, 3);
    TypeText(view->cellEditor(), u"батон"_s);
    Press(Qt::Key_Return);
    w.field(u"Edit3"_s)->setText(u"1"_s);
    w.field(u"Edit4"_s)->setText(u"3"_s);
    const int writes = kkt.link.writes();

    prompts->answerQuestion(false);
    QTest::mouseClick(GridWindow::Button(w.form.Set102Frame, u"Button4"_s), Qt::LeftButton);
    QCOMPARE(prompts->messages.last().text, u"Чтение из ККТ заменит изменённые ячейки: 2. Продолжить?"_s);
    QCOMPARE(kkt.link.writes(), writes);
    QCOMPARE(w.grid(TableKind::Goods).cell(3, GoodsCol::Name), u"БАТОН"_s);

    // Rows outside the range read are no concern of it.
    w.field(u"Edit3"_s)->setText(u"4"_s);
    w.field(u"Edit4"_s)->setText(u"5"_s);
    prompts->messages.clear();
    QTest::mouseClick(GridWindow::Button(w.form.Set102Frame, u"Button4"_s), Qt::LeftButton);
    QVERIFY(prompts->messages.isEmpty());
    QVERIFY(kkt.link.writes() > writes);

    prompts->answerQuestion(true);
    w.field(u"Edit3"_s)->setText(u"1"_s);
    w.field(u"Edit4"_s)->setText(u"3"_s);
    QTest::mouseClick(GridWindow::Button(w.form.Set102Frame, u"Button4"_s), Qt::LeftButton);
    QCOMPARE(w.grid(TableKind::Goods).cell(2, GoodsCol::Name), u"ХЛЕБ 2"_s); // as it was written
    QCOMPARE(w.grid(TableKind::Goods).cell(3, GoodsCol::Name), QString());
    prompts->messages.clear();
    QTest::mouseClick(GridWindow::Button(w.form.Set102Frame, u"Button4"_s), Qt::LeftButton);
    QVERIFY(prompts->messages.isEmpty()); // what was read is no edit

    // A goods file over a typed cell.
    const OwnedGrids source;
    const QString path = w.dir.filePath(u"base.db102"_s);
    QVERIFY(SaveGoodsDb102(path, source[TableKind::Goods]).ok);
    view->selectCell(GoodsCol::Name, 10);
    TypeText(view->cellEditor(), u"кефир"_s);
    Press(Qt::Key_Return);
    prompts->answerFile(Kind::OpenFile, path).answerQuestion(false);
    QTest::mouseClick(GridWindow::Button(w.form.Set102Frame, u"Button2"_s), Qt::LeftButton);
    QCOMPARE(prompts->messages.last().text, u"Загрузка файла заменит изменённые ячейки: 1. Продолжить?"_s);
    QCOMPARE(w.grid(TableKind::Goods).cell(10, GoodsCol::Name), u"КЕФИР"_s);
}

// A load undone is the file before it again: its name in the caption, and
// only the cells really edited since count as edited; the load redone is the
// loaded file, unchanged.
void TestGridUndo::undoneLoadGivesBackFileAndEdits()
{
    GridWindow w;
    // A configuration loaded; the answer to the question before it replaces edits, when one is asked.
    const auto load = [&](const QString &path, std::optional<bool> replace = {}) {
        prompts->answerFile(Kind::OpenFile, path);
        if (replace)
            prompts->answerQuestion(*replace);
        w.child<QAction>(u"N8"_s)->trigger();
        w.activate();
    };
    const auto captionEnds
        = [&](const QString &end) { return w.form.windowTitle().endsWith(end) ? QString() : w.form.windowTitle(); };
    TConfig mine;
    mine.Cfg102.PredmRasch[0].NameTov = u"ХЛЕБ"_s;
    const QString minePath = w.dir.filePath(u"mine.conf"_s);
    QVERIFY(SaveConfigFile(minePath, mine));
    TConfig other;
    FillDistinct(other); // every cell differs
    const QString otherPath = w.dir.filePath(u"other.conf"_s);
    QVERIFY(SaveConfigFile(otherPath, other));

    load(minePath);
    QCOMPARE(captionEnds(u" — mine.conf"_s), QString());
    TStringGrid *view = w.show(TableKind::Goods);
    view->selectCell(GoodsCol::Name, 2);
    TypeText(view->cellEditor(), u"батон"_s);
    Press(Qt::Key_Return);
    QCOMPARE(captionEnds(u" — mine.conf*"_s), QString());

    load(otherPath, true);
    QCOMPARE(prompts->messages.last().text, u"Загрузка файла заменит изменённые ячейки: 1. Продолжить?"_s);
    QCOMPARE(captionEnds(u" — other.conf"_s), QString());

    w.form.edits().undo();
    QCOMPARE(captionEnds(u" — mine.conf*"_s), QString());
    QCOMPARE(w.grid(TableKind::Goods).cell(2, GoodsCol::Name), u"БАТОН"_s);
    QCOMPARE(w.child<QLabel>(u"StatusFile"_s)->text(), u"Конфигурация: mine.conf"_s);
    // The one typed cell is still the only edit, not every cell the undo brought back.
    load(otherPath, false);
    QCOMPARE(prompts->messages.last().text, u"Загрузка файла заменит изменённые ячейки: 1. Продолжить?"_s);
    QCOMPARE(captionEnds(u" — mine.conf*"_s), QString());

    // Undone once more: the file as loaded, unchanged.
    w.form.edits().undo();
    QCOMPARE(captionEnds(u" — mine.conf"_s), QString());
    w.form.edits().redo();
    w.form.edits().redo();
    QCOMPARE(captionEnds(u" — other.conf"_s), QString());
    QVERIFY(w.form.edits().isClean());
    prompts->messages.clear();
    load(minePath); // nothing edited since other.conf: no question
    QCOMPARE(prompts->messages.size(), 1);
    QCOMPARE(prompts->messages.first().kind, Kind::OpenFile);
    QCOMPARE(captionEnds(u" — mine.conf"_s), QString());

    // A goods file undone: the goods count against what they held before it.
    const OwnedGrids source;
    source[TableKind::Goods].setCell(1, GoodsCol::Name, u"ИЗ ФАЙЛА"_s);
    const QString basePath = w.dir.filePath(u"base.db102"_s);
    QVERIFY(SaveGoodsDb102(basePath, source[TableKind::Goods]).ok);
    w.show(TableKind::Goods);
    prompts->answerFile(Kind::OpenFile, basePath).expect(Kind::Information);
    QTest::mouseClick(GridWindow::Button(w.form.Set102Frame, u"Button2"_s), Qt::LeftButton);
    QCOMPARE(w.grid(TableKind::Goods).cell(1, GoodsCol::Name), u"ИЗ ФАЙЛА"_s);
    w.form.edits().undo();
    QCOMPARE(w.grid(TableKind::Goods).cell(1, GoodsCol::Name), u"ХЛЕБ"_s);
    prompts->answerFile(Kind::OpenFile, basePath).expect(Kind::Information);
    prompts->messages.clear();
    QTest::mouseClick(GridWindow::Button(w.form.Set102Frame, u"Button2"_s), Qt::LeftButton);
    QCOMPARE(prompts->messages.first().kind, Kind::OpenFile); // no question: nothing edited
    QCOMPARE(prompts->messages.size(), 2);
}

KKT_GUI_TEST_MAIN(TestGridUndo)
#include "TestGridUndo.moc"
