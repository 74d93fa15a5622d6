// Editing the grids of both pages in the real main window, as a user does:
// what a paste lets into each kind of editor, the drop-down lists, and the
// keys that move between cells.
#include "GuiTest.h"
#include "ScriptedPrompts.h"

#include "app/MainForm.h"
#include "app/pages/GsmSettingFrame.h"
#include "app/pages/Set102Frame.h"
#include "pages/FixedLists.h"
#include "pages/TableLayout.h"
#include "ui/StringGrid.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = Prompts::Kind;

Q_DECLARE_METATYPE(TableKind)

namespace {
// The main window over a folder of its own, shown and active, with one port.
struct Window
{
    Window()
    {
        form.setPortLister([](TArrayCom &ports) { ports = { u"COM1"_s }; });
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form))
            qFatal("main window not active");
        // A port of its own for the register: the goods tab asks no question about a shared port.
        form.StructSett.PortSett.Name = u"COM1"_s;
    }

    // Shows the page and tab of a table; its grid.
    TStringGrid *show(TableKind kind)
    {
        if (kind == TableKind::Gsm) {
            form.GSM1Click();
        } else {
            form.N1021Click();
            form.Set102Frame->showTable(kind);
        }
        auto *view = form.findChild<TStringGrid *>(LayoutOf(kind).gridName);
        if (!view)
            qFatal("no grid");
        return view;
    }
    StringGridModel &grid(TableKind kind)
    {
        return kind == TableKind::Gsm ? form.GsmFrame->grid() : form.Set102Frame->grid(kind);
    }
    QLineEdit *field(const QString &name) const { return form.findChild<QLineEdit *>(name); }
    bool focusIn(const QWidget *widget) const
    {
        const QWidget *focus = QApplication::focusWidget();
        return focus && (focus == widget || widget->isAncestorOf(focus));
    }

    QTemporaryDir dir;
    TFormMain form { dir.path(), dir.filePath(u"ports"_s) };
};

// Sends one key to whatever has the focus, as the keyboard would.
void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        qFatal("nothing has the focus");
    QTest::keyClick(focus, Qt::Key(key), modifiers);
}
} // namespace

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

    auto cell = [](const char *tag, TableKind kind, int col, int row, const QString &clip, const QString &text) {
        QTest::newRow(tag) << kind << QString() << col << row << clip << text;
    };
    auto field = [](const char *tag, TableKind kind, const QString &name, const QString &clip, const QString &text) {
        QTest::newRow(tag) << kind << name << 0 << 0 << clip << text;
    };
    cell("goods barcode", TableKind::Goods, GoodsCol::Barcode, 1, u"12ABC"_s, u"12"_s);
    cell("goods section", TableKind::Goods, GoodsCol::Section, 2, u"XXXX"_s, QString());
    cell("goods price with a comma", TableKind::Goods, GoodsCol::Price, 3, u"12,50"_s, u"12.50"_s);
    cell("goods name: 34 characters", TableKind::Goods, GoodsCol::Name, 4, u"батон нарезной в/с 400г упак. 12шт"_s,
        u"БАТОН НАРЕЗНОЙ В/С 400Г "_s);
    cell("operator inn", TableKind::Oper, OperCol::Inn, 2, u"ИНН 7707083893"_s, u"7707083893"_s);
    cell("header line", TableKind::Klishe, KlisheCol::Text, 1, u"ооо ромашка"_s, u"ООО РОМАШКА"_s);
    cell("enterprise inn", TableKind::Factory, FactoryCol::Inn, 90, u"77-07-08"_s, u"770708"_s);
    cell("gsm ip", TableKind::Gsm, GsmCol::Value, 1, u"10.0.0.x1"_s, u"10.0.0.1"_s);
    cell("gsm port", TableKind::Gsm, GsmCol::Value, 3, u"XXXX"_s, QString());
    cell("gsm pin", TableKind::Gsm, GsmCol::Value, 4, u"12345"_s, u"1234"_s);
    cell("gsm apn keeps its case", TableKind::Gsm, GsmCol::Value, 5, u"Internet.MTS.ru"_s, u"Internet.MTS.ru"_s);
    field("operators range start", TableKind::Oper, u"Edit1"_s, u"XXXX"_s, QString());
    field("goods range end", TableKind::Goods, u"Edit4"_s, u"№ 6000 шт"_s, u"6000"_s);
    field("enterprises range end", TableKind::Factory, u"edtLastElement"_s, u"9x9x9"_s, u"99"_s);
    field("item number", TableKind::Goods, u"Edit11"_s, u"12ABC"_s, u"12"_s);
}

// Ctrl+V with the real clipboard: pasted text passes the rule typed text passes.
void TestGridEditing::pasteIntoEditors()
{
    QFETCH(TableKind, kind);
    QFETCH(QString, field);
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QString, clipboard);
    QFETCH(QString, text);

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
    QLineEdit *editor = view->cellEditor();
    QVERIFY(editor);
    QTRY_VERIFY(editor->hasFocus());
    Press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.grid(kind).cell(row, col), text);
    QCOMPARE(editor->text(), text);
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
    QTRY_VERIFY(w.focusIn(view));
    const StringGridModel &grid = w.grid(kind);
    const QString before = grid.cell(from.y(), from.x());
    Press(key, shift ? Qt::ShiftModifier : Qt::NoModifier);

    QCOMPARE(grid.cell(from.y(), from.x()), before); // moving changes no cell
    if (to.isNull()) {
        QVERIFY(!w.focusIn(view));
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QPoint(view->currentCol(), view->currentRow()), from);
        return;
    }
    QCOMPARE(QPoint(view->currentCol(), view->currentRow()), to);
    QVERIFY(w.focusIn(view));
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

KKT_GUI_TEST_MAIN(TestGridEditing)
#include "TestGridEditing.moc"
