#include "GuiTest.h"
#include "ScriptedPrompts.h"

#include "app/MainForm.h"
#include "app/pages/GsmSettingFrame.h"
#include "app/pages/Set102Frame.h"
#include "ui/StringGrid.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The main window on the screen the test runs with (ctest runs it on a
// 1366 x 768 screen at scale factors 1 and 1.25, and on a 1920 x 1080 one
// at 2): it fits, and every command stays within reach.
class TestScreens : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void windowFitsTheScreen();
    void kktButtonsShowWhenMaximised();
    void goodsColumnsUseTheWidth();
    void goodsColumnsAllShowAtTheDefaultSize();
    void largerFontIsFollowed();

private:
    void makeForm();
    void openGoodsTab();
    QTemporaryDir m_folder;
    QFont m_font;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<TFormMain> m_form;
    QRect available() const { return m_form->screen()->availableGeometry(); }
    template <typename T> T *child(const QObject *parent, const QString &name) const
    {
        T *found = parent->findChild<T *>(name);
        if (!found)
            qFatal("no %s", qPrintable(name));
        return found;
    }
};

void TestScreens::init()
{
    m_font = QApplication::font();
    m_prompts = std::make_unique<ScriptedPrompts>();
    makeForm();
}

void TestScreens::makeForm()
{
    m_form = std::make_unique<TFormMain>(m_folder.path(), m_folder.path());
    m_form->setPortLister([](TArrayCom &list) { list = { u"COM1"_s }; });
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    // As after "Связь с ККТ": a port chosen, the programming menu open.
    m_form->StructSett.PortSett.Name = u"COM1"_s;
    m_form->EnableMainMenu(true);
}

void TestScreens::cleanup()
{
    m_form.reset();
    QApplication::setFont(m_font);
    const QString verdict = m_prompts->verdict();
    m_prompts.reset();
    QVERIFY2(verdict.isEmpty(), qPrintable(verdict));
}

void TestScreens::windowFitsTheScreen()
{
    const QRect screen = available();
    qInfo("screen %dx%d points, scale %s", screen.width(), screen.height(), qgetenv("QT_SCALE_FACTOR").constData());
    const QSize minimum = m_form->minimumSize();
    QVERIFY2(minimum.width() <= screen.width() && minimum.height() <= screen.height(),
        qPrintable(u"minimum %1x%2"_s.arg(minimum.width()).arg(minimum.height())));
    // The whole frame on the screen: the menu bar below the top edge, the status bar above the bottom.
    QTRY_VERIFY2(screen.contains(m_form->frameGeometry()),
        qPrintable(u"frame %1,%2 %3x%4"_s.arg(m_form->frameGeometry().x())
                       .arg(m_form->frameGeometry().y())
                       .arg(m_form->frameGeometry().width())
                       .arg(m_form->frameGeometry().height())));
    const QRect menu(m_form->menuBar()->mapToGlobal(QPoint()), m_form->menuBar()->size());
    const QRect status(m_form->statusBar()->mapToGlobal(QPoint()), m_form->statusBar()->size());
    QVERIFY(screen.contains(menu));
    QVERIFY(screen.contains(status));
    // The window can be made as small as its minimum and still shows its status bar whole.
    m_form->resize(minimum);
    QTRY_COMPARE(m_form->size(), minimum);
    QVERIFY(m_form->rect().contains(
        QRect(m_form->statusBar()->mapTo(m_form.get(), QPoint()), m_form->statusBar()->size())));
}

void TestScreens::kktButtonsShowWhenMaximised()
{
    m_form->showMaximized();
    QTRY_VERIFY(m_form->isMaximized());
    QTRY_VERIFY(available().contains(m_form->frameGeometry()));
    const auto visible = [this](QPushButton *button) {
        QCoreApplication::processEvents();
        const QRect shown(button->mapToGlobal(QPoint()), button->size());
        return button->isVisible() && !button->visibleRegion().isEmpty()
            && button->visibleRegion().boundingRect() == button->rect() && available().contains(shown);
    };
    m_form->findChild<QAction *>(u"GSM1"_s)->trigger();
    for (QPushButton *button : m_form->GsmFrame->findChildren<QPushButton *>())
        if (button->isVisibleTo(m_form->GsmFrame)) // the closed find bar's are hidden on purpose
            QVERIFY2(visible(button), qPrintable(button->text()));
    m_form->findChild<QAction *>(u"N1021"_s)->trigger();
    auto *tabs = child<QTabWidget>(m_form->Set102Frame, u"PageControl1"_s);
    tabs->setCurrentIndex(1); // the goods tab, with the most commands
    for (const QString &name : { u"Button3"_s, u"Button4"_s, u"Button5"_s, u"Button1"_s, u"Button2"_s, u"Button6"_s })
        QVERIFY2(visible(child<QPushButton>(m_form->Set102Frame, name)), qPrintable(name));
}

void TestScreens::goodsColumnsUseTheWidth()
{
    m_form->showMaximized();
    QTRY_VERIFY(m_form->isMaximized());
    m_form->findChild<QAction *>(u"N1021"_s)->trigger();
    child<QTabWidget>(m_form->Set102Frame, u"PageControl1"_s)->setCurrentIndex(1);
    auto *grid = child<TStringGrid>(m_form->Set102Frame, u"SGBase"_s);
    QCoreApplication::processEvents();
    const int name = 0; // "Наименование"
    int all = 0;
    for (int col = 0; col < grid->horizontalHeader()->count(); ++col)
        if (!grid->isColumnHidden(col))
            all += grid->columnWidth(col);
    const int viewport = grid->viewport()->width();
    if (all <= viewport + 1) {
        // Everything in view and no width left over: the name column took it.
        QVERIFY2(viewport - all <= 1, qPrintable(u"%1 of %2 used"_s.arg(all).arg(viewport)));
    } else {
        // Too narrow for every column: the name column is at its least, the grid scrolls sideways.
        QVERIFY(grid->columnWidth(name) < 500);
        QVERIFY(grid->horizontalScrollBar()->maximum() > 0);
    }
    // On a screen of 1366 points and more, every column fits.
    if (available().width() >= 1366)
        QVERIFY2(all <= viewport + 1, qPrintable(u"%1 wider than %2"_s.arg(all).arg(viewport)));
}

void TestScreens::openGoodsTab()
{
    m_form->findChild<QAction *>(u"N1021"_s)->trigger();
    child<QTabWidget>(m_form->Set102Frame, u"PageControl1"_s)->setCurrentIndex(1);
    QCoreApplication::processEvents();
}

// The window as it opens (not maximised): every goods column in view, the
// names with what is left, no wider than their designed 500.
void TestScreens::goodsColumnsAllShowAtTheDefaultSize()
{
    openGoodsTab();
    auto *grid = child<TStringGrid>(m_form->Set102Frame, u"SGBase"_s);
    int all = 0;
    for (int col = 0; col < grid->horizontalHeader()->count(); ++col) {
        if (grid->isColumnHidden(col))
            continue;
        all += grid->columnWidth(col);
        // Each shows its title and its longest value.
        if (col != 0)
            QVERIFY2(grid->columnWidth(col) >= grid->leastColumnWidth(col),
                qPrintable(grid->model()->headerData(col, Qt::Horizontal).toString()));
    }
    QVERIFY2(all <= grid->viewport()->width() + 1,
        qPrintable(u"%1 wider than %2"_s.arg(all).arg(grid->viewport()->width())));
    QVERIFY2(grid->columnWidth(0) >= grid->fontMetrics().averageCharWidth() * 26,
        qPrintable(QString::number(grid->columnWidth(0))));
    QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
}

// A larger system font (as qt6ct or a desktop's setting gives): the titles
// whole, the page no wider than the window, the status bar's texts whole.
void TestScreens::largerFontIsFollowed()
{
    m_form.reset();
    QFont large = m_font;
    large.setPointSizeF(m_font.pointSizeF() * 1.5);
    QApplication::setFont(large);
    makeForm();

    m_form->findChild<QAction *>(u"GSM1"_s)->trigger();
    QCoreApplication::processEvents();
    auto *gsm = child<TStringGrid>(m_form->GsmFrame, u"sgGsm"_s);
    const QFontMetrics titles = gsm->verticalHeader()->fontMetrics();
    for (const QString &title : gsm->layout().rowTitles)
        QVERIFY2(gsm->verticalHeader()->width() > titles.horizontalAdvance(title), qPrintable(title));
    QVERIFY(gsm->verticalHeader()->defaultSectionSize() >= gsm->fontMetrics().height());

    openGoodsTab();
    auto *scroller = child<QScrollArea>(m_form.get(), u"PanelScroller"_s);
    QVERIFY2(m_form->Set102Frame->width() <= scroller->viewport()->width(),
        qPrintable(u"page %1 in %2"_s.arg(m_form->Set102Frame->width()).arg(scroller->viewport()->width())));
    QCOMPARE(scroller->horizontalScrollBar()->maximum(), 0);
    for (QLabel *label : m_form->statusBar()->findChildren<QLabel *>())
        if (label->isVisible())
            QVERIFY2(label->height() >= label->sizeHint().height(), qPrintable(label->objectName()));
}

KKT_GUI_TEST_MAIN(TestScreens)
#include "TestScreens.moc"
