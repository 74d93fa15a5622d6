#include "GuiTest.h"

#include "pages/FixedLists.h"
#include "pages/Grids102.h"
#include "ui/DigitsKeyFilter.h"
#include "ui/StringGrid.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TableKind)

namespace {
// One grid of the given table in a shown, active window, with a line edit
// beside it to take the focus away.
struct Fixture
{
    explicit Fixture(TableKind kind)
        : model(MakeGrid(kind))
    {
        auto *box = new QVBoxLayout(&window);
        grid = new TStringGrid(model.get(), kind);
        other = new QLineEdit;
        box->addWidget(grid);
        box->addWidget(other);
        window.resize(900, 500);
        window.show();
        window.activateWindow();
    }

    bool active() { return QTest::qWaitForWindowActive(&window); }

    QComboBox *list(const QString &name) const { return grid->findChild<QComboBox *>(name); }

    // The open cell editor of the recorded cell.
    QLineEdit *editor() const
    {
        const QModelIndex at = grid->model()->index(grid->currentRow() - 1, grid->currentCol() - 1);
        return qobject_cast<QLineEdit *>(grid->indexWidget(at));
    }

    std::unique_ptr<StringGridModel> model; // outlives the window and its grid
    QWidget window;
    TStringGrid *grid = nullptr;
    QLineEdit *other = nullptr;
};

QList<QComboBox *> VisibleLists(const TStringGrid &grid)
{
    QList<QComboBox *> shown;
    for (QComboBox *list : grid.findChildren<QComboBox *>())
        if (list->isVisible())
            shown << list;
    return shown;
}
} // namespace

class TestStringGrid : public QObject
{
    Q_OBJECT
private slots:
    void viewFollowsLayout();
    void typingThroughEditor_data();
    void typingThroughEditor();
    void backspaceAndOutsideText();
    void listChoice_data();
    void listChoice();
    void preselection();
    void exemptItemKindClosesVatList();
    void listHiddenOnFocusOutAndAtStart();
    void vatColumnDiscardsKeys();
    void selectCellScrollsToLastGoodsRow();
    void digitsKeyFilter();
};

void TestStringGrid::viewFollowsLayout()
{
    Fixture f(TableKind::Usl);
    QCOMPARE(f.grid->objectName(), u"sgUsl"_s);
    const QAbstractItemModelTester tester(f.grid->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(f.grid->model()->rowCount(), 8);
    QCOMPARE(f.grid->model()->columnCount(), 6);
    QCOMPARE(f.grid->model()->headerData(0, Qt::Horizontal).toString(), u"Наименование отдела/услуги "_s);
    QCOMPARE(f.grid->model()->headerData(7, Qt::Vertical).toString(), u"8"_s);
    QCOMPARE(f.grid->columnWidth(2), 290);
    QVERIFY(f.grid->isColumnHidden(5)); // the landing column
    QCOMPARE(f.grid->rowHeight(0), 19);
    QCOMPARE(f.grid->verticalHeader()->width(), 35);
    QCOMPARE(f.grid->currentCol(), 1);
    QCOMPARE(f.grid->currentRow(), 1);
    // A title changed in the model reaches the header; a cell reaches the view.
    f.model->setCell(0, 1, u"Т"_s);
    f.model->setCell(3, 2, u"Широкий"_s);
    QCOMPARE(f.grid->model()->headerData(0, Qt::Horizontal).toString(), u"Т"_s);
    QCOMPARE(f.grid->model()->index(2, 1).data().toString(), u"Широкий"_s);

    Fixture factory(TableKind::Factory);
    QCOMPARE(factory.grid->objectName(), u"stringGridFactory"_s);
    QCOMPARE(factory.grid->model()->headerData(8, Qt::Vertical).toString(), u"9.   Предприятие #9"_s);
    QCOMPARE(factory.grid->model()->headerData(9, Qt::Vertical).toString(), u"10. Предприятие #10"_s);
    Fixture gsm(TableKind::Gsm);
    QCOMPARE(gsm.grid->rowHeight(0), 21);
    QCOMPARE(gsm.grid->columnWidth(0), 595);
}

void TestStringGrid::typingThroughEditor_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("font"); // put into the row's font cell first, when given
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("cell");

    const QString wide = FixedLists::Wide();
    QTest::newRow("goods name: upper-cased") << TableKind::Goods << 1 << 7 << QString() << u"abв ё"_s << u"ABВ Ё"_s;
    QTest::newRow("goods name: wide stops at 12")
        << TableKind::Goods << 1 << 2 << wide << u"abcdefghijklmnop"_s << u"ABCDEFGHIJKL"_s;
    QTest::newRow("goods name: narrow stops at 24")
        << TableKind::Goods << 1 << 2 << QString() << QString(30, u'x') << QString(24, u'X');
    QTest::newRow("goods barcode") << TableKind::Goods << 3 << 1 << QString() << u"46a0-12345678901"_s
                                   << u"4601234567890"_s;
    QTest::newRow("goods price") << TableKind::Goods << 4 << 1 << QString() << u"12,.5.0"_s << u"12.50"_s;
    QTest::newRow("goods section") << TableKind::Goods << 5 << 1 << QString() << u"1x23"_s << u"12"_s;
    QTest::newRow("goods mark keeps case") << TableKind::Goods << 6 << 1 << QString() << u"мМ"_s << u"мМ"_s;
    QTest::newRow("operator name 1, wide by column 4")
        << TableKind::Oper << 3 << 2 << wide << u"иванов петр сидорович"_s << u"ИВАНОВ ПЕТР "_s;
    QTest::newRow("operator password") << TableKind::Oper << 7 << 1 << QString() << u"Pw-1 x"_s << u"Pw-1 x"_s;
    QTest::newRow("operator inn") << TableKind::Oper << 8 << 6 << QString() << u"7707a0834134567"_s
                                  << u"770708341345"_s;
    QTest::newRow("groups name") << TableKind::Usl << 1 << 8 << QString() << u"услуги"_s << u"УСЛУГИ"_s;
    QTest::newRow("header line, wide") << TableKind::Klishe << 1 << 21 << wide << QString(13, u'q')
                                       << QString(12, u'Q');
    QTest::newRow("agents value") << TableKind::Agents << 1 << 1 << QString() << u"+7 (495) abc"_s << u"+7 (495) ABC"_s;
    QTest::newRow("agents inn row") << TableKind::Agents << 1 << 5 << QString() << u"12ab3456789012345"_s
                                    << u"123456789012"_s;
    QTest::newRow("factory name") << TableKind::Factory << 1 << 90 << QString() << QString(25, u'ж')
                                  << QString(24, u'Ж');
    QTest::newRow("factory inn") << TableKind::Factory << 2 << 1 << QString() << u"12x3"_s << u"123"_s;
    QTest::newRow("station name") << TableKind::Station << 1 << 40 << QString() << u"касса 1"_s << u"КАССА 1"_s;
    QTest::newRow("gsm ip") << TableKind::Gsm << 1 << 1 << QString() << u"192.168.a0.1-2"_s << u"192.168.0.12"_s;
    QTest::newRow("gsm port") << TableKind::Gsm << 1 << 3 << QString() << u"80.80a80"_s << u"80808"_s;
    QTest::newRow("gsm apn keeps case") << TableKind::Gsm << 1 << 5 << QString() << u"Internet.Mts"_s
                                        << u"Internet.Mts"_s;
}

void TestStringGrid::typingThroughEditor()
{
    QFETCH(TableKind, kind);
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QString, font);
    QFETCH(QString, typed);
    QFETCH(QString, cell);

    Fixture f(kind);
    QVERIFY(f.active());
    const int fontCol = LayoutOf(kind).column(col).rule.fontCol;
    if (!font.isEmpty())
        f.model->setCell(row, fontCol, font);
    f.grid->selectCell(col, row);
    QLineEdit *editor = f.editor();
    QVERIFY(editor);
    QTRY_VERIFY(editor->hasFocus());
    TypeText(editor, typed);
    QCOMPARE(editor->text(), cell);
    QCOMPARE(f.model->cell(row, col), cell); // every key reaches the grid at once
}

void TestStringGrid::backspaceAndOutsideText()
{
    Fixture f(TableKind::Goods);
    QVERIFY(f.active());
    f.model->setCell(3, 1, QString(20, u'A')); // a 20-character name, then the font goes wide
    f.model->setCell(3, 2, FixedLists::Wide());
    f.grid->selectCell(1, 3);
    QLineEdit *editor = f.editor();
    QVERIFY(editor);
    QCOMPARE(editor->text(), QString(20, u'A')); // changing the font never shortens a text
    TypeText(editor, u"b"_s);
    QCOMPARE(f.model->cell(3, 1), QString(20, u'A'));
    for (int i = 0; i < 9; ++i)
        QTest::keyClick(editor, Qt::Key_Backspace);
    QCOMPARE(f.model->cell(3, 1), QString(11, u'A'));
    TypeText(editor, u"bc"_s);
    QCOMPARE(f.model->cell(3, 1), QString(11, u'A') + u'B');

    // Text that reaches the grid otherwise shows in the open editor.
    f.model->setCell(3, 1, u"из файла"_s);
    QCOMPARE(editor->text(), u"из файла"_s);
    {
        const GridBulkUpdate load(*f.model); // a whole configuration at once
        InitGrid(TableKind::Goods, *f.model);
        f.model->setCell(3, 1, u"ИЗ КОНФИГУРАЦИИ"_s);
    }
    QCOMPARE(editor->text(), u"ИЗ КОНФИГУРАЦИИ"_s);
}

void TestStringGrid::listChoice_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("chosen"); // the entry after one Down key
    QTest::addColumn<int>("landCol");

    const QString wide = FixedLists::Wide();
    QTest::newRow("operator font 2") << TableKind::Oper << 2 << 1 << u"ComboBox2"_s << wide << 1;
    QTest::newRow("operator font 4") << TableKind::Oper << 4 << 3 << u"ComboBox2"_s << wide << 3;
    QTest::newRow("operator font 6") << TableKind::Oper << 6 << 6 << u"ComboBox2"_s << wide << 5;
    QTest::newRow("goods font") << TableKind::Goods << 2 << 6000 << u"ComboBox1"_s << wide << 1;
    QTest::newRow("groups font") << TableKind::Usl << 2 << 2 << u"ComboBox3"_s << wide << 1;
    QTest::newRow("groups item kind") << TableKind::Usl << 3 << 2 << u"ComboBox5"_s << FixedLists::ItemKinds().at(1)
                                      << 6;
    QTest::newRow("groups VAT") << TableKind::Usl << 4 << 8 << u"ComboBox7"_s << FixedLists::Vat().at(1) << 6;
    QTest::newRow("groups taxation") << TableKind::Usl << 5 << 1 << u"ComboBox8"_s << FixedLists::Taxation().at(1) << 6;
    QTest::newRow("header line font") << TableKind::Klishe << 2 << 21 << u"ComboBox4"_s << wide << 1;
    QTest::newRow("agents font") << TableKind::Agents << 2 << 12 << u"ComboBox6"_s << wide << 1;
}

void TestStringGrid::listChoice()
{
    QFETCH(TableKind, kind);
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QString, list);
    QFETCH(QString, chosen);
    QFETCH(int, landCol);

    Fixture f(kind);
    QVERIFY(f.active());
    QSignalSpy selected(f.grid, &TStringGrid::cellSelected);
    f.grid->selectCell(col, row);
    QComboBox *combo = f.list(list);
    QVERIFY(combo);
    QVERIFY(combo->isVisible());
    QCOMPARE(VisibleLists(*f.grid), QList<QComboBox *> { combo });
    QTRY_VERIFY(combo->hasFocus());
    // Laid over the recorded cell.
    const QRect cell = f.grid->visualRect(f.grid->model()->index(row - 1, col - 1));
    QCOMPARE(combo->geometry().topLeft(), cell.topLeft() + QPoint(1, 1));
    QVERIFY(f.grid->viewport()->rect().contains(cell));
    QCOMPARE(selected.last(), (QList<QVariant> { col, row }));

    QTest::keyClick(combo, Qt::Key_Down); // the start value is the first entry: Down chooses the second
    QCOMPARE(f.model->cell(row, col), chosen);
    QVERIFY(!combo->isVisible());
    QCOMPARE(f.grid->currentCol(), landCol);
    QCOMPARE(f.grid->currentRow(), row);
    QCOMPARE(selected.last(), (QList<QVariant> { landCol, row }));
    QVERIFY(VisibleLists(*f.grid).isEmpty());
}

void TestStringGrid::preselection()
{
    Fixture f(TableKind::Usl);
    QVERIFY(f.active());
    f.model->setCell(4, 3, u"03 - РАБОТА"_s);
    f.grid->selectCell(3, 4);
    QCOMPARE(f.list(u"ComboBox5"_s)->currentText(), u"03 - РАБОТА"_s);
    // A text that is no entry keeps the previous selection.
    f.model->setCell(5, 3, u"99 - неизвестно"_s);
    f.grid->selectCell(3, 5);
    QCOMPARE(f.list(u"ComboBox5"_s)->currentText(), u"03 - РАБОТА"_s);

    // Font lists: exactly "Узкий" selects it, anything else selects "Широкий".
    Fixture oper(TableKind::Oper);
    QVERIFY(oper.active());
    QComboBox *fonts = oper.list(u"ComboBox2"_s);
    oper.model->setCell(2, 4, u"Широкий"_s);
    oper.grid->selectCell(4, 2);
    QCOMPARE(fonts->currentText(), u"Широкий"_s);
    oper.grid->selectCell(6, 2);
    QCOMPARE(fonts->currentText(), u"Узкий"_s);
    oper.model->setCell(3, 2, u"узкий"_s);
    oper.grid->selectCell(2, 3);
    QCOMPARE(fonts->currentText(), u"Широкий"_s);
    QTest::keyClick(fonts, Qt::Key_Up);
    QCOMPARE(oper.model->cell(3, 2), u"Узкий"_s);
    QCOMPARE(oper.grid->currentCol(), 1);
}

void TestStringGrid::exemptItemKindClosesVatList()
{
    Fixture f(TableKind::Usl);
    QVERIFY(f.active());
    QComboBox *kinds = f.list(u"ComboBox5"_s);
    QComboBox *vat = f.list(u"ComboBox7"_s);
    f.grid->selectCell(3, 2);
    kinds->setCurrentIndex(4);
    QTest::keyClick(kinds, Qt::Key_Down); // code 05
    QCOMPARE(f.model->cell(2, 3), FixedLists::ItemKinds().at(5));
    QCOMPARE(f.model->cell(2, 4), u"НДС не облагается"_s);
    QCOMPARE(f.grid->currentCol(), 6);
    f.grid->selectCell(4, 2);
    QVERIFY(!vat->isVisible());
    QCOMPARE(f.grid->currentCol(), 4);

    // Code 04 chosen later leaves the VAT cell as it is until a VAT entry is chosen.
    f.grid->selectCell(3, 2);
    QTest::keyClick(kinds, Qt::Key_Up);
    QCOMPARE(f.model->cell(2, 3), FixedLists::ItemKinds().at(4));
    QCOMPARE(f.model->cell(2, 4), u"НДС не облагается"_s);
    f.grid->selectCell(4, 2);
    QVERIFY(vat->isVisible());
    QTest::keyClick(vat, Qt::Key_Down);
    QCOMPARE(f.model->cell(2, 4), FixedLists::Vat().at(1));

    // Code 06 in another row; the first row keeps its VAT.
    f.grid->selectCell(3, 3);
    kinds->setCurrentIndex(5);
    QTest::keyClick(kinds, Qt::Key_Down);
    QCOMPARE(f.model->cell(3, 4), u"НДС не облагается"_s);
    QCOMPARE(f.model->cell(1, 4), FixedLists::Vat().first());
}

void TestStringGrid::listHiddenOnFocusOutAndAtStart()
{
    for (TableKind kind : { TableKind::Oper, TableKind::Goods, TableKind::Usl, TableKind::Klishe, TableKind::Agents })
        QVERIFY(VisibleLists(*Fixture(kind).grid).isEmpty());

    Fixture f(TableKind::Agents);
    QVERIFY(f.active());
    QComboBox *fonts = f.list(u"ComboBox6"_s);
    f.grid->selectCell(2, 5); // the INN row has no font list
    QVERIFY(!fonts->isVisible());
    f.grid->selectCell(2, 4);
    QVERIFY(fonts->isVisible());
    QTRY_VERIFY(fonts->hasFocus());
    fonts->setCurrentIndex(1); // moved but not chosen
    f.other->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(!fonts->isVisible());
    QCOMPARE(f.model->cell(4, 2), u"Узкий"_s);
    QCOMPARE(f.grid->currentCol(), 2); // the recorded cell stays

    // A click on the recorded cell brings its list back.
    const QRect cell = f.grid->visualRect(f.grid->model()->index(3, 1));
    QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(fonts->isVisible());
}

void TestStringGrid::vatColumnDiscardsKeys()
{
    Fixture f(TableKind::Usl);
    QVERIFY(f.active());
    f.model->setCell(3, 3, FixedLists::ItemKinds().at(6)); // no VAT list: the grid itself has the keys
    f.grid->selectCell(4, 3);
    QVERIFY(VisibleLists(*f.grid).isEmpty());
    QTRY_VERIFY(f.grid->hasFocus());
    for (Qt::Key key : { Qt::Key_Down, Qt::Key_Up, Qt::Key_Left, Qt::Key_Right, Qt::Key_Tab, Qt::Key_Home, Qt::Key_1 })
        QTest::keyClick(f.grid, key);
    QCOMPARE(f.grid->currentCol(), 4);
    QCOMPARE(f.grid->currentRow(), 3);
    QCOMPARE(f.model->cell(3, 4), FixedLists::Vat().first());

    // Elsewhere the same keys move the selection.
    f.grid->selectCell(1, 3);
    QTest::keyClick(f.editor(), Qt::Key_Down);
    QCOMPARE(f.grid->currentRow(), 4);
    QCOMPARE(f.grid->currentCol(), 1);
}

void TestStringGrid::selectCellScrollsToLastGoodsRow()
{
    Fixture f(TableKind::Goods);
    QVERIFY(f.active());
    f.grid->selectCell(1, 6000);
    QCOMPARE(f.grid->currentRow(), 6000);
    const QRect cell = f.grid->visualRect(f.grid->model()->index(5999, 0));
    QVERIFY(f.grid->viewport()->rect().contains(cell));
    QTRY_VERIFY(f.editor() && f.editor()->hasFocus());
    TypeText(f.editor(), u"последний"_s);
    QCOMPARE(f.model->cell(6000, 1), u"ПОСЛЕДНИЙ"_s);
}

void TestStringGrid::digitsKeyFilter()
{
    DigitsKeyFilter filter;
    QLineEdit range, item;
    filter.watch(&range, 2);
    filter.watch(&item, 4);
    TypeText(&range, u"1a.23"_s);
    QCOMPARE(range.text(), u"12"_s);
    QTest::keyClick(&range, Qt::Key_Backspace);
    TypeText(&range, u"9"_s);
    QCOMPARE(range.text(), u"19"_s);
    TypeText(&item, u"60-001"_s);
    QCOMPARE(item.text(), u"6000"_s);

    // Keys that type something other than 0..9 in one go: a wide character, another script's digit.
    QLineEdit empty;
    filter.watch(&empty, 4);
    for (const QString &text : { QString::fromUtf16(u"\U0001F600"), u"\u0661"_s, u"12"_s }) {
        QTest::sendKeyEvent(QTest::Press, &empty, Qt::Key_unknown, text, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, &empty, Qt::Key_unknown, text, Qt::NoModifier);
    }
    QCOMPARE(empty.text(), u"12"_s);
}

KKT_GUI_TEST_MAIN(TestStringGrid)
#include "TestStringGrid.moc"
