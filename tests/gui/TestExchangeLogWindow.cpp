#include "GuiTest.h"

#include "app/service/UDebugKKT.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

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
    for (QTextBlock block = window.richEdit()->document()->begin(); block.isValid(); block = block.next()) {
        QColor colour;
        if (!block.text().isEmpty())
            colour = block.begin().fragment().charFormat().foreground().color();
        lines.append({ block.text(), colour });
    }
    return lines;
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
    const QTextCharFormat format = window.richEdit()->document()->begin().begin().fragment().charFormat();
    QVERIFY(!format.font().bold() && !format.fontItalic() && !format.fontUnderline());
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

void TestExchangeLogWindow::windowLayout()
{
    TfrmDebugKKM window;
    QCOMPARE(window.windowTitle(), u"Отладка ККМ"_s);
    QCOMPARE(window.size(), QSize(482, 405));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(window.richEdit()->isReadOnly());
    const auto *clear = window.findChild<QPushButton *>(u"btnClear"_s);
    QCOMPARE(clear->text(), u"Очистить"_s);
    QCOMPARE(clear->geometry(), QRect(200, 380, 75, 25));
}

KKT_GUI_TEST_MAIN(TestExchangeLogWindow)
#include "TestExchangeLogWindow.moc"
