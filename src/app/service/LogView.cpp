#include "app/service/LogView.h"

#include "ui/Contrast.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionSlider>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
// Blank space left of the text, as a text box leaves it.
constexpr int kMargin = 4;
// Fills taller than this are split between threads by the raster engine; on
// a busy machine handing them over costs more than the fill itself.
constexpr int kFillBand = 64;

void FillInBands(QPainter &painter, const QRect &rect, const QBrush &brush)
{
    for (int y = rect.top(); y <= rect.bottom(); y += kFillBand)
        painter.fillRect(QRect(rect.left(), y, rect.width(), qMin(kFillBand, rect.bottom() + 1 - y)), brush);
}

// A log that grows moves its scroll bar's range and value with every line,
// while the handle it draws stays put for thousands of lines (at the end,
// at its smallest). It repaints only when the handle moves.
class LogScrollBar final : public QScrollBar
{
public:
    explicit LogScrollBar(QWidget *parent)
        : QScrollBar(Qt::Vertical, parent)
    { }

    // Range and value change together when lines arrive: the handle is
    // compared once both have settled, not at the range change in between
    // (the old value in the new range), which would paint it twice.
    template <typename Change> void changeTogether(Change change)
    {
        m_holding = true;
        change();
        m_holding = false;
        repaintIfMoved();
    }

protected:
    void sliderChange(SliderChange change) override
    {
        if (change == SliderOrientationChange)
            QScrollBar::sliderChange(change);
        else if (!m_holding)
            repaintIfMoved();
    }

private:
    void repaintIfMoved()
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        const QRect handle = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
        if (handle != m_handle) {
            m_handle = handle;
            QScrollBar::sliderChange(SliderValueChange);
        }
    }

    QRect m_handle;
    bool m_holding = false;
};
// The log's text for screen readers: the lines joined by "\n", read-only,
// with the selected lines as the one selection.
class LogViewAccessible final : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit LogViewAccessible(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::EditableText)
    { }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex != 0 || view()->selectionFirst() < 0)
            return;
        *startOffset = view()->lineOffset(view()->selectionFirst());
        *endOffset
            = view()->lineOffset(view()->selectionLast()) + int(view()->lineText(view()->selectionLast()).size());
    }
    int selectionCount() const override { return view()->selectionFirst() >= 0 ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int) override { view()->clearSelection(); }
    void setSelection(int, int startOffset, int endOffset) override
    {
        if (view()->lineCount() > 0)
            view()->selectLines(view()->lineAt(startOffset), view()->lineAt(qMax(startOffset, endOffset - 1)));
    }
    int cursorPosition() const override
    {
        return view()->selectionFirst() >= 0 ? view()->lineOffset(view()->selectionFirst()) : 0;
    }
    void setCursorPosition(int position) override { view()->scrollToLine(view()->lineAt(position)); }
    QString text(int startOffset, int endOffset) const override { return view()->text(startOffset, endOffset); }
    int characterCount() const override { return view()->characterCount(); }
    QRect characterRect(int offset) const override
    {
        // The row the character's line starts on: enough for a reader to show where it is.
        const QRect row = view()->lineRect(view()->lineAt(offset));
        return QRect(view()->viewport()->mapToGlobal(row.topLeft()), row.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const int line = view()->lineAtViewportPoint(view()->viewport()->mapFromGlobal(point));
        return line < 0 ? -1 : view()->lineOffset(line);
    }
    void scrollToSubstring(int startIndex, int) override { view()->scrollToLine(view()->lineAt(startIndex)); }
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    LogView *view() const { return static_cast<LogView *>(widget()); }
};

QAccessibleInterface *LogViewAccessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("LogView") && object && object->isWidgetType())
        return new LogViewAccessible(static_cast<QWidget *>(object));
    return nullptr;
}
} // namespace

LogView::LogView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    static const bool accessible = (QAccessible::installFactory(LogViewAccessibleFactory), true);
    Q_UNUSED(accessible);
    setVerticalScrollBar(new LogScrollBar(this));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The view paints its whole area itself, so a scroll can move the pixels
    // already shown and leave only the rows that come into view to paint.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::IBeamCursor);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(1);
}

void LogView::appendLines(const QString &text, const QColor &colour)
{
    const int firstNewRow = m_rowCount;
    const int position = characterCount();
    for (QStringView part : QStringView(text).tokenize(u'\n')) {
        Line line { part.toString(), colour, {}, m_rowCount };
        wrap(line);
        m_rowCount += 1 + int(line.breaks.size());
        m_lineStart.push_back(m_lines.empty() ? 0 : m_lineStart.back() + int(m_lines.back().text.size()) + 1);
        m_lines.push_back(std::move(line));
    }
    if (QAccessible::isActive()) {
        QAccessibleTextInsertEvent inserted(this, position, position == 0 ? text : u"\n"_s + text);
        QAccessible::updateAccessibility(&inserted);
    }
    QScrollBar *bar = verticalScrollBar();
    static_cast<LogScrollBar *>(bar)->changeTogether([&] {
        updateScrollRange();
        bar->setValue(bar->maximum());
    });
    if (!isVisible())
        return;
    // The transactions block the event loop: without a repaint now the log
    // would stay stale until a long run ends. The rows scrolled out of the
    // way were moved already; the new ones are painted and the lot shown.
    const int rh = rowHeight();
    const QRect rows(0, (firstNewRow - bar->value()) * rh, viewport()->width(), (m_rowCount - firstNewRow) * rh);
    const QRect exposed = rows.intersected(viewport()->rect());
    if (!exposed.isEmpty())
        viewport()->repaint(exposed);
}

void LogView::clear()
{
    if (QAccessible::isActive()) {
        QAccessibleTextRemoveEvent removed(this, 0, toPlainText());
        QAccessible::updateAccessibility(&removed);
    }
    m_lines.clear();
    m_lineStart.clear();
    m_selFirst = m_selLast = m_anchor = -1;
    m_rowCount = 0;
    updateScrollRange();
    viewport()->update();
}

QString LogView::toPlainText() const
{
    QStringList lines;
    lines.reserve(qsizetype(m_lines.size()));
    for (const Line &line : m_lines)
        lines << line.text;
    return lines.join(u'\n');
}

int LogView::characterCount() const
{
    return m_lines.empty() ? 0 : m_lineStart.back() + int(m_lines.back().text.size());
}

int LogView::lineAt(int offset) const
{
    const auto it = std::upper_bound(m_lineStart.begin(), m_lineStart.end(), offset);
    return qMax(0, int(it - m_lineStart.begin()) - 1);
}

QString LogView::text(int start, int end) const
{
    start = qBound(0, start, characterCount());
    end = qBound(start, end, characterCount());
    QString piece;
    for (int line = lineAt(start); line < lineCount() && m_lineStart[size_t(line)] < end; ++line) {
        const int from = m_lineStart[size_t(line)];
        const QString &text = m_lines[size_t(line)].text;
        const int a = qMax(start, from);
        const int b = qMin(end, from + int(text.size()));
        if (b > a)
            piece += QStringView(text).mid(a - from, b - a);
        // The line break after the line, where the range holds it.
        const int lineEnd = from + int(text.size());
        if (line + 1 < lineCount() && lineEnd >= start && lineEnd < end)
            piece += u'\n';
    }
    return piece;
}

void LogView::selectLines(int first, int last)
{
    if (m_lines.empty())
        return clearSelection();
    m_selFirst = qBound(0, qMin(first, last), lineCount() - 1);
    m_selLast = qBound(0, qMax(first, last), lineCount() - 1);
    selectionChanged();
}

void LogView::selectAll()
{
    selectLines(0, lineCount() - 1);
}

void LogView::clearSelection()
{
    m_selFirst = m_selLast = -1;
    selectionChanged();
}

void LogView::selectionChanged()
{
    viewport()->update();
    if (QAccessible::isActive()) {
        int start = 0, end = 0;
        if (m_selFirst >= 0) {
            start = lineOffset(m_selFirst);
            end = lineOffset(m_selLast) + int(lineText(m_selLast).size());
        }
        QAccessibleTextSelectionEvent selected(this, start, end);
        QAccessible::updateAccessibility(&selected);
    }
}

QString LogView::selectedText() const
{
    QStringList lines;
    for (int line = m_selFirst; line >= 0 && line <= m_selLast; ++line)
        lines << m_lines[size_t(line)].text;
    return lines.join(u'\n');
}

bool LogView::find(const QString &text, bool backward)
{
    const int count = lineCount();
    if (text.isEmpty() || count == 0)
        return false;
    const int from = m_selFirst < 0 ? (backward ? count - 1 : 0) : (backward ? m_selFirst - 1 : m_selLast + 1);
    for (int step = 0; step < count; ++step) {
        const int line = ((backward ? from - step : from + step) % count + count) % count;
        if (m_lines[size_t(line)].text.contains(text, Qt::CaseInsensitive)) {
            selectLines(line, line);
            scrollToLine(line);
            return true;
        }
    }
    return false;
}

void LogView::scrollToLine(int line)
{
    if (line < 0 || line >= lineCount())
        return;
    QScrollBar *bar = verticalScrollBar();
    const int row = m_lines[size_t(line)].firstRow;
    if (row < bar->value() || row >= bar->value() + visibleRows())
        bar->setValue(row - visibleRows() / 2);
}

QRect LogView::lineRect(int line) const
{
    if (line < 0 || line >= lineCount())
        return {};
    const int rh = rowHeight();
    const int top = (m_lines[size_t(line)].firstRow - verticalScrollBar()->value()) * rh;
    return QRect(0, top, viewport()->width(), rh);
}

int LogView::lineAtViewportPoint(const QPoint &point) const
{
    if (m_lines.empty())
        return -1;
    const int row = qBound(0, verticalScrollBar()->value() + point.y() / rowHeight(), m_rowCount - 1);
    return lineOfRow(row);
}

qreal LogView::advance(QChar c)
{
    const auto it = m_advances.constFind(c.unicode());
    if (it != m_advances.cend())
        return *it;
    const qreal width = QFontMetricsF(font()).horizontalAdvance(c);
    m_advances.insert(c.unicode(), width);
    return width;
}

// Breaks after a run of blanks, as word wrap does; a word longer than a row is
// cut where the row ends. Blanks at the end of a row hang beyond it.
void LogView::wrap(Line &line)
{
    line.breaks.clear();
    const QString &text = line.text;
    const qreal width = qMax(1, m_wrapWidth);
    qreal x = 0;
    int rowStart = 0;
    int lastBreak = -1;
    for (int i = 0; i < int(text.size()); ++i) {
        const QChar c = text[i];
        const qreal a = advance(c);
        if (c == u' ') {
            x += a;
            lastBreak = i + 1;
            continue;
        }
        if (x + a <= width || i == rowStart) {
            x += a;
            continue;
        }
        const int at = lastBreak > rowStart ? lastBreak : i;
        line.breaks.push_back(at);
        rowStart = at;
        x = 0;
        for (int k = at; k <= i; ++k)
            x += advance(text[k]);
    }
}

void LogView::rewrapAll()
{
    m_rowCount = 0;
    for (Line &line : m_lines) {
        line.firstRow = m_rowCount;
        wrap(line);
        m_rowCount += 1 + int(line.breaks.size());
    }
}

int LogView::rowHeight() const
{
    return qMax(1, fontMetrics().lineSpacing());
}

int LogView::visibleRows() const
{
    return qMax(1, viewport()->height() / rowHeight());
}

void LogView::updateScrollRange()
{
    QScrollBar *bar = verticalScrollBar();
    bar->setPageStep(visibleRows());
    bar->setRange(0, qMax(0, m_rowCount - visibleRows()));
}

int LogView::lineOfRow(int row) const
{
    const auto it = std::upper_bound(
        m_lines.begin(), m_lines.end(), row, [](int r, const Line &line) { return r < line.firstRow; });
    return int(it - m_lines.begin()) - 1;
}

void LogView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    FillInBands(painter, area, palette().base());
    if (m_lines.empty())
        return;
    const int rh = rowHeight();
    const int ascent = fontMetrics().ascent();
    const int top = verticalScrollBar()->value();
    const int firstRow = top + area.top() / rh;
    const int lastRow = qMin(m_rowCount - 1, top + area.bottom() / rh);
    int lineIndex = lineOfRow(firstRow);
    for (int row = firstRow; row <= lastRow && lineIndex >= 0; ++row) {
        while (lineIndex + 1 < lineCount() && m_lines[size_t(lineIndex + 1)].firstRow <= row)
            ++lineIndex;
        const Line &line = m_lines[size_t(lineIndex)];
        const int sub = row - line.firstRow;
        const int start = sub == 0 ? 0 : line.breaks[size_t(sub - 1)];
        const int end = sub < int(line.breaks.size()) ? line.breaks[size_t(sub)] : int(line.text.size());
        const bool selected = lineIndex >= m_selFirst && lineIndex <= m_selLast;
        if (selected)
            painter.fillRect(QRect(0, (row - top) * rh, viewport()->width(), rh), palette().highlight());
        if (end <= start)
            continue;
        painter.setPen(selected ? palette().color(QPalette::HighlightedText) : shownColour(line.colour));
        painter.drawText(QPointF(kMargin, (row - top) * rh + ascent), line.text.mid(start, end - start));
    }
}

void LogView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    const bool atEnd = verticalScrollBar()->value() == verticalScrollBar()->maximum();
    const int width = viewport()->width() - 2 * kMargin;
    if (width != m_wrapWidth) {
        m_wrapWidth = width;
        rewrapAll();
    }
    updateScrollRange();
    if (atEnd)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogView::scrollContentsBy(int, int dy)
{
    viewport()->scroll(0, dy * rowHeight());
}

QColor LogView::shownColour(const QColor &colour) const
{
    if (!colour.isValid())
        return palette().color(QPalette::Text);
    const auto it = m_shownColours.constFind(colour.rgb());
    if (it != m_shownColours.cend())
        return *it;
    const QColor shown = Contrast::ReadableOn(colour, palette().color(QPalette::Base));
    m_shownColours.insert(colour.rgb(), shown);
    return shown;
}

void LogView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        m_shownColours.clear();
    if (event->type() == QEvent::FontChange) {
        m_advances.clear();
        rewrapAll();
        updateScrollRange();
        viewport()->update();
    }
}

void LogView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void LogView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    const int line = lineAtViewportPoint(event->position().toPoint());
    if (line < 0)
        return;
    if (!(event->modifiers() & Qt::ShiftModifier) || m_anchor < 0)
        m_anchor = line;
    selectLines(m_anchor, line);
}

void LogView::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || m_anchor < 0)
        return QAbstractScrollArea::mouseMoveEvent(event);
    const int line = lineAtViewportPoint(event->position().toPoint());
    if (line >= 0 && (line != m_selFirst || line != m_selLast))
        selectLines(m_anchor, line);
}

void LogView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *copySelected = menu.addAction(u"Копировать"_s, this, &LogView::copy);
    copySelected->setShortcut(QKeySequence::Copy);
    copySelected->setEnabled(m_selFirst >= 0);
    menu.addAction(u"Копировать весь журнал"_s, this, &LogView::copyAll)->setEnabled(!m_lines.empty());
    QAction *all = menu.addAction(u"Выделить всё"_s, this, &LogView::selectAll);
    all->setShortcut(QKeySequence::SelectAll);
    all->setEnabled(!m_lines.empty());
    // The window's own commands on its log (find, save).
    if (!actions().isEmpty()) {
        menu.addSeparator();
        menu.addActions(actions());
    }
    menu.exec(event->globalPos());
}

void LogView::copy()
{
    if (m_selFirst < 0)
        return copyAll();
    if (QClipboard *clipboard = QApplication::clipboard())
        clipboard->setText(selectedText());
}

void LogView::copyAll()
{
    if (QClipboard *clipboard = QApplication::clipboard())
        clipboard->setText(toPlainText());
}
