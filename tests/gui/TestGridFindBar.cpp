// Finding in the grids of the real window: Ctrl+F and the "Правка" menu open
// the find bar, Enter and Shift+Enter walk the matches round the end, Escape
// gives the grid back; "Перейти к товару" on Enter; shared barcodes marked.
#include "GridWindow.h"
#include "GuiTest.h"
#include "ScriptedPrompts.h"

#include "pages/StringGridModel.h"

#include <QAction>
#include <QLabel>

using namespace Qt::StringLiterals;
using Kind = Prompts::Kind;

namespace {
QPoint Cell(const TStringGrid *view)
{
    return { view->currentCol(), view->currentRow() };
}

// A widget of the find bar of a page (each page has its own).
template <typename T = QWidget> T *OfBar(QWidget *page, const QString &name)
{
    T *found = page->findChild<T *>(name);
    if (!found)
        qFatal("no %s", qPrintable(name));
    return found;
}
} // namespace

class TestGridFindBar : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void findWalksMatchesRoundTheEnd();
    void findOnOtherPagesAndFromTheMenu();
    void goToItemAnswersEnter();
    void sharedBarcodesShowMarked();

private:
    std::unique_ptr<ScriptedPrompts> prompts;
};

void TestGridFindBar::init()
{
    prompts = std::make_unique<ScriptedPrompts>();
}

void TestGridFindBar::cleanup()
{
    const QString verdict = prompts->verdict();
    prompts.reset();
    QVERIFY2(verdict.isEmpty(), qPrintable(verdict));
}

void TestGridFindBar::findWalksMatchesRoundTheEnd()
{
    GridWindow w;
    TStringGrid *view = w.show(TableKind::Goods);
    StringGridModel &goods = w.grid(TableKind::Goods);
    goods.setCell(10, GoodsCol::Name, u"МОЛОКО 3,2%"_s);
    goods.setCell(20, GoodsCol::Barcode, u"4607001770015"_s);
    goods.setCell(20, GoodsCol::Name, u"КЕФИР"_s);
    goods.setCell(4000, GoodsCol::Name, u"Шоколад молочный"_s);
    goods.setCell(4001, GoodsCol::Price, u"70.01"_s); // prices are not looked in
    view->selectCell(GoodsCol::Name, 15);
    QWidget *page = w.form.Set102Frame;
    auto *bar = OfBar(page, u"FindBar"_s);
    QVERIFY(!bar->isVisible());

    Press(Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isVisible());
    auto *field = OfBar<QLineEdit>(page, u"edtFind"_s);
    auto *count = OfBar<QLabel>(page, u"lblFindCount"_s);
    QTRY_VERIFY(field->hasFocus());
    TypeText(field, u"мол"_s); // from the recorded cell on
    QCOMPARE(Cell(view), QPoint(GoodsCol::Name, 4000));
    QCOMPARE(count->text(), u"2 из 2"_s);
    QVERIFY(field->hasFocus()); // typing goes on in the field
    QVERIFY(view->visualRect(view->currentIndex()).intersects(view->viewport()->rect()));
    Press(Qt::Key_Return); // round the end to the first
    QCOMPARE(Cell(view), QPoint(GoodsCol::Name, 10));
    QCOMPARE(count->text(), u"1 из 2"_s);
    Press(Qt::Key_Return, Qt::ShiftModifier); // back, round the start
    QCOMPARE(Cell(view), QPoint(GoodsCol::Name, 4000));

    // Part of a barcode.
    field->clear();
    TypeText(field, u"70017"_s);
    QCOMPARE(Cell(view), QPoint(GoodsCol::Barcode, 20));
    QCOMPARE(count->text(), u"1 из 1"_s);
    QTest::mouseClick(OfBar(page, u"btnFindNext"_s), Qt::LeftButton);
    QCOMPARE(Cell(view), QPoint(GoodsCol::Barcode, 20));
    QVERIFY(field->hasFocus()); // the button leaves it there

    // No match: said so, the selection stays.
    TypeText(field, u"9"_s);
    QCOMPARE(count->text(), u"Не найдено"_s);
    QCOMPARE(Cell(view), QPoint(GoodsCol::Barcode, 20));

    // Escape: the bar goes, the grid has the focus on the cell found.
    Press(Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QTRY_VERIFY(GridWindow::FocusIn(view));
    QCOMPARE(Cell(view), QPoint(GoodsCol::Barcode, 20));
    QVERIFY(view->cellEditor()->hasFocus());
}

// Every grid of both pages: the bar follows the tab showing; the menu opens it too.
void TestGridFindBar::findOnOtherPagesAndFromTheMenu()
{
    GridWindow w;
    w.grid(TableKind::Klishe).setCell(16, KlisheCol::Text, u"ОФД ТАКСКОМ"_s);
    w.grid(TableKind::Factory).setCell(90, FactoryCol::Inn, u"7704211201"_s);
    w.grid(TableKind::Gsm).setCell(2, GsmCol::Value, u"ofd.taxcom.ru"_s);

    TStringGrid *klishe = w.show(TableKind::Klishe);
    klishe->selectCell(KlisheCol::Text, 1);
    Press(Qt::Key_F, Qt::ControlModifier);
    TypeText(QApplication::focusWidget(), u"такс"_s);
    QCOMPARE(Cell(klishe), QPoint(KlisheCol::Text, 16));

    TStringGrid *factory = w.show(TableKind::Factory);
    w.field(u"edtLastElement"_s)->setFocus(); // not in the grid: the menu finds the grid showing
    w.child<QAction>(u"EditFind"_s)->trigger();
    auto *field = OfBar<QLineEdit>(w.form.Set102Frame, u"edtFind"_s);
    QTRY_VERIFY(field->hasFocus());
    QCOMPARE(field->selectedText(), u"такс"_s); // ready for a new text
    TypeText(field, u"2112"_s);
    QCOMPARE(Cell(factory), QPoint(FactoryCol::Inn, 90));

    TStringGrid *gsm = w.show(TableKind::Gsm);
    gsm->selectCell(GsmCol::Value, 1);
    Press(Qt::Key_F, Qt::ControlModifier);
    auto *gsmField = OfBar<QLineEdit>(w.form.GsmFrame, u"edtFind"_s);
    QTRY_VERIFY(gsmField->hasFocus());
    TypeText(gsmField, u"TAXCOM"_s);
    QCOMPARE(Cell(gsm), QPoint(GsmCol::Value, 2));
    QCOMPARE(OfBar<QLabel>(w.form.GsmFrame, u"lblFindCount"_s)->text(), u"1 из 1"_s);
}

void TestGridFindBar::goToItemAnswersEnter()
{
    GridWindow w;
    TStringGrid *view = w.show(TableKind::Goods);
    QLineEdit *item = w.field(u"Edit11"_s);
    item->clear();
    item->setFocus();
    TypeText(item, u"5432"_s);
    Press(Qt::Key_Return);
    QCOMPARE(Cell(view), QPoint(GoodsCol::Name, 5432));
    QTRY_VERIFY(view->cellEditor()->hasFocus());

    item->setFocus();
    item->setText(u"0"_s);
    prompts->expect(Kind::Information);
    Press(Qt::Key_Enter);
    QCOMPARE(prompts->messages.constLast().text, u"ВНИМАНИЕ!\r\nНомер товара не может быть 0!"_s);
    QCOMPARE(Cell(view), QPoint(GoodsCol::Name, 5432));
}

// A code on two goods rows is marked in both, each naming the other, as the user types it.
void TestGridFindBar::sharedBarcodesShowMarked()
{
    GridWindow w;
    TStringGrid *view = w.show(TableKind::Goods);
    StringGridModel &goods = w.grid(TableKind::Goods);
    goods.setCell(7, GoodsCol::Barcode, u"4607001770015"_s);
    view->selectCell(GoodsCol::Barcode, 300);
    TypeText(view->cellEditor(), u"460700177001"_s);
    const QModelIndex seventh = view->model()->index(6, GoodsCol::Barcode - 1);
    QVERIFY(!seventh.data(Qt::BackgroundRole).isValid());
    TypeText(view->cellEditor(), u"5"_s);
    QCOMPARE(seventh.data(Qt::ToolTipRole).toString(), u"Такой же штрих-код в строке 300"_s);
    QVERIFY(seventh.data(Qt::BackgroundRole).isValid());
    QCOMPARE(view->cellEditor()->toolTip(), u"Такой же штрих-код в строке 7"_s);
    // Pasted over, the pair is gone; what is left is no EAN a scanner gives.
    Press(Qt::Key_Backspace);
    QVERIFY(!seventh.data(Qt::BackgroundRole).isValid());
    QCOMPARE(view->cellEditor()->toolTip(),
        u"Контрольная цифра штрих-кода неверна (должна быть 4): сканер такой код не прочтёт"_s);
}

KKT_GUI_TEST_MAIN(TestGridFindBar)
#include "TestGridFindBar.moc"
