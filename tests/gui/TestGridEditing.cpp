// Editing the grids of both pages in the real main window, as a user does:
// what a paste lets into each kind of editor, the drop-down lists, and the
// keys that move between cells.
#include "GridWindow.h"
#include "GuiTest.h"
#include "ScriptedPrompts.h"

#include "pages/FixedLists.h"
#include "pages/StringGridModel.h"
#include "pages/TableLayout.h"
#include "ui/StringGrid.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = Prompts::Kind;

Q_DECLARE_METATYPE(TableKind)

using Window = GridWindow;

class TestGridEditing : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void pasteIntoEditors_data();
    void pasteIntoEditors();
    void firstOpeningOfEveryList_data();
    void firstOpeningOfEveryList();
    void agentsInnRowFontCell();
    void commaInPrice();
    void keysThatMove_data();
    void keysThatMove();
    void escapeGivesTheTextBack();
    void copyBlockToClipboard();
    void pasteBlockFromClipboard();
    void oneValueFillsMouseSelection();
    void cutAndDelete();
    void keysOfTextBeingEdited();

private:
    std::unique_ptr<ScriptedPrompts> prompts;
};

void TestGridEditing::init()
{
    prompts = std::make_unique<ScriptedPrompts>();
}

void TestGridEditing::cleanup()
{
    const QString verdict = prompts->verdict();
    prompts.reset();
    QVERIFY2(verdict.isEmpty(), qPrintable(verdict));
}

void TestGridEditing::pasteIntoEditors_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<QString>("field"); // a range or item field; empty: the cell (col, row)
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("text"); // of the cell or field afterwards
    QTest::addColumn<QString>("problem"); // what the cell's rule did, as told and marked; empty: nothing

    auto cell = [](const char *tag, TableKind kind, int col, int row, const QString &clip, const QString &text,
                    const QString &problem) {
        QTest::newRow(tag) << kind << QString() << col << row << clip << text << problem;
    };
    auto field = [](const char *tag, TableKind kind, const QString &name, const QString &clip, const QString &text) {
        QTest::newRow(tag) << kind << name << 0 << 0 << clip << text << QString();
    };
    const QString letters = u"убраны недопустимые символы (%1)"_s;
    cell("goods barcode", TableKind::Goods, GoodsCol::Barcode, 1, u"12ABC"_s, u"12"_s, letters.arg(3));
    cell("goods section", TableKind::Goods, GoodsCol::Section, 2, u"XXXX"_s, QString(), letters.arg(4));
    cell("goods price with a comma", TableKind::Goods, GoodsCol::Price, 3, u"12,50"_s, u"12.50"_s, QString());
    cell("goods name: 34 characters", TableKind::Goods, GoodsCol::Name, 4, u"батон нарезной в/с 400г упак. 12шт"_s,
        u"БАТОН НАРЕЗНОЙ В/С 400Г "_s, u"обрезано до 24 символов"_s);
    cell("goods name: a line with tabs", TableKind::Goods, GoodsCol::Name, 5, u"\"хлеб\tбелый\"\r\n"_s, u"ХЛЕББЕЛЫЙ"_s,
        letters.arg(1));
    cell("goods font: an entry", TableKind::Goods, GoodsCol::Font, 6, u"широкий"_s, u"Широкий"_s, QString());
    cell("goods font: no entry", TableKind::Goods, GoodsCol::Font, 6, u"Жирный"_s, u"Узкий"_s,
        u"такого значения нет в списке"_s);
    cell("operator inn", TableKind::Oper, OperCol::Inn, 2, u"ИНН 7707083893"_s, u"7707083893"_s, letters.arg(4));
    cell("header line", TableKind::Klishe, KlisheCol::Text, 1, u"ооо ромашка"_s, u"ООО РОМАШКА"_s, QString());
    cell("enterprise inn", TableKind::Factory, FactoryCol::Inn, 90, u"77-07-08"_s, u"770708"_s, letters.arg(2));
    cell("gsm ip", TableKind::Gsm, GsmCol::Value, 1, u"10.0.0.x1"_s, u"10.0.0.1"_s, letters.arg(1));
    cell("gsm port", TableKind::Gsm, GsmCol::Value, 3, u"XXXX"_s, QString(), letters.arg(4));
    cell("gsm pin", TableKind::Gsm, GsmCol::Value, 4, u"12345"_s, u"1234"_s, u"обрезано до 4 символов"_s);
    cell("gsm apn keeps its case", TableKind::Gsm, GsmCol::Value, 5, u"Internet.MTS.ru"_s, u"Internet.MTS.ru"_s,
        QString());
    field("operators range start", TableKind::Oper, u"Edit1"_s, u"XXXX"_s, QString());
    field("goods range end", TableKind::Goods, u"Edit4"_s, u"№ 6000 шт"_s, u"6000"_s);
    field("enterprises range end", TableKind::Factory, u"edtLastElement"_s, u"9x9x9"_s, u"99"_s);
    field("item number", TableKind::Goods, u"Edit11"_s, u"12ABC"_s, u"12"_s);
}

// Ctrl+V with the real clipboard: pasted text passes the rule typed text
// passes; a cell says what its rule changed, and so does the message after.
void TestGridEditing::pasteIntoEditors()
{
    QFETCH(TableKind, kind);
    QFETCH(QString, field);
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QString, clipboard);
    QFETCH(QString, text);
    QFETCH(QString, problem);

    Window w;
    TStringGrid *view = w.show(kind);
    QGuiApplication::clipboard()->setText(clipboard);
    if (!field.isEmpty()) {
        QLineEdit *edit = w.field(field);
        QVERIFY(edit);
        edit->clear();
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        Press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), text);
        return;
    }
    view->selectCell(col, row);
    QTRY_VERIFY(GridWindow::FocusIn(view));
    if (!problem.isEmpty())
        prompts->expect(Kind::Information);
    Press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.grid(kind).cell(row, col), text);
    if (QLineEdit *editor = view->cellEditor())
        QCOMPARE(editor->text(), text);
    const QString title = LayoutOf(kind).column(col).title;
    const QString told = problem.isEmpty()
        ? QString()
        : u"Вставлена 1 ячейка, изменена 1:\r\nстрока %1, «%2»: %3"_s.arg(row).arg(title, problem);
    QCOMPARE(prompts->messages.isEmpty() ? QString() : prompts->messages.constFirst().text, told);
    const QString mark = w.grid(kind).markReason(row, col, MarkKind::Adjusted);
    QCOMPARE(mark.isEmpty(), problem.isEmpty());
    QVERIFY2(mark.endsWith(problem), qPrintable(mark));
    // The view shows the mark in its colour, its reason as the tool tip.
    const QModelIndex shown = view->model()->index(row - 1, col - 1);
    QCOMPARE(shown.data(Qt::BackgroundRole).isValid(), !problem.isEmpty());
    QCOMPARE(shown.data(Qt::ToolTipRole).toString(), mark);
}

void TestGridEditing::firstOpeningOfEveryList_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("mouse"); // opened by a click, or by Alt+Down

    const struct
    {
        TableKind kind;
        int col;
        const char16_t *list;
    } lists[] = {
        { TableKind::Oper, OperCol::Name1Font, u"ComboBox2" },
        { TableKind::Goods, GoodsCol::Font, u"ComboBox1" },
        { TableKind::Usl, UslCol::Font, u"ComboBox3" },
        { TableKind::Usl, UslCol::Kind, u"ComboBox5" },
        { TableKind::Usl, UslCol::Vat, u"ComboBox7" },
        { TableKind::Usl, UslCol::Tax, u"ComboBox8" },
        { TableKind::Klishe, KlisheCol::Font, u"ComboBox4" },
        { TableKind::Agents, AgentCol::Font, u"ComboBox6" },
    };
    for (const auto &l : lists)
        for (const bool mouse : { false, true }) {
            const QString name = QString::fromUtf16(l.list);
            QTest::addRow("%s by %s", qPrintable(name), mouse ? "mouse" : "keys") << l.kind << l.col << name << mouse;
        }
}

// Each list opened for the first time in a fresh window stays open, keeps the
// focus, and a key typed after closing its pop-up does not reach the range.
void TestGridEditing::firstOpeningOfEveryList()
{
    QFETCH(TableKind, kind);
    QFETCH(int, col);
    QFETCH(QString, list);
    QFETCH(bool, mouse);

    Window w;
    TStringGrid *view = w.show(kind);
    view->selectCell(col, 2);
    auto *combo = view->findChild<QComboBox *>(list);
    QVERIFY(combo && combo->isVisible());
    QTRY_VERIFY(combo->hasFocus());
    if (mouse)
        QTest::mouseClick(combo, Qt::LeftButton);
    else
        Press(Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY(combo->view()->isVisible());
    QTest::qWait(100); // whatever the first pop-up sets off has come and gone
    QVERIFY(combo->isVisible());
    QVERIFY(combo->view()->isVisible());

    QTest::keyClick(combo->view(), Qt::Key_Escape); // closes the pop-up without a choice
    QTRY_VERIFY(!combo->view()->isVisible());
    QTRY_VERIFY(combo->hasFocus());
    QVERIFY(combo->isVisible());
    QLineEdit *start = w.field(LayoutOf(kind).range.startName);
    const QString range = start->text();
    Press(Qt::Key_9); // no entry of any list starts with 9
    QCOMPARE(start->text(), range);
    QCOMPARE(view->currentCol(), col);
    QCOMPARE(w.grid(kind).cell(2, col), LayoutOf(kind).column(col).startValue);
}

// Row 5 of the agents (the INN) has no font list: its font cell takes the INN's digits.
void TestGridEditing::agentsInnRowFontCell()
{
    Window w;
    TStringGrid *view = w.show(TableKind::Agents);
    view->selectCell(AgentCol::Font, AgentCol::InnRow);
    QVERIFY(!view->findChild<QComboBox *>(u"ComboBox6"_s)->isVisible());
    QLineEdit *editor = view->cellEditor();
    QVERIFY(editor);
    QTRY_VERIFY(editor->hasFocus());
    QCOMPARE(editor->text(), FixedLists::Narrow());
    for (int i = 0; i < 5; ++i)
        Press(Qt::Key_Backspace);
    TypeText(editor, u"77a07b08389312"_s);
    QCOMPARE(w.grid(TableKind::Agents).cell(AgentCol::InnRow, AgentCol::Font), u"770708389312"_s);
    // The other rows keep their list.
    view->selectCell(AgentCol::Font, 4);
    QVERIFY(view->findChild<QComboBox *>(u"ComboBox6"_s)->isVisible());
}

// A Russian keypad's comma is the price's point; a second separator is refused.
void TestGridEditing::commaInPrice()
{
    Window w;
    TStringGrid *view = w.show(TableKind::Goods);
    view->selectCell(GoodsCol::Price, 10);
    QTRY_VERIFY(view->cellEditor() && view->cellEditor()->hasFocus());
    TypeText(view->cellEditor(), u"12,5,0"_s);
    QCOMPARE(w.grid(TableKind::Goods).cell(10, GoodsCol::Price), u"12.50"_s);
    QCOMPARE(view->cellEditor()->text(), u"12.50"_s);
    auto *warning = w.form.findChild<QLabel *>(u"Label13"_s);
    QVERIFY(warning && warning->isVisible());
    QCOMPARE(warning->text(), u"Разделитель цены - \"ТОЧКА!\""_s);
}

void TestGridEditing::keysThatMove_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<QPoint>("from"); // col, row
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QPoint>("to"); // (0, 0): the focus left the grid, the cell stays

    auto row = [](const char *tag, TableKind kind, QPoint from, int key, bool shift, QPoint to) {
        QTest::newRow(tag) << kind << from << key << shift << to;
    };
    row("enter goes down", TableKind::Goods, { 1, 1 }, Qt::Key_Return, false, { 1, 2 });
    row("keypad enter goes down", TableKind::Goods, { 4, 7 }, Qt::Key_Enter, false, { 4, 8 });
    row("enter on the last row stays", TableKind::Goods, { 3, 6000 }, Qt::Key_Return, false, { 3, 6000 });
    row("tab goes right onto a list", TableKind::Goods, { 1, 1 }, Qt::Key_Tab, false, { 2, 1 });
    row("tab from a list goes right", TableKind::Goods, { 2, 1 }, Qt::Key_Tab, false, { 3, 1 });
    row("tab at the row's end wraps", TableKind::Goods, { 6, 1 }, Qt::Key_Tab, false, { 1, 2 });
    row("shift+tab goes left", TableKind::Goods, { 3, 5 }, Qt::Key_Tab, true, { 2, 5 });
    row("shift+tab at the row's start wraps", TableKind::Goods, { 1, 2 }, Qt::Key_Backtab, true, { 6, 1 });
    row("enter on a list goes down", TableKind::Usl, { 3, 1 }, Qt::Key_Return, false, { 3, 2 });
    row("tab skips the hidden column", TableKind::Usl, { 5, 1 }, Qt::Key_Tab, false, { 1, 2 });
    row("shift+tab skips it back", TableKind::Usl, { 1, 2 }, Qt::Key_Tab, true, { 5, 1 });
    row("tab past the last cell leaves", TableKind::Oper, { 8, 6 }, Qt::Key_Tab, false, { 0, 0 });
    row("shift+tab before the first cell leaves", TableKind::Station, { 1, 1 }, Qt::Key_Tab, true, { 0, 0 });
    row("gsm: enter goes down", TableKind::Gsm, { 1, 3 }, Qt::Key_Return, false, { 1, 4 });
}

void TestGridEditing::keysThatMove()
{
    QFETCH(TableKind, kind);
    QFETCH(QPoint, from);
    QFETCH(int, key);
    QFETCH(bool, shift);
    QFETCH(QPoint, to);

    Window w;
    TStringGrid *view = w.show(kind);
    view->selectCell(from.x(), from.y());
    QTRY_VERIFY(GridWindow::FocusIn(view));
    const StringGridModel &grid = w.grid(kind);
    const QString before = grid.cell(from.y(), from.x());
    Press(key, shift ? Qt::ShiftModifier : Qt::NoModifier);

    QCOMPARE(grid.cell(from.y(), from.x()), before); // moving changes no cell
    if (to.isNull()) {
        QVERIFY(!GridWindow::FocusIn(view));
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QPoint(view->currentCol(), view->currentRow()), from);
        return;
    }
    QCOMPARE(QPoint(view->currentCol(), view->currentRow()), to);
    QVERIFY(GridWindow::FocusIn(view));
    QVERIFY(view->visualRect(view->currentIndex()).intersects(view->viewport()->rect()));
    // The new cell edits at once: its editor, or its list, has the focus.
    if (QComboBox *list = view->listOf(to.x()))
        QVERIFY(list->isVisible() && list->hasFocus());
    else
        QVERIFY(view->cellEditor() && view->cellEditor()->hasFocus());
}

void TestGridEditing::escapeGivesTheTextBack()
{
    Window w;
    TStringGrid *view = w.show(TableKind::Goods);
    StringGridModel &goods = w.grid(TableKind::Goods);
    goods.setCell(5, GoodsCol::Name, u"ХЛЕБ"_s);
    view->selectCell(GoodsCol::Name, 5);
    QTRY_VERIFY(view->cellEditor() && view->cellEditor()->hasFocus());
    TypeText(view->cellEditor(), u" белый"_s);
    for (int i = 0; i < 3; ++i)
        Press(Qt::Key_Backspace);
    QCOMPARE(goods.cell(5, GoodsCol::Name), u"ХЛЕБ БЕ"_s); // each key reaches the grid
    Press(Qt::Key_Escape);
    QCOMPARE(goods.cell(5, GoodsCol::Name), u"ХЛЕБ"_s);
    QCOMPARE(view->cellEditor()->text(), u"ХЛЕБ"_s);
    QCOMPARE(view->currentRow(), 5);

    // An edit ended by Enter stays; Escape on the next cell leaves that one alone.
    TypeText(view->cellEditor(), u"!"_s);
    Press(Qt::Key_Return);
    Press(Qt::Key_Escape);
    QCOMPARE(goods.cell(5, GoodsCol::Name), u"ХЛЕБ!"_s);
    QCOMPARE(view->currentRow(), 6);

    // Escape also brings back a text the rule would not let a user type.
    goods.setCell(7, GoodsCol::Barcode, u"46-07"_s);
    view->selectCell(GoodsCol::Barcode, 7);
    for (int i = 0; i < 5; ++i)
        Press(Qt::Key_Backspace);
    TypeText(view->cellEditor(), u"1"_s);
    Press(Qt::Key_Escape);
    QCOMPARE(goods.cell(7, GoodsCol::Barcode), u"46-07"_s);
}

// Shift and the arrows select a block across list cells; Ctrl+C puts it on
// the clipboard as a spreadsheet takes it.
void TestGridEditing::copyBlockToClipboard()
{
    Window w;
    TStringGrid *view = w.show(TableKind::Goods);
    StringGridModel &goods = w.grid(TableKind::Goods);
    goods.setCell(2, GoodsCol::Name, u"МОЛОКО \"ДОМИК\""_s);
    goods.setCell(2, GoodsCol::Barcode, u"0012"_s);
    goods.setCell(3, GoodsCol::Name, u"ХЛЕБ"_s);
    goods.setCell(3, GoodsCol::Font, FixedLists::Wide());
    view->selectCell(GoodsCol::Font, 3); // from a list cell: Shift+Up chooses no entry
    QTRY_VERIFY(GridWindow::FocusIn(view));
    Press(Qt::Key_Up, Qt::ShiftModifier);
    Press(Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(view->selectedRange(), (CellRange { 2, 1, 3, 2 }));
    QCOMPARE(QPoint(view->currentCol(), view->currentRow()), QPoint(GoodsCol::Font, 3)); // where the block began
    QCOMPARE(goods.cell(2, GoodsCol::Font), FixedLists::Narrow());
    QCOMPARE(goods.cell(3, GoodsCol::Font), FixedLists::Wide());
    view->selectCell(GoodsCol::Name, 2); // from a text cell
    Press(Qt::Key_Down, Qt::ShiftModifier);
    Press(Qt::Key_Right, Qt::ShiftModifier);
    Press(Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(view->selectedRange(), (CellRange { 2, 1, 3, 3 }));
    Press(Qt::Key_C, Qt::ControlModifier);

    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(mime->text(), u"МОЛОКО \"ДОМИК\"\tУзкий\t0012\nХЛЕБ\tШирокий\t\n"_s);
    QVERIFY(mime->hasHtml());
    QVERIFY(mime->html().contains(u">0012</td>"_s));
    QCOMPARE(goods.cell(3, GoodsCol::Name), u"ХЛЕБ"_s); // copying changes nothing
}

void TestGridEditing::pasteBlockFromClipboard()
{
    Window w;
    TStringGrid *view = w.show(TableKind::Goods);
    StringGridModel &goods = w.grid(TableKind::Goods);
    QGuiApplication::clipboard()->setText(u"сыр\tШирокий\t4601234567893\t350,00\t1\r\n"
                                          "кефир\tУзкий\t46012345678ab\t89.9\t1\r\n"_s);
    view->selectCell(GoodsCol::Name, 5999);
    QTRY_VERIFY(GridWindow::FocusIn(view));
    prompts->expect(Kind::Information);
    Press(Qt::Key_V, Qt::ControlModifier);

    QCOMPARE(goods.cell(5999, GoodsCol::Name), u"СЫР"_s);
    QCOMPARE(goods.cell(5999, GoodsCol::Font), FixedLists::Wide());
    QCOMPARE(goods.cell(5999, GoodsCol::Price), u"350.00"_s);
    QCOMPARE(goods.cell(6000, GoodsCol::Barcode), u"46012345678"_s);
    QCOMPARE(goods.cell(6000, GoodsCol::Section), u"1"_s);
    QCOMPARE(prompts->messages.size(), 1);
    QCOMPARE(prompts->messages.constFirst().text,
        u"Вставлено 10 ячеек, изменена 1:\r\nстрока 6000, «Штрих-код»: убраны недопустимые символы (2)"_s);
    // The block pasted is the selection now, from its first cell.
    QCOMPARE(view->selectedRange(), (CellRange { 5999, 1, 6000, 5 }));
    QCOMPARE(QPoint(view->currentCol(), view->currentRow()), QPoint(1, 5999));
    QCOMPARE(view->cellEditor()->text(), u"СЫР"_s);
}

// A drag selects a block and keeps the recorded cell where it began; one
// value pasted onto it goes into every cell.
void TestGridEditing::oneValueFillsMouseSelection()
{
    Window w;
    TStringGrid *view = w.show(TableKind::Goods);
    StringGridModel &goods = w.grid(TableKind::Goods);
    view->selectCell(GoodsCol::Barcode, 2);
    QTRY_VERIFY(GridWindow::FocusIn(view));
    auto centre
        = [view](int col, int row) { return view->visualRect(view->model()->index(row - 1, col - 1)).center(); };
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, centre(GoodsCol::Price, 3));
    QTest::mouseMove(view->viewport(), centre(GoodsCol::Section, 4));
    QTest::mouseMove(view->viewport(), centre(GoodsCol::Section, 5));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, centre(GoodsCol::Section, 5));
    QCOMPARE(view->selectedRange(), (CellRange { 3, GoodsCol::Price, 5, GoodsCol::Section }));
    QCOMPARE(QPoint(view->currentCol(), view->currentRow()), QPoint(GoodsCol::Price, 3));

    QGuiApplication::clipboard()->setText(u"7\n"_s);
    Press(Qt::Key_V, Qt::ControlModifier);
    for (int row = 3; row <= 5; ++row) {
        QCOMPARE(goods.cell(row, GoodsCol::Price), u"7"_s);
        QCOMPARE(goods.cell(row, GoodsCol::Section), u"7"_s);
    }
    QCOMPARE(goods.cell(2, GoodsCol::Price), QString());
    QCOMPARE(goods.cell(6, GoodsCol::Section), QString());
    QVERIFY(prompts->messages.isEmpty());
}

// Ctrl+X cuts the block; Delete empties text cells and gives list cells their start value.
void TestGridEditing::cutAndDelete()
{
    Window w;
    TStringGrid *view = w.show(TableKind::Usl);
    StringGridModel &usl = w.grid(TableKind::Usl);
    usl.setCell(1, UslCol::Name, u"ТОВАРЫ"_s);
    usl.setCell(1, UslCol::Font, FixedLists::Wide());
    usl.setCell(2, UslCol::Name, u"УСЛУГИ"_s);
    usl.setCell(2, UslCol::Tax, FixedLists::Taxation().at(2));
    view->selectCell(UslCol::Name, 1);
    QTRY_VERIFY(GridWindow::FocusIn(view));
    Press(Qt::Key_Right, Qt::ShiftModifier);
    Press(Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"ТОВАРЫ\tШирокий\n"_s);
    QCOMPARE(usl.cell(1, UslCol::Name), QString());
    QCOMPARE(usl.cell(1, UslCol::Font), FixedLists::Narrow());

    view->selectCell(UslCol::Name, 2);
    for (int i = 0; i < 4; ++i)
        Press(Qt::Key_Right, Qt::ShiftModifier);
    Press(Qt::Key_Delete);
    QCOMPARE(usl.cell(2, UslCol::Name), QString());
    QCOMPARE(usl.cell(2, UslCol::Tax), FixedLists::Taxation().at(0));
    // Delete on a selected list cell alone.
    usl.setCell(3, UslCol::Kind, FixedLists::ItemKinds().at(3));
    view->selectCell(UslCol::Kind, 3);
    QTRY_VERIFY(view->listOf(UslCol::Kind)->hasFocus());
    Press(Qt::Key_Delete);
    QCOMPARE(usl.cell(3, UslCol::Kind), FixedLists::ItemKinds().at(0));
}

// Once the user edits a cell's text, Delete, Ctrl+C and a one-value Ctrl+V
// act on the text, as in any text field; before that, on the cell.
void TestGridEditing::keysOfTextBeingEdited()
{
    Window w;
    TStringGrid *view = w.show(TableKind::Goods);
    StringGridModel &goods = w.grid(TableKind::Goods);
    goods.setCell(1, GoodsCol::Name, u"ХЛЕБ"_s);
    goods.setCell(2, GoodsCol::Name, u"МОЛОКО"_s);
    view->selectCell(GoodsCol::Name, 1);
    QTRY_VERIFY(view->cellEditor() && view->cellEditor()->hasFocus());
    QVERIFY(!view->editing());
    Press(Qt::Key_Delete); // the cell
    QCOMPARE(goods.cell(1, GoodsCol::Name), QString());

    view->selectCell(GoodsCol::Name, 2);
    QLineEdit *editor = view->cellEditor();
    Press(Qt::Key_Home); // into the text
    QVERIFY(view->editing());
    Press(Qt::Key_Delete);
    QCOMPARE(goods.cell(2, GoodsCol::Name), u"ОЛОКО"_s);
    QGuiApplication::clipboard()->setText(u"м1"_s);
    Press(Qt::Key_V, Qt::ControlModifier); // at the cursor, upper-cased
    QCOMPARE(goods.cell(2, GoodsCol::Name), u"М1ОЛОКО"_s);
    editor->setSelection(2, 3);
    Press(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"ОЛО"_s);
    // More characters than the cell has room for: the rest is cut, told and marked.
    QGuiApplication::clipboard()->setText(QString(30, u'я'));
    prompts->expect(Kind::Information);
    Press(Qt::Key_V, Qt::ControlModifier); // over the selected part
    QCOMPARE(goods.cell(2, GoodsCol::Name), u"М1"_s + QString(20, u'Я') + u"КО"_s);
    QCOMPARE(prompts->messages.constLast().text,
        u"Вставлена 1 ячейка, изменена 1:\r\nстрока 2, «Наименование»: обрезано до 24 символов"_s);
    QVERIFY(goods.markReason(2, GoodsCol::Name, MarkKind::Adjusted).contains(u"обрезано до 24 символов"_s));

    // Enter ends the edit: Ctrl+V replaces the next cell whole; F2 edits it.
    Press(Qt::Key_Return);
    QVERIFY(!view->editing());
    QGuiApplication::clipboard()->setText(u"сок"_s);
    Press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(goods.cell(3, GoodsCol::Name), u"СОК"_s);
    Press(Qt::Key_F2);
    QVERIFY(view->editing());
    Press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(goods.cell(3, GoodsCol::Name), u"СОКСОК"_s);
    // While editing, Shift with an arrow selects text, not cells.
    Press(Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(view->cellEditor()->selectedText(), u"К"_s);
    QCOMPARE(view->selectedRange(), (CellRange { 3, 1, 3, 1 }));
}

KKT_GUI_TEST_MAIN(TestGridEditing)
#include "TestGridEditing.moc"
