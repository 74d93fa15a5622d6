#include "GuiTest.h"
#include "ScriptedPrompts.h"
#include "TempFiles.h"

#include "app/service/LogView.h"
#include "app/service/UDebugKKT.h"
#include "kkt/ExchangeLog.h"

#include <QAccessible>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

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
    void screenReaderReadsTheLog();
    void textPieces_data();
    void textPieces();
    void selectsCopiesAndFinds();
    void savesTheLog();
    void appendsEveryFrameToAFile();

private:
    std::unique_ptr<ScriptedPrompts> prompts = std::make_unique<ScriptedPrompts>();
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

void TestExchangeLogWindow::screenReaderReadsTheLog()
{
    TfrmDebugKKM window;
    window.LogBufKKT(Buffer({ 1, 2 }), false);
    window.LogBufKKT(Buffer({ 3 }), true);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    LogView *view = window.richEdit();
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(view);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::EditableText);
    QCOMPARE(accessible->text(QAccessible::Name), u"Журнал обмена"_s);
    QVERIFY(accessible->state().readOnly && accessible->state().multiLine);
    QAccessibleTextInterface *text = accessible->textInterface();
    QVERIFY(text);
    const QString whole = u" Запрос: \n00-01H;  01-02H;  \n Ответ: \n00-03H;  \n"_s;
    QCOMPARE(text->characterCount(), int(whole.size()));
    QCOMPARE(text->text(0, text->characterCount()), whole);
    // A reader moving by lines gets the log's lines.
    int start = 0, end = 0;
    QCOMPARE(text->textAtOffset(12, QAccessible::LineBoundary, &start, &end).trimmed(), u"00-01H;  01-02H;"_s);

    // What the reader selects is what Ctrl+C copies, and the other way round.
    text->setSelection(0, 12, 30);
    QCOMPARE(view->selectionFirst(), 1);
    QCOMPARE(view->selectionLast(), 2);
    view->selectLines(3, 3);
    QCOMPARE(text->selectionCount(), 1);
    text->selection(0, &start, &end);
    QCOMPARE(text->text(start, end), u"00-03H;  "_s);

    // Lines added later are there too.
    window.LogBufKKT(Buffer({ 4 }), false);
    QVERIFY(text->text(0, text->characterCount()).endsWith(u"\n Запрос: \n00-04H;  "_s));
}

void TestExchangeLogWindow::textPieces_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("piece");
    // The log " Запрос: " / "00-01H;  " / " Ответ: " / "00-02H;  " / "".
    QTest::newRow("inside a line") << 1 << 7 << u"Запрос"_s;
    QTest::newRow("up to a line break") << 0 << 10 << u" Запрос: \n"_s;
    QTest::newRow("across a line break") << 6 << 12 << u"с: \n00"_s;
    QTest::newRow("over whole lines") << 10 << 28 << u"00-01H;  \n Ответ: "_s;
    QTest::newRow("the empty last line") << 38 << 39 << u"\n"_s;
    QTest::newRow("beyond the end") << 34 << 500 << u"H;  \n"_s;
    QTest::newRow("reversed") << 9 << 3 << QString();
}

void TestExchangeLogWindow::textPieces()
{
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, piece);
    TfrmDebugKKM window;
    window.LogBufKKT(Buffer({ 1 }), false);
    window.LogBufKKT(Buffer({ 2 }), true);
    const LogView *view = window.richEdit();
    QCOMPARE(view->characterCount(), int(view->toPlainText().size()));
    QCOMPARE(view->text(start, end), piece);
    if (start <= end)
        QCOMPARE(view->text(start, end), view->toPlainText().mid(start, end - start));
}

void TestExchangeLogWindow::selectsCopiesAndFinds()
{
    TfrmDebugKKM window;
    for (int i = 1; i <= 30; ++i)
        window.LogBufKKT(Buffer({ i }), i % 2 == 0);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    LogView *view = window.richEdit();
    view->verticalScrollBar()->setValue(0);
    const int row = view->fontMetrics().lineSpacing();
    // A click selects a line, Shift+click the lines down to another; Ctrl+C copies them.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, row / 2));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(20, row * 2 + row / 2));
    QCOMPARE(view->selectedText(), u" Запрос: \n00-01H;  \n Ответ: "_s);
    QApplication::clipboard()->clear();
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), u" Запрос: \n00-01H;  \n Ответ: "_s);

    // Ctrl+F: the find bar; Enter goes from line to line, Shift+Enter back, wrapping round.
    QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
    auto *find = window.findChild<QLineEdit *>(u"FindText"_s);
    QVERIFY(find->isVisible() && find->hasFocus());
    QVERIFY(view->geometry().top() >= window.findChild<QWidget *>(u"FindBar"_s)->geometry().bottom());
    TypeText(find, u"1eh"_s); // 0x1E, the 30th frame's byte, in any case
    QTest::keyClick(find, Qt::Key_Return);
    QCOMPARE(view->selectedText(), u"00-1EH;  "_s);
    QVERIFY(view->verticalScrollBar()->value() > 0);
    find->clear();
    TypeText(find, u"Ответ"_s);
    QTest::keyClick(find, Qt::Key_Return); // after line 00-1EH: wraps to the first answer
    QCOMPARE(view->selectionFirst(), 2);
    QTest::keyClick(find, Qt::Key_Return);
    QCOMPARE(view->selectionFirst(), 7);
    QTest::keyClick(find, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(view->selectionFirst(), 2);
    find->clear();
    TypeText(find, u"нет такого"_s);
    QTest::keyClick(find, Qt::Key_Return);
    QCOMPARE(window.findChild<QLabel *>(u"FindStatus"_s)->text(), u"Не найдено"_s);
    QCOMPARE(view->selectionFirst(), 2); // the selection stays
    // Esc closes the bar; the log has its whole height back.
    QTest::keyClick(find, Qt::Key_Escape);
    QVERIFY(!find->isVisible());
    QCOMPARE(view->geometry(), QRect(0, 0, 482, 376));
    // Ctrl+A in the log selects every line.
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(view->selectedText(), view->toPlainText());
}

void TestExchangeLogWindow::savesTheLog()
{
    QTemporaryDir dir;
    TfrmDebugKKM window;
    window.LogBufKKT(Buffer({ 1 }), false);
    window.LogBufKKT(Buffer({ 2 }), true);
    const QString path = dir.filePath(u"log.txt"_s);
    prompts->answerFile(Prompts::Kind::SaveFile, path);
    QTest::mouseClick(window.findChild<QPushButton *>(u"btnSave"_s), Qt::LeftButton);
    QCOMPARE(prompts->messages.constFirst().text, u"Текстовые файлы (*.txt)|*.txt|Все файлы|*.*"_s);
    QCOMPARE(ReadBytes(path), (window.richEdit()->toPlainText() + u"\n"_s).toUtf8());

    // A file that cannot be written: the reason, and the previous file whole.
    const QString blocker = dir.filePath(u"blocker"_s);
    QVERIFY(WriteBytes(blocker, "x"));
    prompts->answerFile(Prompts::Kind::SaveFile, blocker + u"/log.txt"_s).expect(Prompts::Kind::Error);
    window.btnSaveClick();
    QVERIFY2(prompts->messages.last().text.startsWith(u"ВНИМАНИЕ!\r\nНе удалось записать файл"_s),
        qPrintable(prompts->messages.last().text));
    QCOMPARE(ReadBytes(blocker), QByteArray("x"));
    const QString verdict = prompts->verdict();
    QVERIFY2(verdict.isEmpty(), qPrintable(verdict));
}

void TestExchangeLogWindow::appendsEveryFrameToAFile()
{
    QTemporaryDir dir;
    TfrmDebugKKM window;
    window.LogBufKKT(Buffer({ 9 }), false); // before the file: not in it
    const QString path = dir.filePath(u"exchange.log"_s);
    QString error;
    QVERIFY2(window.StartLogFile(path, &error), qPrintable(error));
    window.LogBufKKT(Buffer({ 1 }), false);
    window.LogBufKKT(Buffer({ 2 }), true);
    window.LogBufKKT(Buffer({}), false);
    // Line for line what the log shows.
    const QString shown = window.richEdit()->toPlainText();
    const QString tail = shown.mid(shown.indexOf(u" Запрос: \n00-01H;"_s));
    QCOMPARE(QString::fromUtf8(ReadBytes(path)), tail + u"\n"_s);
    window.StopLogFile();
    window.LogBufKKT(Buffer({ 3 }), true);
    QCOMPARE(QString::fromUtf8(ReadBytes(path)), tail + u"\n"_s);

    // A FIFO would hold the program until a reader came: refused at once.
    const QString fifo = dir.filePath(u"pipe"_s);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(!window.StartLogFile(fifo, &error));
    QVERIFY2(error.contains(u"pipe"_s), qPrintable(error));

    // A full disk: the file is closed and the window says why, once.
    if (!FileSizeLimit::supported())
        QSKIP("no file size limit here");
    QVERIFY(window.StartLogFile(dir.filePath(u"full.log"_s), &error));
    QStringList failures;
    connect(&window, &TfrmDebugKKM::logFileFailed, this, [&](const QString &message) { failures << message; });
    {
        FileSizeLimit limit(300);
        for (int i = 0; i < 20; ++i)
            window.LogBufKKT(Buffer({ i, i }), i % 2 == 1);
    }
    QCOMPARE(failures.size(), 1);
    QVERIFY2(failures[0].startsWith(u"Не удалось записать журнал обмена в файл"_s), qPrintable(failures[0]));
    QVERIFY(!window.loggingToFile());
    // The window's log itself went on.
    QVERIFY(window.richEdit()->toPlainText().endsWith(u"00-13H;  01-13H;  \n"_s));
}

KKT_GUI_TEST_MAIN(TestExchangeLogWindow)
#include "TestExchangeLogWindow.moc"
