#include "GuiTest.h"

#include "app/service/LogView.h"
#include "app/service/UDebugKKT.h"
#include "kkt/ExchangeLog.h"

#include <QClipboard>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
TBufKKT Buffer(std::initializer_list<int> bytes)
{
    TBufKKT buf;
    for (int b : bytes)
        buf.data[buf.count++] = quint8(b);
    return buf;
}

// One entry of the log as it is shown: the line's text and its colour.
struct Line
{
    QString text;
    QColor colour;
    bool operator==(const Line &other) const = default;
};

QList<Line> Lines(const TfrmDebugKKM &window)
{
    QList<Line> lines;
    const LogView *view = window.richEdit();
    for (int i = 0; i < view->lineCount(); ++i) {
        const QString text = view->lineText(i);
        lines.append({ text, text.isEmpty() ? QColor() : view->lineColour(i) });
    }
    return lines;
}

// How many pixels of the shown log have the colour.
int PixelsOf(TfrmDebugKKM &window, const QColor &colour)
{
    const QImage image = window.richEdit()->viewport()->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
} // namespace

Q_DECLARE_METATYPE(Line)
Q_DECLARE_METATYPE(TBufKKT)

namespace QTest {
template <> char *toString(const Line &line)
{
    return qstrdup((line.text + u" ["_s + line.colour.name() + u"]"_s).toUtf8().constData());
}
} // namespace QTest

class TestExchangeLogWindow : public QObject
{
    Q_OBJECT
private slots:
    void paragraphs_data();
    void paragraphs();
    void clearStartsAtTheTopWhileRecordingGoesOn();
    void recordsWhileHiddenAndKeepsTheLogWhenClosed();
    void scrollsToTheLastLine();
    void longLinesWrapAtBlanks();
    void showsWhatItRecordsWhileRunsBlockTheLoop();
    void copiesTheWholeLog();
    void windowLayout();
};

void TestExchangeLogWindow::paragraphs_data()
{
    QTest::addColumn<QList<TBufKKT>>("buffers");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QList<Line>>("expected");

    const QString dump3 = u"00-02H;  01-1AH;  02-FFH;  "_s;
    const QString dump2 = u"00-06H;  01-00H;  "_s;
    QTest::newRow("request of three bytes") << QList<TBufKKT> { Buffer({ 2, 26, 255 }) } << QList<bool> { false }
                                            << QList<Line> { { u" Запрос: "_s, kRed }, { dump3, kRed } };
    QTest::newRow("answer leaves an empty line")
        << QList<TBufKKT> { Buffer({ 6, 0 }) } << QList<bool> { true }
        << QList<Line> { { u" Ответ: "_s, kGreen }, { dump2, kGreen }, { QString(), QColor() } };
    QTest::newRow("empty request and empty answer")
        << QList<TBufKKT> { Buffer({}), Buffer({}) } << QList<bool> { false, true }
        << QList<Line> { { u" Запрос пуст"_s, kRed }, { QString(), QColor() }, { u" Ответ пуст"_s, kGreen },
               { QString(), QColor() } };
    QTest::newRow("exchange then next request")
        << QList<TBufKKT> { Buffer({ 2, 26, 255 }), Buffer({ 6, 0 }), Buffer({ 2, 26, 255 }) }
        << QList<bool> { false, true, false }
        << QList<Line> { { u" Запрос: "_s, kRed }, { dump3, kRed }, { u" Ответ: "_s, kGreen }, { dump2, kGreen },
               { QString(), QColor() }, { u" Запрос: "_s, kRed }, { dump3, kRed } };
}

void TestExchangeLogWindow::paragraphs()
{
    QFETCH(QList<TBufKKT>, buffers);
    QFETCH(QList<bool>, answers);
    QFETCH(QList<Line>, expected);
    TfrmDebugKKM window;
    for (int i = 0; i < buffers.size(); ++i)
        window.LogBufKKT(buffers[i], answers[i]);
    QCOMPARE(Lines(window), expected);
    // Regular style: the log never turns bold or italic.
    const QFont font = window.richEdit()->font();
    QVERIFY(!font.bold() && !font.italic() && !font.underline());
}

void TestExchangeLogWindow::clearStartsAtTheTopWhileRecordingGoesOn()
{
    TfrmDebugKKM window;
    window.LogBufKKT(Buffer({ 1 }), false);
    window.LogBufKKT(Buffer({ 2 }), true);
    QTest::mouseClick(window.findChild<QPushButton *>(u"btnClear"_s), Qt::LeftButton);
    QCOMPARE(window.richEdit()->toPlainText(), QString());
    window.LogBufKKT(Buffer({ 3 }), false);
    QCOMPARE(Lines(window), (QList<Line> { { u" Запрос: "_s, kRed }, { u"00-03H;  "_s, kRed } }));
}

void TestExchangeLogWindow::recordsWhileHiddenAndKeepsTheLogWhenClosed()
{
    TfrmDebugKKM window;
    window.LogBufKKT(Buffer({ 1 }), false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.close();
    QVERIFY(!window.isVisible());
    window.LogBufKKT(Buffer({ 2 }), true);
    window.show();
    QCOMPARE(window.richEdit()->toPlainText(), u" Запрос: \n00-01H;  \n Ответ: \n00-02H;  \n"_s);
}

void TestExchangeLogWindow::scrollsToTheLastLine()
{
    TfrmDebugKKM window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TBufKKT frame;
    frame.count = 40;
    for (int i = 0; i < 100; ++i)
        window.LogBufKKT(frame, i % 2 == 1);
    const QScrollBar *bar = window.richEdit()->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
}

void TestExchangeLogWindow::longLinesWrapAtBlanks()
{
    TfrmDebugKKM window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const LogView *view = window.richEdit();
    TBufKKT full;
    full.count = TBufKKT::kSize;
    window.LogBufKKT(full, false);
    // 256 entries of ten characters do not fit on one row of a 482 pixel window.
    QCOMPARE(view->lineCount(), 2);
    QVERIFY2(view->rowCount() > 10, qPrintable(QString::number(view->rowCount())));
    // The text itself stays one line: the rows are only how it is shown.
    QCOMPARE(view->lineText(1), DumpBuf(full));
    // A narrower window takes more rows for the same lines, and they still end at the last row.
    const int wide = view->rowCount();
    window.richEdit()->resize(240, 376);
    QVERIFY(view->rowCount() > wide);
    QCOMPARE(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
}

void TestExchangeLogWindow::showsWhatItRecordsWhileRunsBlockTheLoop()
{
    TfrmDebugKKM window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(50);
    // The log's red and green as painted: the same hues, readable on the view's base.
    const QColor red = window.richEdit()->shownColour(kRed), green = window.richEdit()->shownColour(kGreen);
    QCOMPARE(PixelsOf(window, red), 0);
    // No event is processed between the calls, as in a run of transactions:
    // each paragraph must be on the screen as soon as it is added.
    TBufKKT frame;
    frame.count = 40;
    window.LogBufKKT(frame, false);
    QVERIFY(PixelsOf(window, red) > 0);
    QCOMPARE(PixelsOf(window, green), 0);
    for (int i = 0; i < 60; ++i)
        window.LogBufKKT(frame, i % 2 == 0);
    // Scrolled far beyond the first screen: the last answer is shown, red requests above it.
    QVERIFY(PixelsOf(window, green) > 0);
    QVERIFY(PixelsOf(window, red) > 0);
    QTest::mouseClick(window.findChild<QPushButton *>(u"btnClear"_s), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(PixelsOf(window, red) + PixelsOf(window, green), 0);
}

void TestExchangeLogWindow::copiesTheWholeLog()
{
    TfrmDebugKKM window;
    window.LogBufKKT(Buffer({ 1 }), false);
    window.LogBufKKT(Buffer({ 2 }), true);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::clipboard()->clear();
    QTest::keyClick(window.richEdit(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), u" Запрос: \n00-01H;  \n Ответ: \n00-02H;  \n"_s);
}

void TestExchangeLogWindow::windowLayout()
{
    TfrmDebugKKM window;
    QCOMPARE(window.windowTitle(), u"Отладка ККМ"_s);
    QCOMPARE(window.size(), QSize(482, 405));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    const auto *clear = window.findChild<QPushButton *>(u"btnClear"_s);
    QCOMPARE(clear->text(), u"Очистить"_s);
    QCOMPARE(clear->geometry(), QRect(200, 380, 75, 25));
}

KKT_GUI_TEST_MAIN(TestExchangeLogWindow)
#include "TestExchangeLogWindow.moc"
